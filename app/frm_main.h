// FrmMain: the main window's shell. The query box and the five search
// buttons on top, the result list and the detail pane below, the hit count
// and the result commands under them, the status strip at the bottom; the
// menu bar built from the window's features, each a unit of its own: the
// search run, the history, the 生词本, the layout and zoom, the keys, the
// result commands and the update check.
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <memory>

#include <QMainWindow>
#include <QPointer>

#include "addresses.h"
#include "http_request.h"
#include "idiom_file.h"
#include "search_run.h"

class QAction;
class QLabel;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace tessaly {

class Desktop;
class FrmHelp;
class HistoryMenu;
class KeyRouter;
class ResultCommands;
class SettingsStore;
class StatusStrip;
class UpDateMe;
class UpdateCheck;
class WindowZoom;
class WordbookMenu;
class Wordbook;

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
  // The settings file; empty means the user's (settings_file.h).
  QString settingsFile;
  // The 生词本's file; empty means WordbookPath() (wordbook.h).
  std::filesystem::path wordbookFile;
  // From how many records on 简繁通查's first conversion of the idioms runs
  // on a thread of its own, the window showing a busy cursor meanwhile;
  // below, it takes a moment (under 50 ms) and runs at once.
  int32_t foldAsideFrom = 20000;
};

class FrmMain : public QMainWindow {
  Q_OBJECT

 public:
  explicit FrmMain(Desktop& desktop, FrmMainServices services = {});
  ~FrmMain() override;

  // Form_Load runs the start-up of the window: centre it, show the author
  // line and the caption, show it, start the update check (unless turned
  // off), read the 生词本, put the focus into the query box and take the
  // idiom table (SearchRun::start). Returns false when the table failed to
  // load (the program has then been ended).
  bool Form_Load();

  // Timer1_Timer is one tick of the result-list filling: Timer1 calls it
  // every 5 ms while a list fills; tests call it directly.
  void Timer1_Timer();

  const IdiomTable& table() const;
  const Wordbook& wordbook() const;
  // twips converts a layout length to pixels at the screen's logical DPI
  // and the window's zoom.
  int twips(int value) const;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void createWidgets();
  void createTopRow();
  void createBottomRow();
  void createUnits();
  void createMenus();
  void connectSignals();
  QPushButton* button(const char* name, const QString& caption, const QString& tip = {});
  void centreOnScreen();

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
  std::unique_ptr<SettingsStore> m_settings;

  // The features, each a unit with its part of the menus.
  WindowZoom* m_zoom = nullptr;
  SearchRun* m_run = nullptr;
  HistoryMenu* m_history = nullptr;
  WordbookMenu* m_wordbook = nullptr;
  ResultCommands* m_commands = nullptr;
  UpdateCheck* m_updateCheck = nullptr;
  KeyRouter* m_keys = nullptr;

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
  QAction* menuHelp = nullptr;
  QAction* menuZS = nullptr;             // the appreciation window
  QAction* menuNet = nullptr;            // the maker's home page
  QPointer<FrmHelp> m_help;
};

}  // namespace tessaly
