// Tests of the main window on real widgets, offscreen, with the platform
// layer replaced. Ticks of the result-list filling are driven directly.
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

#include "fake_desktop.h"
#include "frm_main.h"
#include "result_list_model.h"
#include "window_test_util.h"
#include "search_engine.h"
#include "status_strip.h"

using namespace tessaly;

namespace {

QString Q(std::u16string_view s) { return QString::fromUtf16(s.data(), s.size()); }

// A table of `size` generated records in memory.
IdiomTable Generated(int size) {
  IdiomTable table;
  for (int i = 0; i < size; ++i) {
    const QString line = QStringLiteral("成语%1#cy#chéng yǔ#释义%1#出处#示例").arg(i);
    AppendLine(table, std::u16string_view(reinterpret_cast<const char16_t*>(line.utf16()), line.size()));
  }
  return table;
}

// A main window on the bundled data (or `load`), with an update check that
// never reaches a network.
struct Window {
  explicit Window(std::function<Result<IdiomTable>()> load = {}, std::filesystem::path dataFile = {}) {
    FrmMainServices services = OfflineServices();
    if (!dataFile.empty()) services.dataFile = dataFile;
    services.loadTable = std::move(load);
    frm = std::make_unique<FrmMain>(desktop, services);
    loaded = frm->Form_Load();
  }

  template <typename T>
  T* get(const char* name) const {
    T* w = frm->findChild<T*>(QLatin1String(name));
    if (w == nullptr) qFatal("no control %s", name);
    return w;
  }
  QLineEdit* TxtFind() const { return get<QLineEdit>("TxtFind"); }
  QListView* List1() const { return get<QListView>("List1"); }
  QPlainTextEdit* TxtView() const { return get<QPlainTextEdit>("TxtView"); }
  QLabel* Label3() const { return get<QLabel>("Label3"); }
  QPushButton* button(const char* name) const { return get<QPushButton>(name); }
  StatusStrip* Pic() const { return get<StatusStrip>("Pic"); }
  QTimer* Timer1() const { return get<QTimer>("Timer1"); }

  QStringList rows() const {
    QStringList out;
    const auto* model = List1()->model();
    for (int r = 0; r < model->rowCount(); ++r) out << model->index(r, 0).data().toString();
    return out;
  }
  int selectedRow() const {
    const auto selected = List1()->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
  }

  // search types `query` and starts a search with `trigger` (a button's
  // name, a menu item's, or "Enter"), then takes the ticks out of the
  // timer's hands.
  void search(const QString& query, const char* trigger = "Enter") {
    TxtFind()->setText(query);
    if (QLatin1String(trigger) == QLatin1String("Enter")) {
      QTest::keyClick(TxtFind(), Qt::Key_Return);
    } else if (QLatin1String(trigger).startsWith(QLatin1String("menu"))) {
      TriggerMenu(*frm, trigger);
    } else {
      button(trigger)->click();
    }
    Timer1()->stop();
  }
  // tick runs one filling tick, as Timer1 does.
  void tick() { frm->Timer1_Timer(); }
  void fill() {
    for (int i = 0; i < 1000000 && get<QPushButton>("CmdCopy")->text() == QStringLiteral("正在加载"); ++i) {
      tick();
    }
  }

  FakeDesktop desktop;
  std::unique_ptr<FrmMain> frm;
  bool loaded = false;
};

}  // namespace

class FrmMainTest : public QObject {
  Q_OBJECT

 private slots:
  void startUpState();
  void loadFailureShowsMessageAndEnds();
  void searches_data();
  void searches();
  void largeTableFillsInSlices();
  void millionRecordsListOneSliceATick();
  void newSearchDuringFillingDiscardsRows();
  void detailTextIsExact();
  void chainFromTheIdiomOnShow();
  void searchWithoutHitsKeepsTheEntry();
  void ctrlASelectsOnlyWithCtrlAlone();
  void copyPutsEveryRowWithLineEnd();
  void lookupAndWebPages();
  void mouseMoveFocusesOnlyWhenActive();
  void geometryInPixels();
  void queryBoxHoldsAtMost22Characters();
  void closingEmptiesTheList();
  void updateNoticeFromVersionFile();
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

void FrmMainTest::searches_data() {
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
  QTest::newRow("button initials") << "CmdStart1" << "YSYS" << "ysys" << QStringList{"一生一世", "有声有色"}
                                   << "共查到 2 个成语！" << author;
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
  QTest::newRow("meaning") << "CmdSearch0" << "塌下来" << "塌下来" << QStringList{"杞人忧天"}
                           << "共查到 1 个成语！" << author;
  QTest::newRow("source") << "CmdSearch1" << "岳阳楼记" << "岳阳楼记"
                          << QStringList{"把酒临风", "百废俱兴", "波澜不惊", "不以物喜，不以己悲", "宠辱偕忘",
                                         "春和景明", "先天下之忧而忧，后天下之乐而乐", "心旷神怡", "一碧万顷",
                                         "政通人和"}
                          << "共查到 10 个成语！" << author;
  QTest::newRow("two keywords") << "Enter" << "天地  一心" << "天地\u3000一心"
                                << QStringList{"别有天地", "惊天地，泣鬼神", "两耳不闻窗外事，一心只读圣贤书",
                                               "上下一心", "天地不容", "天地良心", "万众一心", "一心二用",
                                               "一心一德", "一心一意"}
                                << "共查到 10 个成语！" << author;
  QTest::newRow("menu pinyin") << "menuPinyin" << "YiXinYi" << "yixinyi" << QStringList{"一心一德", "一心一意"}
                               << "共查到 2 个成语！" << author;
  QTest::newRow("menu pattern") << "menuPattern" << "a三a四" << "a三a四" << QStringList{"不三不四"}
                                << "共查到 1 个成语！" << author;
  QTest::newRow("menu chain") << "menuChain" << "守株待兔" << "守株待兔"
                              << QStringList{"兔起鹘落", "兔死狗烹", "兔死狐悲", "兔子不吃窝边草", "兔子尾巴长不了"}
                              << "共查到 5 个成语！" << "接“兔”字：5";
  QTest::newRow("menu folded") << "menuFolded" << "愛不釋手 *氣風發" << "愛不釋手\u3000*氣風發"
                               << QStringList{"爱不释手", "意气风发"} << "共查到 2 个成语！" << author;
}

void FrmMainTest::searches() {
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

void FrmMainTest::largeTableFillsInSlices() {
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

void FrmMainTest::millionRecordsListOneSliceATick() {
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

void FrmMainTest::newSearchDuringFillingDiscardsRows() {
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

void FrmMainTest::detailTextIsExact() {
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

// The chain goes on from the idiom on show, whatever the query box says,
// and the menu 更多查找 stands after the three menus of the menu bar.
void FrmMainTest::chainFromTheIdiomOnShow() {
  Window w;
  w.search("守株待兔");
  w.fill();
  QCOMPARE(w.TxtView()->property("Tag").toString(), QStringLiteral("守株待兔"));
  w.search("天地", "menuChain");
  QCOMPARE(w.Pic()->text(), QStringLiteral("接“兔”字：5"));
  QCOMPARE(w.button("CmdCopy")->text(), QStringLiteral("正在加载"));
  w.fill();
  QCOMPARE(w.rows(), (QStringList{"兔起鹘落", "兔死狗烹", "兔死狐悲", "兔子不吃窝边草", "兔子尾巴长不了"}));
  QCOMPARE(w.TxtView()->property("Tag").toString(), QStringLiteral("兔起鹘落"));

  QStringList captions;
  for (QAction* a : w.frm->menuBar()->actions()) captions << a->text();
  QCOMPARE(captions, (QStringList{"  帮助  ", "※ 赞赏 ※", "  主页  ", "更多查找"}));
  captions.clear();
  for (QAction* a : w.frm->menuBar()->actions().last()->menu()->actions()) captions << a->text();
  QCOMPARE(captions, (QStringList{"按拼音查找（如 yixinyiyi、yi1xin1）", "按结构查找（如 aabb、abac、一a一b）",
                                  "成语接龙（接当前成语）", "简繁通查（如 愛不釋手）"}));
}

void FrmMainTest::searchWithoutHitsKeepsTheEntry() {
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

void FrmMainTest::ctrlASelectsOnlyWithCtrlAlone() {
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

void FrmMainTest::copyPutsEveryRowWithLineEnd() {
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

void FrmMainTest::lookupAndWebPages() {
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

void FrmMainTest::mouseMoveFocusesOnlyWhenActive() {
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

void FrmMainTest::geometryInPixels() {
  Window w;
  if (!qFuzzyCompare(QGuiApplication::primaryScreen()->logicalDotsPerInchY(), 96.0)) {
    QSKIP("the screen's logical DPI is not 96");
  }
  QCOMPARE(w.TxtFind()->geometry(), QRect(4, 4, 237, 25));
  QCOMPARE(w.List1()->geometry(), QRect(4, 32, 365, 371));
  QCOMPARE(w.Pic()->geometry(), QRect(0, 437, 801, 21));
  QCOMPARE(w.button("CmdStart1")->geometry(), QRect(244, 4, 45, 25));
  QCOMPARE(w.frm->centralWidget()->size(), QSize(801, 458));
  QCOMPARE(w.TxtView()->height(), w.List1()->height());
  QCOMPARE(w.frm->minimumSize(), w.frm->maximumSize());  // fixed size
  QVERIFY(!(w.frm->windowFlags() & Qt::WindowMaximizeButtonHint));
  QVERIFY(w.frm->windowFlags() & Qt::WindowMinimizeButtonHint);
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

void FrmMainTest::updateNoticeFromVersionFile() {
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

QTEST_MAIN(FrmMainTest)
#include "frm_main_test.moc"
