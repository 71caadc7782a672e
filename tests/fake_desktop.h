// FakeDesktop: the platform layer for window tests. It records every call
// and never blocks: a modal window is shown, handed to `onModal`, and closed;
// a file dialog answers with the next of `fileNames` (empty: cancelled); a
// pop-up menu chooses its item named `menuChoice`.
#pragma once

#include <deque>
#include <functional>
#include <vector>

#include <QAction>
#include <QDialog>
#include <QMenu>

#include "desktop.h"

namespace tessaly {

class FakeDesktop : public Desktop {
 public:
  struct Message {
    QString text;
    QString title;
    Icon icon;
    QString details;
  };

  void showMessage(QWidget*, const QString& text, const QString& title, Icon icon,
                   const QString& details) override {
    messages.push_back({text, title, icon, details});
  }
  QString saveFileName(QWidget*, const QString& title, const QString& name, const QString&) override {
    fileDialogs.push_back(title + QStringLiteral("：") + name);
    return nextFileName();
  }
  QString openFileName(QWidget*, const QString& title, const QString&) override {
    fileDialogs.push_back(title);
    return nextFileName();
  }
  void openUrl(const QString& address) override { opened.push_back(address); }
  void setClipboardText(const QString& text) override { clipboard = text; }
  bool isForeground(const QWidget*) const override { return foreground; }
  void runModal(QDialog* dialog) override {
    dialog->show();
    ++modalRuns;
    if (onModal) onModal(dialog);
    dialog->close();
  }
  // runMenu records the menu's items and triggers the one named
  // `menuChoice`, if any.
  void runMenu(QMenu* menu, const QPoint&) override {
    menuItems.clear();
    for (QAction* a : menu->actions()) {
      if (!a->isSeparator()) menuItems << a->text();
    }
    for (QAction* a : menu->actions()) {
      if (!menuChoice.isEmpty() && a->objectName() == menuChoice) a->trigger();
    }
  }
  void terminate(int code) override { terminatedWith = code; }

  QString nextFileName() {
    if (fileNames.empty()) return {};
    QString name = fileNames.front();
    fileNames.pop_front();
    return name;
  }

  std::vector<Message> messages;
  std::deque<QString> fileNames;
  std::vector<QString> fileDialogs;
  std::vector<QString> opened;
  QString clipboard;
  bool foreground = true;
  int modalRuns = 0;
  QStringList menuItems;
  QString menuChoice;
  std::function<void(QDialog*)> onModal;
  int terminatedWith = -1;
};

}  // namespace tessaly
