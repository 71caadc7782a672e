// Tests of the network services against a small HTTP server of the test's
// own on 127.0.0.1.
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include "hc.h"
#include "inet.h"
#include "update_me.h"

using namespace tessaly;

namespace {

// One canned answer per connection: a status line and a body, or silence.
class TinyServer : public QObject {
 public:
  enum class Mode { Answer, Silent, Endless, CloseMidReply, Trickle };

  TinyServer() {
    m_server.listen(QHostAddress::LocalHost);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
      while (QTcpSocket* socket = m_server.nextPendingConnection()) serve(socket);
    });
  }

  QString url() const {
    return QStringLiteral("http://127.0.0.1:%1/chengyu/download/ver.ini").arg(m_server.serverPort());
  }
  void answer(int status, const QByteArray& body) {
    mode = Mode::Answer;
    m_status = status;
    m_body = body;
  }

  Mode mode = Mode::Answer;
  QByteArrayList requests;

 private:
  void serve(QTcpSocket* socket) {
    auto received = std::make_shared<QByteArray>();
    connect(socket, &QTcpSocket::readyRead, socket, [this, socket, received] {
      *received += socket->readAll();
      if (!received->contains("\r\n\r\n")) return;
      requests << *received;
      respond(socket);
    });
  }
  void respond(QTcpSocket* socket) {
    switch (mode) {
      case Mode::Silent:
        return;
      case Mode::Answer:
        socket->write("HTTP/1.1 " + QByteArray::number(m_status) + " X\r\nContent-Length: " +
                      QByteArray::number(m_body.size()) + "\r\nConnection: close\r\n\r\n" + m_body);
        socket->disconnectFromHost();
        return;
      case Mode::CloseMidReply:
        socket->write("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n1.2");
        socket->flush();
        socket->abort();
        return;
      case Mode::Trickle: {
        // A valid reply, one byte at a time, far too slowly.
        socket->write("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n");
        auto* drip = new QTimer(socket);
        connect(drip, &QTimer::timeout, socket, [socket] { socket->write("9"); });
        drip->start(200);
        return;
      }
      case Mode::Endless: {
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n");
        auto* feed = new QTimer(socket);
        connect(feed, &QTimer::timeout, socket, [socket] {
          if (socket->bytesToWrite() < (1 << 20)) socket->write(QByteArray(256 * 1024, '9'));
        });
        feed->start(1);
        return;
      }
    }
  }

  QTcpServer m_server;
  int m_status = 200;
  QByteArray m_body;
};

}  // namespace

class UpdateCheckTest : public QObject {
  Q_OBJECT

 private slots:
  void textReplyThroughTheLayers();
  void notFoundIsAnError();
  void otherStatusIsSilent();
  void failedServerPages_data();
  void failedServerPages();
  void silentServerTimesOut();
  void endlessBodyIsCutOff();
  void brokenConnectionStaysSilent();
  void randomBytesStaySilent();
  void trickleTimesOutAtTheCompletionLimit();
  void versionDecisions_data();
  void versionDecisions();
};

void UpdateCheckTest::textReplyThroughTheLayers() {
  TinyServer server;
  server.answer(200, "1.24\r\nmore\r\n");
  Inet inet;
  QSignalSpy text(&inet, &Inet::GetRes);
  inet.Initialize();
  inet.Execute(server.url(), {});
  QVERIFY(text.wait(5000));
  QCOMPARE(text[0][0].toString(), QStringLiteral("1.24\r\nmore\r\n"));
  QVERIFY(server.requests.at(0).startsWith("POST /chengyu/download/ver.ini HTTP/1.1\r\n"));

  HC hc;
  QSignalSpy ok(&hc, &HC::ResponseSuccess);
  hc.InitializePost(server.url());
  hc.ExecuteRemoteQuery({}, 1, 9);
  QVERIFY(ok.wait(5000));
  QCOMPARE(ok[0][0].toString(), QStringLiteral("1.24more"));
  QCOMPARE(ok[0][2].toInt(), 9);
}

void UpdateCheckTest::notFoundIsAnError() {
  TinyServer server;
  server.answer(404, "<html>not here</html>");
  Inet inet;
  QSignalSpy errors(&inet, &Inet::GetError);
  inet.Initialize();
  inet.Execute(server.url(), {});
  QVERIFY(errors.wait(5000));
  QCOMPARE(errors[0][0].toString(), QStringLiteral("无效网络地址！"));
  QVERIFY(!inet.polling());
}

void UpdateCheckTest::otherStatusIsSilent() {
  TinyServer server;
  server.answer(500, "broken");
  Inet inet;
  QSignalSpy text(&inet, &Inet::GetRes);
  QSignalSpy errors(&inet, &Inet::GetError);
  inet.Initialize();
  inet.Execute(server.url(), {});
  QTRY_VERIFY_WITH_TIMEOUT(!inet.polling(), 5000);
  QCOMPARE(text.count() + errors.count(), 0);
  server.answer(200, "again");
  inet.Execute(server.url(), {});
  QVERIFY(text.wait(5000));
}

void UpdateCheckTest::failedServerPages_data() {
  QTest::addColumn<QByteArray>("page");
  QTest::addColumn<QString>("error");
  QTest::newRow("doctype") << QByteArray("<!DOCTYPE html><title>Welcome</title>")
                           << "未连接到服务器！请检查服务器设置";
  QTest::newRow("warning") << QByteArray("<br /><b>Warning</b>: include(): failed")
                           << "服务器操作异常！";
}

void UpdateCheckTest::failedServerPages() {
  QFETCH(QByteArray, page);
  QFETCH(QString, error);
  TinyServer server;
  server.answer(200, page);
  UpDateMe check;
  QSignalSpy bad(&check.HC1(), &HC::ResponseError);
  QSignalSpy update(&check, &UpDateMe::GetUpdate);
  check.StartSearch(server.url(), 1, 23);
  QVERIFY(bad.wait(5000));
  QCOMPARE(bad[0][0].toString(), error);
  QCOMPARE(update.count(), 0);
}

void UpdateCheckTest::silentServerTimesOut() {
  TinyServer server;
  server.mode = TinyServer::Mode::Silent;
  Inet inet;
  inet.setPollInterval(1);  // 1000 ticks in about a second
  QSignalSpy errors(&inet, &Inet::GetError);
  inet.Initialize();
  inet.Execute(server.url(), {});
  QVERIFY(errors.wait(30000));
  QCOMPARE(errors[0][0].toString(), QStringLiteral("连接超时！"));
  QCOMPARE(inet.pollCount(), 0);
}

void UpdateCheckTest::endlessBodyIsCutOff() {
  TinyServer server;
  server.mode = TinyServer::Mode::Endless;
  UpDateMe check;
  QSignalSpy bad(&check.HC1(), &HC::ResponseError);
  QSignalSpy update(&check, &UpDateMe::GetUpdate);
  check.StartSearch(server.url(), 1, 23);
  QVERIFY(bad.wait(30000));
  QCOMPARE(bad[0][0].toString(), QStringLiteral("连接超时！"));
  QCOMPARE(update.count(), 0);
}

void UpdateCheckTest::brokenConnectionStaysSilent() {
  TinyServer server;
  server.mode = TinyServer::Mode::CloseMidReply;
  UpDateMe check;
  QSignalSpy ok(&check.HC1(), &HC::ResponseSuccess);
  QSignalSpy update(&check, &UpDateMe::GetUpdate);
  check.StartSearch(server.url(), 1, 23);
  Inet* inet = check.HC1().Inet1(1);
  QVERIFY(inet != nullptr);
  QTRY_VERIFY_WITH_TIMEOUT(!inet->polling(), 10000);
  QCOMPARE(ok.count() + update.count(), 0);
}

void UpdateCheckTest::randomBytesStaySilent() {
  QByteArray noise;
  quint32 x = 12345;
  for (int i = 0; i < 64 * 1024; ++i) {
    x = x * 1103515245u + 12345u;
    noise += char(x >> 24);
  }
  noise[0] = 'v';  // whatever else it holds, it does not begin with a number
  TinyServer server;
  server.answer(200, noise);
  UpDateMe check;
  QSignalSpy ok(&check.HC1(), &HC::ResponseSuccess);
  QSignalSpy bad(&check.HC1(), &HC::ResponseError);
  QSignalSpy update(&check, &UpDateMe::GetUpdate);
  check.StartSearch(server.url(), 1, 23);
  QTRY_VERIFY_WITH_TIMEOUT(ok.count() + bad.count() == 1, 5000);
  QCOMPARE(update.count(), 0);
}

void UpdateCheckTest::trickleTimesOutAtTheCompletionLimit() {
  TinyServer server;
  server.mode = TinyServer::Mode::Trickle;
  UpDateMe check;
  QSignalSpy bad(&check.HC1(), &HC::ResponseError);
  QSignalSpy update(&check, &UpDateMe::GetUpdate);
  check.StartSearch(server.url(), 1, 23);
  Inet* inet = check.HC1().Inet1(1);
  inet->setPollInterval(1);  // 6000 ticks in a few seconds
  QVERIFY(bad.wait(60000));
  QCOMPARE(bad[0][0].toString(), QStringLiteral("连接超时！"));
  QVERIFY(inet->pollCount() == 0 && !inet->polling());
  QCOMPARE(update.count(), 0);
}

void UpdateCheckTest::versionDecisions_data() {
  QTest::addColumn<QByteArray>("reply");
  QTest::addColumn<int>("minor");
  QTest::addColumn<bool>("newer");
  QTest::newRow("1.24") << QByteArray("1.24") << 23 << true;
  QTest::newRow("1.23") << QByteArray("1.23") << 23 << false;
  QTest::newRow("1.22") << QByteArray("1.22") << 23 << false;
  QTest::newRow("1.3") << QByteArray("1.3") << 23 << true;
  QTest::newRow("1.100") << QByteArray("1.100") << 23 << false;
  QTest::newRow("1.24 CR LF") << QByteArray("1.24\r\n") << 23 << true;
  QTest::newRow("1.2 CR LF 5") << QByteArray("1.2\r\n5") << 23 << true;
  QTest::newRow("spaces") << QByteArray("1 . 24") << 23 << true;
  QTest::newRow("letter first") << QByteArray("v1.24") << 23 << false;
  QTest::newRow("1.23 for 1.5") << QByteArray("1.23") << 5 << false;
}

void UpdateCheckTest::versionDecisions() {
  QFETCH(QByteArray, reply);
  QFETCH(int, minor);
  QFETCH(bool, newer);
  TinyServer server;
  server.answer(200, reply);
  UpDateMe check;
  QSignalSpy ok(&check.HC1(), &HC::ResponseSuccess);
  QSignalSpy update(&check, &UpDateMe::GetUpdate);
  check.StartSearch(server.url(), 1, minor);
  QVERIFY(ok.wait(5000));
  QCOMPARE(update.count(), newer ? 1 : 0);
  QVERIFY(server.requests.at(0).startsWith("POST "));
}

QTEST_GUILESS_MAIN(UpdateCheckTest)
#include "update_check_test.moc"
