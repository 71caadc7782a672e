// Tests of the help and appreciation windows and of the program's artwork.
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>

#include "fake_desktop.h"
#include "frm_help.h"
#include "frm_main.h"
#include "frm_zs.h"
#include "window_test_util.h"

using namespace tessaly;

namespace {

struct Window {
  Window() {
    frm = std::make_unique<FrmMain>(desktop, OfflineServices());
    frm->Form_Load();
  }
  void menu(const char* name) { TriggerMenu(*frm, name); }
  QList<FrmHelp*> helpWindows() const { return frm->findChildren<FrmHelp*>(); }

  FakeDesktop desktop;
  std::unique_ptr<FrmMain> frm;
};

// Little-endian fields of a file; 0 past its end.
quint32 Field(const QByteArray& b, int at, int size) {
  if (at < 0 || at + size > b.size()) return 0;
  quint32 value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | quint8(b[at + i]);
  return value;
}
quint32 U32(const QByteArray& b, int at) { return Field(b, at, 4); }
quint16 U16(const QByteArray& b, int at) { return quint16(Field(b, at, 2)); }

QByteArray Resource(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

}  // namespace

class FrmWindowsTest : public QObject {
  Q_OBJECT

 private slots:
  void helpTextIsExact();
  void oneHelpWindowThenAFreshOne();
  void helpTextFillsTheWindow();
  void appreciationWindowFitsItsPicture();
  void deviceIndependentLength_data();
  void deviceIndependentLength();
  void pictureIsAn24BitBmp();
  void iconIs48PixelsWith256Colours();
};

void FrmWindowsTest::helpTextIsExact() {
  const QString text = HelpText();
  const QString br = "\r\n";
  QVERIFY(text.startsWith("查找方式：" + br + "1、输入要查找的关键字后点击“查找”"));
  QVERIFY(text.endsWith("到主页可使用网页版或下载App" + br + br + "作者：Orvel"));
  QCOMPARE(text.count(br), 2 * 19 + 4);  // two after nineteen items, one after each heading
  QVERIFY(text.contains("混和包含只支持汉字。" + br + br + "关键字：" + br + "1、不带通配符"));
  // The look-alike characters, by code point.
  QVERIFY(text.contains(QString::fromUtf16(u"例如输入\u201C天\u3000地\u201D")));
  QVERIFY(text.contains(QString::fromUtf16(u"\u201C必争之地\u201D\u3002 多个关键字之间是 OR 关系\u3002")));
  QVERIFY(text.contains(QString::fromUtf16(u"也可用 \uFF1F?\u3002. 代替\uFF0C")));
  QVERIFY(text.contains(QString::fromUtf16(u"可查到 \u201C一生一世\u201D\u3002")));
  QVERIFY(text.contains(QString::fromUtf16(
      u"\u201C做一天和尚撞一天钟 zu\u00F2 y\u012B ti\u0101n h\u00E9 sh\u00E0ng zhu\u00E0ng y\u012B ti\u0101n zh\u014Dng\u201D\u3002")));
  const QString expected = QString::fromUtf16(
      u"查找方式：\r\n"
      u"1、输入要查找的关键字后点击“查找”或按“回车键”执行精确包含查询；\r\n\r\n"
      u"2、点击“模”执行顺序模糊查询，点击“混”执行混和包含查询；\r\n\r\n"
      u"3、精确查询支持汉字、拼音、通配符，模糊查询和混和包含只支持汉字。\r\n\r\n"
      u"关键字：\r\n"
      u"1、不带通配符的关键字默认为精确查找，例如输入“天地”，可查到“别有天地”，但输入“地天”不能查到。\r\n\r\n"
      u"2、如需查找多个关键字，用空格分开，例如输入“天　地”，可查到包含“天”或“地”的词，例如“暗无天日”和“必争之地”。 多个关键字之间是 OR 关系。\r\n\r\n"
      u"3、* 作为汉字使用时是单字通配符，也可用 ？?。. 代替，例如输入“*心*意”可查到“一心一意”，但不能查到“心满意足”；例如只查以“天地”开头的词，就输入“天地*”。\r\n\r\n"
      u"4、只输入多个 * 可显示同样字数的词，例如输入“*****”可显示所有五个字的词；只输入一个 * 会显示全词库。\r\n\r\n"
      u"5、可以输入拼音首字母查询，例如输入“ysys”可查到 “一生一世”。\r\n\r\n"
      u"6、* 作为拼音使用时是不定长通配符，只能置于拼音首位，可显示所有包含该拼音的词，例如输入“*hszyt”可查到 “做一天和尚撞一天钟 zuò yī tiān hé shàng zhuàng yī tiān zhōng”。\r\n\r\n"
      u"更多查找（菜单）：\r\n"
      u"1、按拼音查找：输入全拼，例如“yixinyiyi”，也可只输入开头，例如“yixiny”；音节之间可加空格，空格和隔音符 ' 都表示音节到此为止，例如“yi xin yi yi”；音节后可加声调数字 1～5（0 或 5 为轻声），例如“yi1xin1”；ü 可输入 v，带声调符号的字母、全角字母和数字、中文标点 ’ 都可以用；多个关键字用“，”或“、”分开。\r\n\r\n"
      u"2、按结构查找：小写字母代表一个字，相同的字母代表相同的字，不同的字母代表不同的字，* 代表任意一个字，例如“aabb”可查到“兢兢业业”，“abac”可查到“一心一意”，“一a一b”可查到“一丝一毫”。\r\n\r\n"
      u"3、成语接龙：查找以当前成语的最后一个字开头的成语，没有时查找第一个字与它同音的成语。查询框为空时接当前显示的成语；刚才的查找没有结果时接查询框里的词。\r\n\r\n"
      u"4、简繁通查：精确查找，关键字和成语都按简体比较，例如“愛不釋手”可查到“爱不释手”。\r\n\r\n"
      u"其他功能：\r\n"
      u"1、历史：Alt+← 和 Alt+→（或鼠标的后退键、前进键）回到查过的结果和当时显示的成语；查询框会提示最近的 50 次查询，Alt+↓ 列出全部。\r\n\r\n"
      u"2、生词本：Ctrl+D 把当前成语加入或移出生词本，菜单“生词本”前的 ★ 表示它已在生词本中；Ctrl+B 打开生词本，可在其中查找、删除或查看；生词本可导出为 CSV 表格或 Anki 卡片，也可从这些文件导入。\r\n\r\n"
      u"3、键盘：在查询框按 ↓ 进入结果列表，在第一行按 ↑ 回到查询框，回车显示当前行；Ctrl+L 选中查询框，Esc 清空查询框；F10 或 Alt 进入菜单栏，Alt+H 帮助，Alt+M 更多查找。在结果上点右键可复制成语、复制整个词条、加入生词本或从这里接龙。\r\n\r\n"
      u"4、查看：Ctrl++、Ctrl+- 和 Ctrl+0 放大、缩小和还原整个窗口（100% 至 200%）；选中“边输入边查找”后，停止输入片刻就会自动查找。\r\n\r\n"
      u"5、选项：选择“网上释义”打开的网站（百度汉语、汉典、萌典、教育部《成語典》）；取消“启动时检查新版本”后，程序启动时不再询问主页网站有没有新版本。\r\n\r\n"
      u"到主页可使用网页版或下载App\r\n\r\n"
      u"作者：Orvel");
  QCOMPARE(text, expected);
}

void FrmWindowsTest::oneHelpWindowThenAFreshOne() {
  Window w;
  w.menu("menuHelp");
  w.menu("menuHelp");
  QCOMPARE(w.helpWindows().size(), 1);
  FrmHelp* help = w.helpWindows().first();
  QVERIFY(help->isVisible());
  QCOMPARE(help->windowTitle(), QStringLiteral("帮助"));
  QVERIFY(!help->isModal());
  QCOMPARE(help->parentWidget(), w.frm.get());
  auto* txt = help->findChild<QPlainTextEdit*>("Txt");
  QVERIFY(txt->isReadOnly());
  QCOMPARE(txt->toPlainText(), HelpText().replace("\r\n", "\n"));

  QPointer<FrmHelp> old = help;
  help->close();
  QTRY_VERIFY(old.isNull());  // closing unloads it
  w.menu("menuHelp");
  QCOMPARE(w.helpWindows().size(), 1);
  QVERIFY(w.helpWindows().first()->isVisible());
}

void FrmWindowsTest::helpTextFillsTheWindow() {
  Window w;
  w.menu("menuHelp");
  FrmHelp* help = w.helpWindows().first();
  auto* txt = help->findChild<QPlainTextEdit*>("Txt");
  for (const QSize size : {QSize(640, 300), QSize(300, 500), QSize(1200, 800)}) {
    help->resize(size);
    QCOMPARE(txt->geometry(), QRect(QPoint(0, 0), help->size()));
  }
  QVERIFY(help->windowFlags() & Qt::WindowMaximizeButtonHint);
}

void FrmWindowsTest::appreciationWindowFitsItsPicture() {
  // Also run with QT_SCALE_FACTOR=1.25: the client area is the picture's
  // size in pixels of the screen, the picture shown pixel for pixel.
  Window w;
  QImage client;
  QSize minimum;
  QSize maximum;
  QString title;
  w.desktop.onModal = [&](QDialog* d) {
    client = d->grab().toImage();
    minimum = d->minimumSize();
    maximum = d->maximumSize();
    title = d->windowTitle();
    QVERIFY(!(d->windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(d->windowFlags() & Qt::WindowMaximizeButtonHint));
  };
  const QImage picture = QImage(":/tessaly/zs.bmp").convertToFormat(QImage::Format_RGB32);
  w.menu("menuZS");
  QCOMPARE(w.desktop.modalRuns, 1);
  QCOMPARE(title, QStringLiteral("感谢您的支持"));
  QCOMPARE(client.size(), QSize(388, 386));
  QVERIFY(client.convertToFormat(QImage::Format_RGB32) == picture);
  QCOMPARE(minimum, maximum);
  w.menu("menuZS");
  QCOMPARE(w.desktop.modalRuns, 2);
  QCOMPARE(client.size(), QSize(388, 386));
}

void FrmWindowsTest::deviceIndependentLength_data() {
  QTest::addColumn<int>("pixels");
  QTest::addColumn<double>("ratio");
  QTest::addColumn<int>("length");
  QTest::addColumn<int>("shown");  // pixels of the screen that length gives
  QTest::newRow("1") << 388 << 1.0 << 388 << 388;
  QTest::newRow("1.25, half a pixel rounds up") << 388 << 1.25 << 310 << 388;
  QTest::newRow("1.25") << 386 << 1.25 << 309 << 386;
  QTest::newRow("1.5, no exact length") << 388 << 1.5 << 259 << 389;
  QTest::newRow("1.75, no exact length") << 388 << 1.75 << 222 << 389;
  QTest::newRow("2") << 388 << 2.0 << 194 << 388;
}

void FrmWindowsTest::deviceIndependentLength() {
  QFETCH(int, pixels);
  QFETCH(double, ratio);
  QFETCH(int, length);
  QFETCH(int, shown);
  QCOMPARE(DeviceIndependentLength(pixels, ratio), length);
  QCOMPARE(qRound(length * ratio), shown);
}

void FrmWindowsTest::pictureIsAn24BitBmp() {
  const QByteArray bmp = Resource(":/tessaly/zs.bmp");
  QCOMPARE(bmp.size(), 449358);
  QCOMPARE(bmp.left(2), QByteArray("BM"));
  QCOMPARE(U32(bmp, 2), 449358u);   // file size
  QCOMPARE(U32(bmp, 10), 54u);      // pixels after the two headers
  QCOMPARE(U32(bmp, 14), 40u);      // BITMAPINFOHEADER
  QCOMPARE(U32(bmp, 18), 388u);
  QCOMPARE(U32(bmp, 22), 386u);     // positive: bottom-up rows
  QCOMPARE(U16(bmp, 28), quint16(24));
  QCOMPARE(U32(bmp, 30), 0u);       // BI_RGB: uncompressed
  QVERIFY(!QPixmap(":/tessaly/zs.bmp").isNull());
}

void FrmWindowsTest::iconIs48PixelsWith256Colours() {
  const QByteArray ico = Resource(":/tessaly/tessaly.ico");
  QVERIFY(ico.size() > 22 + 40 + 1024);
  QCOMPARE(U16(ico, 2), quint16(1));  // an icon
  QCOMPARE(U16(ico, 4), quint16(1));  // one image
  QCOMPARE(quint8(ico[6]), quint8(48));
  QCOMPARE(quint8(ico[7]), quint8(48));
  QCOMPARE(U16(ico, 6 + 6), quint16(8));  // bits per pixel
  const int image = int(U32(ico, 6 + 12));
  QCOMPARE(U32(ico, image + 4), 48u);
  QCOMPARE(U16(ico, image + 14), quint16(8));
  QCOMPARE(U32(ico, image + 32), 256u);  // colours in the palette
  Window w;
  QVERIFY(!w.frm->windowIcon().isNull());
}

QTEST_MAIN(FrmWindowsTest)
#include "frm_windows_test.moc"
