// Tests of the windows as an X11 window manager sees them, on an X server
// of their own (ctest runs them under xvfb-run, with QT_SCALE_FACTOR=1.25):
// the frame hints of fixed-size windows, the owner of the help window and
// the appreciation window's size in pixels of the screen.
#include <xcb/xcb.h>

#include <array>
#include <cstdlib>
#include <cstring>

#include <QGuiApplication>
#include <QTest>

#include "fake_desktop.h"
#include "frm_help.h"
#include "frm_main.h"
#include "window_test_util.h"

using namespace tessaly;

namespace {

// _MOTIF_WM_HINTS: flags, functions, decorations, input mode, status.
using MotifHints = std::array<quint32, 5>;
constexpr quint32 kFuncResize = 1u << 1;
constexpr quint32 kFuncMove = 1u << 2;
constexpr quint32 kFuncMinimize = 1u << 3;
constexpr quint32 kFuncMaximize = 1u << 4;
constexpr quint32 kFuncClose = 1u << 5;
constexpr quint32 kDecorResizeHandle = 1u << 2;
constexpr quint32 kDecorMaximize = 1u << 6;

xcb_connection_t* Connection() {
  return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

xcb_window_t Id(QWidget* window) { return static_cast<xcb_window_t>(window->winId()); }

// Property returns the 32-bit items of a window property, empty when unset.
QList<quint32> Property(QWidget* window, const char* name, xcb_atom_t type) {
  xcb_connection_t* c = Connection();
  xcb_intern_atom_reply_t* atom =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, uint16_t(std::strlen(name)), name), nullptr);
  QList<quint32> items;
  if (atom == nullptr) return items;
  if (type == XCB_ATOM_NONE) type = atom->atom;
  xcb_get_property_reply_t* reply =
      xcb_get_property_reply(c, xcb_get_property(c, 0, Id(window), atom->atom, type, 0, 16), nullptr);
  std::free(atom);
  if (reply == nullptr) return items;
  if (reply->format == 32) {
    const auto* values = static_cast<const quint32*>(xcb_get_property_value(reply));
    items = QList<quint32>(values, values + xcb_get_property_value_length(reply) / 4);
  }
  std::free(reply);
  return items;
}

MotifHints Hints(QWidget* window) {
  const QList<quint32> items = Property(window, "_MOTIF_WM_HINTS", XCB_ATOM_NONE);
  MotifHints hints{};
  for (int i = 0; i < int(hints.size()) && i < items.size(); ++i) hints[size_t(i)] = items[i];
  return hints;
}

QSize PixelSize(QWidget* window) {
  xcb_connection_t* c = Connection();
  xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, Id(window)), nullptr);
  if (geometry == nullptr) return {};
  const QSize size(geometry->width, geometry->height);
  std::free(geometry);
  return size;
}

struct Window {
  Window() {
    frm = std::make_unique<FrmMain>(desktop, OfflineServices());
    frm->Form_Load();
  }
  FakeDesktop desktop;
  std::unique_ptr<FrmMain> frm;
};

}  // namespace

class X11WindowsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void frameHints_data();
  void frameHints();
  void helpWindowIsOwnedByTheMainWindow();
  void appreciationWindowIsItsPicturesSize();
};

void X11WindowsTest::initTestCase() {
  if (QGuiApplication::platformName() != QLatin1String("xcb")) QSKIP("needs an X server (xcb)");
}

void X11WindowsTest::frameHints_data() {
  QTest::addColumn<QString>("window");
  QTest::addColumn<quint32>("functions");  // offered, apart from moving
  QTest::newRow("main window, fixed") << "FrmMain" << (kFuncMinimize | kFuncClose);
  QTest::newRow("appreciation window, fixed") << "FrmZS" << kFuncClose;
  QTest::newRow("help window, sizable") << "FrmHelp"
                                        << (kFuncResize | kFuncMinimize | kFuncMaximize | kFuncClose);
}

void X11WindowsTest::frameHints() {
  QFETCH(QString, window);
  QFETCH(quint32, functions);
  Window w;
  MotifHints hints{};
  if (window == "FrmZS") {
    w.desktop.onModal = [&](QDialog* d) { hints = Hints(d); };
    TriggerMenu(*w.frm, "menuZS");
  } else if (window == "FrmHelp") {
    TriggerMenu(*w.frm, "menuHelp");
    hints = Hints(w.frm->findChild<FrmHelp*>());
  } else {
    hints = Hints(w.frm.get());
  }
  QCOMPARE(hints[0] & 3u, 3u);  // functions and decorations given
  QCOMPARE(hints[1], kFuncMove | functions);
  const bool sizable = functions & kFuncResize;
  QCOMPARE(bool(hints[2] & kDecorResizeHandle), sizable);
  QCOMPARE(bool(hints[2] & kDecorMaximize), sizable);
}

void X11WindowsTest::helpWindowIsOwnedByTheMainWindow() {
  Window w;
  TriggerMenu(*w.frm, "menuHelp");
  FrmHelp* help = w.frm->findChild<FrmHelp*>();
  QVERIFY(help != nullptr && help->isVisible());
  QCOMPARE(Property(help, "WM_TRANSIENT_FOR", XCB_ATOM_WINDOW), QList<quint32>{Id(w.frm.get())});
  QVERIFY(!help->isModal());
}

void X11WindowsTest::appreciationWindowIsItsPicturesSize() {
  Window w;
  QSize size;
  w.desktop.onModal = [&](QDialog* d) { size = PixelSize(d); };
  TriggerMenu(*w.frm, "menuZS");
  QCOMPARE(size, QSize(388, 386));
}

QTEST_MAIN(X11WindowsTest)
#include "x11_windows_test.moc"
