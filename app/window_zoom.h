// The main window's layout and zoom: every control placed in twips, laid
// out again at the zoom chosen in 查看 (Ctrl++, Ctrl+- and Ctrl+0, from 100
// to 200 % in steps of 25 %) with its font at the zoomed size, so that the
// text stays sharp; the menus and the recent queries' drop-down grow with
// it. The zoom is remembered in the settings.
#pragma once

#include <vector>

#include <QObject>
#include <QRect>

class QMainWindow;
class QMenu;
class QWidget;

namespace tessaly {

class SettingsStore;

class WindowZoom : public QObject {
  Q_OBJECT

 public:
  // `client` is the window's client area, `clientTwips` its size; `status`
  // is the control that takes the status font.
  WindowZoom(QMainWindow* window, SettingsStore& settings, QWidget* client, QSize clientTwips);

  // twips converts a layout length to pixels at the screen's logical DPI
  // and the zoom.
  int twips(int value) const;
  // place puts `w` at its place in twips and remembers it for a zoom;
  // `status`: it takes the status line's font.
  void place(QWidget* w, int left, int top, int width, int height, bool status = false);
  // addItems adds 放大, 缩小 and 原始大小 to `view`.
  void addItems(QMenu* view);
  // zoom moves one step larger (+1), smaller (-1), or back to 100 % (0).
  void zoom(int direction);
  // apply lays the window out at the zoom of the settings and fixes its
  // size; the start calls it once the menus are there.
  void apply();
  int percent() const;

 signals:
  // laidOut: the controls have their new geometry.
  void laidOut();

 private:
  // A control and its place in twips, kept to lay the window out again at
  // another zoom.
  struct Placed {
    QWidget* widget;
    QRect twips;
    bool status;
  };

  void setGeometry(const Placed& p) const;

  QMainWindow* m_window;
  SettingsStore& m_settings;
  QWidget* m_client;
  QSize m_clientTwips;
  double m_dpi = 96.0;
  std::vector<Placed> m_placed;
};

// The fonts of the controls and of the status line at `zoom` percent.
QFont ControlFont(int zoom);
QFont StatusFont(int zoom);

}  // namespace tessaly
