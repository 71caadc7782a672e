// Tests of the real request object against small HTTP servers of the test's
// own on 127.0.0.1: what reaches the wire and how the wire's behaviour
// becomes request states, one test for each behaviour a scripted request
// cannot show.
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include "hc.h"
#include "inet.h"
#include "qt_http_request.h"
#include "update_me.h"

using namespace tessaly;

namespace {

// A poll interval so long that only the test ticks.
constexpr int kTestTicks = 24 * 3600 * 1000;

// One canned behaviour per connection, after reading a whole request.
class TinyServer : public QObject {
 public:
  enum class Mode {
    Answer,              // a status line, headers and a body
    NoStatusLine,        // a body alone, then close
    CloseWithoutAnswer,  // close as soon as the request is in
    CloseMidReply,       // headers promising 100 bytes, three of them, then reset
    Silent,              // never answer
    HeadersThenSilence,  // a status line and headers, then nothing
    Trickle,             // a valid reply, one byte every 100 ms
    Endless,             // a body that never ends
  };

  TinyServer() {
    m_server.listen(QHostAddress::LocalHost);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
      while (QTcpSocket* socket = m_server.nextPendingConnection()) serve(socket);
    });
  }

  QString url() const {
    return QStringLiteral("http://127.0.0.1:%1/chengyu/download/ver.ini").arg(m_server.serverPort());
  }
  void answer(int status, const QByteArray& body, const QByteArray& headers = {}) {
    mode = Mode::Answer;
    m_status = status;
    m_body = body;
    m_headers = headers;
  }

  Mode mode = Mode::Answer;
  QByteArrayList requests;  // every whole request, head and body
  int closedByClient = 0;   // connections the client ended

 private:
  void serve(QTcpSocket* socket) {
    auto received = std::make_shared<QByteArray>();
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
      if (!socket->property("closedHere").toBool()) ++closedByClient;
      socket->deleteLater();
    });
    connect(socket, &QTcpSocket::readyRead, socket, [this, socket, received] {
      *received += socket->readAll();
      const qsizetype headEnd = received->indexOf("\r\n\r\n");
      if (headEnd < 0) return;
      static const QRegularExpression lengthField("\r\ncontent-length: *(\\d+)",
                                                  QRegularExpression::CaseInsensitiveOption);
      const auto length = lengthField.match(QString::fromLatin1(received->left(headEnd)));
      const qsizetype bodySize = length.hasMatch() ? length.captured(1).toLongLong() : 0;
      if (received->size() < headEnd + 4 + bodySize) return;
      requests << *received;
      received->clear();
      respond(socket);
    });
  }
  void close(QTcpSocket* socket, bool reset = false) {
    socket->setProperty("closedHere", true);
    if (reset) {
      socket->abort();
    } else {
      socket->disconnectFromHost();
    }
  }
  void respond(QTcpSocket* socket) {
    switch (mode) {
      case Mode::Answer:
        socket->write("HTTP/1.1 " + QByteArray::number(m_status) + " X\r\n" + m_headers +
                      "Content-Length: " + QByteArray::number(m_body.size()) +
                      "\r\nConnection: close\r\n\r\n" + m_body);
        close(socket);
        return;
      case Mode::NoStatusLine:
        socket->write("1.24\r\n");
        close(socket);
        return;
      case Mode::CloseWithoutAnswer:
        close(socket);
        return;
      case Mode::CloseMidReply:
        socket->write("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n1.2");
        socket->flush();
        close(socket, true);
        return;
      case Mode::Silent:
        return;
      case Mode::HeadersThenSilence:
        socket->write("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n");
        return;
      case Mode::Trickle: {
        socket->write("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n");
        auto* drip = new QTimer(socket);
        connect(drip, &QTimer::timeout, socket, [socket] { socket->write("9"); });
        drip->start(100);
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
  QByteArray m_headers;
};

// The Qt request object with a hundredth of the time-outs Inet sets: 300 ms
// to resolve, connect and send, 600 ms to wait for more data.
class QuickTimeouts : public QtHttpRequest {
 public:
  Error setTimeouts(int resolveMs, int connectMs, int sendMs, int receiveMs) override {
    return QtHttpRequest::setTimeouts(resolveMs / 100, connectMs / 100, sendMs / 100, receiveMs / 100);
  }
};

}  // namespace

class QtHttpRequestTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void updateCheckOverTheWire();
  void statusesOtherThan200_data();
  void statusesOtherThan200();
  void oneStartOnePost_data();
  void oneStartOnePost();
  void timeOutsAtTheTickLimits_data();
  void timeOutsAtTheTickLimits();
  void endlessBodyIsCutOff();
};

void QtHttpRequestTest::init() {
  // Qt's warnings here meant a reply read after Qt had closed it.
  QTest::failOnWarning(QRegularExpression(".*"));
}

void QtHttpRequestTest::updateCheckOverTheWire() {
  TinyServer server;
  server.answer(200, "1.24\r\n");
  Inet inet;
  QSignalSpy text(&inet, &Inet::GetRes);
  inet.Initialize();
  inet.Execute(server.url(), QStringLiteral("问"));
  QVERIFY(text.wait(5000));
  QCOMPARE(text[0][0].toString(), QStringLiteral("1.24\r\n"));
  QVERIFY(server.requests.at(0).startsWith("POST /chengyu/download/ver.ini HTTP/1.1\r\n"));
  QVERIFY(server.requests.at(0).endsWith("\r\n\r\n问"));

  // The whole check: one POST with an empty body, and the notice.
  UpDateMe check;
  QSignalSpy update(&check, &UpDateMe::GetUpdate);
  check.StartSearch(server.url(), 1, 23);
  QVERIFY(update.wait(5000));
  QCOMPARE(server.requests.size(), 2);
  const QByteArray& request = server.requests[1];
  QVERIFY(request.startsWith("POST /chengyu/download/ver.ini HTTP/1.1\r\n"));
  QVERIFY(request.contains("\r\nContent-Length: 0\r\n"));
  QVERIFY(request.endsWith("\r\n\r\n"));
}

void QtHttpRequestTest::statusesOtherThan200_data() {
  QTest::addColumn<int>("status");
  QTest::addColumn<QString>("error");
  QTest::newRow("404") << 404 << "无效网络地址！";
  QTest::newRow("500") << 500 << "";
  // A redirect is one more status: never followed, never turned into a GET.
  QTest::newRow("301") << 301 << "";
  QTest::newRow("302") << 302 << "";
  QTest::newRow("303") << 303 << "";
  QTest::newRow("307") << 307 << "";
}

void QtHttpRequestTest::statusesOtherThan200() {
  QFETCH(int, status);
  QFETCH(QString, error);
  TinyServer server;
  server.answer(status, "<html>elsewhere</html>", "Location: /chengyu/elsewhere\r\n");
  Inet inet;
  QSignalSpy text(&inet, &Inet::GetRes);
  QSignalSpy errors(&inet, &Inet::GetError);
  inet.Initialize();
  inet.Execute(server.url(), {});
  QTRY_VERIFY_WITH_TIMEOUT(!inet.polling(), 5000);
  QCOMPARE(text.count(), 0);
  QCOMPARE(errors.count(), error.isEmpty() ? 0 : 1);
  if (!error.isEmpty()) QCOMPARE(errors[0][0].toString(), error);
  QCOMPARE(server.requests.size(), 1);

  // The control is free again: the next request runs normally.
  server.answer(200, "again");
  inet.Execute(server.url(), {});
  QVERIFY(text.wait(5000));
  QCOMPARE(server.requests.size(), 2);
  QVERIFY(server.requests[1].startsWith("POST /chengyu/download/ver.ini "));
}

void QtHttpRequestTest::oneStartOnePost_data() {
  QTest::addColumn<TinyServer::Mode>("mode");
  QTest::newRow("answer without a status line") << TinyServer::Mode::NoStatusLine;
  QTest::newRow("close without answering") << TinyServer::Mode::CloseWithoutAnswer;
  QTest::newRow("close in the middle of the reply") << TinyServer::Mode::CloseMidReply;
}

void QtHttpRequestTest::oneStartOnePost() {
  // A broken answer ends the check silently, and Qt sends nothing again.
  QFETCH(TinyServer::Mode, mode);
  TinyServer server;
  server.mode = mode;
  UpDateMe check;
  QSignalSpy ok(&check.HC1(), &HC::ResponseSuccess);
  QSignalSpy bad(&check.HC1(), &HC::ResponseError);
  check.StartSearch(server.url(), 1, 23);
  Inet* inet = check.HC1().Inet1(1);
  QTRY_VERIFY_WITH_TIMEOUT(!inet->polling(), 5000);
  QCOMPARE(ok.count() + bad.count(), 0);
  QCOMPARE(server.requests.size(), 1);
}

void QtHttpRequestTest::timeOutsAtTheTickLimits_data() {
  QTest::addColumn<TinyServer::Mode>("mode");
  QTest::addColumn<int>("state");      // the request's state once the server has acted
  QTest::addColumn<bool>("cut");       // the request object's own time-out ends the transfer
  QTest::addColumn<int>("tick");       // the tick that reports the time-out
  QTest::newRow("silence") << TinyServer::Mode::Silent << int(HttpRequest::kSent) << true << 1000;
  QTest::newRow("headers then silence") << TinyServer::Mode::HeadersThenSilence
                                        << int(HttpRequest::kReceiving) << true << 6000;
  QTest::newRow("trickle") << TinyServer::Mode::Trickle << int(HttpRequest::kReceiving) << false << 6000;
}

void QtHttpRequestTest::timeOutsAtTheTickLimits() {
  // Whichever runs out first, the request object's time-outs or Inet's tick
  // count, the request ends in one "连接超时！" at the tick the count says.
  QFETCH(TinyServer::Mode, mode);
  QFETCH(int, state);
  QFETCH(bool, cut);
  QFETCH(int, tick);
  TinyServer server;
  server.mode = mode;
  QtHttpRequest* request = nullptr;
  Inet inet([&request]() -> std::unique_ptr<HttpRequest> {
    auto made = std::make_unique<QuickTimeouts>();
    request = made.get();
    return made;
  });
  inet.setPollInterval(kTestTicks);
  QSignalSpy errors(&inet, &Inet::GetError);
  inet.Initialize();
  inet.Execute(server.url(), {});
  QTRY_COMPARE_WITH_TIMEOUT(server.requests.size(), 1, 5000);
  QTRY_COMPARE_WITH_TIMEOUT(*request->readyState(), state, 5000);
  if (cut) {
    QTRY_COMPARE_WITH_TIMEOUT(server.closedByClient, 1, 5000);
  } else {
    // Data still coming after longer than the receiving limit of 600 ms.
    QTRY_VERIFY_WITH_TIMEOUT(*request->bytesReceived() >= 8, 5000);
    QCOMPARE(server.closedByClient, 0);
  }
  QCOMPARE(*request->readyState(), state);
  for (int i = 1; i < tick; ++i) inet.poll();
  QCOMPARE(errors.count(), 0);
  inet.poll();
  QCOMPARE(errors.count(), 1);
  QCOMPARE(errors[0][0].toString(), QStringLiteral("连接超时！"));
  QCOMPARE(server.requests.size(), 1);
}

void QtHttpRequestTest::endlessBodyIsCutOff() {
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

QTEST_GUILESS_MAIN(QtHttpRequestTest)
#include "qt_http_request_test.moc"
