// The main window's start as the program makes it (the idiom table FILE
// read ahead, Qt's translations, the window shown, the update check
// started, the table taken, the query box focused), ending as soon as the
// event loop has handled that. Timed next to hello_window.
//
//   window_ready FILE
#include <QApplication>
#include <QTimer>

#include "desktop.h"
#include "frm_main.h"
#include "load_ahead.h"
#include "qt_translations.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  tessaly::FrmMainServices services;
  services.dataFile = argv[1];
  tessaly::PendingTable pending = tessaly::LoadAhead([file = services.dataFile] { return tessaly::LoadIdiomFile(file); });
  services.loadTable = std::move(pending.take);
  services.tableReady = std::move(pending.ready);
  QApplication app(argc, argv);
  tessaly::InstallQtTranslations();
  tessaly::QtDesktop desktop;
  tessaly::FrmMain frmMain(desktop, services);
  if (!frmMain.Form_Load()) return 1;
  QTimer::singleShot(0, &app, &QApplication::quit);
  return QApplication::exec();
}
