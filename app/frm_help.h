// FrmHelp: the help window, a read-only text of the search rules that fills
// the window at any size. Not modal; owned by the main window; closing it
// destroys it.
#pragma once

#include <QWidget>

class QPlainTextEdit;

namespace tessaly {

// HelpText returns the help text: its pieces joined by CR LF, one after a
// heading and two between items, nothing after the last.
QString HelpText();

class FrmHelp : public QWidget {
  Q_OBJECT

 public:
  explicit FrmHelp(QWidget* owner);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  QPlainTextEdit* Txt;
  bool m_placed = false;
};

}  // namespace tessaly
