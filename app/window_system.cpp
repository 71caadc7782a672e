// DisplayProblem and KeepFrameFixed.
#include "window_system.h"

#include <cstdlib>
#include <cstring>

#include <QGuiApplication>
#include <QWidget>

#include "environment.h"

#if defined(TESSALY_HAVE_XCB)
#include <xcb/xcb.h>
#endif

namespace tessaly {
namespace {

bool Set(const char* name) { return EnvironmentValue(name) != nullptr; }

#if defined(TESSALY_HAVE_XCB)

// The Motif window manager hints: which functions the window manager offers
// for a window and which decorations it draws. A set *_ALL bit turns the
// other bits of its field into exclusions.
struct MotifWmHints {
  quint32 flags = 0;
  quint32 functions = 0;
  quint32 decorations = 0;
  qint32 inputMode = 0;
  quint32 status = 0;
};
constexpr quint32 kHintsFunctions = 1u << 0;
constexpr quint32 kHintsDecorations = 1u << 1;
constexpr quint32 kFuncAll = 1u << 0;
constexpr quint32 kFuncResize = 1u << 1;
constexpr quint32 kFuncMaximize = 1u << 4;
constexpr quint32 kDecorAll = 1u << 0;
constexpr quint32 kDecorResizeHandle = 1u << 2;
constexpr quint32 kDecorMaximize = 1u << 6;

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
  const xcb_intern_atom_cookie_t cookie =
      xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
  if (reply == nullptr) return XCB_ATOM_NONE;
  const xcb_atom_t atom = reply->atom;
  std::free(reply);
  return atom;
}

// Without(field, all, bits) takes `bits` out of a hints field.
quint32 Without(quint32 field, quint32 all, quint32 bits) {
  return (field & all) ? field | bits : field & ~bits;
}

#endif

}  // namespace

std::string DisplayProblem() {
  if (Set("QT_QPA_PLATFORM")) return {};
  if (Set("DISPLAY")) {
#if defined(TESSALY_HAVE_XCB)
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    // Qt takes X11 unless the session says it is Wayland's.
    const char* session = std::getenv("XDG_SESSION_TYPE");
    const bool wayland =
        Set("WAYLAND_DISPLAY") && session != nullptr && std::strcmp(session, "wayland") == 0;
    if (answers || wayland) return {};
    return std::string("cannot connect to the X server of DISPLAY=") + std::getenv("DISPLAY");
#else
    return {};
#endif
  }
  if (Set("WAYLAND_DISPLAY")) return {};
  return "DISPLAY and WAYLAND_DISPLAY are unset";
}

void KeepFrameFixed(QWidget& window) {
#if defined(TESSALY_HAVE_XCB)
  if (!window.isWindow() || QGuiApplication::platformName() != QLatin1String("xcb")) return;
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr || x11->connection() == nullptr) return;
  xcb_connection_t* connection = x11->connection();
  const auto id = static_cast<xcb_window_t>(window.winId());
  const xcb_atom_t atom = Atom(connection, "_MOTIF_WM_HINTS");
  if (atom == XCB_ATOM_NONE) return;

  // Start from what Qt wrote, so that its decorations, functions and input
  // mode stay as they are.
  MotifWmHints hints;
  const xcb_get_property_cookie_t cookie = xcb_get_property(connection, 0, id, atom, atom, 0, 5);
  if (xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr)) {
    if (reply->format == 32 && xcb_get_property_value_length(reply) >= int(sizeof hints)) {
      std::memcpy(&hints, xcb_get_property_value(reply), sizeof hints);
    }
    std::free(reply);
  }
  if (!(hints.flags & kHintsFunctions)) hints.functions = kFuncAll;
  if (!(hints.flags & kHintsDecorations)) hints.decorations = kDecorAll;
  hints.flags |= kHintsFunctions | kHintsDecorations;
  hints.functions = Without(hints.functions, kFuncAll, kFuncResize | kFuncMaximize);
  hints.decorations = Without(hints.decorations, kDecorAll, kDecorResizeHandle | kDecorMaximize);
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, atom, atom, 32, 5, &hints);
  xcb_flush(connection);
#else
  (void)window;
#endif
}

}  // namespace tessaly
