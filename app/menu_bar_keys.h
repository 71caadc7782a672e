// The menu bar worked with the keyboard: a style that shows which entry is
// current, and the way F10 and the Alt+letter keys of the entries without a
// mnemonic enter it as Alt does.
#pragma once

#include <QProxyStyle>

class QAction;
class QMenuBar;

namespace tessaly {

// MenuBarKeyStyle draws the current entry of a menu bar that has the
// keyboard focus (after Alt or F10, before a menu opens) as highlighted.
// Qt's Fusion style highlights an entry only while its menu is open, so
// after Alt nothing showed which entry Enter or Down would open. Entries
// under the mouse look as they always did.
class MenuBarKeyStyle : public QProxyStyle {
  Q_OBJECT

 public:
  using QProxyStyle::QProxyStyle;
  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override;
};

// EnterMenuBar puts `bar` into keyboard mode, as a press and release of Alt
// does: its first entry current, the arrows moving along it, Esc leaving
// it. With `entry`, that entry is made current instead (its menu opened).
void EnterMenuBar(QMenuBar* bar, QAction* entry = nullptr);

}  // namespace tessaly
