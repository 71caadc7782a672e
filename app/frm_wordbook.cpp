// FrmWordbook: the 生词本 window.
#include "frm_wordbook.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "fonts.h"
#include "placement.h"
#include "twips.h"

namespace tessaly {
namespace {

constexpr int kClientWidth = 4800;  // twips
constexpr int kClientHeight = 6600;

}  // namespace

FrmWordbook::FrmWordbook(QWidget* owner)
    : QWidget(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("FrmWordbook"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("生词本"));
  if (owner != nullptr) setWindowIcon(owner->windowIcon());
  const QFont font = SongTi(12);

  TxtFilter = new QLineEdit(this);
  TxtFilter->setObjectName(QStringLiteral("TxtFilter"));
  TxtFilter->setFont(font);
  TxtFilter->setPlaceholderText(QStringLiteral("在生词本中查找"));
  TxtFilter->setClearButtonEnabled(true);
  List1 = new QListWidget(this);
  List1->setObjectName(QStringLiteral("List1"));
  List1->setFont(font);
  List1->setSelectionMode(QAbstractItemView::ExtendedSelection);
  Label1 = new QLabel(this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setFont(font);
  CmdOpen = new QPushButton(QStringLiteral("查看"), this);
  CmdOpen->setObjectName(QStringLiteral("CmdOpen"));
  CmdOpen->setFont(font);
  CmdOpen->setToolTip(QStringLiteral("在主窗口中显示（回车或双击）"));
  CmdRemove = new QPushButton(QStringLiteral("删除"), this);
  CmdRemove->setObjectName(QStringLiteral("CmdRemove"));
  CmdRemove->setFont(font);
  CmdRemove->setToolTip(QStringLiteral("从生词本中删除选中的成语（Delete）"));

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Label1, 1);
  buttons->addWidget(CmdOpen);
  buttons->addWidget(CmdRemove);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(TxtFilter);
  layout->addWidget(List1, 1);
  layout->addLayout(buttons);

  connect(TxtFilter, &QLineEdit::textChanged, this, &FrmWordbook::Refill);
  connect(List1, &QListWidget::itemActivated, this, &FrmWordbook::CmdOpen_Click);
  connect(CmdOpen, &QPushButton::clicked, this, &FrmWordbook::CmdOpen_Click);
  connect(CmdRemove, &QPushButton::clicked, this, &FrmWordbook::CmdRemove_Click);
  TxtFilter->installEventFilter(this);
  List1->installEventFilter(this);

  const double dpi = screen() ? screen()->logicalDotsPerInchY() : 96.0;
  resize(TwipsToPixels(kClientWidth, dpi), TwipsToPixels(kClientHeight, dpi));
}

void FrmWordbook::setIdioms(const std::vector<std::u16string>& idioms) {
  m_idioms.clear();
  for (const std::u16string& idiom : idioms) m_idioms << QString::fromStdU16String(idiom);
  Refill();
}

void FrmWordbook::Refill() {
  const QString current = List1->currentItem() ? List1->currentItem()->text() : QString();
  const QString filter = TxtFilter->text().trimmed();
  List1->clear();
  for (const QString& idiom : m_idioms) {
    if (filter.isEmpty() || idiom.contains(filter, Qt::CaseInsensitive)) List1->addItem(idiom);
  }
  const QList<QListWidgetItem*> again = List1->findItems(current, Qt::MatchExactly);
  List1->setCurrentRow(again.isEmpty() ? 0 : List1->row(again.first()));
  Label1->setText(filter.isEmpty() ? QStringLiteral("共 %1 个成语").arg(m_idioms.size())
                                   : QStringLiteral("共 %1 个，列出 %2 个").arg(m_idioms.size()).arg(List1->count()));
  CmdOpen->setEnabled(List1->count() > 0);
  CmdRemove->setEnabled(List1->count() > 0);
}

void FrmWordbook::CmdOpen_Click() {
  if (const QListWidgetItem* item = List1->currentItem()) emit openIdiom(item->text());
}

void FrmWordbook::CmdRemove_Click() {
  QStringList chosen;
  for (const QListWidgetItem* item : List1->selectedItems()) chosen << item->text();
  if (chosen.isEmpty() && List1->currentItem() != nullptr) chosen << List1->currentItem()->text();
  if (!chosen.isEmpty()) emit removeIdioms(chosen);
}

bool FrmWordbook::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    // Down goes from the box into the list; Enter there shows the current
    // idiom, as in the main window.
    if (watched == TxtFilter && key == Qt::Key_Down && List1->count() > 0) {
      List1->setFocus();
      return true;
    }
    if (watched == TxtFilter && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
      CmdOpen_Click();
      return true;
    }
    if (watched == List1 && key == Qt::Key_Delete) {
      CmdRemove_Click();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void FrmWordbook::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (m_placed) return;
  m_placed = true;
  CentreOverOwner(this);
}

}  // namespace tessaly
