// The menu bar worked with the keyboard: a menu bar that shows which entry
// is current, and the way F10 and the Alt+letter keys of the entries
// without a mnemonic enter it as Alt does.
#pragma once

#include <QMenuBar>

namespace tessaly {

// KeyMenuBar draws its current entry highlighted while it has the keyboard
// focus (after Alt or F10, before a menu opens). Qt's Fusion style
// highlights an entry only while its menu is open, so after Alt nothing
// showed which entry Enter or Down would open. Entries under the mouse
// look as they always did.
class KeyMenuBar : public QMenuBar {
  Q_OBJECT

 public:
  using QMenuBar::QMenuBar;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// EnterMenuBar puts `bar` into keyboard mode, as a press and release of Alt
// does: its first entry current, the arrows moving along it, Esc leaving
// it. With `entry`, that entry is made current instead (its menu opened).
void EnterMenuBar(QMenuBar* bar, QAction* entry = nullptr);

}  // namespace tessaly
