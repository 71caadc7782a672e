// FrmMain: the main window. The query box and the five search buttons on
// top, the result list and the detail pane below, the hit count and the
// result commands under them, the status strip at the bottom.
#pragma once

#include <array>
#include <filesystem>
#include <functional>

#include <QMainWindow>
#include <QPointer>

#include "http_request.h"
#include "idiom_file.h"
#include "idiom_views.h"
#include "query.h"
#include "result_filler.h"
#include "search_engine.h"

class QAction;
class QMenu;
class QLabel;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace tessaly {

class Desktop;
class FrmHelp;
class ResultListModel;
class StatusStrip;
class UpDateMe;

// What FrmMain takes from outside; tests replace each part.
struct FrmMainServices {
  // The data file; empty means the one FindDataFile (data_location.h) finds.
  std::filesystem::path dataFile;
  // Loads the idiom table; empty means loading dataFile.
  std::function<Result<IdiomTable>()> loadTable;
  // Makes the update check's request objects; empty means Qt's.
  HttpRequestFactory http;
  // Where the update check asks; empty means the maker's version file.
  QString versionUrl;
};

// DetailText returns the detail pane's text for `record`: the idiom, then
// pinyin, meaning, source and example under their headings, then the
// variants, near and opposite idioms under theirs where the record has
// them, lines joined by CR LF.
QString DetailText(const IdiomRecord& record);

// AuthorLine returns the status line's resting text: the author, the
// contact and the address of the mobile web version.
QString AuthorLine();

// The address of the version file, of the online lookup of `idiom`, and of
// the maker's two pages.
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
  // line and the caption, show it, start the update check, let it paint,
  // load the idiom table and put the focus into the query box. Returns false
  // when the table failed to load (the program has then been ended).
  bool Form_Load();

  // Timer1_Timer is one tick of the result-list filling: Timer1 calls it
  // every 5 ms while a list fills; tests call it directly.
  void Timer1_Timer();

  const IdiomTable& table() const { return m_table; }
  // twips converts a layout length to pixels at the screen's logical DPI.
  int twips(int value) const;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void createWidgets();
  void createMenus();
  void connectSignals();
  void place(QWidget* w, int left, int top, int width, int height);
  void centreOnScreen();

  void ResetStatusLine();
  bool CheckQuery();
  void RunSearch(SearchMode mode);
  void List1_Click();
  void TxtView_KeyDown(int keyCode, Qt::KeyboardModifiers shift);
  void TxtFind_MouseMove();
  void CmdCopy_Click();
  void CmdBaidu_Click();
  void CmdNew_Click();
  void menuNet_Click();
  void menuHelp_Click();
  void menuZS_Click();
  void UpDateMe1_GetUpdate();
  void Form_Resize();
  void Form_Unload();

  Desktop& m_desktop;
  FrmMainServices m_services;
  double m_dpi = 96.0;

  IdiomTable m_table;
  IdiomViews m_views;  // what the pinyin search, the chain and 简繁通查 read
  Keywords m_keywords;
  SearchOutcome m_outcome;  // the hit marks of the last search
  ResultFiller m_filler;
  ResultListModel* m_rows = nullptr;  // ResultRows with the rows they show

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
  UpDateMe* UpDateMe1 = nullptr;         // the update check at start
  QTimer* Timer1 = nullptr;              // fills the result list a slice a tick
  QAction* menuHelp = nullptr;
  QAction* menuZS = nullptr;             // the appreciation window
  QAction* menuNet = nullptr;            // the maker's home page
  // 更多查找: the four searches beyond the buttons.
  QMenu* menuMore = nullptr;
  QAction* menuPinyin = nullptr;
  QAction* menuPattern = nullptr;
  QAction* menuChain = nullptr;
  QAction* menuFolded = nullptr;
  QPointer<FrmHelp> m_help;
};

}  // namespace tessaly
