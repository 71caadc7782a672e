// FrmMain: the main window. The query box and the five search buttons on
// top, the result list and the detail pane below, the hit count and the
// result commands under them, the status strip at the bottom; the menus of
// the searches beyond the buttons, the history, the 生词本, the view and the
// options.
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QMainWindow>
#include <QPointer>

#include "http_request.h"
#include "idiom_file.h"
#include "idiom_views.h"
#include "query.h"
#include "result_filler.h"
#include "search_engine.h"
#include "search_history.h"
#include "window_settings.h"
#include "wordbook.h"

class QAction;
class QActionGroup;
class QCompleter;
class QMenu;
class QLabel;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QPushButton;
class QStringListModel;
class QThread;
class QTimer;

namespace tessaly {

class Desktop;
class FrmHelp;
class FrmWordbook;
class ResultListModel;
class SettingsStore;
class StatusStrip;
class UpDateMe;

// What FrmMain takes from outside; tests replace each part.
struct FrmMainServices {
  // The data file; empty means the one FindDataFile (data_location.h) finds.
  std::filesystem::path dataFile;
  // Loads the idiom table; empty means loading dataFile.
  std::function<Result<IdiomTable>()> loadTable;
  // Tells, without waiting, whether loadTable would return at once; empty
  // means it would. While it says no, the window takes input, and a search
  // asked for runs as soon as the table is in.
  std::function<bool()> tableReady;
  // Makes the update check's request objects; empty means Qt's.
  HttpRequestFactory http;
  // Where the update check asks; empty means the maker's version file.
  QString versionUrl;
  // The settings file; empty means the user's (window_settings.h).
  QString settingsFile;
  // The 生词本's file; empty means WordbookPath() (wordbook.h).
  std::filesystem::path wordbookFile;
  // From how many records on 简繁通查's first conversion of the idioms runs
  // on a thread of its own, the window showing a busy cursor meanwhile;
  // below, it takes a moment (under 50 ms) and runs at once.
  int32_t foldAsideFrom = 20000;
};

// DetailText returns the detail pane's text for `record`: the idiom, then
// pinyin, meaning, source and example under their headings, then the
// variants, near and opposite idioms under theirs where the record has
// them, lines joined by CR LF.
QString DetailText(const IdiomRecord& record);

// AuthorLine returns the status line's resting text: the author, the
// contact and the address of the mobile web version.
QString AuthorLine();

// The address of the version file, of the online lookup of `idiom` on 百度
// 汉语 (the other dictionaries: lookup_sites.h), and of the maker's two
// pages.
QString VersionFileUrl();
QString LookupUrl(const QString& idiom);
QString MoreProgramsUrl();
QString HomePageUrl();

class FrmMain : public QMainWindow {
  Q_OBJECT

 public:
  explicit FrmMain(Desktop& desktop, FrmMainServices services = {});
  ~FrmMain() override;

  // Form_Load runs the start-up of the window: centre it, show the author
  // line and the caption, show it, start the update check (unless turned
  // off), read the 生词本, put the focus into the query box and take the
  // idiom table. A table read here (no FrmMainServices::tableReady) is read
  // after the window has painted; one read ahead is taken without waiting,
  // or when it is in, the window taking input meanwhile. Returns false when
  // the table failed to load (the program has then been ended).
  bool Form_Load();

  // Timer1_Timer is one tick of the result-list filling: Timer1 calls it
  // every 5 ms while a list fills; tests call it directly.
  void Timer1_Timer();

  const IdiomTable& table() const { return m_table; }
  const Wordbook& wordbook() const { return m_wordbook; }
  // twips converts a layout length to pixels at the screen's logical DPI
  // and the window's zoom.
  int twips(int value) const;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // A control and its place in twips, kept to lay the window out again at
  // another zoom.
  struct Placed {
    QWidget* widget;
    QRect twips;
  };

  void createWidgets();
  void createMenus();
  void createMoreMenus();
  void connectSignals();
  void place(QWidget* w, int left, int top, int width, int height);
  void applyZoom();
  void centreOnScreen();

  // frm_main.cpp: the start, the searches, the list and the detail pane.
  bool TakeTable();
  void ResetStatusLine();
  void Notice(const QString& text);
  bool CheckQuery();
  void Search_Click(SearchMode mode);
  void RunSearch(const HistoryEntry& request, bool remember);
  void StartFold(const HistoryEntry& request);
  void FoldDone();
  void List1_Click();
  void ShowRecord(int32_t record);
  void TxtView_KeyDown(int keyCode, Qt::KeyboardModifiers shift);
  void TxtFind_MouseMove();
  bool TxtFind_KeyDown(int keyCode, Qt::KeyboardModifiers shift);
  bool List1_KeyDown(int keyCode, Qt::KeyboardModifiers shift);
  void TimerTyping_Timer();
  void CmdCopy_Click();
  void CmdBaidu_Click();
  void CmdNew_Click();
  void menuNet_Click();
  void menuHelp_Click();
  void menuZS_Click();
  void menuChain_Click();
  void UpDateMe1_GetUpdate();
  void Form_Resize();
  void Form_Unload();

  // frm_main_menus.cpp: history, 生词本, view and options.
  void menuBack_Click();
  void menuForward_Click();
  void GoTo(const HistoryEntry* entry);
  void menuRecent_Click();
  void menuClearHistory_Click();
  void RememberRecent(const QString& query);
  void UpdateHistoryMenu();
  void LoadWordbook();
  void SaveWordbook();
  void menuKeep_Click();
  void KeepIdiom(const QString& idiom, bool keep);
  void UpdateWordbookState();
  void menuOpenWordbook_Click();
  void OpenKeptIdiom(const QString& idiom);
  void menuExportCsv_Click();
  void menuExportAnki_Click();
  void ExportWordbook(const QString& title, const QString& name, const QString& filter, const std::string& bytes);
  void menuImport_Click();
  void Zoom(int direction);
  void List1_ContextMenu(const QPoint& at);
  void SaveSettings();

  Desktop& m_desktop;
  FrmMainServices m_services;
  double m_dpi = 96.0;
  std::unique_ptr<SettingsStore> m_settingsStore;
  WindowSettings m_settings;
  std::vector<Placed> m_placed;

  IdiomTable m_table;
  bool m_tableIn = false;  // the table is taken; searches asked for before wait in m_pending
  IdiomViews m_views;      // what the pinyin search, the chain and 简繁通查 read
  Keywords m_keywords;
  SearchOutcome m_outcome;  // the hit marks of the last search
  ResultFiller m_filler;
  ResultListModel* m_rows = nullptr;  // ResultRows with the rows they show
  int32_t m_shown = -1;               // the record on show, -1 for none
  int32_t m_restoreRow = -1;          // the row to select once listed (a history step), -1: the first
  // A search asked for while the table loads or 简繁通查's conversion runs.
  std::optional<HistoryEntry> m_pending;
  QThread* m_foldThread = nullptr;  // 简繁通查's first conversion, on a thread of its own
  IdiomViews m_foldViews;           // what that thread built; taken when it is done
  bool m_foldTried = false;         // that thread has run: it runs once
  SearchHistory m_history;
  bool m_composing = false;  // the input method holds uncommitted text in the query box

  Wordbook m_wordbook;
  std::filesystem::path m_wordbookFile;
  bool m_wordbookSaves = true;  // false while a file that could not be read stays in place
  QPointer<FrmWordbook> m_wordbookWindow;

  QWidget* m_client = nullptr;
  QLineEdit* TxtFind = nullptr;          // the query box
  QListView* List1 = nullptr;            // the result list, one idiom a row
  QPushButton* CmdBaidu = nullptr;       // online lookup of the idiom on show
  QPushButton* CmdNew = nullptr;         // the maker's page of more programs
  QPlainTextEdit* TxtView = nullptr;     // the detail pane; its "Tag" is the idiom on show
  QLabel* Label3 = nullptr;              // the hit-count caption
  QPushButton* CmdStart1 = nullptr;      // 查找: the precise search
  QPushButton* CmdCopy = nullptr;        // copies the result list
  StatusStrip* Pic = nullptr;            // the status line: author line or a notice
  std::array<QPushButton*, 2> CmdSearch{};  // search in the meaning, in the source
  QPushButton* CmdStart2 = nullptr;      // 模糊: the ordered fuzzy search
  QPushButton* CmdStart3 = nullptr;      // 混和: the mixed search
  UpDateMe* UpDateMe1 = nullptr;         // the update check at start; null when built without it
  QTimer* Timer1 = nullptr;              // fills the result list a slice a tick
  QTimer* TimerTyping = nullptr;         // search as you type: 查找 a moment after the last keystroke
  QTimer* TimerTable = nullptr;          // looks whether a table still loading is in
  QCompleter* m_completer = nullptr;     // the recent queries under the query box
  QStringListModel* m_recent = nullptr;
  QAction* menuHelp = nullptr;
  QAction* menuZS = nullptr;             // the appreciation window
  QAction* menuNet = nullptr;            // the maker's home page
  // 更多查找: the four searches beyond the buttons.
  QMenu* menuMore = nullptr;
  QAction* menuPinyin = nullptr;
  QAction* menuPattern = nullptr;
  QAction* menuChain = nullptr;
  QAction* menuFolded = nullptr;
  // 历史: back, forward and the recent queries.
  QMenu* menuHistory = nullptr;
  QAction* menuBack = nullptr;
  QAction* menuForward = nullptr;
  QAction* menuRecent = nullptr;
  QAction* menuClearHistory = nullptr;
  // 生词本: keep the idiom on show, the 生词本 window, export and import.
  QMenu* menuWordbook = nullptr;
  QAction* menuKeep = nullptr;
  QAction* menuOpenWordbook = nullptr;
  QAction* menuExportCsv = nullptr;
  QAction* menuExportAnki = nullptr;
  QAction* menuImport = nullptr;
  // 查看: zoom and search as you type.
  QMenu* menuView = nullptr;
  QAction* menuZoomIn = nullptr;
  QAction* menuZoomOut = nullptr;
  QAction* menuZoomReset = nullptr;
  QAction* menuTyping = nullptr;
  // 选项: the dictionary of 网上释义 and the update check.
  QMenu* menuOptions = nullptr;
  QActionGroup* menuSites = nullptr;
  QAction* menuUpdateCheck = nullptr;
  QPointer<FrmHelp> m_help;
};

}  // namespace tessaly
