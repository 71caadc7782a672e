// FrmZS: the appreciation window.
#include "frm_zs.h"

#include <QLabel>
#include <QPixmap>

#include "placement.h"

namespace tessaly {

FrmZS::FrmZS(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName(QStringLiteral("FrmZS"));
  setWindowTitle(QStringLiteral("感谢您的支持"));
  setWindowModality(Qt::ApplicationModal);
  if (owner != nullptr) setWindowIcon(owner->windowIcon());
  Pic = new QLabel(this);
  Pic->setObjectName(QStringLiteral("Pic"));
  Pic->setFrameShape(QFrame::NoFrame);
  const QPixmap picture(QStringLiteral(":/tessaly/zs.bmp"));
  Pic->setPixmap(picture);
  // The picture is drawn at its size in logical pixels, and the window's
  // client area is made exactly that size; the frame is the window
  // system's and adds to it.
  Pic->setGeometry(0, 0, picture.width(), picture.height());
  setFixedSize(picture.size());
}

void FrmZS::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  CentreOverOwner(this);
}

}  // namespace tessaly
