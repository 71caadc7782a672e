// ModMain: the program's entry. Initialises the controls, then creates the
// main window, whose loading shows it and loads the idiom table.
#include <cstdio>
#include <cstdlib>

#include <QApplication>

#include "desktop.h"
#include "frm_main.h"
#include "qt_translations.h"
#include "tessaly_version.h"

#if defined(_WIN32)
#include <windows.h>
#include <commctrl.h>
#endif

namespace {

// InitControlClasses asks for the system's visual style of the common
// controls before the first window exists. Elsewhere Qt chooses the
// platform's style itself.
bool InitControlClasses() {
#if defined(_WIN32)
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_USEREX_CLASSES};
  return InitCommonControlsEx(&controls) != FALSE;
#else
  return true;
#endif
}

// A window needs a display. Without one, say so plainly instead of leaving
// it to the platform plugin's error.
bool HasDisplay() {
#if defined(__linux__) || defined(__FreeBSD__)
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  auto set = [](const char* v) { return v != nullptr && *v != '\0'; };
  return set(platform) || set(x11) || set(wayland);
#else
  return true;
#endif
}

}  // namespace

int main(int argc, char** argv) {
  if (!HasDisplay()) {
    std::fprintf(stderr,
                 "tessaly: no display to open a window on (DISPLAY and WAYLAND_DISPLAY are "
                 "unset); run it in a desktop session, or under Xvfb: xvfb-run -a %s\n",
                 argv[0]);
    return 1;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(tessaly::kProductName));
  QApplication::setApplicationVersion(QString::fromLatin1(tessaly::kVersionString));
  QApplication::setDesktopFileName(QStringLiteral("tessaly"));
  tessaly::InstallQtTranslations();
  InitControlClasses();

  tessaly::QtDesktop desktop;
  tessaly::FrmMain frmMain(desktop);
  if (!frmMain.Form_Load()) return 1;
  return QApplication::exec();
}
