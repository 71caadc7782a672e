// The main window's start as the program makes it (the idiom table FILE
// read ahead, Qt's translations, the window shown, the update check
// started, the query box focused), ending at the first pass of the event
// loop after that: the moment the user can type. A large table may still
// be loading then (a query typed meanwhile runs when it is in); with
// --table-in the program waits for the table as well. Timed next to
// hello_window.
//
//   window_ready [--table-in] FILE
//
// It ends with _Exit, as hello_window does: the clock stops when the window
// is ready, not when a table still loading has been read to its end and
// freed again (which a normal exit waits for).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

#include <QApplication>
#include <QTimer>

#include "desktop.h"
#include "frm_main.h"
#include "load_ahead.h"
#include "qt_translations.h"

namespace {

[[noreturn]] void Ready() {
  std::fflush(nullptr);
  std::_Exit(0);
}

}  // namespace

int main(int argc, char** argv) {
  const bool tableIn = argc == 3 && std::strcmp(argv[1], "--table-in") == 0;
  if (argc != (tableIn ? 3 : 2)) return 2;
  tessaly::FrmMainServices services;
  services.dataFile = argv[argc - 1];
  tessaly::PendingTable pending = tessaly::LoadAhead([file = services.dataFile] { return tessaly::LoadIdiomFile(file); });
  services.loadTable = std::move(pending.take);
  services.tableReady = std::move(pending.ready);
  QApplication app(argc, argv);
  tessaly::InstallQtTranslations();
  tessaly::QtDesktop desktop;
  tessaly::FrmMain frmMain(desktop, services);
  if (!frmMain.Form_Load()) return 1;
  // The first pass of the event loop, as hello_window takes it; with
  // --table-in each pass after it looks again until the table is in.
  std::function<void()> pass = [&] {
    if (!tableIn || frmMain.table().size() > 0) Ready();
    QTimer::singleShot(1, &app, pass);
  };
  QTimer::singleShot(0, &app, pass);
  return QApplication::exec();
}
