// The main window's 生词本.
#include "wordbook_menu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

#include "desktop.h"
#include "file_io.h"
#include "frm_wordbook.h"
#include "qt_text.h"
#include "search_run.h"

namespace tessaly {

WordbookMenu::WordbookMenu(QWidget* window, Desktop& desktop, SearchRun& run, std::filesystem::path file)
    : QObject(window), m_window(window), m_desktop(desktop), m_run(run), m_file(std::move(file)) {
  connect(&m_run, &SearchRun::shown, this, &WordbookMenu::updateState);
}

void WordbookMenu::addMenu(QMenuBar* bar) {
  menuWordbook = bar->addMenu(QStringLiteral("☆ 生词本(&B)"));
  menuWordbook->setObjectName(QStringLiteral("menuWordbook"));
  auto item = [this](const char* name, const QString& caption, const QKeySequence& key = {}) {
    QAction* a = menuWordbook->addAction(caption);
    a->setObjectName(QLatin1String(name));
    a->setShortcut(key);
    return a;
  };
  menuKeep = item("menuKeep", QStringLiteral("加入生词本"), QKeySequence(Qt::CTRL | Qt::Key_D));
  menuKeep->setCheckable(true);
  QAction* open = item("menuOpenWordbook", QStringLiteral("打开生词本…"), QKeySequence(Qt::CTRL | Qt::Key_B));
  menuWordbook->addSeparator();
  menuExportCsv = item("menuExportCsv", QStringLiteral("导出为 CSV 表格…"));
  menuExportAnki = item("menuExportAnki", QStringLiteral("导出为 Anki 卡片（TSV）…"));
  QAction* import = item("menuImport", QStringLiteral("从文件导入…"));
  connect(menuKeep, &QAction::triggered, this, &WordbookMenu::keepShown);
  connect(open, &QAction::triggered, this, &WordbookMenu::openWindow);
  connect(menuExportCsv, &QAction::triggered, this, [this] {
    exportAs(QStringLiteral("导出生词本为 CSV 表格"), QStringLiteral("生词本.csv"), QStringLiteral("CSV 表格 (*.csv)"),
             [this] { return WordbookCsv(m_wordbook, m_run.table()); });
  });
  connect(menuExportAnki, &QAction::triggered, this, [this] {
    exportAs(QStringLiteral("导出生词本为 Anki 卡片"), QStringLiteral("生词本.tsv"),
             QStringLiteral("Anki 可导入的文本 (*.tsv *.txt)"), [this] { return WordbookAnkiTsv(m_wordbook, m_run.table()); });
  });
  connect(import, &QAction::triggered, this, &WordbookMenu::import);
  updateState();
}

void WordbookMenu::load() {
  if (m_file.empty()) m_file = WordbookPath();
  if (m_file.empty()) {
    m_saves = false;  // no home folder: kept for this session only
    return;
  }
  Result<Wordbook> read = ReadWordbook(m_file);
  if (read.ok()) {
    m_wordbook = std::move(read).value();
    updateState();
    return;
  }
  // A file whose text is broken is renamed and kept for its owner; one that
  // cannot be read at all stays where it is, never written over.
  const QString details = ErrorDetails(read.error(), m_file);
  const ErrorKind kind = read.error().kind;
  const Result<std::filesystem::path> aside = kind == ErrorKind::BadEncoding || kind == ErrorKind::BadInput
                                                  ? SetAside(m_file)
                                                  : Result<std::filesystem::path>(read.error());
  if (aside.ok()) {
    m_desktop.showMessage(m_window,
                          QStringLiteral("生词本文件已损坏，无法读取。原文件已改名保存为 %1，生词本从空开始。").arg(NameOf(*aside)),
                          QStringLiteral("生词本"), Desktop::Icon::Critical, details);
  } else {
    m_saves = false;
    m_desktop.showMessage(m_window, QStringLiteral("生词本文件无法读取，保持原样；这次对生词本的改动不会保存。"),
                          QStringLiteral("生词本"), Desktop::Icon::Critical, details);
  }
}

void WordbookMenu::save() {
  updateState();
  if (m_wordbookWindow) m_wordbookWindow->setIdioms(m_wordbook.idioms());
  if (!m_saves) return;
  // Written whole and safely on every change: a crash or a full disk leaves
  // the last saved list. A file replaced whose folder could not be flushed
  // (Unsynced) has its new text.
  const Error written = WriteWordbook(m_file, m_wordbook);
  if (!written.ok() && written.kind != ErrorKind::Unsynced) {
    m_desktop.showMessage(m_window, QStringLiteral("生词本没能保存，文件保留上次保存的内容。"), QStringLiteral("生词本"),
                          Desktop::Icon::Critical, ErrorDetails(written, m_file));
  }
}

void WordbookMenu::keepShown() {
  const QString idiom = m_run.shownIdiom();
  if (!idiom.isEmpty()) keep(idiom, !m_wordbook.contains(ViewOf(idiom)));
}

void WordbookMenu::keep(const QString& idiom, bool keep) {
  const std::u16string text = idiom.toStdU16String();
  if (keep ? m_wordbook.add(text) : m_wordbook.remove(text)) save();
}

void WordbookMenu::updateState() {
  if (menuKeep == nullptr) return;
  const QString idiom = m_run.shownIdiom();
  const bool kept = !idiom.isEmpty() && m_wordbook.contains(ViewOf(idiom));
  menuKeep->setEnabled(!idiom.isEmpty());
  menuKeep->setChecked(kept);
  // The menu's star tells at a glance whether the idiom on show is kept.
  menuWordbook->setTitle(kept ? QStringLiteral("★ 生词本(&B)") : QStringLiteral("☆ 生词本(&B)"));
  menuExportCsv->setEnabled(!m_wordbook.idioms().empty());
  menuExportAnki->setEnabled(!m_wordbook.idioms().empty());
}

void WordbookMenu::openWindow() {
  if (!m_wordbookWindow) {
    m_wordbookWindow = new FrmWordbook(m_window);
    connect(m_wordbookWindow, &FrmWordbook::openIdiom, this, [this](const QString& idiom) {
      m_run.openIdiom(idiom);
      m_window->activateWindow();
    });
    connect(m_wordbookWindow, &FrmWordbook::removeIdioms, this, [this](const QStringList& idioms) {
      for (const QString& idiom : idioms) m_wordbook.remove(idiom.toStdU16String());
      save();
    });
  }
  m_wordbookWindow->setIdioms(m_wordbook.idioms());
  m_wordbookWindow->show();
  m_wordbookWindow->raise();
  m_wordbookWindow->activateWindow();
}

void WordbookMenu::closeWindow() {
  if (m_wordbookWindow) m_wordbookWindow->close();
}

void WordbookMenu::exportAs(const QString& title, const QString& name, const QString& filter,
                            const std::function<std::string()>& make) {
  const QString chosen = m_desktop.saveFileName(m_window, title, name, filter);
  if (chosen.isEmpty()) return;
  const Result<std::string> bytes = CatchOutOfMemory([&]() -> Result<std::string> { return make(); });
  const Error written = bytes.ok() ? WriteFileSafely(PathOf(chosen), *bytes) : bytes.error();
  if (!written.ok() && written.kind != ErrorKind::Unsynced) {
    m_desktop.showMessage(m_window, QStringLiteral("生词本没能导出。"), title, Desktop::Icon::Critical,
                          ErrorDetails(written, PathOf(chosen)));
    return;
  }
  m_run.Notice(QStringLiteral("已导出 %1 个成语：%2").arg(m_wordbook.idioms().size()).arg(chosen));
}

void WordbookMenu::import() {
  const QString title = QStringLiteral("导入生词本");
  const QString chosen = m_desktop.openFileName(
      m_window, title, QStringLiteral("生词本、CSV 表格或 Anki 文本 (*.txt *.csv *.tsv);;所有文件 (*)"));
  if (chosen.isEmpty()) return;
  Result<std::vector<std::u16string>> idioms = [&]() -> Result<std::vector<std::u16string>> {
    Result<std::string> bytes = ReadWholeFile(PathOf(chosen));
    if (!bytes.ok()) return bytes.error();
    return ReadIdiomList(*bytes);
  }();
  if (!idioms.ok()) {
    m_desktop.showMessage(m_window, QStringLiteral("这个文件不能导入。"), title, Desktop::Icon::Critical,
                          ErrorDetails(idioms.error(), PathOf(chosen)));
    return;
  }
  const int added = m_wordbook.merge(*idioms);
  if (added > 0) save();
  m_desktop.showMessage(
      m_window,
      QStringLiteral("导入了 %1 个成语；另有 %2 个已在生词本中。").arg(added).arg(static_cast<qsizetype>(idioms->size()) - added),
      title, Desktop::Icon::Information);
}

}  // namespace tessaly
