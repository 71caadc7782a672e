// The main window's layout and zoom.
#include "window_zoom.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCompleter>
#include <QGuiApplication>
#include <QLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>

#include "fonts.h"
#include "settings_store.h"
#include "twips.h"

namespace tessaly {

QFont ControlFont(int zoom) { return SongTi(12.0 * zoom / 100); }
QFont StatusFont(int zoom) { return SongTi(10.8 * zoom / 100); }

WindowZoom::WindowZoom(QMainWindow* window, SettingsStore& settings, QWidget* client, QSize clientTwips)
    : QObject(window), m_window(window), m_settings(settings), m_client(client), m_clientTwips(clientTwips) {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) m_dpi = screen->logicalDotsPerInchY();
  m_client->setFixedSize(twips(m_clientTwips.width()), twips(m_clientTwips.height()));
}

int WindowZoom::percent() const { return m_settings.settings().zoom; }

int WindowZoom::twips(int value) const { return TwipsToPixels(value, m_dpi * percent() / 100); }

void WindowZoom::setGeometry(const Placed& p) const {
  // Both edges are rounded, so that neighbours that meet in twips meet in
  // pixels too.
  const int x = twips(p.twips.left());
  const int y = twips(p.twips.top());
  p.widget->setGeometry(x, y, twips(p.twips.left() + p.twips.width()) - x, twips(p.twips.top() + p.twips.height()) - y);
}

void WindowZoom::place(QWidget* w, int left, int top, int width, int height, bool status) {
  m_placed.push_back({w, QRect(left, top, width, height), status});
  setGeometry(m_placed.back());
  w->setFont(status ? StatusFont(percent()) : ControlFont(percent()));
}

void WindowZoom::addItems(QMenu* view) {
  auto item = [&](const char* name, const QString& caption, const QList<QKeySequence>& keys, int direction) {
    QAction* a = view->addAction(caption);
    a->setObjectName(QLatin1String(name));
    a->setShortcuts(keys);
    connect(a, &QAction::triggered, this, [this, direction] { zoom(direction); });
  };
  item("menuZoomIn", QStringLiteral("放大"),
       {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)}, +1);
  item("menuZoomOut", QStringLiteral("缩小"), {QKeySequence(Qt::CTRL | Qt::Key_Minus)}, -1);
  item("menuZoomReset", QStringLiteral("原始大小（100%）"), {QKeySequence(Qt::CTRL | Qt::Key_0)}, 0);
}

void WindowZoom::zoom(int direction) {
  const int next = NextZoom(percent(), direction);
  if (next == percent()) return;
  m_settings.settings().zoom = next;
  apply();
  m_settings.save();
}

void WindowZoom::apply() {
  const int zoom = percent();
  for (const Placed& p : m_placed) {
    setGeometry(p);
    p.widget->setFont(p.status ? StatusFont(zoom) : ControlFont(zoom));
  }
  // The menus and the drop-down of recent queries grow with the window; at
  // 100 % they take the application's font again, as they always did.
  auto scaled = [zoom](const QWidget* w) {
    if (zoom == kZoomSteps.front()) return QFont();
    QFont f = QApplication::font(w);
    if (f.pointSizeF() > 0) {
      f.setPointSizeF(f.pointSizeF() * zoom / 100);
    } else {
      f.setPixelSize(f.pixelSize() * zoom / 100);
    }
    return f;
  };
  QMenuBar* bar = m_window->menuBar();
  bar->setFont(scaled(bar));
  for (QMenu* menu : bar->findChildren<QMenu*>()) menu->setFont(scaled(menu));
  for (QLineEdit* box : m_client->findChildren<QLineEdit*>()) {
    if (box->completer() != nullptr) box->completer()->popup()->setFont(ControlFont(zoom));
  }
  m_client->setFixedSize(twips(m_clientTwips.width()), twips(m_clientTwips.height()));
  m_window->setMinimumSize(0, 0);
  m_window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  if (m_window->layout() != nullptr) m_window->layout()->activate();
  m_window->setFixedSize(m_window->sizeHint());
  emit laidOut();
}

}  // namespace tessaly
