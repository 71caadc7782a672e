// Tests of the main window: the history: back and forward, and the recent queries across starts. On real widgets,
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

class HistoryMenuTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { UserFolders(); }
  void historyBackAndForward();
  void recentQueriesAcrossStarts();
};

// 后退 and 前进 step over the searches, each bringing back the idiom that
// was on show; a new search drops the steps ahead, as in a browser.
void HistoryMenuTest::historyBackAndForward() {
  Window w;
  w.search("天地");
  w.fill();
  w.List1()->setCurrentIndex(w.List1()->model()->index(2, 0));
  const QString third = w.shown();
  w.search("yixinyi", "menuPinyin");
  w.fill();
  w.search("*", "CmdStart1");
  QVERIFY(!w.action("menuForward")->isEnabled());

  w.key(Qt::Key_Left, Qt::AltModifier);
  QCOMPARE(w.TxtFind()->text(), QStringLiteral("yixinyi"));
  w.fill();
  QCOMPARE(w.rows().first(), QStringLiteral("一心一德"));
  // The mouse's back button, pressed anywhere in the window.
  QTest::mouseClick(w.List1()->viewport(), Qt::BackButton, {}, QPoint(5, 5));
  QCOMPARE(w.TxtFind()->text(), QStringLiteral("天地"));
  QCOMPARE(w.shown(), third);  // at once, before the list reaches it
  w.fill();
  QCOMPARE(w.selectedRow(), 2);
  QVERIFY(!w.action("menuBack")->isEnabled());

  w.key(Qt::Key_Right, Qt::AltModifier);
  QCOMPARE(w.TxtFind()->text(), QStringLiteral("yixinyi"));
  QCOMPARE(w.Label3()->text(), QStringLiteral("共查到 2 个成语！"));
  w.search("守株待兔");
  QVERIFY(!w.action("menuForward")->isEnabled());
  w.key(Qt::Key_Left, Qt::AltModifier);
  QCOMPARE(w.TxtFind()->text(), QStringLiteral("yixinyi"));
}

// The query box offers the last 50 queries, newest first and each once,
// and so does the next window on the same settings.
void HistoryMenuTest::recentQueriesAcrossStarts() {
  QString settings;
  {
    Window w;
    settings = w.services.settingsFile;
    for (const char* query : {"天地", "一心", "天地"}) w.search(query);
    w.TxtFind()->setText(QStringLiteral("守"));
    w.action("menuBack")->trigger();  // a step back is no new query
  }
  Window again([&](FrmMainServices& s) { s.settingsFile = settings; });
  auto* completer = again.TxtFind()->completer();
  QCOMPARE(qobject_cast<QStringListModel*>(completer->model())->stringList(), (QStringList{"天地", "一心"}));
  again.action("menuRecent")->trigger();
  QTRY_VERIFY(completer->popup()->isVisible());
  QCOMPARE(completer->completionCount(), 2);
}

TESSALY_WINDOW_TEST(HistoryMenuTest)
#include "history_menu_test.moc"
