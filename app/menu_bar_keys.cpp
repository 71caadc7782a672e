// The menu bar worked with the keyboard.
#include "menu_bar_keys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QStyleOptionMenuItem>

namespace tessaly {

void KeyMenuBar::paintEvent(QPaintEvent* event) {
  QMenuBar::paintEvent(event);
  QAction* current = activeAction();
  if (!hasFocus() || current == nullptr || (current->menu() != nullptr && current->menu()->isVisible())) return;
  QStyleOptionMenuItem option;
  initStyleOption(&option, current);
  option.rect = actionGeometry(current);
  option.state |= QStyle::State_Selected | QStyle::State_Sunken;
  QPainter painter(this);
  style()->drawControl(QStyle::CE_MenuBarItem, &option, &painter, this);
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
