// FrmHelp: the help window.
#include "frm_help.h"

#include <QPlainTextEdit>
#include <QScreen>

#include "fonts.h"
#include "placement.h"
#include "twips.h"

namespace tessaly {
namespace {

constexpr int kClientWidth = 14964;  // twips
constexpr int kClientHeight = 7488;

}  // namespace

QString HelpText() {
  const QString br = QStringLiteral("\r\n");
  const QString gap = br + br;
  return QStringLiteral("查找方式：") + br +
         QStringLiteral("1、输入要查找的关键字后点击“查找”或按“回车键”执行精确包含查询；") + gap +
         QStringLiteral("2、点击“模”执行顺序模糊查询，点击“混”执行混和包含查询；") + gap +
         QStringLiteral("3、精确查询支持汉字、拼音、通配符，模糊查询和混和包含只支持汉字。") + gap +
         QStringLiteral("关键字：") + br +
         QStringLiteral("1、不带通配符的关键字默认为精确查找，例如输入“天地”，可查到“别有天地”，"
                        "但输入“地天”不能查到。") + gap +
         QStringLiteral("2、如需查找多个关键字，用空格分开，例如输入“天\u3000地”，可查到包含“天”或“地”"
                        "的词，例如“暗无天日”和“必争之地”。 多个关键字之间是 OR 关系。") + gap +
         QStringLiteral("3、* 作为汉字使用时是单字通配符，也可用 \uFF1F?\u3002. 代替，例如输入“*心*意”"
                        "可查到“一心一意”，但不能查到“心满意足”；例如只查以“天地”开头的词，就输入“天地*”。") +
         gap +
         QStringLiteral("4、只输入多个 * 可显示同样字数的词，例如输入“*****”可显示所有五个字的词；"
                        "只输入一个 * 会显示全词库。") + gap +
         QStringLiteral("5、可以输入拼音首字母查询，例如输入“ysys”可查到 “一生一世”。") + gap +
         QStringLiteral("6、* 作为拼音使用时是不定长通配符，只能置于拼音首位，可显示所有包含该拼音的词，"
                        "例如输入“*hszyt”可查到 “做一天和尚撞一天钟 zu\u00F2 y\u012B ti\u0101n h\u00E9 "
                        "sh\u00E0ng zhu\u00E0ng y\u012B ti\u0101n zh\u014Dng”。") + gap +
         QStringLiteral("到主页可使用网页版或下载App") + gap + QStringLiteral("作者：Orvel");
}

FrmHelp::FrmHelp(QWidget* owner)
    // A dialog-type window is one Qt makes transient for its owner, so that a
    // window manager keeps it in front of the main window and gives it no
    // taskbar entry of its own; it stays non-modal.
    : QWidget(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("FrmHelp"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("帮助"));
  if (owner != nullptr) setWindowIcon(owner->windowIcon());
  Txt = new QPlainTextEdit(this);
  Txt->setObjectName(QStringLiteral("Txt"));
  Txt->setReadOnly(true);
  Txt->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Txt->setFont(SongTi(12));
  Txt->setPlainText(HelpText());
  const double dpi = screen() ? screen()->logicalDotsPerInchY() : 96.0;
  resize(TwipsToPixels(kClientWidth, dpi), TwipsToPixels(kClientHeight, dpi));
}

void FrmHelp::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Txt->setGeometry(0, 0, width(), height());
}

void FrmHelp::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (m_placed) return;
  // Centred over the owner the first time it appears.
  m_placed = true;
  CentreOverOwner(this);
}

}  // namespace tessaly
