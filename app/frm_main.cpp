// FrmMain: the main window's controls, menus and start; each feature's
// work lies in its unit.
#include "frm_main.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "desktop.h"
#include "frm_help.h"
#include "frm_zs.h"
#include "history_menu.h"
#include "key_router.h"
#include "menu_bar_keys.h"
#include "messages.h"
#include "qt_text.h"
#include "result_commands.h"
#include "settings_store.h"
#include "status_strip.h"
#include "tessaly_config.h"
#include "tessaly_version.h"
#include "update_check.h"
#include "update_me.h"
#include "window_system.h"
#include "window_zoom.h"
#include "wordbook_menu.h"

namespace tessaly {
namespace {

// The window's client area, in twips.
constexpr int kClientWidth = 12012;
constexpr int kClientHeight = 6876;
constexpr int kTimer1IntervalMs = 5;
constexpr int kQueryMaxLength = 22;

}  // namespace

FrmMain::FrmMain(Desktop& desktop, FrmMainServices services)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                               Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                               Qt::MSWindowsFixedSizeDialogHint),
      m_desktop(desktop),
      m_services(std::move(services)),
      m_settings(std::make_unique<SettingsStore>(PathOf(m_services.settingsFile))) {
  // The window speaks Chinese, and so do the texts of the libraries it
  // shows (a load's reasons), whatever the locale.
  SetUpMessages(MessageLanguage::Chinese);
  setObjectName(QStringLiteral("FrmMain"));
  setWindowTitle(QString::fromLatin1(kProductName));
  // The icon of the desktop entry, in PNG: Qt reads PNG itself, while the
  // ICO (the program file's icon on Windows) needs its image plugins, whose
  // loading cost 2 ms of the start.
  setWindowIcon(QIcon(QStringLiteral(":/tessaly/tessaly-48.png")));
  createWidgets();
  createUnits();
  createMenus();
  connectSignals();
}

FrmMain::~FrmMain() = default;

const IdiomTable& FrmMain::table() const { return m_run->table(); }

const Wordbook& FrmMain::wordbook() const { return m_wordbook->wordbook(); }

int FrmMain::twips(int value) const { return m_zoom->twips(value); }

QPushButton* FrmMain::button(const char* name, const QString& caption, const QString& tip) {
  auto* b = new QPushButton(caption, m_client);
  b->setObjectName(QLatin1String(name));
  b->setAutoDefault(false);
  if (!tip.isEmpty()) b->setToolTip(tip);
  return b;
}

void FrmMain::createWidgets() {
  m_client = new QWidget(this);
  setCentralWidget(m_client);
  m_zoom = new WindowZoom(this, *m_settings, m_client, QSize(kClientWidth, kClientHeight));
  // In the order of the tab table: where neighbours overlap (by 12 twips),
  // the later one lies on top.
  createTopRow();
  createBottomRow();
  if constexpr (kUpdateCheck) {
    UpDateMe1 = new UpDateMe(m_services.http, this);
    UpDateMe1->setObjectName(QStringLiteral("UpDateMe1"));
  }
  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(kTimer1IntervalMs);
  QWidget* order[] = {TxtFind, List1,   CmdBaidu,     CmdNew,       TxtView,   CmdStart1,
                      CmdCopy, CmdSearch[0], CmdSearch[1], CmdStart2, CmdStart3};
  for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

// createTopRow makes the controls of tab places 0 to 5: the query box, the
// result list, the two web buttons, the detail pane and the hit count.
void FrmMain::createTopRow() {
  TxtFind = new QLineEdit(m_client);
  TxtFind->setObjectName(QStringLiteral("TxtFind"));
  TxtFind->setMaxLength(kQueryMaxLength);
  TxtFind->setMouseTracking(true);
  m_zoom->place(TxtFind, 60, 60, 3552, 372);
  List1 = new QListView(m_client);
  List1->setObjectName(QStringLiteral("List1"));
  List1->setSelectionMode(QAbstractItemView::SingleSelection);
  List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  List1->setUniformItemSizes(true);  // keeps very long lists cheap to lay out
  m_zoom->place(List1, 60, 480, 5472, 5568);
  CmdBaidu = button("CmdBaidu", QStringLiteral("网上释义|成语接龙|近反义词"));
  CmdBaidu->setEnabled(false);
  m_zoom->place(CmdBaidu, 5580, 6120, 4272, 372);
  CmdNew = button("CmdNew", QStringLiteral("更多免费软件"));
  m_zoom->place(CmdNew, 9840, 6120, 2112, 372);
  TxtView = new QPlainTextEdit(m_client);
  TxtView->setObjectName(QStringLiteral("TxtView"));
  TxtView->setReadOnly(true);
  TxtView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  TxtView->setProperty("Tag", QString());
  m_zoom->place(TxtView, 5580, 480, 6372, 5592);
  Label3 = new QLabel(m_client);
  Label3->setObjectName(QStringLiteral("Label3"));
  m_zoom->place(Label3, 60, 6120, 4032, 348);
}

// createBottomRow makes the controls of tab places 7 to 13: the search
// buttons, the copy button and the status strip.
void FrmMain::createBottomRow() {
  CmdStart1 = button("CmdStart1", QStringLiteral("查找"),
                     QStringLiteral("精确查找，也可以键入回车。关键字支持通配符和拼音首字母，方法查看《帮助》"));
  m_zoom->place(CmdStart1, 3660, 60, 672, 372);
  CmdCopy = button("CmdCopy", QStringLiteral("复制结果"));
  CmdCopy->setEnabled(false);
  m_zoom->place(CmdCopy, 4140, 6120, 1392, 372);
  Pic = new StatusStrip(m_client);
  Pic->setObjectName(QStringLiteral("Pic"));
  m_zoom->place(Pic, 0, 6552, kClientWidth, 324, true);
  CmdSearch[0] = button("CmdSearch0", QStringLiteral("从词义查询"));
  m_zoom->place(CmdSearch[0], 5580, 60, 1512, 372);
  CmdSearch[1] = button("CmdSearch1", QStringLiteral("从出处查询"));
  m_zoom->place(CmdSearch[1], 7080, 60, 1512, 372);
  CmdStart2 = button("CmdStart2", QStringLiteral("模糊"), QStringOf(kFuzzyTooltip));
  m_zoom->place(CmdStart2, 4320, 60, 612, 372);
  CmdStart3 = button("CmdStart3", QStringLiteral("混和"), QStringOf(kMixedTooltip));
  m_zoom->place(CmdStart3, 4920, 60, 612, 372);
}

void FrmMain::createUnits() {
  m_run = new SearchRun(this, m_desktop, *m_settings,
                        {TxtFind, List1, TxtView, Label3, CmdCopy, CmdBaidu, Pic, Timer1},
                        {m_services.dataFile, m_services.loadTable, m_services.tableReady, m_services.foldAsideFrom});
  m_history = new HistoryMenu(*m_run, *m_settings, TxtFind, this);
  m_wordbook = new WordbookMenu(this, m_desktop, *m_run, m_services.wordbookFile);
  m_commands = new ResultCommands(this, m_desktop, *m_settings, *m_run, *m_wordbook, List1);
  m_updateCheck = new UpdateCheck(this, m_desktop, *m_settings, UpDateMe1, m_services.versionUrl);
  m_keys = new KeyRouter(this, TxtFind, List1, TxtView);
}

void FrmMain::createMenus() {
  setMenuBar(new KeyMenuBar(this));
  QMenuBar* bar = menuBar();
  menuHelp = bar->addAction(QStringLiteral("  帮助  "));
  menuHelp->setObjectName(QStringLiteral("menuHelp"));
  menuZS = bar->addAction(QStringLiteral("※ 赞赏 ※"));
  menuZS->setObjectName(QStringLiteral("menuZS"));
  menuNet = bar->addAction(QStringLiteral("  主页  "));
  menuNet->setObjectName(QStringLiteral("menuNet"));
  m_run->addMoreMenu(bar);
  m_history->addMenu(bar);
  m_wordbook->addMenu(bar);
  QMenu* view = bar->addMenu(QStringLiteral("查看(&V)"));
  view->setObjectName(QStringLiteral("menuView"));
  m_zoom->addItems(view);
  view->addSeparator();
  m_run->addTypingItem(view);
  QMenu* options = bar->addMenu(QStringLiteral("选项(&O)"));
  options->setObjectName(QStringLiteral("menuOptions"));
  m_commands->addSiteMenu(options);
  m_updateCheck->addItem(options);

  // The first four entries keep their captions, so they carry no mnemonic:
  // Alt with a letter of their name opens them as a mnemonic would.
  m_keys->addMenuKey(Qt::Key_H, menuHelp);
  m_keys->addMenuKey(Qt::Key_Z, menuZS);
  m_keys->addMenuKey(Qt::Key_W, menuNet);
  m_keys->addMenuKey(Qt::Key_M, m_run->moreMenu()->menuAction());
  m_keys->addMenuBarKeys();
  // The border is fixed: the window is exactly the menu bar and the client.
  if (m_settings->settings().zoom != kZoomSteps.front()) {
    m_zoom->apply();
  } else {
    setFixedSize(sizeHint());
  }
}

void FrmMain::connectSignals() {
  for (const auto& [control, mode] : {std::pair{CmdStart1, SearchMode::Precise}, {CmdStart2, SearchMode::Fuzzy},
                                      {CmdStart3, SearchMode::Mixed}, {CmdSearch[0], SearchMode::Meaning},
                                      {CmdSearch[1], SearchMode::Source}}) {
    connect(control, &QPushButton::clicked, m_run, [this, mode = mode] { m_run->searchClicked(mode); });
  }
  connect(TxtFind, &QLineEdit::returnPressed, m_run, [this] { m_run->searchClicked(SearchMode::Precise); });
  connect(Timer1, &QTimer::timeout, this, &FrmMain::Timer1_Timer);
  connect(List1->selectionModel(), &QItemSelectionModel::selectionChanged, this, &FrmMain::List1_Click);
  connect(CmdCopy, &QPushButton::clicked, this, &FrmMain::CmdCopy_Click);
  connect(CmdBaidu, &QPushButton::clicked, this, &FrmMain::CmdBaidu_Click);
  connect(CmdNew, &QPushButton::clicked, this, &FrmMain::CmdNew_Click);
  connect(menuNet, &QAction::triggered, this, &FrmMain::menuNet_Click);
  connect(menuHelp, &QAction::triggered, this, &FrmMain::menuHelp_Click);
  connect(menuZS, &QAction::triggered, this, &FrmMain::menuZS_Click);
  if (UpDateMe1 != nullptr) connect(UpDateMe1, &UpDateMe::GetUpdate, this, &FrmMain::UpDateMe1_GetUpdate);
  connect(m_zoom, &WindowZoom::laidOut, this, &FrmMain::Form_Resize);
  connect(m_keys, &KeyRouter::back, m_history, &HistoryMenu::back);
  connect(m_keys, &KeyRouter::forward, m_history, &HistoryMenu::forward);
  connect(m_keys, &KeyRouter::viewKey, this, &FrmMain::TxtView_KeyDown);
  connect(m_keys, &KeyRouter::queryHovered, this, &FrmMain::TxtFind_MouseMove);
  connect(m_keys, &KeyRouter::composing, m_run, &SearchRun::setComposing);
  connect(m_keys, &KeyRouter::clearQuery, m_run, &SearchRun::clearQuery);
  connect(m_keys, &KeyRouter::showRow, m_run, &SearchRun::showCurrentRow);
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
  m_run->ResetStatusLine();
  setWindowTitle(QString::fromLatin1(kProductName) + QStringLiteral(" v") + QString::number(kVersionMajor) + u'.' +
                 QString::number(kVersionMinor));
  show();
  m_updateCheck->start();
  m_wordbook->load();
  TxtFind->setFocus();
  return m_run->start();
}

void FrmMain::Timer1_Timer() { m_run->tick(); }

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
  m_run->stop();
  // Owned windows go with their owner.
  if (m_help) m_help->close();
  m_wordbook->closeWindow();
}

void FrmMain::List1_Click() { m_run->listClicked(); }

void FrmMain::TxtView_KeyDown(int keyCode, Qt::KeyboardModifiers shift) {
  const Qt::KeyboardModifiers held =
      shift & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
  if (held == Qt::ControlModifier && keyCode == Qt::Key_A) TxtView->selectAll();
}

void FrmMain::TxtFind_MouseMove() {
  if (m_desktop.isForeground(this)) TxtFind->setFocus();
}

void FrmMain::CmdCopy_Click() { m_commands->copy(); }

void FrmMain::CmdBaidu_Click() { m_commands->lookUp(); }

void FrmMain::CmdNew_Click() { m_commands->openMorePrograms(); }

void FrmMain::menuNet_Click() { m_commands->openHomePage(); }

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

void FrmMain::UpDateMe1_GetUpdate() { m_updateCheck->notify(); }

}  // namespace tessaly
