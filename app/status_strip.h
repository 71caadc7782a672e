// The status strip Pic: one line of text drawn from its top-left corner,
// the author line at rest and a search's notices.
#pragma once

#include <QWidget>

namespace tessaly {

class StatusStrip : public QWidget {
  Q_OBJECT

 public:
  explicit StatusStrip(QWidget* parent = nullptr);

  // Cls erases everything drawn and moves the drawing position back to the
  // top-left corner.
  void Cls();
  // Print draws `text` at the drawing position, after whatever is there.
  void Print(const QString& text);
  // text returns everything drawn since the last Cls.
  QString text() const { return m_text; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString m_text;
};

}  // namespace tessaly
