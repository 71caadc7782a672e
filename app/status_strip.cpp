// The status strip Pic.
#include "status_strip.h"

#include <QPainter>

namespace tessaly {

StatusStrip::StatusStrip(QWidget* parent) : QWidget(parent) {
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::WindowText, QColor(255, 128, 128));
  setPalette(p);
}

void StatusStrip::Cls() {
  m_text.clear();
  update();
}

void StatusStrip::Print(const QString& text) {
  m_text += text;
  update();
}

void StatusStrip::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setFont(font());
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(QPoint(0, painter.fontMetrics().ascent()), m_text);
}

}  // namespace tessaly
