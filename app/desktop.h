// Desktop: the platform calls of the windows (message boxes, the file
// dialogs, opening an address in the browser, the clipboard, the
// foreground test, running a modal window or a pop-up menu, ending the
// program), behind one interface so that tests replace them and no modal
// box ever blocks a test.
#pragma once

#include <QString>

class QDialog;
class QMenu;
class QPoint;
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
  // saveFileName asks, in a modal file dialog, for the file to write,
  // offering `name` in the user's documents folder; openFileName for a file
  // to read. `filter` is a Qt name filter ("表格 (*.csv)"). Both return an
  // empty string when the user cancels.
  virtual QString saveFileName(QWidget* owner, const QString& title, const QString& name,
                               const QString& filter) = 0;
  virtual QString openFileName(QWidget* owner, const QString& title, const QString& filter) = 0;
  // openUrl hands `address` to the desktop, which opens it in the browser;
  // whether that works is not reported.
  virtual void openUrl(const QString& address) = 0;
  virtual void setClipboardText(const QString& text) = 0;
  // isForeground tells whether `window` is the active window of the desktop.
  virtual bool isForeground(const QWidget* window) const = 0;
  // runModal shows `dialog` modal and returns when it is closed.
  virtual void runModal(QDialog* dialog) = 0;
  // runMenu pops `menu` up at `at` (global coordinates) and returns when
  // it is closed, the chosen item triggered.
  virtual void runMenu(QMenu* menu, const QPoint& at) = 0;
  // terminate ends the program at once with `code`.
  virtual void terminate(int code) = 0;
};

// QtDesktop is the real Desktop on Qt.
class QtDesktop : public Desktop {
 public:
  void showMessage(QWidget* owner, const QString& text, const QString& title, Icon icon,
                   const QString& details) override;
  QString saveFileName(QWidget* owner, const QString& title, const QString& name, const QString& filter) override;
  QString openFileName(QWidget* owner, const QString& title, const QString& filter) override;
  void openUrl(const QString& address) override;
  void setClipboardText(const QString& text) override;
  bool isForeground(const QWidget* window) const override;
  void runModal(QDialog* dialog) override;
  void runMenu(QMenu* menu, const QPoint& at) override;
  [[noreturn]] void terminate(int code) override;
};

}  // namespace tessaly
