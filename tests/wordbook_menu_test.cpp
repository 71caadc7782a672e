// Tests of the main window: the 生词本: kept, exported, emptied and imported; a broken file. On real widgets,
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
#include "wordbook.h"
#include "frm_main.h"
#include "frm_wordbook.h"
#include "result_list_model.h"
#include "window_test_util.h"
#include "search_engine.h"
#include "status_strip.h"
#include "tessaly_config.h"

using namespace tessaly;
using namespace tessaly::testing;

class WordbookMenuTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { UserFolders(); }
  void wordbookRoundTrip();
  void brokenWordbook_data();
  void brokenWordbook();
};

// The 生词本 in the user's data folder, written on every change: kept with
// Ctrl+D and from a row's menu, exported, emptied in its window, imported
// back without duplicates.
void WordbookMenuTest::wordbookRoundTrip() {
  const QString file = UserFolders().filePath("data/tessaly/wordbook.txt");
  QFile::remove(file);
  Window w([](FrmMainServices& s) { s.wordbookFile.clear(); });
  w.search("一心一意");
  w.fill();
  QVERIFY(!w.action("menuKeep")->isChecked());
  w.key(Qt::Key_D, Qt::ControlModifier);
  QVERIFY(w.action("menuKeep")->isChecked());
  QCOMPARE(w.menu("menuWordbook")->title(), QStringLiteral("★ 生词本(&B)"));
  QCOMPARE(ReadAll(file), QByteArray("Tessaly 生词本\n一心一意\n"));
  w.search("三心二意");
  w.fill();
  QCOMPARE(w.menu("menuWordbook")->title(), QStringLiteral("☆ 生词本(&B)"));
  w.desktop.menuChoice = "menuKeepRow";
  emit w.List1()->customContextMenuRequested(w.List1()->visualRect(w.List1()->model()->index(0, 0)).center());
  QCOMPARE(ReadAll(file), QByteArray("Tessaly 生词本\n一心一意\n三心二意\n"));

  QTemporaryDir out;
  w.desktop.fileNames = {out.filePath("list.csv"), out.filePath("cards.tsv")};
  w.action("menuExportCsv")->trigger();
  w.action("menuExportAnki")->trigger();
  const QByteArray csv = ReadAll(out.filePath("list.csv"));
  QVERIFY(csv.startsWith("\xEF\xBB\xBF成语,拼音,释义,出处,示例\r\n一心一意,yī xīn yī yì,"));
  QCOMPARE(csv.count("\r\n"), 3);
  const QByteArray tsv = ReadAll(out.filePath("cards.tsv"));
  QVERIFY(tsv.startsWith("#separator:tab\n#html:true\n一心一意\tyī xīn yī yì<br>"));
  QCOMPARE(tsv.count('\n'), 4);

  w.action("menuOpenWordbook")->trigger();
  auto* book = w.frm->findChild<FrmWordbook*>();
  QVERIFY(book != nullptr && book->isVisible());
  auto* filter = book->findChild<QLineEdit*>("TxtFilter");
  auto* list = book->findChild<QListWidget*>("List1");
  filter->setText(QStringLiteral("三"));
  QCOMPARE(list->count(), 1);
  QTest::keyClick(filter, Qt::Key_Return);
  QCOMPARE(w.shown(), QStringLiteral("三心二意"));
  filter->clear();
  list->selectAll();
  book->findChild<QPushButton*>("CmdRemove")->click();
  QCOMPARE(list->count(), 0);
  QCOMPARE(ReadAll(file), QByteArray("Tessaly 生词本\n"));

  w.desktop.fileNames = {out.filePath("list.csv"), out.filePath("cards.tsv")};
  w.action("menuImport")->trigger();
  w.action("menuImport")->trigger();
  QCOMPARE(ReadAll(file), QByteArray("Tessaly 生词本\n一心一意\n三心二意\n"));
  QCOMPARE(w.desktop.messages.back().text, QStringLiteral("导入了 0 个成语；另有 2 个已在生词本中。"));
  QCOMPARE(list->count(), 2);
}

// A 生词本 file that cannot be read is reported and never written over:
// broken text is renamed and kept, a file that cannot be opened stays.
void WordbookMenuTest::brokenWordbook_data() {
  QTest::addColumn<bool>("folder");  // the file's place holds a folder
  QTest::addColumn<QString>("message");
  QTest::newRow("bad bytes") << false << "生词本文件已损坏，无法读取。原文件已改名保存为 %1.broken，生词本从空开始。";
  QTest::newRow("not a file") << true << "生词本文件无法读取，保持原样；这次对生词本的改动不会保存。";
}

void WordbookMenuTest::brokenWordbook() {
  QFETCH(bool, folder);
  QFETCH(QString, message);
  QTemporaryDir dir;
  const QString file = dir.filePath("wordbook.txt");
  if (folder) {
    QVERIFY(QDir().mkdir(file));
  } else {
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("Tessaly \xC9\xFA\xB4\xCA\xB1\xBE\n");  // GBK
  }
  Window w([&](FrmMainServices& s) { s.wordbookFile = file.toStdString(); });
  QVERIFY(w.loaded);
  QCOMPARE(w.desktop.messages.size(), size_t(1));
  QCOMPARE(w.desktop.messages.front().text, message.arg(file));
  QVERIFY(w.desktop.messages.front().details.contains(file));
  if (!folder) QCOMPARE(ReadAll(file + ".broken"), QByteArray("Tessaly \xC9\xFA\xB4\xCA\xB1\xBE\n"));
  w.search("一心一意");
  w.fill();
  w.key(Qt::Key_D, Qt::ControlModifier);
  QVERIFY(w.frm->wordbook().contains(u"一心一意"));
  QCOMPARE(QFileInfo(file).isDir(), folder);
  if (!folder) QCOMPARE(ReadAll(file), QByteArray("Tessaly 生词本\n一心一意\n"));
}

TESSALY_WINDOW_TEST(WordbookMenuTest)
#include "wordbook_menu_test.moc"
