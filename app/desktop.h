// Desktop: the platform calls of the windows (message boxes, opening an
// address in the browser, the clipboard, the foreground test, running a
// modal window, ending the program), behind one interface so that tests
// replace them and no modal box ever blocks a test.
#pragma once

#include <QString>

class QDialog;
class QWidget;

namespace tessaly {

class Desktop {
 public:
  enum class Icon { None, Information, Critical };

  virtual ~Desktop() = default;

  // showMessage shows a modal message box with an OK button and returns when
  // it is closed. `details` go to the box's expandable detailed text.
  virtual void showMessage(QWidget* owner, const QString& text, const QString& title, Icon icon,
                           const QString& details = {}) = 0;
  // openUrl hands `address` to the desktop, which opens it in the browser;
  // whether that works is not reported.
  virtual void openUrl(const QString& address) = 0;
  virtual void setClipboardText(const QString& text) = 0;
  // isForeground tells whether `window` is the active window of the desktop.
  virtual bool isForeground(const QWidget* window) const = 0;
  // runModal shows `dialog` modal and returns when it is closed.
  virtual void runModal(QDialog* dialog) = 0;
  // terminate ends the program at once with `code`.
  virtual void terminate(int code) = 0;
};

// QtDesktop is the real Desktop on Qt.
class QtDesktop : public Desktop {
 public:
  void showMessage(QWidget* owner, const QString& text, const QString& title, Icon icon,
                   const QString& details) override;
  void openUrl(const QString& address) override;
  void setClipboardText(const QString& text) override;
  bool isForeground(const QWidget* window) const override;
  void runModal(QDialog* dialog) override;
  [[noreturn]] void terminate(int code) override;
};

}  // namespace tessaly
