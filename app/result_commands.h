// The main window's commands on its results: copying the result list
// (复制结果), the online lookup of the idiom on show (网上释义, on the
// dictionary chosen in 选项), the maker's pages (更多免费软件, 主页), and the
// result list's pop-up menu (copy the idiom or its whole entry, keep it in
// the 生词本, chain from it).
#pragma once

#include <QObject>

class QListView;
class QMenu;
class QPoint;
class QWidget;

namespace tessaly {

class Desktop;
class SearchRun;
class SettingsStore;
class WordbookMenu;

class ResultCommands : public QObject {
  Q_OBJECT

 public:
  ResultCommands(QWidget* window, Desktop& desktop, SettingsStore& settings, SearchRun& run,
                 WordbookMenu& wordbook, QListView* list);

  // addSiteMenu adds the choice of 网上释义's dictionary to `options`.
  void addSiteMenu(QMenu* options);

  // copy puts every row of the result list on the clipboard, each with CR
  // LF after it, and says so.
  void copy();
  // lookUp opens the idiom on show in the chosen online dictionary.
  void lookUp();
  void openMorePrograms();
  void openHomePage();

 private:
  void rowMenu(const QPoint& at);

  QWidget* m_window;
  Desktop& m_desktop;
  SettingsStore& m_settings;
  SearchRun& m_run;
  WordbookMenu& m_wordbook;
  QListView* m_list;
};

}  // namespace tessaly
