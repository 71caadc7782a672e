// FrmMain: the menus after 更多查找 and what they do: the history, the
// 生词本, the view and the options; the keys of the menu bar and the result
// list's pop-up menu.
#include "frm_main.h"

#include <algorithm>

#include <QAction>
#include <QActionGroup>
#include <QCompleter>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QStringListModel>
#include <QTimer>

#include "desktop.h"
#include "file_io.h"
#include "frm_wordbook.h"
#include "lookup_sites.h"
#include "menu_bar_keys.h"
#include "result_list_model.h"
#include "status_strip.h"
#include "tessaly_config.h"

namespace tessaly {
namespace {

QString FromU16(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::filesystem::path PathOf(const QString& name) { return QFile::encodeName(name).toStdString(); }

// The details of a message about a file: its name, and the line and the
// reason of the error.
QString FileDetails(const std::filesystem::path& file, const Error& error) {
  QString details = QStringLiteral("文件：") + QFile::decodeName(file.string().c_str()) + u'\n';
  if (error.line > 0) details += QStringLiteral("第 %1 行：").arg(error.line);
  return details + QString::fromStdString(error.reason);
}

}  // namespace

void FrmMain::createMoreMenus() {
  auto item = [](QMenu* menu, const char* name, const QString& caption, const QList<QKeySequence>& keys = {}) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    a->setShortcuts(keys);
    return a;
  };
  auto menu = [this](const char* name, const QString& caption) {
    QMenu* m = menuBar()->addMenu(caption);
    m->setObjectName(QLatin1String(name));
    return m;
  };

  menuHistory = menu("menuHistory", QStringLiteral("历史(&L)"));
  menuBack = item(menuHistory, "menuBack", QStringLiteral("后退"), {QKeySequence(Qt::ALT | Qt::Key_Left)});
  menuForward = item(menuHistory, "menuForward", QStringLiteral("前进"), {QKeySequence(Qt::ALT | Qt::Key_Right)});
  menuHistory->addSeparator();
  menuRecent = item(menuHistory, "menuRecent", QStringLiteral("最近的查询…"), {QKeySequence(Qt::ALT | Qt::Key_Down)});
  menuClearHistory = item(menuHistory, "menuClearHistory", QStringLiteral("清除历史记录"));

  menuWordbook = menu("menuWordbook", QStringLiteral("☆ 生词本(&B)"));
  menuKeep = item(menuWordbook, "menuKeep", QStringLiteral("加入生词本"), {QKeySequence(Qt::CTRL | Qt::Key_D)});
  menuKeep->setCheckable(true);
  menuOpenWordbook = item(menuWordbook, "menuOpenWordbook", QStringLiteral("打开生词本…"),
                          {QKeySequence(Qt::CTRL | Qt::Key_B)});
  menuWordbook->addSeparator();
  menuExportCsv = item(menuWordbook, "menuExportCsv", QStringLiteral("导出为 CSV 表格…"));
  menuExportAnki = item(menuWordbook, "menuExportAnki", QStringLiteral("导出为 Anki 卡片（TSV）…"));
  menuImport = item(menuWordbook, "menuImport", QStringLiteral("从文件导入…"));

  menuView = menu("menuView", QStringLiteral("查看(&V)"));
  menuZoomIn = item(menuView, "menuZoomIn", QStringLiteral("放大"),
                    {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
  menuZoomOut = item(menuView, "menuZoomOut", QStringLiteral("缩小"), {QKeySequence(Qt::CTRL | Qt::Key_Minus)});
  menuZoomReset = item(menuView, "menuZoomReset", QStringLiteral("原始大小（100%）"), {QKeySequence(Qt::CTRL | Qt::Key_0)});
  menuView->addSeparator();
  menuTyping = item(menuView, "menuTyping", QStringLiteral("边输入边查找"));
  menuTyping->setCheckable(true);
  menuTyping->setChecked(m_settings.searchAsYouType);

  menuOptions = menu("menuOptions", QStringLiteral("选项(&O)"));
  QMenu* sites = menuOptions->addMenu(QStringLiteral("网上释义的网站"));
  sites->setObjectName(QStringLiteral("menuSite"));
  menuSites = new QActionGroup(this);
  for (const auto& [site, name] : {std::pair{LookupSite::BaiduHanyu, "menuSiteBaidu"}, {LookupSite::Zdic, "menuSiteZdic"},
                                   {LookupSite::Moedict, "menuSiteMoedict"}, {LookupSite::MoeIdioms, "menuSiteMoeIdioms"}}) {
    QAction* a = item(sites, name, LookupSiteName(site));
    a->setCheckable(true);
    a->setChecked(site == m_settings.lookupSite);
    a->setData(static_cast<int>(site));
    menuSites->addAction(a);
  }
  if constexpr (kUpdateCheck) {
    menuUpdateCheck = item(menuOptions, "menuUpdateCheck", QStringLiteral("启动时检查新版本"));
    menuUpdateCheck->setCheckable(true);
    menuUpdateCheck->setChecked(m_settings.checkForUpdates);
  }

  // The menu bar from the keyboard. The first four entries keep their
  // captions, so they carry no mnemonic: Alt with a letter of their name
  // opens them as a mnemonic would. F10 enters the menu bar as Alt does.
  for (const auto& [key, entry] : {std::pair{Qt::Key_H, menuHelp}, {Qt::Key_Z, menuZS}, {Qt::Key_W, menuNet},
                                   {Qt::Key_M, menuMore->menuAction()}}) {
    connect(new QShortcut(QKeySequence(Qt::ALT | key), this), &QShortcut::activated, this,
            [this, entry = entry] { EnterMenuBar(menuBar(), entry); });
  }
  connect(new QShortcut(QKeySequence(Qt::Key_F10), this), &QShortcut::activated, this,
          [this] { EnterMenuBar(menuBar()); });
  connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), this), &QShortcut::activated, this, [this] {
    TxtFind->setFocus(Qt::ShortcutFocusReason);
    TxtFind->selectAll();
  });

  connect(menuBack, &QAction::triggered, this, &FrmMain::menuBack_Click);
  connect(menuForward, &QAction::triggered, this, &FrmMain::menuForward_Click);
  connect(menuRecent, &QAction::triggered, this, &FrmMain::menuRecent_Click);
  connect(menuClearHistory, &QAction::triggered, this, &FrmMain::menuClearHistory_Click);
  connect(menuKeep, &QAction::triggered, this, &FrmMain::menuKeep_Click);
  connect(menuOpenWordbook, &QAction::triggered, this, &FrmMain::menuOpenWordbook_Click);
  connect(menuExportCsv, &QAction::triggered, this, &FrmMain::menuExportCsv_Click);
  connect(menuExportAnki, &QAction::triggered, this, &FrmMain::menuExportAnki_Click);
  connect(menuImport, &QAction::triggered, this, &FrmMain::menuImport_Click);
  connect(menuZoomIn, &QAction::triggered, this, [this] { Zoom(+1); });
  connect(menuZoomOut, &QAction::triggered, this, [this] { Zoom(-1); });
  connect(menuZoomReset, &QAction::triggered, this, [this] { Zoom(0); });
  connect(menuTyping, &QAction::toggled, this, [this](bool on) {
    m_settings.searchAsYouType = on;
    if (!on) TimerTyping->stop();
    SaveSettings();
  });
  connect(menuSites, &QActionGroup::triggered, this, [this](QAction* a) {
    m_settings.lookupSite = static_cast<LookupSite>(a->data().toInt());
    SaveSettings();
  });
  if (menuUpdateCheck != nullptr) {
    connect(menuUpdateCheck, &QAction::toggled, this, [this](bool on) {
      m_settings.checkForUpdates = on;
      SaveSettings();
    });
  }
  UpdateHistoryMenu();
  UpdateWordbookState();
}

void FrmMain::SaveSettings() { m_settingsStore->write(m_settings); }

void FrmMain::menuBack_Click() { GoTo(m_history.back()); }

void FrmMain::menuForward_Click() { GoTo(m_history.forward()); }

void FrmMain::GoTo(const HistoryEntry* entry) {
  if (entry == nullptr) return;
  TimerTyping->stop();
  const HistoryEntry step = *entry;
  TxtFind->setText(step.query);
  m_keywords = step.keywords;
  RunSearch(step, false);
  // The idiom that was on show comes back at once, and its row is selected
  // once the list has reached it.
  const HitMarks& marks = m_outcome.Matched;
  if (step.record >= 0 && static_cast<size_t>(step.record) < marks.size() && marks[static_cast<size_t>(step.record)]) {
    m_restoreRow = static_cast<int32_t>(std::count(marks.begin(), marks.begin() + step.record, uint8_t{1}));
    ShowRecord(step.record);
  }
  UpdateHistoryMenu();
}

void FrmMain::UpdateHistoryMenu() {
  menuBack->setEnabled(m_history.canGoBack());
  menuForward->setEnabled(m_history.canGoForward());
}

void FrmMain::RememberRecent(const QString& query) {
  RememberQuery(m_settings.recentQueries, query);
  m_recent->setStringList(m_settings.recentQueries);
  SaveSettings();
}

void FrmMain::menuRecent_Click() {
  TxtFind->setFocus(Qt::ShortcutFocusReason);
  m_completer->setCompletionPrefix(QString());
  m_completer->complete();
}

void FrmMain::menuClearHistory_Click() {
  m_history.clear();
  m_settings.recentQueries.clear();
  m_recent->setStringList({});
  SaveSettings();
  UpdateHistoryMenu();
}

void FrmMain::LoadWordbook() {
  m_wordbookFile = m_services.wordbookFile.empty() ? WordbookPath() : m_services.wordbookFile;
  if (m_wordbookFile.empty()) {
    m_wordbookSaves = false;  // no home folder: kept for this session only
    return;
  }
  Result<Wordbook> read = ReadWordbook(m_wordbookFile);
  if (read.ok()) {
    m_wordbook = std::move(read).value();
    UpdateWordbookState();
    return;
  }
  // A file whose text is broken is renamed and kept for its owner; one that
  // cannot be read at all stays where it is, never written over.
  const QString details = FileDetails(m_wordbookFile, read.error());
  const ErrorKind kind = read.error().kind;
  const Result<std::filesystem::path> aside = kind == ErrorKind::BadEncoding || kind == ErrorKind::BadInput
                                                  ? SetAside(m_wordbookFile)
                                                  : Result<std::filesystem::path>(read.error());
  if (aside.ok()) {
    m_desktop.showMessage(this,
                          QStringLiteral("生词本文件已损坏，无法读取。原文件已改名保存为 %1，生词本从空开始。")
                              .arg(QFile::decodeName(aside->string().c_str())),
                          QStringLiteral("生词本"), Desktop::Icon::Critical, details);
  } else {
    m_wordbookSaves = false;
    m_desktop.showMessage(this, QStringLiteral("生词本文件无法读取，保持原样；这次对生词本的改动不会保存。"),
                          QStringLiteral("生词本"), Desktop::Icon::Critical, details);
  }
}

void FrmMain::SaveWordbook() {
  UpdateWordbookState();
  if (m_wordbookWindow) m_wordbookWindow->setIdioms(m_wordbook.idioms());
  if (!m_wordbookSaves) return;
  // Written whole and safely on every change: a crash or a full disk leaves
  // the last saved list. A file replaced whose folder could not be flushed
  // (Unsynced) has its new text.
  const Error written = WriteWordbook(m_wordbookFile, m_wordbook);
  if (!written.ok() && written.kind != ErrorKind::Unsynced) {
    m_desktop.showMessage(this, QStringLiteral("生词本没能保存，文件保留上次保存的内容。"), QStringLiteral("生词本"),
                          Desktop::Icon::Critical, FileDetails(m_wordbookFile, written));
  }
}

void FrmMain::menuKeep_Click() {
  const QString idiom = TxtView->property("Tag").toString();
  if (!idiom.isEmpty()) KeepIdiom(idiom, !m_wordbook.contains(idiom.toStdU16String()));
}

void FrmMain::KeepIdiom(const QString& idiom, bool keep) {
  const std::u16string text = idiom.toStdU16String();
  if (keep ? m_wordbook.add(text) : m_wordbook.remove(text)) SaveWordbook();
}

void FrmMain::UpdateWordbookState() {
  const QString idiom = TxtView->property("Tag").toString();
  const bool kept = !idiom.isEmpty() && m_wordbook.contains(idiom.toStdU16String());
  menuKeep->setEnabled(!idiom.isEmpty());
  menuKeep->setChecked(kept);
  // The menu's star tells at a glance whether the idiom on show is kept.
  menuWordbook->setTitle(kept ? QStringLiteral("★ 生词本(&B)") : QStringLiteral("☆ 生词本(&B)"));
  menuExportCsv->setEnabled(!m_wordbook.idioms().empty());
  menuExportAnki->setEnabled(!m_wordbook.idioms().empty());
}

void FrmMain::menuOpenWordbook_Click() {
  if (!m_wordbookWindow) {
    m_wordbookWindow = new FrmWordbook(this);
    connect(m_wordbookWindow, &FrmWordbook::openIdiom, this, &FrmMain::OpenKeptIdiom);
    connect(m_wordbookWindow, &FrmWordbook::removeIdioms, this, [this](const QStringList& idioms) {
      for (const QString& idiom : idioms) m_wordbook.remove(idiom.toStdU16String());
      SaveWordbook();
    });
  }
  m_wordbookWindow->setIdioms(m_wordbook.idioms());
  m_wordbookWindow->show();
  m_wordbookWindow->raise();
  m_wordbookWindow->activateWindow();
}

void FrmMain::OpenKeptIdiom(const QString& idiom) {
  // The idiom is searched for as typed into the query box, and its own row
  // shown among the hits.
  TxtFind->setText(idiom);
  if (!CheckQuery()) return;
  RunSearch({SearchMode::Precise, TxtFind->text(), m_keywords}, true);
  const std::u16string text = idiom.toStdU16String();
  const HitMarks& marks = m_outcome.Matched;
  for (int32_t i = 0; i < m_table.size() && static_cast<size_t>(i) < marks.size(); ++i) {
    if (marks[static_cast<size_t>(i)] && m_table.field(i, Field::Idiom) == text) {
      m_restoreRow = static_cast<int32_t>(std::count(marks.begin(), marks.begin() + i, uint8_t{1}));
      ShowRecord(i);
      break;
    }
  }
  activateWindow();
}

void FrmMain::menuExportCsv_Click() {
  ExportWordbook(QStringLiteral("导出生词本为 CSV 表格"), QStringLiteral("生词本.csv"),
                 QStringLiteral("CSV 表格 (*.csv)"), WordbookCsv(m_wordbook, m_table));
}

void FrmMain::menuExportAnki_Click() {
  ExportWordbook(QStringLiteral("导出生词本为 Anki 卡片"), QStringLiteral("生词本.tsv"),
                 QStringLiteral("Anki 可导入的文本 (*.tsv *.txt)"), WordbookAnkiTsv(m_wordbook, m_table));
}

void FrmMain::ExportWordbook(const QString& title, const QString& name, const QString& filter,
                             const std::string& bytes) {
  const QString chosen = m_desktop.saveFileName(this, title, name, filter);
  if (chosen.isEmpty()) return;
  const Error written = WriteFileSafely(PathOf(chosen), bytes);
  if (!written.ok() && written.kind != ErrorKind::Unsynced) {
    m_desktop.showMessage(this, QStringLiteral("生词本没能导出。"), title, Desktop::Icon::Critical,
                          FileDetails(PathOf(chosen), written));
    return;
  }
  Notice(QStringLiteral("已导出 %1 个成语：%2").arg(m_wordbook.idioms().size()).arg(chosen));
}

void FrmMain::menuImport_Click() {
  const QString title = QStringLiteral("导入生词本");
  const QString chosen = m_desktop.openFileName(
      this, title, QStringLiteral("生词本、CSV 表格或 Anki 文本 (*.txt *.csv *.tsv);;所有文件 (*)"));
  if (chosen.isEmpty()) return;
  Result<std::vector<std::u16string>> idioms = [&]() -> Result<std::vector<std::u16string>> {
    Result<std::string> bytes = ReadWholeFile(PathOf(chosen));
    if (!bytes.ok()) return bytes.error();
    return ReadIdiomList(*bytes);
  }();
  if (!idioms.ok()) {
    m_desktop.showMessage(this, QStringLiteral("这个文件不能导入。"), title, Desktop::Icon::Critical,
                          FileDetails(PathOf(chosen), idioms.error()));
    return;
  }
  const int added = m_wordbook.merge(*idioms);
  if (added > 0) SaveWordbook();
  m_desktop.showMessage(this,
                        QStringLiteral("导入了 %1 个成语；另有 %2 个已在生词本中。")
                            .arg(added)
                            .arg(static_cast<qsizetype>(idioms->size()) - added),
                        title, Desktop::Icon::Information);
}

void FrmMain::Zoom(int direction) {
  const int zoom = NextZoom(m_settings.zoom, direction);
  if (zoom == m_settings.zoom) return;
  m_settings.zoom = zoom;
  applyZoom();
  SaveSettings();
}

void FrmMain::List1_ContextMenu(const QPoint& at) {
  const QModelIndex index = List1->indexAt(at);
  const ResultRows& rows = m_rows->rows();
  if (!index.isValid() || static_cast<size_t>(index.row()) >= rows.size()) return;
  List1->setCurrentIndex(index);
  const int32_t record = rows[static_cast<size_t>(index.row())];
  const QString idiom = FromU16(m_table.field(record, Field::Idiom));
  const bool kept = m_wordbook.contains(idiom.toStdU16String());
  QMenu menu(this);
  auto item = [&menu](const char* name, const QString& caption, auto&& run) {
    QAction* a = menu.addAction(caption);
    a->setObjectName(QLatin1String(name));
    connect(a, &QAction::triggered, &menu, run);
  };
  item("menuCopyIdiom", QStringLiteral("复制成语"), [this, idiom] { m_desktop.setClipboardText(idiom); });
  item("menuCopyEntry", QStringLiteral("复制整个词条"),
       [this, record] { m_desktop.setClipboardText(DetailText(m_table.record(record))); });
  item("menuKeepRow", kept ? QStringLiteral("从生词本删除") : QStringLiteral("加入生词本"),
       [this, idiom, kept] { KeepIdiom(idiom, !kept); });
  item("menuChainRow", QStringLiteral("从这里接龙"), [this, idiom] {
    RunSearch({SearchMode::Chain, TxtFind->text(), Keywords{idiom.toStdU16String()}}, true);
  });
  m_desktop.runMenu(&menu, List1->viewport()->mapToGlobal(at));
}

}  // namespace tessaly
