// Tests of the main window: the search run: the searches from the buttons and menus, the filling in slices, the detail pane, the chain, search as you type, 简繁通查 aside and a table that arrives late. On real widgets,
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

class SearchRunTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { UserFolders(); }
  void searches_data();
  void searches();
  void largeTableFillsInSlices();
  void millionRecordsListOneSliceATick();
  void newSearchDuringFillingDiscardsRows();
  void detailTextIsExact();
  void chain_data();
  void chain();
  void searchAsYouType();
  void firstFoldedSearchRunsAside();
  void tableArrivesAfterTheWindow_data();
  void tableArrivesAfterTheWindow();
  void searchWithoutHitsKeepsTheEntry();
};

void SearchRunTest::searches_data() {
  QTest::addColumn<QString>("trigger");
  QTest::addColumn<QString>("query");
  QTest::addColumn<QString>("shown");
  QTest::addColumn<QStringList>("rows");
  QTest::addColumn<QString>("label");
  QTest::addColumn<QString>("notice");  // empty: the author line stays

  const QString author = AuthorLine();
  QTest::newRow("enter text") << "Enter" << "天地" << "天地"
                              << QStringList{"别有天地", "惊天地，泣鬼神", "天地不容", "天地良心"} << "共查到 4 个成语！"
                              << author;
  QTest::newRow("button initials") << "CmdStart1" << "YSYS" << "ysys" << QStringList{"一生一世", "郢书燕说", "有声有色"}
                                   << "共查到 3 个成语！" << author;
  QTest::newRow("wildcard alternatives")
      << "CmdStart1" << "？心?意" << "*心*意"
      << QStringList{"称心如意", "诚心诚意", "粗心大意", "好心好意", "回心转意", "全心全意", "三心二意",
                     "实心实意", "遂心如意", "一心一意", "真心实意"}
      << "共查到 11 个成语！" << author;
  QTest::newRow("pinyin notice") << "Enter" << "y*s" << "y*s" << QStringList{} << "共查到 0 个成语！"
                                 << Q(kPinyinWildcardNotice);
  QTest::newRow("fuzzy") << "CmdStart2" << "尚撞" << "尚撞" << QStringList{"做一天和尚，撞一天钟"}
                         << "共查到 1 个成语！" << author;
  QTest::newRow("fuzzy none") << "CmdStart2" << "意一" << "意一" << QStringList{} << "共查到 0 个成语！"
                              << "顺序模糊包含关键字；拼音或通配符无效";
  QTest::newRow("mixed") << "CmdStart3" << "意一" << "意一" << QStringList{"一心一意", "一意孤行"}
                         << "共查到 2 个成语！" << author;
  QTest::newRow("mixed none") << "CmdStart3" << "龘" << "龘" << QStringList{} << "共查到 0 个成语！"
                              << "混序模糊包含关键字；拼音或通配符无效";
  QTest::newRow("meaning") << "CmdSearch0" << "塌下来" << "塌下来" << QStringList{"杞人忧天", "天塌地陷"}
                           << "共查到 2 个成语！" << author;
  QTest::newRow("source") << "CmdSearch1" << "岳阳楼记" << "岳阳楼记"
                          << QStringList{"把酒临风", "百废俱兴", "波澜不惊", "不以物喜，不以己悲", "宠辱偕忘",
                                         "春和景明", "浮光跃金", "浩浩汤汤", "气象万千",
                                         "先天下之忧而忧，后天下之乐而乐", "先忧后乐", "心旷神怡", "一碧万顷",
                                         "政通人和"}
                          << "共查到 14 个成语！" << author;
  QTest::newRow("two keywords") << "Enter" << "天地  一心" << "天地\u3000一心"
                                << QStringList{"别有天地", "惊天地，泣鬼神", "两耳不闻窗外事，一心只读圣贤书",
                                               "上下一心", "天地不容", "天地良心", "万众一心", "一心二用",
                                               "一心一德", "一心一意", "运用之妙，存乎一心"}
                                << "共查到 11 个成语！" << author;
  QTest::newRow("menu pinyin") << "menuPinyin" << "YiXinYi" << "yixinyi" << QStringList{"一心一德", "一心一意"}
                               << "共查到 2 个成语！" << author;
  QTest::newRow("menu pinyin, syllables apart") << "menuPinyin" << "yi xin yi yi" << "yi\u3000xin\u3000yi\u3000yi"
                                               << QStringList{"一心一意"} << "共查到 1 个成语！" << author;
  QTest::newRow("menu pinyin, not pinyin") << "menuPinyin" << "一心" << "一心" << QStringList{} << "共查到 0 个成语！"
                                           << Q(kPinyinNotice);
  QTest::newRow("menu pattern") << "menuPattern" << "a三a四" << "a三a四" << QStringList{"不三不四", "再三再四"}
                                << "共查到 2 个成语！" << author;
  QTest::newRow("menu chain") << "menuChain" << "守株待兔" << "守株待兔"
                              << QStringList{"兔起鹘落", "兔死狗烹", "兔死狐悲", "兔子不吃窝边草", "兔子尾巴长不了"}
                              << "共查到 5 个成语！" << "接“兔”字：5";
  QTest::newRow("menu folded") << "menuFolded" << "愛不釋手 *氣風發" << "愛不釋手\u3000*氣風發"
                               << QStringList{"爱不释手", "意气风发"} << "共查到 2 个成语！" << author;
}

void SearchRunTest::searches() {
  QFETCH(QString, trigger);
  QFETCH(QString, query);
  QFETCH(QString, shown);
  QFETCH(QStringList, rows);
  QFETCH(QString, label);
  QFETCH(QString, notice);
  Window w;
  w.search(query, qPrintable(trigger));
  QCOMPARE(w.TxtFind()->text(), shown);
  QCOMPARE(w.TxtFind()->cursorPosition(), int(shown.size()));
  QCOMPARE(w.Label3()->text(), label);
  QCOMPARE(w.Pic()->text(), notice);
  w.fill();
  // The bundled data is sorted by pinyin, and the rows follow the file.
  QCOMPARE(w.rows(), rows);
  QCOMPARE(w.button("CmdCopy")->isEnabled(), !rows.isEmpty());
  QCOMPARE(w.button("CmdCopy")->text(), QStringLiteral("复制结果"));
  if (!rows.isEmpty()) {
    QCOMPARE(w.selectedRow(), 0);
    QVERIFY(w.TxtView()->toPlainText().startsWith(w.rows().first() + "\n\n拼音：\n"));
  }
}

void SearchRunTest::largeTableFillsInSlices() {
  Window w([] { return Generated(30000); });
  w.search("*");
  QCOMPARE(w.Label3()->text(), QStringLiteral("全部成语，一共 30000 个！"));
  QCOMPARE(w.button("CmdCopy")->text(), QStringLiteral("正在加载"));
  QVERIFY(!w.button("CmdCopy")->isEnabled());
  QCOMPARE(w.List1()->model()->rowCount(), 0);

  w.tick();
  QCOMPARE(w.List1()->model()->rowCount(), 500);
  QCOMPARE(w.selectedRow(), 0);
  QVERIFY(w.TxtView()->toPlainText().startsWith("成语0\n"));
  w.tick();
  w.List1()->setCurrentIndex(w.List1()->model()->index(700, 0));
  QVERIFY(w.TxtView()->toPlainText().startsWith("成语700\n"));
  int ticks = 2;
  while (w.button("CmdCopy")->text() == QStringLiteral("正在加载")) {
    const int before = w.List1()->model()->rowCount();
    w.tick();
    ++ticks;
    QCOMPARE(w.List1()->model()->rowCount(), before + 500);
    QVERIFY(!w.button("CmdCopy")->isEnabled() || ticks == 60);
  }
  QCOMPARE(ticks, 60);
  QCOMPARE(w.List1()->model()->rowCount(), 30000);
  QCOMPARE(w.selectedRow(), 700);
  QVERIFY(w.button("CmdCopy")->isEnabled());
  QVERIFY(!w.Timer1()->isActive());
}

void SearchRunTest::millionRecordsListOneSliceATick() {
  Window w([] { return Generated(1000000); });
  w.search("*");
  QCOMPARE(w.Label3()->text(), QStringLiteral("全部成语，一共 1000000 个！"));
  int ticks = 0;
  while (w.button("CmdCopy")->text() == QStringLiteral("正在加载")) {
    const int before = w.List1()->model()->rowCount();
    w.tick();
    ++ticks;
    // One slice a tick, and the window handles its events between ticks.
    QCOMPARE(w.List1()->model()->rowCount(), before + 500);
    if (ticks % 400 == 0) QCoreApplication::processEvents();
  }
  QCOMPARE(ticks, 2000);
  QCOMPARE(w.selectedRow(), 0);
  w.List1()->scrollToBottom();
  w.List1()->setCurrentIndex(w.List1()->model()->index(999999, 0));
  QVERIFY(w.TxtView()->toPlainText().startsWith("成语999999\n"));
}

void SearchRunTest::newSearchDuringFillingDiscardsRows() {
  Window w([] { return Generated(30000); });
  w.search("*");
  w.tick();
  w.tick();
  w.search("成语2999");
  QCOMPARE(w.List1()->model()->rowCount(), 0);
  QCOMPARE(w.button("CmdCopy")->text(), QStringLiteral("正在加载"));
  w.tick();
  QCOMPARE(w.rows(), (QStringList{"成语2999", "成语29990", "成语29991", "成语29992", "成语29993",
                                  "成语29994", "成语29995", "成语29996", "成语29997", "成语29998",
                                  "成语29999"}));
  QVERIFY(w.button("CmdCopy")->isEnabled());
}

void SearchRunTest::detailTextIsExact() {
  auto table = [] {
    IdiomTable t;
    AppendLine(t, u"一生一世#ysys#P#M#S#E");
    AppendLine(t, u"做一天和尚，撞一天钟#zythszytz#拼#义#源#例");
    AppendLine(t, u"一心一意#yxyy#P#M#S#E#一心壹意#全心全意、专心致志#三心二意");
    AppendLine(t, u"三心二意#sxey#P#M#S#E###一心一意");
    return t;
  };
  QCOMPARE(DetailText(table().record(0)),
           QStringLiteral("一生一世\r\n\r\n拼音：\r\nP\r\n\r\n释义：\r\nM\r\n\r\n出处：\r\nS\r\n\r\n示例：\r\nE"));
  // Other written forms, near and opposite idioms follow, each where the
  // record has them.
  QCOMPARE(DetailText(table().record(2)),
           QStringLiteral("一心一意\r\n\r\n拼音：\r\nP\r\n\r\n释义：\r\nM\r\n\r\n出处：\r\nS\r\n\r\n示例：\r\nE"
                          "\r\n\r\n又作：\r\n一心壹意\r\n\r\n近义：\r\n全心全意、专心致志\r\n\r\n反义：\r\n三心二意"));
  QVERIFY(DetailText(table().record(3)).endsWith(QStringLiteral("示例：\r\nE\r\n\r\n反义：\r\n一心一意")));

  Window w(table);
  w.search("*");
  w.tick();
  QCOMPARE(w.TxtView()->toPlainText(), QStringLiteral("一生一世\n\n拼音：\nP\n\n释义：\nM\n\n出处：\nS\n\n示例：\nE"));
  QCOMPARE(w.TxtView()->property("Tag").toString(), QStringLiteral("一生一世"));
  QVERIFY(w.button("CmdBaidu")->isEnabled());
  w.List1()->setCurrentIndex(w.List1()->model()->index(1, 0));
  QVERIFY(w.TxtView()->toPlainText().startsWith(QStringLiteral("做一天和尚，撞一天钟\n\n拼音：\n拼\n")));
  QVERIFY(!w.TxtView()->toPlainText().contains(QStringLiteral("一生一世")));
  QCOMPARE(w.TxtView()->property("Tag").toString(), QStringLiteral("做一天和尚，撞一天钟"));
}

// What the chain goes on from: the idiom on show, whatever the query box
// says; the typed word after a search that found nothing; the idiom on show
// when the box is empty; nothing when there is neither.
void SearchRunTest::chain_data() {
  QTest::addColumn<QStringList>("searched");  // queries searched first, in order
  QTest::addColumn<QString>("typed");         // the query box at the chain
  QTest::addColumn<QString>("notice");
  QTest::addColumn<int>("hits");
  QTest::newRow("idiom on show, another word typed") << QStringList{"守株待兔"} << "天地" << "接“兔”字：5" << 5;
  QTest::newRow("idiom on show, box empty") << QStringList{"守株待兔"} << "" << "接“兔”字：5" << 5;
  QTest::newRow("after a search that found nothing") << QStringList{"守株待兔", "意一心"} << "意一心"
                                                     << "接“心”字：70" << 70;
  QTest::newRow("nothing on show, box empty") << QStringList{} << "" << AuthorLine() << 0;
}

void SearchRunTest::chain() {
  QFETCH(QStringList, searched);
  QFETCH(QString, typed);
  QFETCH(QString, notice);
  QFETCH(int, hits);
  Window w;
  for (const QString& query : searched) {
    w.search(query);
    w.fill();
  }
  w.search(typed, "menuChain");
  QCOMPARE(w.Pic()->text(), notice);
  w.fill();
  QCOMPARE(w.rows().size(), hits);
  if (hits > 0) QCOMPARE(w.shown(), w.rows().first());
}

// Search as you type runs 查找 a moment after the last committed keystroke,
// and never on the input method's text that is not committed yet.
void SearchRunTest::searchAsYouType() {
  Window w;
  w.TxtFind()->setFocus();
  QTest::keyClicks(w.TxtFind(), QStringLiteral("ysy"));
  QVERIFY(!w.Timer("TimerTyping")->isActive());  // off unless chosen
  w.action("menuTyping")->trigger();
  QTest::keyClick(w.TxtFind(), Qt::Key_S);
  QVERIFY(w.Timer("TimerTyping")->isActive());
  QTRY_COMPARE(w.Label3()->text(), QStringLiteral("共查到 3 个成语！"));
  QCOMPARE(w.TxtFind()->text(), QStringLiteral("ysys"));

  w.TxtFind()->clear();
  QInputMethodEvent composing(QStringLiteral("yi"), {});
  QApplication::sendEvent(w.TxtFind(), &composing);
  QTest::keyClick(w.TxtFind(), Qt::Key_Backspace);  // a keystroke while composing starts the pause
  w.frm->findChild<QTimer*>("TimerTyping")->setInterval(0);
  QTest::qWait(20);
  QCOMPARE(w.Label3()->text(), QStringLiteral("共查到 3 个成语！"));  // nothing searched meanwhile
  QInputMethodEvent committed;
  committed.setCommitString(QStringLiteral("一心一意"));
  QApplication::sendEvent(w.TxtFind(), &committed);
  QTRY_COMPARE(w.Label3()->text(), QStringLiteral("共查到 1 个成语！"));
}

// 简繁通查's first conversion of a large table runs aside with a busy
// cursor and a notice; a search started meanwhile is not overtaken by it.
void SearchRunTest::firstFoldedSearchRunsAside() {
  Window w([](FrmMainServices& s) { s.foldAsideFrom = 0; });
  w.search("愛不釋手", "menuFolded");
  QVERIFY(QApplication::overrideCursor() != nullptr);
  QCOMPARE(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
  QVERIFY(w.Pic()->text().startsWith(QStringLiteral("简繁通查第一次使用")));
  QTRY_VERIFY(QApplication::overrideCursor() == nullptr);
  QCOMPARE(w.Label3()->text(), QStringLiteral("共查到 1 个成语！"));
  QCOMPARE(w.Pic()->text(), AuthorLine());

  Window again([](FrmMainServices& s) { s.foldAsideFrom = 0; });
  again.search("愛不釋手", "menuFolded");
  again.search("天地");
  QTRY_VERIFY(QApplication::overrideCursor() == nullptr);
  QCOMPARE(again.TxtFind()->text(), QStringLiteral("天地"));
  QCOMPARE(again.Label3()->text(), QStringLiteral("共查到 4 个成语！"));
}

// A large table may come in after the window takes input: a query typed
// meanwhile runs as soon as it is in, and a failed load is still reported.
void SearchRunTest::tableArrivesAfterTheWindow_data() {
  QTest::addColumn<bool>("fails");
  QTest::newRow("table in") << false;
  QTest::newRow("load fails") << true;
}

void SearchRunTest::tableArrivesAfterTheWindow() {
  QFETCH(bool, fails);
  auto in = std::make_shared<bool>(false);
  Window w([&](FrmMainServices& s) {
    s.tableReady = [in] { return *in; };
    s.loadTable = [fails]() -> Result<IdiomTable> {
      if (fails) return MakeError(ErrorKind::CannotOpen, "gone");
      return Generated(3000);
    };
  });
  QVERIFY(w.loaded);
  QVERIFY(w.frm->isVisible());
  QCOMPARE(w.frm->focusWidget(), w.TxtFind());
  w.search("成语299");
  QCOMPARE(w.Pic()->text(), QStringLiteral("正在加载成语表，查找会在加载完成后进行……"));
  QVERIFY(w.Label3()->text().isEmpty());
  *in = true;
  if (fails) {
    QTRY_COMPARE(w.desktop.terminatedWith, 1);
    QCOMPARE(w.desktop.messages.front().title, QStringLiteral("启动失败"));
  } else {
    QTRY_COMPARE(w.Label3()->text(), QStringLiteral("共查到 11 个成语！"));
    QCOMPARE(w.Pic()->text(), AuthorLine());
  }
}

void SearchRunTest::searchWithoutHitsKeepsTheEntry() {
  Window w;
  w.search("一心一意");
  w.fill();
  const QString shown = w.TxtView()->toPlainText();
  QVERIFY(shown.startsWith("一心一意"));
  w.search("没有这样的成语");
  QCOMPARE(w.List1()->model()->rowCount(), 0);
  QCOMPARE(w.TxtView()->toPlainText(), shown);
  QCOMPARE(w.TxtView()->property("Tag").toString(), QStringLiteral("一心一意"));
  QVERIFY(w.button("CmdBaidu")->isEnabled());
  QVERIFY(!w.button("CmdCopy")->isEnabled());
}

TESSALY_WINDOW_TEST(SearchRunTest)
#include "search_run_test.moc"
