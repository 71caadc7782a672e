// Tests of the main window: the keys and mouse buttons of the main window. On real widgets,
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

class KeyRouterTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { UserFolders(); }
  void menusFromTheKeyboard();
  void keyboard_data();
  void keyboard();
  void ctrlASelectsOnlyWithCtrlAlone();
  void mouseMoveFocusesOnlyWhenActive();
};

// The menu bar from the keyboard: the first four entries keep their
// captions and order and open with Alt and a letter; F10 and Alt show the
// first entry highlighted (Fusion drew no highlight before a menu opened).
void KeyRouterTest::menusFromTheKeyboard() {
  Window w;
  QMenuBar* bar = w.frm->menuBar();
  QStringList captions;
  for (QAction* a : bar->actions()) captions << a->text();
  QCOMPARE(captions.mid(0, 4), (QStringList{"  帮助  ", "※ 赞赏 ※", "  主页  ", "更多查找"}));
  QCOMPARE(captions.mid(4), (QStringList{"历史(&L)", "☆ 生词本(&B)", "查看(&V)", "选项(&O)"}));
  QVERIFY(QTest::qWaitForWindowActive(w.frm.get()));
  const QRect first = bar->actionGeometry(bar->actions().first());
  const QImage resting = bar->grab(first).toImage();

  QTest::keyClick(w.TxtFind(), Qt::Key_F10);
  QCOMPARE(bar->activeAction(), bar->actions().first());
  QVERIFY(bar->hasFocus());
  QVERIFY(bar->grab(first).toImage() != resting);
  QTest::keyClick(bar, Qt::Key_Escape);
  QTRY_COMPARE(QApplication::focusWidget(), w.TxtFind());
  QVERIFY(bar->grab(first).toImage() == resting);

  QTest::keyPress(w.TxtFind(), Qt::Key_Alt, Qt::AltModifier);
  QTest::keyRelease(w.TxtFind(), Qt::Key_Alt, Qt::NoModifier);
  QCOMPARE(bar->activeAction(), bar->actions().first());
  QVERIFY(bar->grab(first).toImage() != resting);
  QTest::keyClick(bar, Qt::Key_Escape);

  QTest::keyClick(w.TxtFind(), Qt::Key_M, Qt::AltModifier);
  QTRY_VERIFY(w.menu("menuMore")->isVisible());
  w.menu("menuMore")->close();
  QTest::keyClick(w.TxtFind(), Qt::Key_L, Qt::AltModifier);
  QTRY_VERIFY(w.menu("menuHistory")->isVisible());
  w.menu("menuHistory")->close();
  QVERIFY(w.TxtFind()->text().isEmpty());  // no letter typed
}

// Keys of the query box and the result list, after searching 一心.
void KeyRouterTest::keyboard_data() {
  QTest::addColumn<QString>("from");  // the control with the focus, and for List1 its row
  QTest::addColumn<int>("row");
  QTest::addColumn<int>("key");
  QTest::addColumn<int>("modifiers");
  QTest::addColumn<QString>("to");
  QTest::addColumn<int>("rowAfter");
  QTest::addColumn<QString>("query");
  const int none = Qt::NoModifier;
  QTest::newRow("Down enters the list") << "TxtFind" << 0 << int(Qt::Key_Down) << none << "List1" << 0 << "一心";
  QTest::newRow("Up on the first row goes back") << "List1" << 0 << int(Qt::Key_Up) << none << "TxtFind" << 0 << "一心";
  QTest::newRow("Up below it moves up") << "List1" << 2 << int(Qt::Key_Up) << none << "List1" << 1 << "一心";
  QTest::newRow("Enter shows the row") << "List1" << 3 << int(Qt::Key_Return) << none << "List1" << 3 << "一心";
  QTest::newRow("Ctrl+L selects the query") << "List1" << 1 << int(Qt::Key_L) << int(Qt::ControlModifier) << "TxtFind"
                                            << 1 << "一心";
  QTest::newRow("Esc clears the query") << "TxtFind" << 0 << int(Qt::Key_Escape) << none << "TxtFind" << 0 << "";
  QTest::newRow("Alt+letter types nothing") << "TxtFind" << 0 << int(Qt::Key_A) << int(Qt::AltModifier) << "TxtFind"
                                            << 0 << "一心";
}

void KeyRouterTest::keyboard() {
  QFETCH(QString, from);
  QFETCH(int, row);
  QFETCH(int, key);
  QFETCH(int, modifiers);
  QFETCH(QString, to);
  QFETCH(int, rowAfter);
  QFETCH(QString, query);
  Window w;
  QVERIFY(QTest::qWaitForWindowActive(w.frm.get()));
  w.search("一心");
  w.fill();
  if (from == "List1") {
    w.List1()->setFocus();
    // The current row moves without showing it: Enter has to.
    w.List1()->selectionModel()->setCurrentIndex(w.List1()->model()->index(row, 0), QItemSelectionModel::NoUpdate);
  } else {
    w.TxtFind()->setFocus();
  }
  w.key(key, Qt::KeyboardModifiers(modifiers));
  QCOMPARE(QApplication::focusWidget()->objectName(), to);
  QCOMPARE(w.TxtFind()->text(), query);
  QCOMPARE(w.List1()->currentIndex().row(), rowAfter);
  if (key == Qt::Key_Return) QCOMPARE(w.shown(), w.rows()[rowAfter]);
  if (key == Qt::Key_L) QCOMPARE(w.TxtFind()->selectedText(), query);
}

void KeyRouterTest::ctrlASelectsOnlyWithCtrlAlone() {
  Window w;
  QTest::keyClick(w.TxtView(), Qt::Key_A, Qt::ControlModifier);
  QVERIFY(!w.TxtView()->textCursor().hasSelection());  // an empty pane gives an empty selection
  w.search("一心一意");
  w.fill();
  QTextCursor c = w.TxtView()->textCursor();
  c.setPosition(5);
  w.TxtView()->setTextCursor(c);
  QTest::keyClick(w.TxtView(), Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
  QVERIFY(!w.TxtView()->textCursor().hasSelection());
  QTest::keyClick(w.TxtView(), Qt::Key_A, Qt::ControlModifier | Qt::AltModifier);
  QVERIFY(!w.TxtView()->textCursor().hasSelection());
  QTest::keyClick(w.TxtView(), Qt::Key_A);
  QVERIFY(!w.TxtView()->textCursor().hasSelection());
  QTest::keyClick(w.TxtView(), Qt::Key_A, Qt::ControlModifier);
  QCOMPARE(w.TxtView()->textCursor().selectedText().size(), w.TxtView()->toPlainText().size());
  QVERIFY(w.TxtView()->toPlainText().startsWith("一心一意"));  // read-only: nothing typed in
}

void KeyRouterTest::mouseMoveFocusesOnlyWhenActive() {
  Window w;
  w.List1()->setFocus();
  QVERIFY(QTest::qWaitForWindowActive(w.frm.get()));
  w.List1()->setFocus();
  w.desktop.foreground = false;
  QTest::mouseMove(w.TxtFind(), QPoint(5, 5));
  QTest::mouseMove(w.TxtFind(), QPoint(8, 6));
  QCOMPARE(QApplication::focusWidget(), w.List1());
  w.desktop.foreground = true;
  QTest::mouseMove(w.TxtFind(), QPoint(10, 7));
  QTRY_COMPARE(QApplication::focusWidget(), w.TxtFind());
}

TESSALY_WINDOW_TEST(KeyRouterTest)
#include "key_router_test.moc"
