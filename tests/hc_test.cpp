// Tests of HC on scripted requests: argument checks, elements by task
// number, screening of text replies and the extId of each result.
#include <QSignalSpy>
#include <QTest>

#include "hc.h"
#include "inet.h"
#include "scripted_http_request.h"

using namespace tessaly;

namespace {

const QString kUrl = QStringLiteral("http://127.0.0.1:9/chengyu/download/ver.ini");

}  // namespace

class HcTest : public QObject {
  Q_OBJECT

 private slots:
  void argumentChecks();
  void elementsByTaskNumber();
  void screensTextReplies_data();
  void screensTextReplies();
  void bytesAndErrorsCarryExtId();
  void busyKeepsTheRunningExtId();
};

void HcTest::argumentChecks() {
  HttpScripts scripts;
  QStringList boxes;
  HC hc(scripts.factory());
  connect(&hc, &HC::ArgumentError, [&](const QString& text, const QString& title) { boxes << title + ":" + text; });
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

void HcTest::elementsByTaskNumber() {
  HttpScripts scripts;
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

void HcTest::screensTextReplies_data() {
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

void HcTest::screensTextReplies() {
  QFETCH(QByteArray, reply);
  QFETCH(bool, success);
  QFETCH(QString, text);
  HttpScripts scripts;
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

void HcTest::bytesAndErrorsCarryExtId() {
  HttpScripts scripts;
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

void HcTest::busyKeepsTheRunningExtId() {
  HttpScripts scripts;
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

QTEST_GUILESS_MAIN(HcTest)
#include "hc_test.moc"
