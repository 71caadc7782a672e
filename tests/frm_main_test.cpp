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
  explicit Window(std::function<Result<IdiomTable>()> load = {}, std::filesystem::path dataFile = {})
      : Window([&](FrmMainServices& s) {
          if (!dataFile.empty()) s.dataFile = dataFile;
          s.loadTable = std::move(load);
        }) {}
  // A window on OfflineServices as `adjust` changes them.
  explicit Window(const std::function<void(FrmMainServices&)>& adjust) {
    services = OfflineServices();
    adjust(services);
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
  QTimer* Timer(const char* name) const { return get<QTimer>(name); }

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

  QAction* action(const char* name) const { return get<QAction>(name); }
  QMenu* menu(const char* name) const { return get<QMenu>(name); }
  // key sends `key` to the widget with the focus, as the keyboard does.
  void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
  }
  QString shown() const { return TxtView()->property("Tag").toString(); }

  FrmMainServices services;
  FakeDesktop desktop;
  std::unique_ptr<FrmMain> frm;
  bool loaded = false;
};

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class FrmMainTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { UserFolders(); }
  void startUpState();
  void loadFailureShowsMessageAndEnds();
  void searches_data();
  void searches();
  void largeTableFillsInSlices();
  void millionRecordsListOneSliceATick();
  void newSearchDuringFillingDiscardsRows();
  void detailTextIsExact();
  void chain_data();
  void chain();
  void menusFromTheKeyboard();
  void keyboard_data();
  void keyboard();
  void rowMenu_data();
  void rowMenu();
  void historyBackAndForward();
  void recentQueriesAcrossStarts();
  void wordbookRoundTrip();
  void brokenWordbook_data();
  void brokenWordbook();
  void damagedSettings_data();
  void damagedSettings();
  void lookupSites_data();
  void lookupSites();
  void searchAsYouType();
  void firstFoldedSearchRunsAside();
  void tableArrivesAfterTheWindow_data();
  void tableArrivesAfterTheWindow();
  void searchWithoutHitsKeepsTheEntry();
  void ctrlASelectsOnlyWithCtrlAlone();
  void copyPutsEveryRowWithLineEnd();
  void lookupAndWebPages();
  void mouseMoveFocusesOnlyWhenActive();
  void geometryInPixels_data();
  void geometryInPixels();
  void queryBoxHoldsAtMost22Characters();
  void closingEmptiesTheList();
  void updateNoticeFromVersionFile();
  void updateCheckFollowsTheSetting_data();
  void updateCheckFollowsTheSetting();
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
  QTest::newRow("menu pinyin, syllables apart") << "menuPinyin" << "yi xin yi yi" << "yi\u3000xin\u3000yi\u3000yi"
                                               << QStringList{"一心一意"} << "共查到 1 个成语！" << author;
  QTest::newRow("menu pinyin, not pinyin") << "menuPinyin" << "一心" << "一心" << QStringList{} << "共查到 0 个成语！"
                                           << Q(kPinyinNotice);
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

// What the chain goes on from: the idiom on show, whatever the query box
// says; the typed word after a search that found nothing; the idiom on show
// when the box is empty; nothing when there is neither.
void FrmMainTest::chain_data() {
  QTest::addColumn<QStringList>("searched");  // queries searched first, in order
  QTest::addColumn<QString>("typed");         // the query box at the chain
  QTest::addColumn<QString>("notice");
  QTest::addColumn<int>("hits");
  QTest::newRow("idiom on show, another word typed") << QStringList{"守株待兔"} << "天地" << "接“兔”字：5" << 5;
  QTest::newRow("idiom on show, box empty") << QStringList{"守株待兔"} << "" << "接“兔”字：5" << 5;
  QTest::newRow("after a search that found nothing") << QStringList{"守株待兔", "意一心"} << "意一心"
                                                     << "接“心”字：66" << 66;
  QTest::newRow("nothing on show, box empty") << QStringList{} << "" << AuthorLine() << 0;
}

void FrmMainTest::chain() {
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

// The menu bar from the keyboard: the first four entries keep their
// captions and order and open with Alt and a letter; F10 and Alt show the
// first entry highlighted (Fusion drew no highlight before a menu opened).
void FrmMainTest::menusFromTheKeyboard() {
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
void FrmMainTest::keyboard_data() {
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

void FrmMainTest::keyboard() {
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

// The pop-up menu of a row of the result list.
void FrmMainTest::rowMenu_data() {
  QTest::addColumn<QString>("choice");
  QTest::addColumn<QString>("clipboard");
  QTest::addColumn<QString>("notice");
  QTest::addColumn<bool>("kept");
  QTest::newRow("copy the idiom") << "menuCopyIdiom" << "一心一德" << AuthorLine() << false;
  QTest::newRow("copy the entry") << "menuCopyEntry" << "一心一德\r\n\r\n拼音：" << AuthorLine() << false;
  QTest::newRow("keep it") << "menuKeepRow" << "" << AuthorLine() << true;
  QTest::newRow("chain from it") << "menuChainRow" << "" << "接“德”字：4" << false;
}

void FrmMainTest::rowMenu() {
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

// 后退 and 前进 step over the searches, each bringing back the idiom that
// was on show; a new search drops the steps ahead, as in a browser.
void FrmMainTest::historyBackAndForward() {
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
void FrmMainTest::recentQueriesAcrossStarts() {
  QStringList recent;
  for (int i = 0; i < 60; ++i) RememberQuery(recent, QString::number(i));
  RememberQuery(recent, QStringLiteral("30"));
  QCOMPARE(recent.size(), 50);
  QCOMPARE(recent.mid(0, 3), (QStringList{"30", "59", "58"}));
  QCOMPARE(recent.last(), QStringLiteral("10"));

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

// The 生词本 in the user's data folder, written on every change: kept with
// Ctrl+D and from a row's menu, exported, emptied in its window, imported
// back without duplicates.
void FrmMainTest::wordbookRoundTrip() {
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
void FrmMainTest::brokenWordbook_data() {
  QTest::addColumn<bool>("folder");  // the file's place holds a folder
  QTest::addColumn<QString>("message");
  QTest::newRow("bad bytes") << false << "生词本文件已损坏，无法读取。原文件已改名保存为 %1.broken，生词本从空开始。";
  QTest::newRow("not a file") << true << "生词本文件无法读取，保持原样；这次对生词本的改动不会保存。";
}

void FrmMainTest::brokenWordbook() {
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

// 网上释义 opens the dictionary chosen in 选项, the traditional ones with the
// idiom in traditional characters; the choice is remembered.
void FrmMainTest::lookupSites_data() {
  QTest::addColumn<QString>("site");
  QTest::addColumn<QString>("url");
  QTest::newRow("百度汉语") << "menuSiteBaidu"
                        << "https://hanyu.baidu.com/s?wd=%E7%88%B1%E4%B8%8D%E9%87%8A%E6%89%8B&ptype=zici#detailmean";
  QTest::newRow("汉典") << "menuSiteZdic" << "https://www.zdic.net/hans/%E7%88%B1%E4%B8%8D%E9%87%8A%E6%89%8B";
  QTest::newRow("萌典") << "menuSiteMoedict" << "https://www.moedict.tw/%E6%84%9B%E4%B8%8D%E9%87%8B%E6%89%8B";
  QTest::newRow("成語典") << "menuSiteMoeIdioms"
                       << "https://dict.idioms.moe.edu.tw/idiomList.jsp?idiom=%E6%84%9B%E4%B8%8D%E9%87%8B%E6%89%8B";
}

void FrmMainTest::lookupSites() {
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

// Search as you type runs 查找 a moment after the last committed keystroke,
// and never on the input method's text that is not committed yet.
void FrmMainTest::searchAsYouType() {
  Window w;
  w.TxtFind()->setFocus();
  QTest::keyClicks(w.TxtFind(), QStringLiteral("ysy"));
  QVERIFY(!w.Timer("TimerTyping")->isActive());  // off unless chosen
  w.action("menuTyping")->trigger();
  QTest::keyClick(w.TxtFind(), Qt::Key_S);
  QVERIFY(w.Timer("TimerTyping")->isActive());
  QTRY_COMPARE(w.Label3()->text(), QStringLiteral("共查到 2 个成语！"));
  QCOMPARE(w.TxtFind()->text(), QStringLiteral("ysys"));

  w.TxtFind()->clear();
  QInputMethodEvent composing(QStringLiteral("yi"), {});
  QApplication::sendEvent(w.TxtFind(), &composing);
  QTest::keyClick(w.TxtFind(), Qt::Key_Backspace);  // a keystroke while composing starts the pause
  w.frm->findChild<QTimer*>("TimerTyping")->setInterval(0);
  QTest::qWait(20);
  QCOMPARE(w.Label3()->text(), QStringLiteral("共查到 2 个成语！"));  // nothing searched meanwhile
  QInputMethodEvent committed;
  committed.setCommitString(QStringLiteral("一心一意"));
  QApplication::sendEvent(w.TxtFind(), &committed);
  QTRY_COMPARE(w.Label3()->text(), QStringLiteral("共查到 1 个成语！"));
}

// 简繁通查's first conversion of a large table runs aside with a busy
// cursor and a notice; a search started meanwhile is not overtaken by it.
void FrmMainTest::firstFoldedSearchRunsAside() {
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
void FrmMainTest::tableArrivesAfterTheWindow_data() {
  QTest::addColumn<bool>("fails");
  QTest::newRow("table in") << false;
  QTest::newRow("load fails") << true;
}

void FrmMainTest::tableArrivesAfterTheWindow() {
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

// The layout in twips at the zoom chosen with Ctrl +/-/0, and remembered.
void FrmMainTest::geometryInPixels_data() {
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

void FrmMainTest::geometryInPixels() {
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
void FrmMainTest::updateCheckFollowsTheSetting_data() {
  QTest::addColumn<bool>("on");
  QTest::newRow("on, as by default") << true;
  QTest::newRow("turned off") << false;
}

void FrmMainTest::updateCheckFollowsTheSetting() {
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

QTEST_MAIN(FrmMainTest)
#include "frm_main_test.moc"
