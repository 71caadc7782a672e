// The main window's commands on its results.
#include "result_commands.h"

#include <QAction>
#include <QActionGroup>
#include <QListView>
#include <QMenu>

#include "addresses.h"
#include "desktop.h"
#include "lookup_sites.h"
#include "qt_text.h"
#include "result_list_model.h"
#include "search_run.h"
#include "settings_store.h"
#include "wordbook_menu.h"

namespace tessaly {

ResultCommands::ResultCommands(QWidget* window, Desktop& desktop, SettingsStore& settings, SearchRun& run,
                               WordbookMenu& wordbook, QListView* list)
    : QObject(window), m_window(window), m_desktop(desktop), m_settings(settings), m_run(run), m_wordbook(wordbook),
      m_list(list) {
  m_list->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(m_list, &QListView::customContextMenuRequested, this, &ResultCommands::rowMenu);
}

void ResultCommands::addSiteMenu(QMenu* options) {
  QMenu* sites = options->addMenu(QStringLiteral("网上释义的网站"));
  sites->setObjectName(QStringLiteral("menuSite"));
  auto* group = new QActionGroup(this);
  for (const auto& [site, name] : {std::pair{LookupSite::BaiduHanyu, "menuSiteBaidu"}, {LookupSite::Zdic, "menuSiteZdic"},
                                   {LookupSite::Moedict, "menuSiteMoedict"}, {LookupSite::MoeIdioms, "menuSiteMoeIdioms"}}) {
    QAction* a = sites->addAction(LookupSiteName(site));
    a->setObjectName(QLatin1String(name));
    a->setCheckable(true);
    a->setChecked(site == m_settings.settings().lookupSite);
    a->setData(static_cast<int>(site));
    group->addAction(a);
  }
  connect(group, &QActionGroup::triggered, this, [this](QAction* a) {
    m_settings.settings().lookupSite = static_cast<LookupSite>(a->data().toInt());
    m_settings.save();
  });
}

void ResultCommands::copy() {
  const ResultListModel& rows = *m_run.rows();
  QString text;
  for (int i = 0; i < rows.rowCount(); ++i) text += rows.rowText(i) + QStringLiteral("\r\n");
  m_desktop.setClipboardText(text);
  m_desktop.showMessage(m_window, QStringLiteral("已复制到剪贴板！"), QStringLiteral("完成"), Desktop::Icon::None);
}

void ResultCommands::lookUp() { m_desktop.openUrl(LookupUrl(m_settings.settings().lookupSite, m_run.shownIdiom())); }

void ResultCommands::openMorePrograms() { m_desktop.openUrl(MoreProgramsUrl()); }

void ResultCommands::openHomePage() { m_desktop.openUrl(HomePageUrl()); }

void ResultCommands::rowMenu(const QPoint& at) {
  const QModelIndex index = m_list->indexAt(at);
  const ResultRows& rows = m_run.rows()->rows();
  if (!index.isValid() || static_cast<size_t>(index.row()) >= rows.size()) return;
  m_list->setCurrentIndex(index);
  const int32_t record = rows[static_cast<size_t>(index.row())];
  const QString idiom = QStringOf(m_run.table().field(record, Field::Idiom));
  const bool kept = m_wordbook.wordbook().contains(ViewOf(idiom));
  QMenu menu(m_window);
  auto item = [&menu](const char* name, const QString& caption, auto&& run) {
    QAction* a = menu.addAction(caption);
    a->setObjectName(QLatin1String(name));
    connect(a, &QAction::triggered, &menu, run);
  };
  item("menuCopyIdiom", QStringLiteral("复制成语"), [this, idiom] { m_desktop.setClipboardText(idiom); });
  item("menuCopyEntry", QStringLiteral("复制整个词条"),
       [this, record] { m_desktop.setClipboardText(DetailText(m_run.table().record(record))); });
  item("menuKeepRow", kept ? QStringLiteral("从生词本删除") : QStringLiteral("加入生词本"),
       [this, idiom, kept] { m_wordbook.keep(idiom, !kept); });
  item("menuChainRow", QStringLiteral("从这里接龙"), [this, idiom] { m_run.chainFrom(idiom); });
  m_desktop.runMenu(&menu, m_list->viewport()->mapToGlobal(at));
}

}  // namespace tessaly
