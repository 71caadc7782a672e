// The main window's search run: the idiom table, taken from the loader
// when it is in, and its views; the query check; the searches of the five
// buttons and of the menu 更多查找 (one item per search of the list in
// searches.h); 简繁通查's first conversion on a thread of its own; the
// result list filled a slice a tick; the detail pane of the idiom on show;
// search as you type. A search asked for before the table is in, or while
// the conversion runs, waits and runs as soon as it can.
//
//   SearchRun run(window, desktop, settings, controls, loading);
//   run.addMoreMenu(menuBar);
//   if (!run.start()) return;            // the table failed: the program has ended
//   run.searchClicked(SearchMode::Precise);
#pragma once

#include <filesystem>
#include <functional>
#include <optional>

#include <QObject>
#include <QString>

#include "idiom_file.h"
#include "idiom_views.h"
#include "query.h"
#include "result_filler.h"
#include "search_engine.h"
#include "search_history.h"

class QAction;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QThread;
class QTimer;
class QWidget;

namespace tessaly {

class Desktop;
class ResultListModel;
class SettingsStore;
class StatusStrip;

// DetailText returns the detail pane's text for `record`: the idiom, then
// pinyin, meaning, source and example under their headings, then the
// variants, near and opposite idioms under theirs where the record has
// them, lines joined by CR LF.
QString DetailText(const IdiomRecord& record);

class SearchRun : public QObject {
  Q_OBJECT

 public:
  // The main window's controls the search run drives.
  struct Controls {
    QLineEdit* TxtFind = nullptr;
    QListView* List1 = nullptr;
    QPlainTextEdit* TxtView = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* CmdCopy = nullptr;
    QPushButton* CmdBaidu = nullptr;
    StatusStrip* Pic = nullptr;
    QTimer* Timer1 = nullptr;
  };
  // Where the table comes from (see FrmMainServices).
  struct Loading {
    std::filesystem::path dataFile;
    std::function<Result<IdiomTable>()> loadTable;
    std::function<bool()> tableReady;
    int32_t foldAsideFrom = 20000;
  };

  SearchRun(QWidget* window, Desktop& desktop, SettingsStore& settings, const Controls& controls, Loading loading);
  ~SearchRun() override;

  // addMoreMenu adds the menu 更多查找 to `bar`: an item for every search of
  // the list that has a menu caption, named "menu" and its name
  // (menuPinyin). addTypingItem adds 边输入边查找 to `view`.
  void addMoreMenu(QMenuBar* bar);
  void addTypingItem(QMenu* view);
  QMenu* moreMenu() const { return m_moreMenu; }

  // start takes the table: read here and now (after the window has
  // painted) without FrmMainServices::tableReady, else without waiting, or
  // once it is in while the window takes input. Returns false when it
  // failed to load: the program has been ended.
  bool start();

  // ResetStatusLine shows the author line alone in the status strip;
  // Notice shows `text` there instead.
  void ResetStatusLine();
  void Notice(const QString& text);

  // searchClicked checks the query box and runs the search of `mode`
  // (from the idiom on show for a search that goes on from it, the chain).
  void searchClicked(SearchMode mode);
  // run runs `request`; `remember`: it becomes a history step (searched()).
  void run(const HistoryEntry& request, bool remember);
  // replay runs a history step again and brings back the record that was
  // on show, selecting its row once the list reaches it.
  void replay(const HistoryEntry& step);
  // openIdiom searches for `idiom` as typed into the query box and shows
  // its own record among the hits.
  void openIdiom(const QString& idiom);
  // chainFrom runs the chain from `idiom`.
  void chainFrom(const QString& idiom);

  // tick is one tick of the result-list filling (Timer1).
  void tick();
  // listClicked shows the record of the selected row (List1_Click).
  void listClicked();
  // showCurrentRow selects the current row and shows its record.
  void showCurrentRow();
  void show(int32_t record);
  // stop ends a filling and search as you type and empties the list.
  void stop();
  // clearQuery empties the query box (Esc) without a pending typed search.
  void clearQuery();
  void setComposing(bool composing) { m_composing = composing; }

  const IdiomTable& table() const { return m_table; }
  ResultListModel* rows() const { return m_rows; }
  // shownIdiom is the idiom on show (TxtView.Tag), empty for none.
  QString shownIdiom() const;

 signals:
  // searched: `request` ran and is to be remembered.
  void searched(const HistoryEntry& request);
  // shown: `record` is on show in the detail pane.
  void shown(int32_t record);

 private:
  bool takeTable();
  bool CheckQuery();
  void chainClicked();
  void typingPaused();
  void startFold(const HistoryEntry& request);
  void foldDone();
  void restoreRecord(int32_t record);

  QWidget* m_window;
  Desktop& m_desktop;
  SettingsStore& m_settings;
  Controls m_c;
  Loading m_loading;

  IdiomTable m_table;
  bool m_tableIn = false;  // the table is taken; searches asked for before wait in m_pending
  IdiomViews m_views;      // what the pinyin search, the chain and 简繁通查 read
  Keywords m_keywords;
  SearchOutcome m_outcome;  // the hit marks of the last search
  ResultFiller m_filler;
  ResultListModel* m_rows = nullptr;  // ResultRows with the rows they show
  int32_t m_restoreRow = -1;          // the row to select once listed (a history step), -1: the first
  // A search asked for while the table loads or 简繁通查's conversion runs.
  std::optional<HistoryEntry> m_pending;
  QThread* m_foldThread = nullptr;  // 简繁通查's first conversion, on a thread of its own
  IdiomViews m_foldViews;           // what that thread built; taken when it is done
  bool m_foldTried = false;         // that thread has run: it runs once
  bool m_composing = false;         // the input method holds uncommitted text in the query box
  QTimer* TimerTyping = nullptr;    // search as you type: 查找 a moment after the last keystroke
  QTimer* TimerTable = nullptr;     // looks whether a table still loading is in
  QMenu* m_moreMenu = nullptr;
};

}  // namespace tessaly
