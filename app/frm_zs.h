// FrmZS: the appreciation window, the thank-you picture in a window whose
// client area is exactly the picture's size in pixels of the screen. Modal,
// fixed size.
#pragma once

#include <QDialog>
#include <QPixmap>

class QLabel;

namespace tessaly {

// DeviceIndependentLength returns the length in device-independent pixels
// that becomes `pixels` pixels of the screen at the device pixel ratio
// `ratio` (Qt rounds length × ratio to the nearest pixel); where no length
// gives them exactly (388 pixels at ratio 1.5), the shortest that covers
// them.
int DeviceIndependentLength(int pixels, qreal ratio);

class FrmZS : public QDialog {
  Q_OBJECT

 public:
  explicit FrmZS(QWidget* owner);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void fitToPicture();

  QLabel* Pic;
  QPixmap m_picture;
};

}  // namespace tessaly
