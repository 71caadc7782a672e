// FrmMain: the main window: its controls, the start, the searches, the
// result list and the detail pane.
#include "frm_main.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCompleter>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStringListModel>
#include <QThread>
#include <QTimer>

#include "desktop.h"
#include "fonts.h"
#include "frm_help.h"
#include "frm_wordbook.h"
#include "frm_zs.h"
#include "lookup_sites.h"
#include "menu_bar_keys.h"
#include "messages.h"
#include "data_location.h"
#include "result_list_model.h"
#include "status_strip.h"
#include "tessaly_config.h"
#include "tessaly_version.h"
#include "text.h"
#include "twips.h"
#include "update_me.h"
#include "url_encode.h"
#include "window_settings.h"
#include "window_system.h"

namespace tessaly {
namespace {

// The window's client area, in twips.
constexpr int kClientWidth = 12012;
constexpr int kClientHeight = 6876;
constexpr int kTimer1IntervalMs = 5;
constexpr int kQueryMaxLength = 22;
// Search as you type waits this long after the last keystroke, so that a
// word typed at speed is searched once, not once a letter.
constexpr int kTypingPauseMs = 150;
// How often the window looks whether a table still loading is in: a
// bundled table is often in a few milliseconds after the window is built.
constexpr int kTablePollMs = 1;

QString FromU16(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

const QString kCopyCaption = QStringLiteral("复制结果");
const QString kLoadingCaption = QStringLiteral("正在加载");
const QString kTableLoadingNotice = QStringLiteral("正在加载成语表，查找会在加载完成后进行……");
const QString kFoldingNotice = QStringLiteral("简繁通查第一次使用，正在把全部成语转换为简体……");

// The fonts of the controls at `zoom` percent.
QFont ControlFont(int zoom) { return SongTi(12.0 * zoom / 100); }
QFont StatusFont(int zoom) { return SongTi(10.8 * zoom / 100); }

}  // namespace

QString DetailText(const IdiomRecord& record) {
  const QString br = QStringLiteral("\r\n");
  QString text = FromU16(record.Fields[0]) + br + br + QStringLiteral("拼音：") + br +
                 FromU16(record.Fields[2]) + br + br + QStringLiteral("释义：") + br +
                 FromU16(record.Fields[3]) + br + br + QStringLiteral("出处：") + br +
                 FromU16(record.Fields[4]) + br + br + QStringLiteral("示例：") + br +
                 FromU16(record.Fields[5]);
  // The other written forms, near and opposite idioms, where the table has
  // them: a table of six fields shows what it always showed.
  const std::pair<int, const char16_t*> kLists[] = {
      {kVariantsField, u"又作："}, {kNearField, u"近义："}, {kOppositeField, u"反义："}};
  for (const auto& [field, heading] : kLists) {
    if (static_cast<size_t>(field) < record.Fields.size() && !record.Fields[static_cast<size_t>(field)].empty()) {
      text += br + br + QString::fromUtf16(heading) + br + FromU16(record.Fields[static_cast<size_t>(field)]);
    }
  }
  return text;
}

QString AuthorLine() {
  return QStringLiteral("作者：Orvel") + QChar(0x3000) + QString::fromUtf16(kAuthorContact) +
         QStringLiteral("\u3000\u3000手机网页版：http://") + QString::fromUtf16(kSiteHost) + QStringLiteral("/chengyu");
}

QString VersionFileUrl() {
  return QStringLiteral("http://") + QString::fromUtf16(kSiteHost) +
         QStringLiteral("/chengyu/download/ver.ini");
}

QString LookupUrl(const QString& idiom) {
  return QStringLiteral("https://") + QString::fromUtf16(kLookupHost) + QStringLiteral("/s?wd=") +
         UrlEncodeUtf8(idiom) + QStringLiteral("&ptype=zici#detailmean");
}

QString MoreProgramsUrl() {
  return QStringLiteral("http://") + QString::fromUtf16(kSiteHost) + QStringLiteral("/mousewheel/");
}

QString HomePageUrl() {
  return QStringLiteral("http://") + QString::fromUtf16(kSiteHost) +
         QStringLiteral("/chengyu/pc.htm");
}

FrmMain::FrmMain(Desktop& desktop, FrmMainServices services)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_desktop(desktop),
      m_services(std::move(services)),
      m_settingsStore(std::make_unique<SettingsStore>(m_services.settingsFile)),
      m_settings(m_settingsStore->read()) {
  // The window speaks Chinese, and so do the texts of the libraries it
  // shows (a load's reasons), whatever the locale.
  SetUpMessages(MessageLanguage::Chinese);
  setObjectName(QStringLiteral("FrmMain"));
  setWindowTitle(QString::fromLatin1(kProductName));
  // The icon of the desktop entry, in PNG: Qt reads PNG itself, while the
  // ICO (the program file's icon on Windows) needs its image plugins, whose
  // loading cost 2 ms of the start.
  setWindowIcon(QIcon(QStringLiteral(":/tessaly/tessaly-48.png")));
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    m_dpi = screen->logicalDotsPerInchY();
  }
  createWidgets();
  createMenus();
  connectSignals();
  if (m_settings.zoom != kZoomSteps.front()) applyZoom();
}

FrmMain::~FrmMain() {
  // The conversion thread reads the table: it ends before the table goes.
  if (m_foldThread != nullptr) m_foldThread->wait();
}

int FrmMain::twips(int value) const { return TwipsToPixels(value, m_dpi * m_settings.zoom / 100); }

void FrmMain::place(QWidget* w, int left, int top, int width, int height) {
  m_placed.push_back({w, QRect(left, top, width, height)});
  // Both edges are rounded, so that neighbours that meet in twips meet in
  // pixels too.
  const int x = twips(left);
  const int y = twips(top);
  w->setGeometry(x, y, twips(left + width) - x, twips(top + height) - y);
}

void FrmMain::createWidgets() {
  m_client = new QWidget(this);
  m_client->setFixedSize(twips(kClientWidth), twips(kClientHeight));
  setCentralWidget(m_client);
  const QFont font = ControlFont(m_settings.zoom);

  auto button = [&](const char* name, const QString& caption, const QString& tip = {}) {
    auto* b = new QPushButton(caption, m_client);
    b->setObjectName(QLatin1String(name));
    b->setFont(font);
    b->setAutoDefault(false);
    if (!tip.isEmpty()) b->setToolTip(tip);
    return b;
  };

  TxtFind = new QLineEdit(m_client);
  TxtFind->setObjectName(QStringLiteral("TxtFind"));
  TxtFind->setFont(font);
  TxtFind->setMaxLength(kQueryMaxLength);
  TxtFind->setMouseTracking(true);
  place(TxtFind, 60, 60, 3552, 372);

  List1 = new QListView(m_client);
  List1->setObjectName(QStringLiteral("List1"));
  List1->setFont(font);
  List1->setSelectionMode(QAbstractItemView::SingleSelection);
  List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  List1->setUniformItemSizes(true);  // keeps very long lists cheap to lay out
  List1->setContextMenuPolicy(Qt::CustomContextMenu);
  m_rows = new ResultListModel(m_table, this);
  List1->setModel(m_rows);
  place(List1, 60, 480, 5472, 5568);

  CmdBaidu = button("CmdBaidu", QStringLiteral("网上释义|成语接龙|近反义词"));
  CmdBaidu->setEnabled(false);
  place(CmdBaidu, 5580, 6120, 4272, 372);

  CmdNew = button("CmdNew", QStringLiteral("更多免费软件"));
  place(CmdNew, 9840, 6120, 2112, 372);

  TxtView = new QPlainTextEdit(m_client);
  TxtView->setObjectName(QStringLiteral("TxtView"));
  TxtView->setFont(font);
  TxtView->setReadOnly(true);
  TxtView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  TxtView->setProperty("Tag", QString());
  place(TxtView, 5580, 480, 6372, 5592);

  Label3 = new QLabel(m_client);
  Label3->setObjectName(QStringLiteral("Label3"));
  Label3->setFont(font);
  place(Label3, 60, 6120, 4032, 348);

  CmdStart1 = button("CmdStart1", QStringLiteral("查找"),
                     QStringLiteral("精确查找，也可以键入回车。关键字支持通配符和拼音首字母，方法查看《帮助》"));
  place(CmdStart1, 3660, 60, 672, 372);

  CmdCopy = button("CmdCopy", kCopyCaption);
  CmdCopy->setEnabled(false);
  place(CmdCopy, 4140, 6120, 1392, 372);

  Pic = new StatusStrip(m_client);
  Pic->setObjectName(QStringLiteral("Pic"));
  Pic->setFont(StatusFont(m_settings.zoom));
  place(Pic, 0, 6552, kClientWidth, 324);

  CmdSearch[0] = button("CmdSearch0", QStringLiteral("从词义查询"));
  place(CmdSearch[0], 5580, 60, 1512, 372);
  CmdSearch[1] = button("CmdSearch1", QStringLiteral("从出处查询"));
  place(CmdSearch[1], 7080, 60, 1512, 372);

  CmdStart2 = button("CmdStart2", QStringLiteral("模糊"), FromU16(kFuzzyTooltip));
  place(CmdStart2, 4320, 60, 612, 372);
  CmdStart3 = button("CmdStart3", QStringLiteral("混和"), FromU16(kMixedTooltip));
  place(CmdStart3, 4920, 60, 612, 372);

  if constexpr (kUpdateCheck) {
    UpDateMe1 = new UpDateMe(m_services.http, this);
    UpDateMe1->setObjectName(QStringLiteral("UpDateMe1"));
  }

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(kTimer1IntervalMs);
  TimerTyping = new QTimer(this);
  TimerTyping->setObjectName(QStringLiteral("TimerTyping"));
  TimerTyping->setSingleShot(true);
  TimerTyping->setInterval(kTypingPauseMs);
  TimerTable = new QTimer(this);
  TimerTable->setObjectName(QStringLiteral("TimerTable"));
  TimerTable->setInterval(kTablePollMs);

  // The recent queries, offered under the query box as it is typed in.
  m_recent = new QStringListModel(m_settings.recentQueries, this);
  m_completer = new QCompleter(m_recent, this);
  m_completer->setCaseSensitivity(Qt::CaseInsensitive);
  m_completer->setFilterMode(Qt::MatchContains);
  m_completer->setCompletionMode(QCompleter::PopupCompletion);
  TxtFind->setCompleter(m_completer);

  setTabOrder(TxtFind, List1);
  setTabOrder(List1, CmdBaidu);
  setTabOrder(CmdBaidu, CmdNew);
  setTabOrder(CmdNew, TxtView);
  setTabOrder(TxtView, CmdStart1);
  setTabOrder(CmdStart1, CmdCopy);
  setTabOrder(CmdCopy, CmdSearch[0]);
  setTabOrder(CmdSearch[0], CmdSearch[1]);
  setTabOrder(CmdSearch[1], CmdStart2);
  setTabOrder(CmdStart2, CmdStart3);
}

void FrmMain::createMenus() {
  setMenuBar(new KeyMenuBar(this));
  menuHelp = menuBar()->addAction(QStringLiteral("  帮助  "));
  menuHelp->setObjectName(QStringLiteral("menuHelp"));
  menuZS = menuBar()->addAction(QStringLiteral("※ 赞赏 ※"));
  menuZS->setObjectName(QStringLiteral("menuZS"));
  menuNet = menuBar()->addAction(QStringLiteral("  主页  "));
  menuNet->setObjectName(QStringLiteral("menuNet"));
  // The searches beyond the five buttons, each captioned with an example.
  menuMore = menuBar()->addMenu(QStringLiteral("更多查找"));
  menuMore->setObjectName(QStringLiteral("menuMore"));
  auto item = [this](const char* name, const QString& caption) {
    QAction* a = menuMore->addAction(caption);
    a->setObjectName(QLatin1String(name));
    return a;
  };
  menuPinyin = item("menuPinyin", QStringLiteral("按拼音查找（如 yixinyiyi、yi1xin1）"));
  menuPattern = item("menuPattern", QStringLiteral("按结构查找（如 aabb、abac、一a一b）"));
  menuChain = item("menuChain", QStringLiteral("成语接龙（接当前成语）"));
  menuFolded = item("menuFolded", QStringLiteral("简繁通查（如 愛不釋手）"));
  createMoreMenus();
  // The border is fixed: the window is exactly the menu bar and the client.
  setFixedSize(sizeHint());
}

void FrmMain::applyZoom() {
  const int zoom = m_settings.zoom;
  for (const Placed& p : m_placed) {
    const int x = twips(p.twips.left());
    const int y = twips(p.twips.top());
    p.widget->setGeometry(x, y, twips(p.twips.left() + p.twips.width()) - x,
                          twips(p.twips.top() + p.twips.height()) - y);
    p.widget->setFont(p.widget == Pic ? StatusFont(zoom) : ControlFont(zoom));
  }
  // The menus and the drop-down of recent queries grow with the window; at
  // 100 % they take the application's font again, as they always did.
  auto scaled = [zoom](const QWidget* w) {
    if (zoom == kZoomSteps.front()) return QFont();
    QFont f = QApplication::font(w);
    if (f.pointSizeF() > 0) {
      f.setPointSizeF(f.pointSizeF() * zoom / 100);
    } else {
      f.setPixelSize(f.pixelSize() * zoom / 100);
    }
    return f;
  };
  menuBar()->setFont(scaled(menuBar()));
  for (QMenu* menu : menuBar()->findChildren<QMenu*>()) menu->setFont(scaled(menu));
  m_completer->popup()->setFont(ControlFont(zoom));
  m_client->setFixedSize(twips(kClientWidth), twips(kClientHeight));
  setMinimumSize(0, 0);
  setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  if (layout() != nullptr) layout()->activate();
  setFixedSize(sizeHint());
  Form_Resize();
}

void FrmMain::connectSignals() {
  for (const auto& [control, mode] : {std::pair{CmdStart1, SearchMode::Precise}, {CmdStart2, SearchMode::Fuzzy},
                                      {CmdStart3, SearchMode::Mixed}, {CmdSearch[0], SearchMode::Meaning},
                                      {CmdSearch[1], SearchMode::Source}}) {
    connect(control, &QPushButton::clicked, this, [this, mode = mode] { Search_Click(mode); });
  }
  connect(TxtFind, &QLineEdit::returnPressed, this, [this] { Search_Click(SearchMode::Precise); });
  connect(menuPinyin, &QAction::triggered, this, [this] { Search_Click(SearchMode::Pinyin); });
  connect(menuPattern, &QAction::triggered, this, [this] { Search_Click(SearchMode::Pattern); });
  connect(menuChain, &QAction::triggered, this, &FrmMain::menuChain_Click);
  connect(menuFolded, &QAction::triggered, this, [this] { Search_Click(SearchMode::Folded); });
  connect(Timer1, &QTimer::timeout, this, &FrmMain::Timer1_Timer);
  connect(TimerTyping, &QTimer::timeout, this, &FrmMain::TimerTyping_Timer);
  connect(TimerTable, &QTimer::timeout, this, [this] {
    if (!m_services.tableReady || m_services.tableReady()) TakeTable();
  });
  connect(TxtFind, &QLineEdit::textEdited, this, [this] {
    if (m_settings.searchAsYouType) TimerTyping->start();
  });
  connect(m_completer, qOverload<const QString&>(&QCompleter::activated), this,
          [this] { Search_Click(SearchMode::Precise); });
  connect(List1->selectionModel(), &QItemSelectionModel::selectionChanged, this, &FrmMain::List1_Click);
  connect(List1, &QListView::customContextMenuRequested, this, &FrmMain::List1_ContextMenu);
  connect(CmdCopy, &QPushButton::clicked, this, &FrmMain::CmdCopy_Click);
  connect(CmdBaidu, &QPushButton::clicked, this, &FrmMain::CmdBaidu_Click);
  connect(CmdNew, &QPushButton::clicked, this, &FrmMain::CmdNew_Click);
  connect(menuNet, &QAction::triggered, this, &FrmMain::menuNet_Click);
  connect(menuHelp, &QAction::triggered, this, &FrmMain::menuHelp_Click);
  connect(menuZS, &QAction::triggered, this, &FrmMain::menuZS_Click);
  if (UpDateMe1 != nullptr) {
    connect(UpDateMe1, &UpDateMe::GetUpdate, this, &FrmMain::UpDateMe1_GetUpdate);
    connect(UpDateMe1, &UpDateMe::ArgumentError, this, [this](const QString& text, const QString& title) {
      m_desktop.showMessage(this, text, title, Desktop::Icon::Critical);
    });
  }
  // The keys of the controls, and the mouse's back and forward buttons
  // wherever in the window they are pressed: the application's filter sees
  // events before any control, which would take those buttons as clicks.
  qApp->installEventFilter(this);
}

void FrmMain::centreOnScreen() {
  const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->geometry();
  const QSize size = frameGeometry().size();
  move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
}

bool FrmMain::Form_Load() {
  centreOnScreen();
  ResetStatusLine();
  setWindowTitle(QString::fromLatin1(kProductName) + QStringLiteral(" v") +
                 QString::number(kVersionMajor) + u'.' + QString::number(kVersionMinor));
  show();
  if (UpDateMe1 != nullptr && m_settings.checkForUpdates) {
    UpDateMe1->StartSearch(m_services.versionUrl.isEmpty() ? VersionFileUrl() : m_services.versionUrl,
                           kVersionMajor, kVersionMinor);
  }
  LoadWordbook();
  TxtFind->setFocus();
  if (!m_services.tableReady) {
    // The table is read here and now: the window is painted first, so that
    // it does not stand blank while the file is read.
    QCoreApplication::processEvents();
    return TakeTable();
  }
  // The table is read ahead: taking it never waits, and the window paints
  // in the event loop like any other. A large table may still be loading:
  // the window takes input meanwhile.
  if (m_services.tableReady()) return TakeTable();
  TimerTable->start();
  return true;
}

bool FrmMain::TakeTable() {
  TimerTable->stop();
  const std::filesystem::path file =
      m_services.dataFile.empty() ? FindDataFile().path : m_services.dataFile;
  Result<IdiomTable> loaded = m_services.loadTable ? m_services.loadTable() : LoadIdiomFile(file);
  if (!loaded.ok()) {
    QString details = QStringLiteral("文件：") + QString::fromStdString(file.string());
    details += u'\n';
    if (loaded.error().line > 0) details += QStringLiteral("第 %1 行：").arg(loaded.error().line);
    details += QString::fromStdString(loaded.error().reason);
    m_desktop.showMessage(this, QStringLiteral("加载成语文件 cy.dat 失败！"),
                          QStringLiteral("启动失败"), Desktop::Icon::Critical, details);
    m_desktop.terminate(1);
    return false;
  }
  m_table = std::move(loaded).value();
  m_tableIn = true;
  if (m_pending) {
    const HistoryEntry request = std::move(*m_pending);
    m_pending.reset();
    RunSearch(request, true);
  }
  return true;
}

void FrmMain::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  Form_Resize();
}

void FrmMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // The border is fixed: the window manager offers no resizing.
  KeepFrameFixed(*this);
  Form_Resize();
}

void FrmMain::Form_Resize() {
  // The detail pane ends exactly where the list ends.
  TxtView->resize(TxtView->width(), List1->height());
}

void FrmMain::closeEvent(QCloseEvent* event) {
  Form_Unload();
  QMainWindow::closeEvent(event);
}

void FrmMain::Form_Unload() {
  Timer1->stop();
  TimerTyping->stop();
  m_filler.stop();
  m_rows->clear();
  // Owned windows go with their owner.
  if (m_help) m_help->close();
  if (m_wordbookWindow) m_wordbookWindow->close();
}

bool FrmMain::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if ((type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease) && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() == this) {
    const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
    if (button == Qt::BackButton || button == Qt::ForwardButton) {
      if (type == QEvent::MouseButtonPress) GoTo(button == Qt::BackButton ? m_history.back() : m_history.forward());
      return true;
    }
  }
  if (type == QEvent::KeyPress && (watched == TxtView || watched == TxtFind || watched == List1)) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (watched == TxtView) TxtView_KeyDown(key->key(), key->modifiers());
    if (watched == TxtFind && TxtFind_KeyDown(key->key(), key->modifiers())) return true;
    if (watched == List1 && List1_KeyDown(key->key(), key->modifiers())) return true;
  } else if (watched == TxtFind && type == QEvent::MouseMove) {
    TxtFind_MouseMove();
  } else if (watched == TxtFind && type == QEvent::InputMethod) {
    m_composing = !static_cast<QInputMethodEvent*>(event)->preeditString().isEmpty();
  }
  return QMainWindow::eventFilter(watched, event);
}

void FrmMain::ResetStatusLine() {
  Pic->Cls();
  Pic->Print(AuthorLine());
}

void FrmMain::Notice(const QString& text) {
  Pic->Cls();
  Pic->Print(text);
}

bool FrmMain::CheckQuery() {
  const QString typed = TxtFind->text();
  const Result<Query> check = tessaly::CheckQuery(
      std::u16string_view(reinterpret_cast<const char16_t*>(typed.utf16()), typed.size()));
  if (!check.ok()) return false;
  m_keywords = check->keywords;
  TxtFind->setText(FromU16(check->text));
  TxtFind->setCursorPosition(static_cast<int>(TxtFind->text().size()));
  TxtFind->deselect();
  return true;
}

void FrmMain::Search_Click(SearchMode mode) {
  TimerTyping->stop();
  if (CheckQuery()) RunSearch({mode, TxtFind->text(), m_keywords}, true);
}

void FrmMain::menuChain_Click() {
  TimerTyping->stop();
  // The chain goes on from the idiom on show; from the typed keyword when
  // nothing is on show, or when the last search found nothing (the idiom
  // still on show is older than the word typed since). With the query box
  // empty it goes on from the idiom on show.
  const QString shown = TxtView->property("Tag").toString();
  const bool typed = CheckQuery();
  if (!typed && shown.isEmpty()) return;
  const bool fromTyped = typed && (shown.isEmpty() || m_outcome.hitCount == 0);
  RunSearch({SearchMode::Chain, TxtFind->text(), fromTyped ? m_keywords : Keywords{shown.toStdU16String()}}, true);
}

void FrmMain::TimerTyping_Timer() {
  // The input method's uncommitted text is not the query yet: its commit
  // starts the pause again.
  if (m_composing) return;
  const QString typed = TxtFind->text();
  const Result<Query> check = tessaly::CheckQuery(
      std::u16string_view(reinterpret_cast<const char16_t*>(typed.utf16()), typed.size()));
  // The box is left as typed: normalising it would move the text under the
  // cursor while the user types on.
  if (!check.ok()) return;
  m_keywords = check->keywords;
  RunSearch({SearchMode::Precise, FromU16(check->text), check->keywords, -1, true}, true);
}

void FrmMain::RunSearch(const HistoryEntry& request, bool remember) {
  Timer1->stop();
  m_filler.stop();
  if (!m_tableIn) {
    m_pending = request;
    Notice(kTableLoadingNotice);
    return;
  }
  if (request.mode == SearchMode::Folded && m_views.folded() == nullptr && !m_foldTried &&
      m_table.size() >= m_services.foldAsideFrom) {
    StartFold(request);
    return;
  }
  if (m_foldThread != nullptr) m_pending.reset();  // a newer search than the one waiting
  ResetStatusLine();
  CmdCopy->setEnabled(false);
  CmdCopy->setText(kCopyCaption);
  if (remember) {
    m_history.push(request);
    if (!request.typed) RememberRecent(request.query);
    UpdateHistoryMenu();
  }

  Result<SearchOutcome> searched = [&]() -> Result<SearchOutcome> {
    if (Error prepared = PrepareViews(m_views, m_table, request.mode); !prepared.ok()) return prepared;
    return tessaly::RunSearch(m_table, m_views, request.keywords, request.mode);
  }();
  if (!searched.ok()) {
    // A search that cannot run (简繁通查 without OpenCC's data) says why in
    // the status line and lists nothing.
    m_outcome = SearchOutcome();
    m_outcome.label = u"共查到 0 个成语！";
    m_outcome.notice = FromUtf8(searched.error().reason);
  } else {
    m_outcome = std::move(searched).value();
  }
  if (m_outcome.notice) Notice(FromU16(*m_outcome.notice));
  Label3->setText(FromU16(m_outcome.label));
  m_rows->clear();
  m_restoreRow = -1;
  if (m_outcome.hitCount >= 1) {
    m_filler.start(m_outcome.FillBatch);
    CmdCopy->setText(kLoadingCaption);
    Timer1->start();
  }
}

void FrmMain::StartFold(const HistoryEntry& request) {
  m_pending = request;
  if (m_foldThread != nullptr) return;
  // Converting every idiom takes a second or two on a large table: it runs
  // apart, into views of its own, while the window stays responsive.
  QApplication::setOverrideCursor(Qt::BusyCursor);
  Notice(kFoldingNotice);
  m_foldThread = QThread::create([this] { (void)PrepareViews(m_foldViews, m_table, SearchMode::Folded); });
  connect(m_foldThread, &QThread::finished, this, &FrmMain::FoldDone);
  m_foldThread->start();
}

void FrmMain::FoldDone() {
  m_foldThread->wait();
  delete m_foldThread;
  m_foldThread = nullptr;
  QApplication::restoreOverrideCursor();
  m_views.adopt(std::move(m_foldViews));
  m_foldTried = true;
  if (m_pending) {
    // After a failed conversion the search prepares the view itself, which
    // fails again at once (OpenCC's data missing) and says why.
    const HistoryEntry request = std::move(*m_pending);
    m_pending.reset();
    RunSearch(request, true);
  } else if (Pic->text() == kFoldingNotice) {
    ResetStatusLine();
  }
}

void FrmMain::Timer1_Timer() {
  ResultRows added;
  const FillStep step = m_filler.step(m_outcome.Matched, added);
  m_rows->append(added);
  if (step.finished) {
    Timer1->stop();
    CmdCopy->setText(kCopyCaption);
    CmdCopy->setEnabled(true);
  }
  // The first row is selected once, or the row a history step brings back
  // once it is listed; later ticks leave the user's choice.
  if (!List1->selectionModel()->hasSelection() && m_rows->rowCount() > 0 && m_rows->rowCount() > m_restoreRow) {
    List1->setCurrentIndex(m_rows->index(std::max(m_restoreRow, 0)));
    m_restoreRow = -1;
  }
}

void FrmMain::List1_Click() {
  const QModelIndexList selected = List1->selectionModel()->selectedIndexes();
  if (selected.isEmpty()) return;
  const int r = selected.first().row();
  const ResultRows& rows = m_rows->rows();
  if (r < 0 || static_cast<size_t>(r) >= rows.size() || rows[r] >= m_table.size()) return;
  ShowRecord(rows[r]);
}

void FrmMain::ShowRecord(int32_t record) {
  const IdiomRecord shown = m_table.record(record);
  TxtView->setPlainText(DetailText(shown));
  TxtView->setProperty("Tag", FromU16(shown.Fields[0]));
  CmdBaidu->setEnabled(true);
  m_shown = record;
  m_history.show(record);
  UpdateWordbookState();
}

void FrmMain::TxtView_KeyDown(int keyCode, Qt::KeyboardModifiers shift) {
  const Qt::KeyboardModifiers held =
      shift & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
  if (held == Qt::ControlModifier && keyCode == Qt::Key_A) TxtView->selectAll();
}

bool FrmMain::TxtFind_KeyDown(int keyCode, Qt::KeyboardModifiers shift) {
  const Qt::KeyboardModifiers held =
      shift & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
  if (held == Qt::NoModifier && keyCode == Qt::Key_Down && m_rows->rowCount() > 0) {
    // Down goes on into the result list, onto the row on show.
    List1->setFocus(Qt::TabFocusReason);
    if (!List1->currentIndex().isValid()) List1->setCurrentIndex(m_rows->index(0));
    return true;
  }
  if (held == Qt::NoModifier && keyCode == Qt::Key_Escape) {
    TimerTyping->stop();
    TxtFind->clear();
    return true;
  }
  // Alt with a letter or digit is for the menus: it never types into the
  // query box, whether a menu answers it or not.
  return held == Qt::AltModifier && keyCode >= Qt::Key_0 && keyCode <= Qt::Key_Z;
}

bool FrmMain::List1_KeyDown(int keyCode, Qt::KeyboardModifiers shift) {
  const Qt::KeyboardModifiers held =
      shift & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
  if (held != Qt::NoModifier) return false;
  if (keyCode == Qt::Key_Up && List1->currentIndex().row() <= 0) {
    TxtFind->setFocus(Qt::BacktabFocusReason);
    return true;
  }
  if ((keyCode == Qt::Key_Return || keyCode == Qt::Key_Enter) && List1->currentIndex().isValid()) {
    List1->selectionModel()->select(List1->currentIndex(), QItemSelectionModel::ClearAndSelect);
    const ResultRows& rows = m_rows->rows();
    const int r = List1->currentIndex().row();
    if (static_cast<size_t>(r) < rows.size()) ShowRecord(rows[static_cast<size_t>(r)]);
    return true;
  }
  return false;
}

void FrmMain::TxtFind_MouseMove() {
  if (m_desktop.isForeground(this)) TxtFind->setFocus();
}

void FrmMain::CmdCopy_Click() {
  QString text;
  for (int i = 0; i < m_rows->rowCount(); ++i) text += m_rows->rowText(i) + QStringLiteral("\r\n");
  m_desktop.setClipboardText(text);
  m_desktop.showMessage(this, QStringLiteral("已复制到剪贴板！"), QStringLiteral("完成"),
                        Desktop::Icon::None);
}

void FrmMain::CmdBaidu_Click() {
  m_desktop.openUrl(LookupUrl(m_settings.lookupSite, TxtView->property("Tag").toString()));
}

void FrmMain::CmdNew_Click() { m_desktop.openUrl(MoreProgramsUrl()); }

void FrmMain::menuNet_Click() { m_desktop.openUrl(HomePageUrl()); }

void FrmMain::menuHelp_Click() {
  if (!m_help) m_help = new FrmHelp(this);
  m_help->show();
  m_help->raise();
  m_help->activateWindow();
}

void FrmMain::menuZS_Click() {
  FrmZS zs(this);
  m_desktop.runModal(&zs);
}

void FrmMain::UpDateMe1_GetUpdate() {
  m_desktop.showMessage(this, QStringLiteral("检测到有新版本，请到“主页”下载"),
                        QStringLiteral("更新"), Desktop::Icon::Information);
}

}  // namespace tessaly
