// The menu bar worked with the keyboard.
#include "menu_bar_keys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QStyleOptionMenuItem>

namespace tessaly {

void MenuBarKeyStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                                  const QWidget* widget) const {
  const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
  if (element == CE_MenuBarItem && item != nullptr && widget != nullptr && widget->hasFocus() &&
      (item->state & State_Selected)) {
    QStyleOptionMenuItem current = *item;
    current.state |= State_Sunken;
    QProxyStyle::drawControl(element, &current, painter, widget);
    return;
  }
  QProxyStyle::drawControl(element, option, painter, widget);
}

void EnterMenuBar(QMenuBar* bar, QAction* entry) {
  // Qt has no public call for the menu bar's keyboard mode; it enters it
  // on Alt pressed and released alone, which the menu bar sees through its
  // window's events: the same two events bring it there. The modifiers are
  // those before each (QKeyEvent::modifiers() toggles the key's own).
  QWidget* window = bar->window();
  QKeyEvent press(QEvent::ShortcutOverride, Qt::Key_Alt, Qt::NoModifier);
  QApplication::sendEvent(window, &press);
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_Alt, Qt::AltModifier);
  QApplication::sendEvent(window, &release);
  if (entry != nullptr) bar->setActiveAction(entry);
}

}  // namespace tessaly
