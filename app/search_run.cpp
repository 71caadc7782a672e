// The main window's search run.
#include "search_run.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include "addresses.h"
#include "data_location.h"
#include "desktop.h"
#include "qt_text.h"
#include "result_list_model.h"
#include "settings_store.h"
#include "status_strip.h"
#include "text.h"

namespace tessaly {
namespace {

// Search as you type waits this long after the last keystroke, so that a
// word typed at speed is searched once, not once a letter.
constexpr int kTypingPauseMs = 150;
// How often the window looks whether a table still loading is in: a
// bundled table is often in a few milliseconds after the window is built.
constexpr int kTablePollMs = 1;

const QString kCopyCaption = QStringLiteral("复制结果");
const QString kLoadingCaption = QStringLiteral("正在加载");
const QString kTableLoadingNotice = QStringLiteral("正在加载成语表，查找会在加载完成后进行……");
const QString kFoldingNotice = QStringLiteral("简繁通查第一次使用，正在把全部成语转换为简体……");

// The row of `record` among the hits of `marks`.
int32_t RowOf(const HitMarks& marks, int32_t record) {
  return static_cast<int32_t>(std::count(marks.begin(), marks.begin() + record, uint8_t{1}));
}

// The menu item's object name of a search: "menu" and its name, capitalised.
QString MenuName(const SearchKind& kind) {
  QString name = QString::fromLatin1(kind.name.data(), static_cast<qsizetype>(kind.name.size()));
  name[0] = name[0].toUpper();
  return QStringLiteral("menu") + name;
}

}  // namespace

QString DetailText(const IdiomRecord& record) {
  const QString br = QStringLiteral("\r\n");
  QString text = QStringOf(record.Fields[0]) + br + br + QStringLiteral("拼音：") + br + QStringOf(record.Fields[2]) +
                 br + br + QStringLiteral("释义：") + br + QStringOf(record.Fields[3]) + br + br +
                 QStringLiteral("出处：") + br + QStringOf(record.Fields[4]) + br + br + QStringLiteral("示例：") + br +
                 QStringOf(record.Fields[5]);
  // The other written forms, near and opposite idioms, where the table has
  // them: a table of six fields shows what it always showed.
  const std::pair<int, const char16_t*> kLists[] = {
      {kVariantsField, u"又作："}, {kNearField, u"近义："}, {kOppositeField, u"反义："}};
  for (const auto& [field, heading] : kLists) {
    const auto f = static_cast<size_t>(field);
    if (f < record.Fields.size() && !record.Fields[f].empty()) {
      text += br + br + QString::fromUtf16(heading) + br + QStringOf(record.Fields[f]);
    }
  }
  return text;
}

SearchRun::SearchRun(QWidget* window, Desktop& desktop, SettingsStore& settings, const Controls& controls,
                     Loading loading)
    : QObject(window), m_window(window), m_desktop(desktop), m_settings(settings), m_c(controls),
      m_loading(std::move(loading)) {
  m_rows = new ResultListModel(m_table, this);
  m_c.List1->setModel(m_rows);
  TimerTyping = new QTimer(window);
  TimerTyping->setObjectName(QStringLiteral("TimerTyping"));
  TimerTyping->setSingleShot(true);
  TimerTyping->setInterval(kTypingPauseMs);
  TimerTable = new QTimer(window);
  TimerTable->setObjectName(QStringLiteral("TimerTable"));
  TimerTable->setInterval(kTablePollMs);
  connect(TimerTyping, &QTimer::timeout, this, &SearchRun::typingPaused);
  connect(TimerTable, &QTimer::timeout, this, [this] {
    if (!m_loading.tableReady || m_loading.tableReady()) takeTable();
  });
  connect(m_c.TxtFind, &QLineEdit::textEdited, this, [this] {
    if (m_settings.settings().searchAsYouType) TimerTyping->start();
  });
}

SearchRun::~SearchRun() {
  // The conversion thread reads the table: it ends before the table goes.
  if (m_foldThread != nullptr) m_foldThread->wait();
}

void SearchRun::addMoreMenu(QMenuBar* bar) {
  // The searches beyond the five buttons, each captioned with an example.
  m_moreMenu = bar->addMenu(QStringLiteral("更多查找"));
  m_moreMenu->setObjectName(QStringLiteral("menuMore"));
  for (const SearchKind* kind : Searches()) {
    if (kind->menu.empty()) continue;
    QAction* a = m_moreMenu->addAction(QStringOf(kind->menu));
    a->setObjectName(MenuName(*kind));
    connect(a, &QAction::triggered, this, [this, mode = kind->mode] { searchClicked(mode); });
  }
}

void SearchRun::addTypingItem(QMenu* view) {
  QAction* typing = view->addAction(QStringLiteral("边输入边查找"));
  typing->setObjectName(QStringLiteral("menuTyping"));
  typing->setCheckable(true);
  typing->setChecked(m_settings.settings().searchAsYouType);
  connect(typing, &QAction::toggled, this, [this](bool on) {
    m_settings.settings().searchAsYouType = on;
    if (!on) TimerTyping->stop();
    m_settings.save();
  });
}

bool SearchRun::start() {
  if (!m_loading.tableReady) {
    // The table is read here and now: the window is painted first, so that
    // it does not stand blank while the file is read.
    QCoreApplication::processEvents();
    return takeTable();
  }
  // The table is read ahead: taking it never waits, and the window paints
  // in the event loop like any other. A large table may still be loading:
  // the window takes input meanwhile.
  if (m_loading.tableReady()) return takeTable();
  TimerTable->start();
  return true;
}

bool SearchRun::takeTable() {
  TimerTable->stop();
  const std::filesystem::path file = m_loading.dataFile.empty() ? FindDataFile().path : m_loading.dataFile;
  Result<IdiomTable> loaded = m_loading.loadTable ? m_loading.loadTable() : LoadIdiomFile(file);
  if (!loaded.ok()) {
    m_desktop.showMessage(m_window, QStringLiteral("加载成语文件 cy.dat 失败！"), QStringLiteral("启动失败"),
                          Desktop::Icon::Critical, ErrorDetails(loaded.error(), file));
    m_desktop.terminate(1);
    return false;
  }
  m_table = std::move(loaded).value();
  m_tableIn = true;
  if (m_pending) {
    const HistoryEntry request = std::move(*m_pending);
    m_pending.reset();
    run(request, true);
  }
  return true;
}

void SearchRun::ResetStatusLine() {
  m_c.Pic->Cls();
  m_c.Pic->Print(AuthorLine());
}

void SearchRun::Notice(const QString& text) {
  m_c.Pic->Cls();
  m_c.Pic->Print(text);
}

bool SearchRun::CheckQuery() {
  const Result<Query> check = tessaly::CheckQuery(ViewOf(m_c.TxtFind->text()));
  if (!check.ok()) return false;
  m_keywords = check->keywords;
  m_c.TxtFind->setText(QStringOf(check->text));
  m_c.TxtFind->setCursorPosition(static_cast<int>(m_c.TxtFind->text().size()));
  m_c.TxtFind->deselect();
  return true;
}

void SearchRun::searchClicked(SearchMode mode) {
  const SearchKind* kind = FindSearch(mode);
  if (kind != nullptr && kind->fromShown) return chainClicked();
  TimerTyping->stop();
  if (CheckQuery()) run({mode, m_c.TxtFind->text(), m_keywords}, true);
}

void SearchRun::chainClicked() {
  TimerTyping->stop();
  // The chain goes on from the idiom on show; from the typed keyword when
  // nothing is on show, or when the last search found nothing (the idiom
  // still on show is older than the word typed since). With the query box
  // empty it goes on from the idiom on show.
  const QString shown = shownIdiom();
  const bool typed = CheckQuery();
  if (!typed && shown.isEmpty()) return;
  const bool fromTyped = typed && (shown.isEmpty() || m_outcome.hitCount == 0);
  run({SearchMode::Chain, m_c.TxtFind->text(), fromTyped ? m_keywords : Keywords{shown.toStdU16String()}}, true);
}

void SearchRun::chainFrom(const QString& idiom) {
  run({SearchMode::Chain, m_c.TxtFind->text(), Keywords{idiom.toStdU16String()}}, true);
}

void SearchRun::typingPaused() {
  // The input method's uncommitted text is not the query yet: its commit
  // starts the pause again.
  if (m_composing) return;
  const Result<Query> check = tessaly::CheckQuery(ViewOf(m_c.TxtFind->text()));
  // The box is left as typed: normalising it would move the text under the
  // cursor while the user types on.
  if (!check.ok()) return;
  m_keywords = check->keywords;
  run({SearchMode::Precise, QStringOf(check->text), check->keywords, -1, true}, true);
}

void SearchRun::clearQuery() {
  TimerTyping->stop();
  m_c.TxtFind->clear();
}

void SearchRun::run(const HistoryEntry& request, bool remember) {
  m_c.Timer1->stop();
  m_filler.stop();
  if (!m_tableIn) {
    m_pending = request;
    Notice(kTableLoadingNotice);
    return;
  }
  if (request.mode == SearchMode::Folded && m_views.folded() == nullptr && !m_foldTried &&
      m_table.size() >= m_loading.foldAsideFrom) {
    startFold(request);
    return;
  }
  if (m_foldThread != nullptr) m_pending.reset();  // a newer search than the one waiting
  ResetStatusLine();
  m_c.CmdCopy->setEnabled(false);
  m_c.CmdCopy->setText(kCopyCaption);
  if (remember) emit searched(request);

  Result<SearchOutcome> searched = [&]() -> Result<SearchOutcome> {
    if (Error prepared = PrepareViews(m_views, m_table, request.mode); !prepared.ok()) return prepared;
    return tessaly::RunSearch(m_table, m_views, request.keywords, request.mode);
  }();
  if (!searched.ok()) {
    // A search that cannot run (简繁通查 without OpenCC's data) says why in
    // the status line and lists nothing.
    m_outcome = SearchOutcome();
    m_outcome.label = CountCaption(0, false);
    m_outcome.notice = FromUtf8(searched.error().reason);
  } else {
    m_outcome = std::move(searched).value();
  }
  if (m_outcome.notice) Notice(QStringOf(*m_outcome.notice));
  m_c.Label3->setText(QStringOf(m_outcome.label));
  m_rows->clear();
  m_restoreRow = -1;
  if (m_outcome.hitCount >= 1) {
    m_filler.start(m_outcome.FillBatch);
    m_c.CmdCopy->setText(kLoadingCaption);
    m_c.Timer1->start();
  }
}

void SearchRun::startFold(const HistoryEntry& request) {
  m_pending = request;
  if (m_foldThread != nullptr) return;
  // Converting every idiom takes a second or two on a large table: it runs
  // apart, into views of its own, while the window stays responsive.
  QApplication::setOverrideCursor(Qt::BusyCursor);
  Notice(kFoldingNotice);
  m_foldThread = QThread::create([this] { (void)PrepareViews(m_foldViews, m_table, SearchMode::Folded); });
  connect(m_foldThread, &QThread::finished, this, &SearchRun::foldDone);
  m_foldThread->start();
}

void SearchRun::foldDone() {
  m_foldThread->wait();
  delete m_foldThread;
  m_foldThread = nullptr;
  QApplication::restoreOverrideCursor();
  m_views.adopt(std::move(m_foldViews));
  m_foldTried = true;
  if (m_pending) {
    // After a failed conversion the search prepares the view itself, which
    // fails again at once (OpenCC's data missing) and says why.
    const HistoryEntry request = std::move(*m_pending);
    m_pending.reset();
    run(request, true);
  } else if (m_c.Pic->text() == kFoldingNotice) {
    ResetStatusLine();
  }
}

void SearchRun::replay(const HistoryEntry& step) {
  TimerTyping->stop();
  m_c.TxtFind->setText(step.query);
  m_keywords = step.keywords;
  run(step, false);
  restoreRecord(step.record);
}

void SearchRun::restoreRecord(int32_t record) {
  // The idiom comes back at once, and its row is selected once the list
  // has reached it.
  const HitMarks& marks = m_outcome.Matched;
  if (record < 0 || static_cast<size_t>(record) >= marks.size() || !marks[static_cast<size_t>(record)]) return;
  m_restoreRow = RowOf(marks, record);
  show(record);
}

void SearchRun::openIdiom(const QString& idiom) {
  // The idiom is searched for as typed into the query box, and its own row
  // shown among the hits.
  m_c.TxtFind->setText(idiom);
  if (!CheckQuery()) return;
  run({SearchMode::Precise, m_c.TxtFind->text(), m_keywords}, true);
  const std::u16string text = idiom.toStdU16String();
  const HitMarks& marks = m_outcome.Matched;
  for (int32_t i = 0; i < m_table.size() && static_cast<size_t>(i) < marks.size(); ++i) {
    if (marks[static_cast<size_t>(i)] && m_table.field(i, Field::Idiom) == text) return restoreRecord(i);
  }
}

void SearchRun::tick() {
  ResultRows added;
  const FillStep step = m_filler.step(m_outcome.Matched, added);
  m_rows->append(added);
  if (step.finished) {
    m_c.Timer1->stop();
    m_c.CmdCopy->setText(kCopyCaption);
    m_c.CmdCopy->setEnabled(true);
  }
  // The first row is selected once, or the row a history step brings back
  // once it is listed; later ticks leave the user's choice.
  QListView* list = m_c.List1;
  if (!list->selectionModel()->hasSelection() && m_rows->rowCount() > 0 && m_rows->rowCount() > m_restoreRow) {
    list->setCurrentIndex(m_rows->index(std::max(m_restoreRow, 0)));
    m_restoreRow = -1;
  }
}

void SearchRun::listClicked() {
  const QModelIndexList selected = m_c.List1->selectionModel()->selectedIndexes();
  if (selected.isEmpty()) return;
  const int r = selected.first().row();
  const ResultRows& rows = m_rows->rows();
  if (r < 0 || static_cast<size_t>(r) >= rows.size() || rows[static_cast<size_t>(r)] >= m_table.size()) return;
  show(rows[static_cast<size_t>(r)]);
}

void SearchRun::showCurrentRow() {
  QListView* list = m_c.List1;
  if (!list->currentIndex().isValid()) return;
  list->selectionModel()->select(list->currentIndex(), QItemSelectionModel::ClearAndSelect);
  const ResultRows& rows = m_rows->rows();
  const int r = list->currentIndex().row();
  if (static_cast<size_t>(r) < rows.size()) show(rows[static_cast<size_t>(r)]);
}

void SearchRun::show(int32_t record) {
  const IdiomRecord entry = m_table.record(record);
  m_c.TxtView->setPlainText(DetailText(entry));
  m_c.TxtView->setProperty("Tag", QStringOf(entry.Fields[0]));
  m_c.CmdBaidu->setEnabled(true);
  emit shown(record);
}

QString SearchRun::shownIdiom() const { return m_c.TxtView->property("Tag").toString(); }

void SearchRun::stop() {
  m_c.Timer1->stop();
  TimerTyping->stop();
  m_filler.stop();
  m_rows->clear();
}

}  // namespace tessaly
