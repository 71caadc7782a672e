// Tests of the main window: the main window's shell: its start, its load failure, its settings, its query box and its closing. On real widgets,
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

class FrmMainTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { UserFolders(); }
  void startUpState();
  void loadFailureShowsMessageAndEnds();
  void damagedSettings_data();
  void damagedSettings();
  void queryBoxHoldsAtMost22Characters();
  void closingEmptiesTheList();
};

void FrmMainTest::startUpState() {
  Window w;
  QVERIFY(w.loaded);
  QVERIFY(QTest::qWaitForWindowActive(w.frm.get()));
  QCOMPARE(QApplication::focusWidget(), w.TxtFind());
  QVERIFY(!w.button("CmdCopy")->isEnabled());
  QVERIFY(!w.button("CmdBaidu")->isEnabled());
  QCOMPARE(w.List1()->model()->rowCount(), 0);
  QVERIFY(w.TxtView()->toPlainText().isEmpty());
  QVERIFY(w.Label3()->text().isEmpty());
  QCOMPARE(w.Pic()->text(), AuthorLine());
  QVERIFY(AuthorLine().startsWith(QStringLiteral("作者：Orvel\u3000")));
  QVERIFY(AuthorLine().contains(QStringLiteral("\u3000\u3000手机网页版：http://")));
  QVERIFY(AuthorLine().endsWith(QStringLiteral("/chengyu")));
  QCOMPARE(w.frm->windowTitle(), QStringLiteral("Tessaly v1.23"));
  QVERIFY(!w.Timer1()->isActive());
  QCOMPARE(w.Timer1()->interval(), 5);
  QVERIFY(w.frm->table().size() >= 60);
  QVERIFY(w.desktop.messages.empty());
}

void FrmMainTest::loadFailureShowsMessageAndEnds() {
  QTemporaryDir dir;
  const QString path = dir.filePath("cy.dat");
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write("a#b#c#d#e#f\r\n\r\n");
  file.close();
  Window w({}, path.toStdString());
  QVERIFY(!w.loaded);
  QCOMPARE(w.desktop.terminatedWith, 1);
  QCOMPARE(w.desktop.messages.size(), size_t(1));
  const auto& m = w.desktop.messages.front();
  QCOMPARE(m.text, QStringLiteral("加载成语文件 cy.dat 失败！"));
  QCOMPARE(m.title, QStringLiteral("启动失败"));
  QCOMPARE(m.icon, Desktop::Icon::Critical);
  QVERIFY2(m.details.contains(QStringLiteral("第 2 行：空行")), qPrintable(m.details));
  QVERIFY(m.details.contains(path));

  Window missing({}, (dir.path() + "/none.dat").toStdString());
  QVERIFY(!missing.loaded);
  QCOMPARE(missing.desktop.messages.front().title, QStringLiteral("启动失败"));
}

// A settings file that is garbage, unreadable or out of range never stops
// the start: the window comes up as it does without settings.
void FrmMainTest::damagedSettings_data() {
  QTest::addColumn<QByteArray>("bytes");  // empty: a folder where the file should be
  QTest::newRow("garbage") << QByteArray("\x00\xff[view\n=zoom=\x01\n[\n", 17);
  QTest::newRow("a folder") << QByteArray();
  QTest::newRow("out of range") << QByteArray("[view]\nzoom=333\nsearchAsYouType=maybe\n[network]\nlookupSite=nowhere\n"
                                              "[history]\nrecentQueries=@Invalid()\n");
}

void FrmMainTest::damagedSettings() {
  QFETCH(QByteArray, bytes);
  QTemporaryDir dir;
  const QString file = dir.filePath("tessaly.ini");
  if (bytes.isEmpty()) {
    QVERIFY(QDir().mkdir(file));
  } else {
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  Window w([&](FrmMainServices& s) { s.settingsFile = file; });
  QVERIFY(w.loaded);
  QVERIFY(w.desktop.messages.empty());
  QCOMPARE(w.frm->centralWidget()->size(), QSize(w.frm->twips(12012), w.frm->twips(6876)));
  QCOMPARE(w.TxtFind()->font().pointSizeF(), 12.0);
  QVERIFY(!w.action("menuTyping")->isChecked());
  QVERIFY(w.action("menuSiteBaidu")->isChecked());
  w.search("一心一意");
  w.fill();
  w.button("CmdBaidu")->click();
  QCOMPARE(w.desktop.opened.back(), LookupUrl(QStringLiteral("一心一意")));
}

void FrmMainTest::queryBoxHoldsAtMost22Characters() {
  Window w;
  w.TxtFind()->setFocus();
  QTest::keyClicks(w.TxtFind(), QStringLiteral("abcdefghijklmnopqrstuvwxyz"));
  QCOMPARE(w.TxtFind()->text(), QStringLiteral("abcdefghijklmnopqrstuv"));
}

void FrmMainTest::closingEmptiesTheList() {
  Window w;
  w.search("*");
  w.fill();
  QVERIFY(w.List1()->model()->rowCount() > 0);
  w.frm->close();
  QCOMPARE(w.List1()->model()->rowCount(), 0);
}

TESSALY_WINDOW_TEST(FrmMainTest)
#include "frm_main_test.moc"
