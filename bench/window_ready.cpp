// The main window's start as the program makes it (the window shown, the
// update check started, the idiom table FILE loaded, the query box
// focused), ending as soon as the event loop has handled that. Timed next
// to hello_window.
//
//   window_ready FILE
#include <QApplication>
#include <QTimer>

#include "desktop.h"
#include "frm_main.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) return 2;
  tessaly::QtDesktop desktop;
  tessaly::FrmMainServices services;
  services.dataFile = argv[1];
  tessaly::FrmMain frmMain(desktop, services);
  if (!frmMain.Form_Load()) return 1;
  QTimer::singleShot(0, &app, &QApplication::quit);
  return QApplication::exec();
}
