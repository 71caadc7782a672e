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
  // The data file; empty means cy.dat in the folder of the program file.
  std::filesystem::path dataFile;
  // Loads the idiom table; empty means loading dataFile.
  std::function<LoadResult()> loadTable;
  // Makes the update check's request objects; empty means Qt's.
  HttpRequestFactory http;
  // Where the update check asks; empty means the maker's version file.
  QString versionUrl;
};

// DetailText returns the detail pane's text for `record`: the idiom, then
// pinyin, meaning, source and example under their headings, lines joined by
// CR LF, nothing after the example.
QString DetailText(const IdiomRecord& record);

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
  Keywords m_keywords;
  SearchOutcome m_outcome;  // the hit marks of the last search
  ResultFiller m_filler;
  ResultListModel* m_rows = nullptr;  // ResultRows with the rows they show

  QWidget* m_client = nullptr;
  QLineEdit* TxtFind = nullptr;
  QListView* List1 = nullptr;
  QPushButton* CmdBaidu = nullptr;
  QPushButton* CmdNew = nullptr;
  QPlainTextEdit* TxtView = nullptr;
  QLabel* Label3 = nullptr;
  QPushButton* CmdStart1 = nullptr;
  QPushButton* CmdCopy = nullptr;
  StatusStrip* Pic = nullptr;
  std::array<QPushButton*, 2> CmdSearch{};
  QPushButton* CmdStart2 = nullptr;
  QPushButton* CmdStart3 = nullptr;
  UpDateMe* UpDateMe1 = nullptr;
  QTimer* Timer1 = nullptr;
  QAction* menuHelp = nullptr;
  QAction* menuZS = nullptr;
  QAction* menuNet = nullptr;
  // 更多查找: the four searches beyond the buttons.
  QMenu* menuMore = nullptr;
  QAction* menuPinyin = nullptr;
  QAction* menuPattern = nullptr;
  QAction* menuChain = nullptr;
  QAction* menuFolded = nullptr;
  QPointer<FrmHelp> m_help;
};

}  // namespace tessaly
