// The main window's keys and mouse buttons beyond what its controls do
// themselves: Down from the query box into the result list and Up back,
// Enter on a row, Esc to clear the query, Alt with a letter kept out of
// the query box; the mouse's back and forward buttons anywhere in the
// window; the menu bar from the keyboard (F10, and Alt with a letter of
// the first four entries, which carry no mnemonic); Ctrl+L for the query.
// It watches the events through an application-wide filter, which sees
// them before any control would take the mouse buttons as clicks.
#pragma once

#include <QObject>

class QAction;
class QLineEdit;
class QListView;
class QMainWindow;
class QPlainTextEdit;

namespace tessaly {

class KeyRouter : public QObject {
  Q_OBJECT

 public:
  KeyRouter(QMainWindow* window, QLineEdit* query, QListView* list, QPlainTextEdit* view);
  ~KeyRouter() override;

  // addMenuKeys makes Alt with `letter` open `entry` of the menu bar, as a
  // mnemonic would, and F10 enter the menu bar as Alt does.
  void addMenuKey(Qt::Key letter, QAction* entry);
  void addMenuBarKeys();

 signals:
  void back();
  void forward();
  // viewKey: a key pressed in the detail pane (TxtView_KeyDown).
  void viewKey(int keyCode, Qt::KeyboardModifiers shift);
  // queryHovered: the mouse moved over the query box (TxtFind_MouseMove).
  void queryHovered();
  // composing: the input method holds uncommitted text in the query box,
  // or no longer does.
  void composing(bool composing);
  // clearQuery: Esc in the query box.
  void clearQuery();
  // showRow: Enter on the current row of the result list.
  void showRow();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool queryKey(int keyCode, Qt::KeyboardModifiers held);
  bool listKey(int keyCode, Qt::KeyboardModifiers held);

  QMainWindow* m_window;
  QLineEdit* m_query;
  QListView* m_list;
  QPlainTextEdit* m_view;
};

}  // namespace tessaly
