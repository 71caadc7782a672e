// The main window's keys and mouse buttons.
#include "key_router.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QShortcut>

#include "menu_bar_keys.h"

namespace tessaly {

KeyRouter::KeyRouter(QMainWindow* window, QLineEdit* query, QListView* list, QPlainTextEdit* view)
    : QObject(window), m_window(window), m_query(query), m_list(list), m_view(view) {
  qApp->installEventFilter(this);
  connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), window), &QShortcut::activated, this, [this] {
    m_query->setFocus(Qt::ShortcutFocusReason);
    m_query->selectAll();
  });
}

KeyRouter::~KeyRouter() { qApp->removeEventFilter(this); }

void KeyRouter::addMenuKey(Qt::Key letter, QAction* entry) {
  connect(new QShortcut(QKeySequence(Qt::ALT | letter), m_window), &QShortcut::activated, this,
          [this, entry] { EnterMenuBar(m_window->menuBar(), entry); });
}

void KeyRouter::addMenuBarKeys() {
  connect(new QShortcut(QKeySequence(Qt::Key_F10), m_window), &QShortcut::activated, this,
          [this] { EnterMenuBar(m_window->menuBar()); });
}

bool KeyRouter::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if ((type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease) && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() == m_window) {
    const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
    if (button == Qt::BackButton || button == Qt::ForwardButton) {
      if (type == QEvent::MouseButtonPress && button == Qt::BackButton) emit back();
      if (type == QEvent::MouseButtonPress && button == Qt::ForwardButton) emit forward();
      return true;
    }
  }
  if (type == QEvent::KeyPress && (watched == m_view || watched == m_query || watched == m_list)) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers held =
        key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (watched == m_view) emit viewKey(key->key(), key->modifiers());
    if (watched == m_query && queryKey(key->key(), held)) return true;
    if (watched == m_list && listKey(key->key(), held)) return true;
  } else if (watched == m_query && type == QEvent::MouseMove) {
    emit queryHovered();
  } else if (watched == m_query && type == QEvent::InputMethod) {
    emit composing(!static_cast<QInputMethodEvent*>(event)->preeditString().isEmpty());
  }
  return QObject::eventFilter(watched, event);
}

bool KeyRouter::queryKey(int keyCode, Qt::KeyboardModifiers held) {
  if (held == Qt::NoModifier && keyCode == Qt::Key_Down && m_list->model()->rowCount() > 0) {
    // Down goes on into the result list, onto the row on show.
    m_list->setFocus(Qt::TabFocusReason);
    if (!m_list->currentIndex().isValid()) m_list->setCurrentIndex(m_list->model()->index(0, 0));
    return true;
  }
  if (held == Qt::NoModifier && keyCode == Qt::Key_Escape) {
    emit clearQuery();
    return true;
  }
  // Alt with a letter or digit is for the menus: it never types into the
  // query box, whether a menu answers it or not.
  return held == Qt::AltModifier && keyCode >= Qt::Key_0 && keyCode <= Qt::Key_Z;
}

bool KeyRouter::listKey(int keyCode, Qt::KeyboardModifiers held) {
  if (held != Qt::NoModifier) return false;
  if (keyCode == Qt::Key_Up && m_list->currentIndex().row() <= 0) {
    m_query->setFocus(Qt::BacktabFocusReason);
    return true;
  }
  if ((keyCode == Qt::Key_Return || keyCode == Qt::Key_Enter) && m_list->currentIndex().isValid()) {
    emit showRow();
    return true;
  }
  return false;
}

}  // namespace tessaly
