// ModMain: the program's entry. Starts reading the idiom table, initialises
// the controls, then creates the main window, whose loading shows it and
// takes the table.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include <QApplication>

#include "desktop.h"
#include "frm_main.h"
#include "program_folder.h"
#include "load_ahead.h"
#include "qt_translations.h"
#include "tessaly_version.h"
#include "window_system.h"

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

// PrintUsage writes what --help shows.
void PrintUsage(const char* program) {
  const std::filesystem::path folder = tessaly::ProgramFolder();
  const std::string data = folder.empty() ? std::string("cy.dat in the folder of the program")
                                          : (folder / "cy.dat").string();
  std::printf(
      "Usage: %s [OPTION]\n"
      "Open the %s window to find Chinese idioms by text, wildcard, length,\n"
      "pinyin initials, meaning or source.\n"
      "\n"
      "The idiom table is read at start from %s.\n"
      "Apart from the options below, the program takes no arguments.\n"
      "\n"
      "      --help     display this help and exit\n"
      "      --version  output version information and exit\n",
      program, tessaly::kProductName, data.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  // The two options answer before anything of Qt exists, so they work
  // without a display.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) {
      PrintUsage(argv[0]);
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("%s %s\n", tessaly::kProductName, tessaly::kVersionString);
      return 0;
    }
  }
  // A window needs a display. Without one, say so plainly instead of
  // leaving it to the platform plugin, which aborts.
  if (const std::string problem = tessaly::DisplayProblem(); !problem.empty()) {
    std::fprintf(stderr,
                 "tessaly: no display to open a window on (%s); run it in a desktop session, "
                 "or under Xvfb: xvfb-run -a %s\n",
                 problem.c_str(), argv[0]);
    return 1;
  }
  // The table is read while Qt starts and the window is built.
  tessaly::FrmMainServices services;
  services.loadTable = tessaly::LoadAhead([] { return tessaly::LoadIdiomFile(tessaly::ProgramFolder() / "cy.dat"); });
  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(tessaly::kProductName));
  QApplication::setApplicationVersion(QString::fromLatin1(tessaly::kVersionString));
  QApplication::setDesktopFileName(QStringLiteral("tessaly"));
  tessaly::InstallQtTranslations();
  InitControlClasses();

  tessaly::QtDesktop desktop;
  tessaly::FrmMain frmMain(desktop, services);
  if (!frmMain.Form_Load()) return 1;
  return QApplication::exec();
}
