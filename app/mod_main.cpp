// ModMain: the program's entry. Starts reading the idiom table, initialises
// the controls, then creates the main window, whose loading shows it and
// takes the table.
#include <clocale>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include <QApplication>

#include "desktop.h"
#include "frm_main.h"
#include "data_location.h"
#include "messages.h"
#include "load_ahead.h"
#include "qt_translations.h"
#include "tessaly_version.h"
#include "window_system.h"

namespace {

// InitControlClasses makes sure the controls are drawn in the system's
// visual style before the first window exists; Qt chooses the platform's
// style itself, so there is nothing left to ask for.
bool InitControlClasses() { return true; }

// What the program says on the terminal is in the language of the user's
// locale (the window itself speaks Chinese).
void UseTheLocalesLanguage() {
  std::setlocale(LC_ALL, "");
  tessaly::SetUpMessages(tessaly::MessageLanguage::Locale);
}

// PrintUsage writes what --help shows.
void PrintUsage(const char* program) {
  UseTheLocalesLanguage();
  const tessaly::DataLocation data = tessaly::FindDataFile();
  const std::string text = tessaly::Format(
      TR("Usage: %s [--data FILE]\n"
         "Open the %s window to find Chinese idioms by text, wildcard, length,\n"
         "pinyin initials, pinyin, meaning, source or shape.\n"
         "\n"
         "The idiom table is read at start from FILE when --data names one, else\n"
         "from the file TESSALY_DATA names, else from the user's table\n"
         "$XDG_DATA_HOME/tessaly/cy.dat (~/.local/share/tessaly/cy.dat) when it\n"
         "exists, else from cy.dat beside the program. Now: %s.\n"
         "\n"
         "      --data FILE  read the idiom table from FILE\n"
         "      --help       display this help and exit\n"
         "      --version    output version information and exit\n"),
      {program, tessaly::kProductName, data.path.string()});
  std::fwrite(text.data(), 1, text.size(), stdout);
}

}  // namespace

int main(int argc, char** argv) {
  // The options answer before anything of Qt exists, so --help and
  // --version work without a display.
  std::filesystem::path dataOption;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) {
      PrintUsage(argv[0]);
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      UseTheLocalesLanguage();
      const std::string text = tessaly::VersionText("tessaly");
      std::fwrite(text.data(), 1, text.size(), stdout);
      return 0;
    }
    if (std::strncmp(argv[i], "--data=", 7) == 0 && argv[i][7] != '\0') {
      dataOption = argv[i] + 7;
    } else if (std::strcmp(argv[i], "--data") == 0 && i + 1 < argc && argv[i + 1][0] != '\0') {
      dataOption = argv[++i];
    } else if (std::strncmp(argv[i], "--data", 6) == 0) {
      UseTheLocalesLanguage();
      std::fprintf(stderr, "%s: %s\n", argv[0], TR("--data needs a file name"));
      return 2;
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
  services.dataFile = tessaly::FindDataFile(dataOption).path;
  tessaly::PendingTable pending = tessaly::LoadAhead([file = services.dataFile] { return tessaly::LoadIdiomFile(file); });
  services.loadTable = std::move(pending.take);
  services.tableReady = std::move(pending.ready);
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
