// Tests of the main window: the result commands: copy, the online lookup, the maker's pages and the row menu. On real widgets,
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

class ResultCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { UserFolders(); }
  void rowMenu_data();
  void rowMenu();
  void lookupSites_data();
  void lookupSites();
  void copyPutsEveryRowWithLineEnd();
  void lookupAndWebPages();
};

// The pop-up menu of a row of the result list.
void ResultCommandsTest::rowMenu_data() {
  QTest::addColumn<QString>("choice");
  QTest::addColumn<QString>("clipboard");
  QTest::addColumn<QString>("notice");
  QTest::addColumn<bool>("kept");
  QTest::newRow("copy the idiom") << "menuCopyIdiom" << "一心一德" << AuthorLine() << false;
  QTest::newRow("copy the entry") << "menuCopyEntry" << "一心一德\r\n\r\n拼音：" << AuthorLine() << false;
  QTest::newRow("keep it") << "menuKeepRow" << "" << AuthorLine() << true;
  QTest::newRow("chain from it") << "menuChainRow" << "" << "接“德”字：7" << false;
}

void ResultCommandsTest::rowMenu() {
  QFETCH(QString, choice);
  QFETCH(QString, clipboard);
  QFETCH(QString, notice);
  QFETCH(bool, kept);
  Window w;
  w.search("yixinyi", "menuPinyin");
  w.fill();
  QCOMPARE(w.rows(), (QStringList{"一心一德", "一心一意"}));
  w.desktop.menuChoice = choice;
  const QPoint at = w.List1()->visualRect(w.List1()->model()->index(0, 0)).center();
  emit w.List1()->customContextMenuRequested(at);
  QCOMPARE(w.desktop.menuItems, (QStringList{"复制成语", "复制整个词条", "加入生词本", "从这里接龙"}));
  QVERIFY2(clipboard.isEmpty() ? w.desktop.clipboard.isEmpty() : w.desktop.clipboard.startsWith(clipboard),
           qPrintable(w.desktop.clipboard));
  QCOMPARE(w.Pic()->text(), notice);
  QCOMPARE(w.frm->wordbook().contains(u"一心一德"), kept);
}

// 网上释义 opens the dictionary chosen in 选项, the traditional ones with the
// idiom in traditional characters; the choice is remembered.
void ResultCommandsTest::lookupSites_data() {
  QTest::addColumn<QString>("site");
  QTest::addColumn<QString>("url");
  QTest::newRow("百度汉语") << "menuSiteBaidu"
                        << "https://hanyu.baidu.com/s?wd=%E7%88%B1%E4%B8%8D%E9%87%8A%E6%89%8B&ptype=zici#detailmean";
  QTest::newRow("汉典") << "menuSiteZdic" << "https://www.zdic.net/hans/%E7%88%B1%E4%B8%8D%E9%87%8A%E6%89%8B";
  QTest::newRow("萌典") << "menuSiteMoedict" << "https://www.moedict.tw/%E6%84%9B%E4%B8%8D%E9%87%8B%E6%89%8B";
  QTest::newRow("成語典") << "menuSiteMoeIdioms"
                       << "https://dict.idioms.moe.edu.tw/idiomList.jsp?idiom=%E6%84%9B%E4%B8%8D%E9%87%8B%E6%89%8B";
}

void ResultCommandsTest::lookupSites() {
  QFETCH(QString, site);
  QFETCH(QString, url);
  QString settings;
  {
    Window w;
    settings = w.services.settingsFile;
    w.action(qPrintable(site))->trigger();
  }
  Window w([&](FrmMainServices& s) { s.settingsFile = settings; });
  QVERIFY(w.action(qPrintable(site))->isChecked());
  w.search("爱不释手");
  w.fill();
  w.button("CmdBaidu")->click();
  QCOMPARE(w.desktop.opened.back(), url);
}

void ResultCommandsTest::copyPutsEveryRowWithLineEnd() {
  Window w;
  w.search("一心一意 三心二意");
  w.fill();
  w.button("CmdCopy")->click();
  QCOMPARE(w.desktop.clipboard, QStringLiteral("三心二意\r\n一心一意\r\n"));
  QCOMPARE(w.desktop.messages.size(), size_t(1));
  QCOMPARE(w.desktop.messages.front().text, QStringLiteral("已复制到剪贴板！"));
  QCOMPARE(w.desktop.messages.front().title, QStringLiteral("完成"));
  QCOMPARE(w.desktop.messages.front().icon, Desktop::Icon::None);
}

void ResultCommandsTest::lookupAndWebPages() {
  QCOMPARE(LookupUrl(QStringLiteral("一心一意")),
           QStringLiteral("https://hanyu.baidu.com/s?wd=%E4%B8%80%E5%BF%83%E4%B8%80%E6%84%8F&ptype=zici#detailmean"));
  QCOMPARE(LookupUrl(QString()), QStringLiteral("https://hanyu.baidu.com/s?wd=&ptype=zici#detailmean"));
  Window w;
  w.search("一心一意");
  w.fill();
  w.button("CmdBaidu")->click();
  w.button("CmdNew")->click();
  TriggerMenu(*w.frm, "menuNet");
  QCOMPARE(w.desktop.opened.size(), size_t(3));
  QCOMPARE(w.desktop.opened[0], LookupUrl(QStringLiteral("一心一意")));
  QVERIFY(w.desktop.opened[1].startsWith("http://") && w.desktop.opened[1].endsWith("/mousewheel/"));
  QVERIFY(w.desktop.opened[2].startsWith("http://") && w.desktop.opened[2].endsWith("/chengyu/pc.htm"));
}

TESSALY_WINDOW_TEST(ResultCommandsTest)
#include "result_commands_test.moc"
