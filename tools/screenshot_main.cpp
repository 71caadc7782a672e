// Makes the README's screenshot: starts the main window on the bundled
// data, with settings and a 生词本 of its own, runs one search as a user
// would, keeps the idiom on show in the 生词本, lets the list fill, opens
// the 生词本 menu and saves the window, menu and all, as a PNG.
//
//   xvfb-run -a build/bin/tessaly-screenshot docs/screenshot.png 心
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include "desktop.h"
#include "frm_main.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) return 2;
  const QString out = QString::fromLocal8Bit(argv[1]);
  const QString query = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("心");
  const QTemporaryDir user;
  tessaly::FrmMainServices services;
  services.settingsFile = user.filePath(QStringLiteral("tessaly.ini"));
  services.wordbookFile = user.filePath(QStringLiteral("wordbook.txt")).toStdString();
  tessaly::QtDesktop desktop;
  tessaly::FrmMain frm(desktop, services);
  if (!frm.Form_Load()) return 1;
  frm.findChild<QLineEdit*>(QStringLiteral("TxtFind"))->setText(query);
  frm.findChild<QPushButton*>(QStringLiteral("CmdStart1"))->click();
  QTimer::singleShot(500, &frm, [&] {
    frm.findChild<QAction*>(QStringLiteral("menuKeep"))->trigger();
    frm.menuBar()->setActiveAction(frm.findChild<QMenu*>(QStringLiteral("menuWordbook"))->menuAction());
  });
  QTimer::singleShot(1000, &frm, [&] {
    const QRect area = frm.frameGeometry();
    const QPixmap shot = frm.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    QApplication::exit(shot.save(out) ? 0 : 1);
  });
  return QApplication::exec();
}
