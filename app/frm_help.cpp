// FrmHelp: the help window.
#include "frm_help.h"

#include <QPlainTextEdit>
#include <QScreen>

#include "fonts.h"
#include "placement.h"
#include "tessaly_config.h"
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
         QStringLiteral("更多查找（菜单）：") + br +
         QStringLiteral("1、按拼音查找：输入全拼，例如“yixinyiyi”，也可只输入开头，例如“yixiny”；音节之间可加空格，"
                        "空格和隔音符 ' 都表示音节到此为止，例如“yi xin yi yi”；音节后可加声调数字 1～5（0 或 5 为轻声），"
                        "例如“yi1xin1”；ü 可输入 v，带声调符号的字母、全角字母和数字、中文标点 ’ 都可以用；"
                        "多个关键字用“，”或“、”分开。") + gap +
         QStringLiteral("2、按结构查找：小写字母代表一个字，相同的字母代表相同的字，不同的字母代表不同的字，* 代表任意一个字，"
                        "例如“aabb”可查到“兢兢业业”，“abac”可查到“一心一意”，“一a一b”可查到“一丝一毫”。") + gap +
         QStringLiteral("3、成语接龙：查找以当前成语的最后一个字开头的成语，没有时查找第一个字与它同音的成语。"
                        "查询框为空时接当前显示的成语；刚才的查找没有结果时接查询框里的词。") + gap +
         QStringLiteral("4、简繁通查：精确查找，关键字和成语都按简体比较，例如“愛不釋手”可查到“爱不释手”。") + gap +
         QStringLiteral("其他功能：") + br +
         QStringLiteral("1、历史：Alt+← 和 Alt+→（或鼠标的后退键、前进键）回到查过的结果和当时显示的成语；"
                        "查询框会提示最近的 50 次查询，Alt+↓ 列出全部。") + gap +
         QStringLiteral("2、生词本：Ctrl+D 把当前成语加入或移出生词本，菜单“生词本”前的 ★ 表示它已在生词本中；"
                        "Ctrl+B 打开生词本，可在其中查找、删除或查看；生词本可导出为 CSV 表格或 Anki 卡片，也可从这些文件导入。") +
         gap +
         QStringLiteral("3、键盘：在查询框按 ↓ 进入结果列表，在第一行按 ↑ 回到查询框，回车显示当前行；"
                        "Ctrl+L 选中查询框，Esc 清空查询框；F10 或 Alt 进入菜单栏，Alt+H 帮助，Alt+M 更多查找。"
                        "在结果上点右键可复制成语、复制整个词条、加入生词本或从这里接龙。") + gap +
         QStringLiteral("4、查看：Ctrl++、Ctrl+- 和 Ctrl+0 放大、缩小和还原整个窗口（100% 至 200%）；"
                        "选中“边输入边查找”后，停止输入片刻就会自动查找。") + gap +
         QStringLiteral("5、选项：选择“网上释义”打开的网站（百度汉语、汉典、萌典、教育部《成語典》）") +
         (kUpdateCheck ? QStringLiteral("；取消“启动时检查新版本”后，程序启动时不再询问主页网站有没有新版本。")
                       : QStringLiteral("。")) +
         gap +
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
