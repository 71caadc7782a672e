// Tests of Inet and HC on scripted requests, tick by tick.
#include <QSignalSpy>
#include <QTest>

#include "hc.h"
#include "inet.h"
#include "scripted_http_request.h"
#include "update_me.h"

using namespace tessaly;

namespace {

const QString kUrl = QStringLiteral("http://127.0.0.1:9/chengyu/download/ver.ini");

// A factory that gives every request object a script of its own.
struct Scripts {
  std::vector<std::shared_ptr<HttpScript>> made;
  bool missing = false;
  HttpRequestFactory factory() {
    return [this]() -> std::unique_ptr<HttpRequest> {
      if (missing) return nullptr;
      made.push_back(std::make_shared<HttpScript>());
      return std::make_unique<ScriptedHttpRequest>(made.back());
    };
  }
};

void Complete(HttpScript& s, int status, const QByteArray& body) {
  s.state = HttpRequest::kCompleted;
  s.status = status;
  s.body = body;
}

}  // namespace

class InetTest : public QObject {
  Q_OBJECT

 private slots:
  void postsWithTimeouts();
  void busyKeepsTheRunningRequest();
  void textThenBytesWithOwner();
  void notFoundOnce();
  void timeOutsCountTicks_data();
  void timeOutsCountTicks();
  void otherStatusIsSilentAndStopsPolling();
  void errorsInsideATick();
  void missingComponent();
  void oversizedReplyEndsAsTimeOut();
  void hcArgumentChecks();
  void hcElementsByTaskNumber();
  void hcScreensTextReplies_data();
  void hcScreensTextReplies();
  void hcBytesAndErrorsCarryExtId();
  void hcBusyKeepsTheRunningExtId();
  void leadingNumber_data();
  void leadingNumber();
};

void InetTest::postsWithTimeouts() {
  Scripts scripts;
  Inet inet(scripts.factory());
  inet.Initialize();
  inet.Execute(kUrl, QStringLiteral("问"));
  const auto& calls = scripts.made.at(0)->calls;
  QCOMPARE(calls.size(), size_t(3));
  QCOMPARE(calls[0], std::string("timeouts 10000 10000 10000 60000"));
  QCOMPARE(calls[1], "open POST " + kUrl.toStdString());
  QCOMPARE(calls[2], std::string("send 问"));
  QVERIFY(inet.polling());
  QCOMPARE(inet.pollCount(), 0);
  inet.setTimeOut(1);  // stores nothing
  QCOMPARE(scripts.made[0]->calls.size(), size_t(3));
}

void InetTest::busyKeepsTheRunningRequest() {
  Scripts scripts;
  Inet inet(scripts.factory());
  QSignalSpy busy(&inet, &Inet::InetBusy);
  inet.Initialize();
  QVERIFY(inet.Execute(kUrl, {}, 0, 3));
  QVERIFY(!inet.Execute(kUrl, {}, 1, 9));
  QVERIFY(!inet.Execute2(kUrl, "x", 1, 9));
  QCOMPARE(busy.count(), 2);
  QCOMPARE(inet.resType(), 0);
  QCOMPARE(inet.OwnerID(), 3);
}

void InetTest::textThenBytesWithOwner() {
  Scripts scripts;
  Inet inet(scripts.factory());
  QSignalSpy text(&inet, &Inet::GetRes);
  QSignalSpy bytes(&inet, &Inet::GetResByteA);
  inet.Initialize();
  HttpScript& s = *scripts.made[0];
  inet.Execute(kUrl, {});
  inet.poll();
  Complete(s, 200, "1.24\r\n");
  inet.poll();
  QCOMPARE(text.count(), 1);
  QCOMPARE(text[0][0].toString(), QStringLiteral("1.24\r\n"));
  QVERIFY(!inet.polling());
  QCOMPARE(inet.pollCount(), 2);  // not reset by a result

  inet.Execute2(kUrl, QByteArray("\x01\x02", 2), 1, 7);
  QCOMPARE(s.calls.back(), std::string("send \x01\x02"));
  Complete(s, 200, QByteArray("\xFF\x00", 2));
  inet.poll();
  QCOMPARE(text.count(), 1);
  QCOMPARE(bytes.count(), 1);
  QCOMPARE(bytes[0][0].toByteArray(), QByteArray("\xFF\x00", 2));
  QCOMPARE(bytes[0][1].toInt(), 7);
}

void InetTest::notFoundOnce() {
  Scripts scripts;
  Inet inet(scripts.factory());
  QSignalSpy errors(&inet, &Inet::GetError);
  inet.Initialize();
  inet.Execute(kUrl, {});
  inet.poll();
  Complete(*scripts.made[0], 404, "gone");
  inet.poll();
  QCOMPARE(errors.count(), 1);
  QCOMPARE(errors[0][0].toString(), QStringLiteral("无效网络地址！"));
  QVERIFY(!inet.polling());
  QCOMPARE(inet.pollCount(), 0);
  QCOMPARE(scripts.made[0]->calls.back(), std::string("abort"));
}

void InetTest::timeOutsCountTicks_data() {
  QTest::addColumn<int>("state");
  QTest::addColumn<int>("tick");
  QTest::newRow("opened") << int(HttpRequest::kOpened) << 1000;
  QTest::newRow("sent") << int(HttpRequest::kSent) << 1000;
  QTest::newRow("receiving") << int(HttpRequest::kReceiving) << 6000;
}

void InetTest::timeOutsCountTicks() {
  QFETCH(int, state);
  QFETCH(int, tick);
  Scripts scripts;
  Inet inet(scripts.factory());
  QSignalSpy errors(&inet, &Inet::GetError);
  inet.Initialize();
  inet.Execute(kUrl, {});
  scripts.made[0]->state = state;
  for (int i = 1; i < tick; ++i) inet.poll();
  QCOMPARE(errors.count(), 0);
  QVERIFY(inet.polling());
  inet.poll();
  QCOMPARE(errors.count(), 1);
  QCOMPARE(errors[0][0].toString(), QStringLiteral("连接超时！"));
  QVERIFY(!inet.polling());
  QCOMPARE(inet.pollCount(), 0);
}

void InetTest::otherStatusIsSilentAndStopsPolling() {
  Scripts scripts;
  Inet inet(scripts.factory());
  QSignalSpy text(&inet, &Inet::GetRes);
  QSignalSpy errors(&inet, &Inet::GetError);
  QSignalSpy busy(&inet, &Inet::InetBusy);
  inet.Initialize();
  inet.Execute(kUrl, {});
  Complete(*scripts.made[0], 500, "oops");
  inet.poll();
  QVERIFY(!inet.polling());
  QCOMPARE(text.count() + errors.count(), 0);
  // A completed request leaves the control free for the next.
  QVERIFY(inet.Execute(kUrl, {}));
  QCOMPARE(busy.count(), 0);
  QVERIFY(inet.polling());
  Complete(*scripts.made[0], 200, "ok");
  inet.poll();
  QCOMPARE(text.count(), 1);
}

void InetTest::errorsInsideATick() {
  Scripts scripts;
  Inet inet(scripts.factory());
  QSignalSpy text(&inet, &Inet::GetRes);
  QSignalSpy errors(&inet, &Inet::GetError);
  inet.Initialize();
  HttpScript& s = *scripts.made[0];
  inet.Execute(kUrl, {});
  Complete(s, 200, "late");
  s.failing.insert("state");
  inet.poll();
  QVERIFY(inet.polling());  // the timer stays as it was
  s.failing = {"status"};
  inet.poll();
  QVERIFY(inet.polling());
  QCOMPARE(text.count() + errors.count(), 0);
  s.failing.clear();
  inet.poll();
  QCOMPARE(text.count(), 1);

  // A failing open ends Execute without an event and without polling.
  Inet other(scripts.factory());
  QSignalSpy otherErrors(&other, &Inet::GetError);
  other.Initialize();
  scripts.made[1]->failing.insert("open");
  other.Execute(QStringLiteral("no address"), {});
  QVERIFY(!other.polling());
  QCOMPARE(otherErrors.count(), 0);
}

void InetTest::missingComponent() {
  Scripts scripts;
  scripts.missing = true;
  Inet inet(scripts.factory());
  QSignalSpy errors(&inet, &Inet::GetError);
  QSignalSpy busy(&inet, &Inet::InetBusy);
  inet.Initialize();
  QCOMPARE(errors.count(), 1);
  QCOMPARE(errors[0][0].toString(), QStringLiteral("缺少网络组件，软件无法正常运行！"));
  inet.Execute(kUrl, {});
  QCOMPARE(errors.count() + busy.count(), 1);
  QVERIFY(!inet.polling());
}

void InetTest::oversizedReplyEndsAsTimeOut() {
  Scripts scripts;
  Inet inet(scripts.factory());
  QSignalSpy errors(&inet, &Inet::GetError);
  inet.Initialize();
  inet.Execute(kUrl, {});
  scripts.made[0]->state = HttpRequest::kReceiving;
  scripts.made[0]->received = kMaxReplyBytes;
  inet.poll();
  QCOMPARE(errors.count(), 0);
  scripts.made[0]->received = kMaxReplyBytes + 1;
  inet.poll();
  QCOMPARE(errors.count(), 1);
  QCOMPARE(errors[0][0].toString(), QStringLiteral("连接超时！"));
  QVERIFY(!inet.polling());
}

void InetTest::hcArgumentChecks() {
  Scripts scripts;
  QStringList boxes;
  HC hc(scripts.factory(), [&](const QString& text, const QString& title) { boxes << title + ":" + text; });
  hc.ExecuteRemoteQuery({}, -1);
  hc.ExecuteRemoteQuery({}, 3);
  QCOMPARE(boxes, (QStringList{"错误:服务器地址未设置！", "错误:服务器地址未设置！"}));
  QCOMPARE(hc.elementCount(), 1);
  hc.InitializePost(kUrl);
  hc.ExecuteRemoteQuery2({}, -1);
  QCOMPARE(boxes.last(), QStringLiteral("错误:TaskID 不能为负！"));
  QCOMPARE(hc.elementCount(), 1);
  QCOMPARE(scripts.made.size(), size_t(1));
  QVERIFY(scripts.made[0]->calls.size() == 1);  // nothing is sent
}

void InetTest::hcElementsByTaskNumber() {
  Scripts scripts;
  HC hc(scripts.factory());
  hc.InitializePost(kUrl);
  QVERIFY(hc.Inet1(0) != nullptr);
  QVERIFY(hc.Inet1(5) == nullptr);
  hc.ExecuteRemoteQuery(QStringLiteral("a"), 0);
  QCOMPARE(scripts.made.size(), size_t(1));
  hc.ExecuteRemoteQuery(QStringLiteral("b"), 5);
  QCOMPARE(scripts.made.size(), size_t(2));
  Inet* five = hc.Inet1(5);
  QVERIFY(five != nullptr && five->polling());
  Complete(*scripts.made[1], 200, "x");
  five->poll();
  hc.ExecuteRemoteQuery(QStringLiteral("c"), 5);
  QCOMPARE(hc.Inet1(5), five);
  QCOMPARE(scripts.made.size(), size_t(2));
  QCOMPARE(scripts.made[1]->calls.back(), std::string("send c"));
}

void InetTest::hcScreensTextReplies_data() {
  QTest::addColumn<QByteArray>("reply");
  QTest::addColumn<bool>("success");
  QTest::addColumn<QString>("text");
  QTest::newRow("version with CR LF") << QByteArray("1.24\r\n") << true << "1.24";
  QTest::newRow("bare LF kept") << QByteArray("1.24\n\r") << true << "1.24\n\r";
  QTest::newRow("doctype") << QByteArray("<!DOCTYPE html><p>x") << false << "未连接到服务器！请检查服务器设置";
  QTest::newRow("lower-case doctype") << QByteArray("<!doctype html>") << true << "<!doctype html>";
  QTest::newRow("space before doctype") << QByteArray(" <!DOCTYPE html>") << true << " <!DOCTYPE html>";
  QTest::newRow("warning anywhere") << QByteArray("1.24<br><b>Warning</b>: x") << false << "服务器操作异常！";
  QTest::newRow("doctype wins over warning") << QByteArray("<!DOCTYPE <b>Warning</b>") << false
                                             << "未连接到服务器！请检查服务器设置";
}

void InetTest::hcScreensTextReplies() {
  QFETCH(QByteArray, reply);
  QFETCH(bool, success);
  QFETCH(QString, text);
  Scripts scripts;
  HC hc(scripts.factory());
  QSignalSpy ok(&hc, &HC::ResponseSuccess);
  QSignalSpy bad(&hc, &HC::ResponseError);
  hc.InitializePost(kUrl);
  hc.ExecuteRemoteQuery({}, 2, -5);
  Complete(*scripts.made[1], 200, reply);
  hc.Inet1(2)->poll();
  QSignalSpy& spy = success ? ok : bad;
  QCOMPARE(ok.count() + bad.count(), 1);
  QCOMPARE(spy.count(), 1);
  QCOMPARE(spy[0][0].toString(), text);
  QCOMPARE(spy[0][1].toInt(), 2);
  QCOMPARE(spy[0][2].toInt(), -5);
}

void InetTest::hcBytesAndErrorsCarryExtId() {
  Scripts scripts;
  HC hc(scripts.factory());
  QSignalSpy bytes(&hc, &HC::ResponseSuccess2);
  QSignalSpy bad(&hc, &HC::ResponseError);
  hc.InitializePost(kUrl);
  hc.ExecuteRemoteQuery2("q", 0, 11, 1, 42);
  Complete(*scripts.made[0], 200, "<!DOCTYPE raw");
  hc.Inet1(0)->poll();
  QCOMPARE(bytes.count(), 1);  // byte replies are not screened
  QCOMPARE(bytes[0][0].toByteArray(), QByteArray("<!DOCTYPE raw"));
  QCOMPARE(bytes[0][2].toInt(), 11);
  QCOMPARE(bytes[0][3].toInt(), 42);
  hc.ExecuteRemoteQuery({}, 0, 12);
  Complete(*scripts.made[0], 404, {});
  hc.Inet1(0)->poll();
  QCOMPARE(bad.count(), 1);
  QCOMPARE(bad[0][0].toString(), QStringLiteral("无效网络地址！"));
  QCOMPARE(bad[0][2].toInt(), 12);
}

void InetTest::hcBusyKeepsTheRunningExtId() {
  Scripts scripts;
  HC hc(scripts.factory());
  QSignalSpy ok(&hc, &HC::ResponseSuccess);
  QSignalSpy busy(&hc, &HC::HCBusy);
  hc.InitializePost(kUrl);
  hc.ExecuteRemoteQuery({}, 1, 100);
  hc.ExecuteRemoteQuery({}, 1, 200);
  QCOMPARE(busy.count(), 1);
  QCOMPARE(busy[0][0].toInt(), 1);
  Complete(*scripts.made[1], 200, "done");
  hc.Inet1(1)->poll();
  QCOMPARE(ok.count(), 1);
  QCOMPARE(ok[0][2].toInt(), 100);  // the refused query must not relabel the result
}

void InetTest::leadingNumber_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<double>("number");
  QTest::newRow("version") << "1.24" << 1.24;
  QTest::newRow("stops at letters") << "1.3abc" << 1.3;
  QTest::newRow("second point stops") << "1.2.3" << 1.2;
  QTest::newRow("letter first") << "v1.24" << 0.0;
  QTest::newRow("empty") << "" << 0.0;
  QTest::newRow("point alone") << "." << 0.0;
  QTest::newRow("sign") << "-2.5x" << -2.5;
  QTest::newRow("leading point") << ".5" << 0.5;
}

void InetTest::leadingNumber() {
  QFETCH(QString, text);
  QFETCH(double, number);
  QCOMPARE(LeadingNumber(text), number);
}

QTEST_GUILESS_MAIN(InetTest)
#include "inet_test.moc"
