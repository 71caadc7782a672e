// The main window's history: the menu 历史 with 后退 and 前进 over the
// searches made (each bringing back the idiom that was on show), and the
// recent queries offered under the query box, kept across starts in the
// settings; 清除历史记录 forgets both.
#pragma once

#include <QObject>

#include "search_history.h"

class QAction;
class QCompleter;
class QLineEdit;
class QMenuBar;
class QStringListModel;

namespace tessaly {

class SearchRun;
class SettingsStore;

class HistoryMenu : public QObject {
  Q_OBJECT

 public:
  // The history follows the searches `run` makes; the recent queries are
  // offered under `query`.
  HistoryMenu(SearchRun& run, SettingsStore& settings, QLineEdit* query, QObject* parent);

  // addMenu adds 历史 to `bar`.
  void addMenu(QMenuBar* bar);

  // back and forward step over the history (the menu items, Alt+Left and
  // Alt+Right, the mouse's back and forward buttons).
  void back();
  void forward();

 private:
  void searched(const HistoryEntry& request);
  void goTo(const HistoryEntry* step);
  void showRecent();
  void clear();
  void update();

  SearchRun& m_run;
  SettingsStore& m_settings;
  QLineEdit* m_query;
  SearchHistory m_history;
  QStringListModel* m_recent = nullptr;
  QCompleter* m_completer = nullptr;
  QAction* menuBack = nullptr;
  QAction* menuForward = nullptr;
};

}  // namespace tessaly
