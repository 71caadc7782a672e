// FrmZS: the appreciation window, the thank-you picture in a window whose
// client area is exactly the picture's size. Modal, fixed size.
#pragma once

#include <QDialog>

class QLabel;

namespace tessaly {

class FrmZS : public QDialog {
  Q_OBJECT

 public:
  explicit FrmZS(QWidget* owner);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QLabel* Pic;
};

}  // namespace tessaly
