// Tests of Inet on scripted requests, tick by tick.
#include <QSignalSpy>
#include <QTest>

#include "inet.h"
#include "scripted_http_request.h"

using namespace tessaly;

namespace {

const QString kUrl = QStringLiteral("http://127.0.0.1:9/chengyu/download/ver.ini");

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
  void receiverExceptionsPassThrough_data();
  void receiverExceptionsPassThrough();
};

void InetTest::postsWithTimeouts() {
  HttpScripts scripts;
  Inet inet(scripts.factory());
  inet.Initialize();
  inet.Execute(kUrl, QStringLiteral("问"));
  const auto& calls = scripts.made.at(0)->calls;
  QCOMPARE(calls.size(), size_t(3));
  QCOMPARE(calls[0], std::string("timeouts 10000 10000 10000 60000"));
  QCOMPARE(calls[1], "open POST " + kUrl.toStdString());
  QCOMPARE(calls[2], std::string("send 问"));
  QVERIFY(inet.polling());
  QCOMPARE(inet.pollInterval(), 10);  // the tick counts of the time-outs are 10 ms ticks
  QCOMPARE(inet.pollCount(), 0);
  inet.setTimeOut(1);  // stores nothing
  QCOMPARE(scripts.made[0]->calls.size(), size_t(3));
}

void InetTest::busyKeepsTheRunningRequest() {
  HttpScripts scripts;
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
  HttpScripts scripts;
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
  HttpScripts scripts;
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
  HttpScripts scripts;
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
  HttpScripts scripts;
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
  HttpScripts scripts;
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
  HttpScripts scripts;
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
  HttpScripts scripts;
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

void InetTest::receiverExceptionsPassThrough_data() {
  QTest::addColumn<QString>("event");
  QTest::newRow("InetBusy") << "InetBusy";
  QTest::newRow("GetRes") << "GetRes";
  QTest::newRow("GetResByteA") << "GetResByteA";
  QTest::newRow("GetError for 404") << "404";
  QTest::newRow("GetError for a time-out") << "time-out";
  QTest::newRow("GetError for a missing component") << "missing";
}

void InetTest::receiverExceptionsPassThrough() {
  // Inet guards its request object's calls; what a receiver throws is not a
  // failing request and must reach the caller of the tick or of Execute.
  QFETCH(QString, event);
  HttpScripts scripts;
  scripts.missing = event == "missing";
  Inet inet(scripts.factory());
  auto fail = [] { throw std::runtime_error("receiver"); };
  connect(&inet, &Inet::InetBusy, fail);
  connect(&inet, &Inet::GetRes, fail);
  connect(&inet, &Inet::GetResByteA, fail);
  connect(&inet, &Inet::GetError, fail);
  if (event == "missing") {
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, inet.Initialize());
    return;
  }
  inet.Initialize();
  HttpScript& s = *scripts.made[0];
  inet.Execute(kUrl, {}, event == "GetResByteA" ? 1 : 0);
  if (event == "InetBusy") {
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, inet.Execute(kUrl, {}));
    return;
  }
  if (event == "time-out") {
    for (int i = 1; i < Inet::kNoResponseTicks; ++i) inet.poll();
  } else {
    Complete(s, event == "404" ? 404 : 200, "1.24");
  }
  QVERIFY_THROWS_EXCEPTION(std::runtime_error, inet.poll());
}

QTEST_GUILESS_MAIN(InetTest)
#include "inet_test.moc"
