// Tests of the main window: the update check of the main window: the notice, and the setting. On real widgets,
// offscreen, with the platform layer replaced.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <QCompleter>
#include <QDir>
#include <QFileInfo>
#include <QInputMethodEvent>
#include <QListWidget>
#include <QStringListModel>
#include <QTemporaryDir>

#include "fake_desktop.h"
#include "frm_main.h"
#include "frm_wordbook.h"
#include "result_list_model.h"
#include "window_test_util.h"
#include "search_engine.h"
#include "status_strip.h"
#include "tessaly_config.h"

using namespace tessaly;
using namespace tessaly::testing;

class UpdateCheckTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { UserFolders(); }
  void updateNoticeFromVersionFile();
  void updateCheckFollowsTheSetting_data();
  void updateCheckFollowsTheSetting();
};

void UpdateCheckTest::updateNoticeFromVersionFile() {
  if (!kUpdateCheck) QSKIP("built without the update check");
  // A real socket: the version file says 1.24, newer than 1.23.
  QTcpServer server;
  QVERIFY(server.listen(QHostAddress::LocalHost));
  QByteArray request;
  connect(&server, &QTcpServer::newConnection, &server, [&] {
    QTcpSocket* socket = server.nextPendingConnection();
    connect(socket, &QTcpSocket::readyRead, socket, [socket, &request] {
      request += socket->readAll();
      if (!request.contains("\r\n\r\n")) return;
      socket->write("HTTP/1.1 200 OK\r\nContent-Length: 6\r\nConnection: close\r\n\r\n1.24\r\n");
      socket->disconnectFromHost();
    });
  });
  FakeDesktop desktop;
  FrmMainServices services;
  services.dataFile = std::filesystem::path(TESSALY_BIN_DIR) / "cy.dat";
  services.versionUrl = QStringLiteral("http://127.0.0.1:%1/chengyu/download/ver.ini").arg(server.serverPort());
  FrmMain frm(desktop, services);
  QVERIFY(frm.Form_Load());
  QVERIFY(desktop.messages.empty());  // the check never delays the window or the load
  QTRY_COMPARE_WITH_TIMEOUT(desktop.messages.size(), size_t(1), 10000);
  QCOMPARE(desktop.messages.front().text, QStringLiteral("检测到有新版本，请到“主页”下载"));
  QCOMPARE(desktop.messages.front().title, QStringLiteral("更新"));
  QCOMPARE(desktop.messages.front().icon, Desktop::Icon::Information);
  QVERIFY(request.startsWith("POST /chengyu/download/ver.ini HTTP/1.1\r\n"));
}

// The update check runs at start unless 启动时检查新版本 is off.
void UpdateCheckTest::updateCheckFollowsTheSetting_data() {
  QTest::addColumn<bool>("on");
  QTest::newRow("on, as by default") << true;
  QTest::newRow("turned off") << false;
}

void UpdateCheckTest::updateCheckFollowsTheSetting() {
  QFETCH(bool, on);
  if (!kUpdateCheck) QSKIP("built without the update check");
  QString settings;
  {
    Window w;
    settings = w.services.settingsFile;
    if (!on) w.action("menuUpdateCheck")->trigger();
  }
  auto script = std::make_shared<HttpScript>();
  Window w([&](FrmMainServices& s) {
    s.settingsFile = settings;
    s.http = ScriptedHttpRequest::Factory(script);
  });
  QCOMPARE(w.action("menuUpdateCheck")->isChecked(), on);
  QCOMPARE(std::count_if(script->calls.begin(), script->calls.end(),
                         [](const std::string& call) { return call.rfind("open POST ", 0) == 0; }),
           on ? 1 : 0);
}

TESSALY_WINDOW_TEST(UpdateCheckTest)
#include "update_check_test.moc"
