// The main window's history.
#include "history_menu.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCompleter>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStringListModel>

#include "qt_text.h"
#include "search_run.h"
#include "settings_store.h"

namespace tessaly {
namespace {

QStringList ListOf(const std::vector<std::u16string>& texts) {
  QStringList list;
  for (const std::u16string& text : texts) list << QStringOf(text);
  return list;
}

}  // namespace

HistoryMenu::HistoryMenu(SearchRun& run, SettingsStore& settings, QLineEdit* query, QObject* parent)
    : QObject(parent), m_run(run), m_settings(settings), m_query(query) {
  // The recent queries, offered under the query box as it is typed in.
  m_recent = new QStringListModel(ListOf(m_settings.settings().recentQueries), this);
  m_completer = new QCompleter(m_recent, this);
  m_completer->setCaseSensitivity(Qt::CaseInsensitive);
  m_completer->setFilterMode(Qt::MatchContains);
  m_completer->setCompletionMode(QCompleter::PopupCompletion);
  m_query->setCompleter(m_completer);
  connect(m_completer, qOverload<const QString&>(&QCompleter::activated), this,
          [this] { m_run.searchClicked(SearchMode::Precise); });
  connect(&m_run, &SearchRun::searched, this, &HistoryMenu::searched);
  connect(&m_run, &SearchRun::shown, this, [this](int32_t record) { m_history.show(record); });
}

void HistoryMenu::addMenu(QMenuBar* bar) {
  QMenu* menu = bar->addMenu(QStringLiteral("历史(&L)"));
  menu->setObjectName(QStringLiteral("menuHistory"));
  auto item = [menu](const char* name, const QString& caption, const QKeySequence& key = {}) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    a->setShortcut(key);
    return a;
  };
  menuBack = item("menuBack", QStringLiteral("后退"), QKeySequence(Qt::ALT | Qt::Key_Left));
  menuForward = item("menuForward", QStringLiteral("前进"), QKeySequence(Qt::ALT | Qt::Key_Right));
  menu->addSeparator();
  QAction* recent = item("menuRecent", QStringLiteral("最近的查询…"), QKeySequence(Qt::ALT | Qt::Key_Down));
  QAction* clear = item("menuClearHistory", QStringLiteral("清除历史记录"));
  connect(menuBack, &QAction::triggered, this, &HistoryMenu::back);
  connect(menuForward, &QAction::triggered, this, &HistoryMenu::forward);
  connect(recent, &QAction::triggered, this, &HistoryMenu::showRecent);
  connect(clear, &QAction::triggered, this, &HistoryMenu::clear);
  update();
}

void HistoryMenu::back() { goTo(m_history.back()); }

void HistoryMenu::forward() { goTo(m_history.forward()); }

void HistoryMenu::searched(const HistoryEntry& request) {
  m_history.push(request);
  if (!request.typed) {
    RememberQuery(m_settings.settings().recentQueries, ViewOf(request.query));
    m_recent->setStringList(ListOf(m_settings.settings().recentQueries));
    m_settings.save();
  }
  update();
}

void HistoryMenu::goTo(const HistoryEntry* step) {
  if (step == nullptr) return;
  m_run.replay(HistoryEntry(*step));
  update();
}

void HistoryMenu::showRecent() {
  m_query->setFocus(Qt::ShortcutFocusReason);
  m_completer->setCompletionPrefix(QString());
  m_completer->complete();
}

void HistoryMenu::clear() {
  m_history.clear();
  m_settings.settings().recentQueries.clear();
  m_recent->setStringList({});
  m_settings.save();
  update();
}

void HistoryMenu::update() {
  if (menuBack == nullptr) return;
  menuBack->setEnabled(m_history.canGoBack());
  menuForward->setEnabled(m_history.canGoForward());
}

}  // namespace tessaly
