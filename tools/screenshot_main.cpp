// Makes the README's screenshot: starts the main window on the bundled
// data, runs one search as a user would, lets the list fill and saves the
// window as a PNG.
//
//   xvfb-run -a build/bin/tessaly-screenshot docs/screenshot.png 心
#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

#include "desktop.h"
#include "frm_main.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) return 2;
  const QString out = QString::fromLocal8Bit(argv[1]);
  const QString query = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("心");
  tessaly::QtDesktop desktop;
  tessaly::FrmMain frm(desktop);
  if (!frm.Form_Load()) return 1;
  frm.findChild<QLineEdit*>(QStringLiteral("TxtFind"))->setText(query);
  frm.findChild<QPushButton*>(QStringLiteral("CmdStart1"))->click();
  QTimer::singleShot(800, &frm, [&] { QApplication::exit(frm.grab().save(out) ? 0 : 1); });
  return QApplication::exec();
}
