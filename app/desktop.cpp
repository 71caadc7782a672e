// QtDesktop: the platform calls on Qt.
#include "desktop.h"

#include <cstdio>
#include <cstdlib>

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QUrl>

namespace tessaly {

namespace {

// Without a screen (the offscreen and minimal platforms) nobody could close
// a modal box, and it would hold the program forever: say it on stderr.
bool Headless() {
  const QString platform = QGuiApplication::platformName();
  return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

}  // namespace

void QtDesktop::showMessage(QWidget* owner, const QString& text, const QString& title, Icon icon,
                            const QString& details) {
  if (Headless()) {
    QString line = title + QStringLiteral("：") + text;
    if (!details.isEmpty()) line += QStringLiteral("（") + QString(details).replace(u'\n', u' ') + QStringLiteral("）");
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    return;
  }
  QMessageBox box(owner);
  box.setWindowTitle(title);
  box.setText(text);
  box.setIcon(icon == Icon::Critical      ? QMessageBox::Critical
              : icon == Icon::Information ? QMessageBox::Information
                                          : QMessageBox::NoIcon);
  box.setStandardButtons(QMessageBox::Ok);
  if (!details.isEmpty()) box.setDetailedText(details);
  box.exec();
}

QString QtDesktop::saveFileName(QWidget* owner, const QString& title, const QString& name, const QString& filter) {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (folder.isEmpty()) folder = QDir::homePath();
  return QFileDialog::getSaveFileName(owner, title, QDir(folder).filePath(name), filter);
}

QString QtDesktop::openFileName(QWidget* owner, const QString& title, const QString& filter) {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (folder.isEmpty()) folder = QDir::homePath();
  return QFileDialog::getOpenFileName(owner, title, folder, filter);
}

void QtDesktop::openUrl(const QString& address) {
  // The address is already encoded; TolerantMode would re-encode "%".
  QDesktopServices::openUrl(QUrl::fromEncoded(address.toUtf8(), QUrl::StrictMode));
}

void QtDesktop::setClipboardText(const QString& text) {
  QClipboard* clipboard = QApplication::clipboard();
  clipboard->clear();
  clipboard->setText(text);
}

bool QtDesktop::isForeground(const QWidget* window) const {
  return window != nullptr && QApplication::activeWindow() == window;
}

void QtDesktop::runModal(QDialog* dialog) { dialog->exec(); }

void QtDesktop::runMenu(QMenu* menu, const QPoint& at) { menu->exec(at); }

void QtDesktop::terminate(int code) {
  std::fflush(nullptr);
  std::_Exit(code);
}

}  // namespace tessaly
