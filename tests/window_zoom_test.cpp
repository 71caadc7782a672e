// Tests of the main window: the layout in twips and the zoom. On real widgets,
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

class WindowZoomTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { UserFolders(); }
  void geometryInPixels_data();
  void geometryInPixels();
};

// The layout in twips at the zoom chosen with Ctrl +/-/0, and remembered.
void WindowZoomTest::geometryInPixels_data() {
  QTest::addColumn<int>("steps");  // Ctrl+= presses
  QTest::addColumn<QRect>("query");
  QTest::addColumn<QRect>("list");
  QTest::addColumn<QRect>("status");
  QTest::addColumn<QSize>("client");
  QTest::addColumn<double>("points");
  QTest::newRow("100 %") << 0 << QRect(4, 4, 237, 25) << QRect(4, 32, 365, 371) << QRect(0, 437, 801, 21)
                         << QSize(801, 458) << 12.0;
  QTest::newRow("150 %") << 2 << QRect(6, 6, 355, 37) << QRect(6, 48, 547, 557) << QRect(0, 655, 1201, 33)
                         << QSize(1201, 688) << 18.0;
  QTest::newRow("200 %") << 5 << QRect(8, 8, 474, 50) << QRect(8, 64, 730, 742) << QRect(0, 874, 1602, 43)
                         << QSize(1602, 917) << 24.0;
}

void WindowZoomTest::geometryInPixels() {
  QFETCH(int, steps);
  QFETCH(QRect, query);
  QFETCH(QRect, list);
  QFETCH(QRect, status);
  QFETCH(QSize, client);
  QFETCH(double, points);
  if (!qFuzzyCompare(QGuiApplication::primaryScreen()->logicalDotsPerInchY(), 96.0)) {
    QSKIP("the screen's logical DPI is not 96");
  }
  QString settings;
  {
    Window w;
    settings = w.services.settingsFile;
    for (int i = 0; i < steps; ++i) w.key(Qt::Key_Equal, Qt::ControlModifier);
  }
  Window w([&](FrmMainServices& s) { s.settingsFile = settings; });
  QCOMPARE(w.TxtFind()->geometry(), query);
  QCOMPARE(w.List1()->geometry(), list);
  QCOMPARE(w.Pic()->geometry(), status);
  QCOMPARE(w.frm->centralWidget()->size(), client);
  QCOMPARE(w.TxtFind()->font().pointSizeF(), points);
  QCOMPARE(w.TxtView()->height(), w.List1()->height());
  QCOMPARE(w.frm->minimumSize(), w.frm->maximumSize());  // fixed size
  QCOMPARE(w.frm->size(), QSize(client.width(), client.height() + w.frm->menuBar()->height()));
  QVERIFY(!(w.frm->windowFlags() & Qt::WindowMaximizeButtonHint));
  QVERIFY(w.frm->windowFlags() & Qt::WindowMinimizeButtonHint);
  w.key(Qt::Key_0, Qt::ControlModifier);
  QCOMPARE(w.TxtFind()->geometry(), QRect(4, 4, 237, 25));
}

TESSALY_WINDOW_TEST(WindowZoomTest)
#include "window_zoom_test.moc"
