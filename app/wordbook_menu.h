// The main window's 生词本 (the idioms to learn): the menu 生词本 with 加入
// 生词本 (Ctrl+D, its star telling whether the idiom on show is kept), the
// 生词本 window (Ctrl+B), the exports for spreadsheets and Anki and the
// import; the file in the user's data folder, written on every change.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include <QObject>
#include <QPointer>

#include "wordbook.h"

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace tessaly {

class Desktop;
class FrmWordbook;
class SearchRun;

class WordbookMenu : public QObject {
  Q_OBJECT

 public:
  // `file` empty means WordbookPath(). The idiom on show and the table of
  // the exports are `run`'s; an idiom chosen in the 生词本 window is shown
  // by `run` in `window`.
  WordbookMenu(QWidget* window, Desktop& desktop, SearchRun& run, std::filesystem::path file);

  // addMenu adds 生词本 to `bar`.
  void addMenu(QMenuBar* bar);
  // load reads the file (at start); a broken file is reported and set
  // aside, one that cannot be read stays and is not written over.
  void load();
  // keep keeps `idiom` in the 生词本 (`keep`) or takes it out.
  void keep(const QString& idiom, bool keep);
  // closeWindow closes the 生词本 window, if open.
  void closeWindow();

  const Wordbook& wordbook() const { return m_wordbook; }

 private:
  void save();
  void keepShown();
  void updateState();
  void openWindow();
  // exportAs asks where to write, then writes what `make` makes there.
  void exportAs(const QString& title, const QString& name, const QString& filter,
                const std::function<std::string()>& make);
  void import();

  QWidget* m_window;
  Desktop& m_desktop;
  SearchRun& m_run;
  Wordbook m_wordbook;
  std::filesystem::path m_file;
  bool m_saves = true;  // false while a file that could not be read stays in place
  QPointer<FrmWordbook> m_wordbookWindow;
  QMenu* menuWordbook = nullptr;
  QAction* menuKeep = nullptr;
  QAction* menuExportCsv = nullptr;
  QAction* menuExportAnki = nullptr;
};

}  // namespace tessaly
