// FakeDesktop: the platform layer for window tests. It records every call
// and never blocks: a modal window is shown, handed to `onModal`, and closed.
#pragma once

#include <functional>
#include <vector>

#include <QDialog>

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
  void openUrl(const QString& address) override { opened.push_back(address); }
  void setClipboardText(const QString& text) override { clipboard = text; }
  bool isForeground(const QWidget*) const override { return foreground; }
  void runModal(QDialog* dialog) override {
    dialog->show();
    ++modalRuns;
    if (onModal) onModal(dialog);
    dialog->close();
  }
  void terminate(int code) override { terminatedWith = code; }

  std::vector<Message> messages;
  std::vector<QString> opened;
  QString clipboard;
  bool foreground = true;
  int modalRuns = 0;
  std::function<void(QDialog*)> onModal;
  int terminatedWith = -1;
};

}  // namespace tessaly
