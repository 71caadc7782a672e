// FrmZS: the appreciation window.
#include "frm_zs.h"

#include <algorithm>
#include <cmath>

#include <QLabel>
#include <QPixmap>

#include "placement.h"
#include "window_system.h"

namespace tessaly {

int DeviceIndependentLength(int pixels, qreal ratio) {
  if (ratio <= 0) return pixels;
  // Start where length × ratio is at most pixels − 1, so that the first
  // length that reaches `pixels` is the shortest.
  int length = std::max(1, static_cast<int>(std::floor((pixels - 1) / ratio)));
  while (qRound(length * ratio) < pixels) ++length;
  return length;
}

FrmZS::FrmZS(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint),
      m_picture(QStringLiteral(":/tessaly/zs.bmp")) {
  setObjectName(QStringLiteral("FrmZS"));
  setWindowTitle(QStringLiteral("感谢您的支持"));
  setWindowModality(Qt::ApplicationModal);
  if (owner != nullptr) setWindowIcon(owner->windowIcon());
  Pic = new QLabel(this);
  Pic->setObjectName(QStringLiteral("Pic"));
  Pic->setFrameShape(QFrame::NoFrame);
  Pic->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  fitToPicture();
}

void FrmZS::fitToPicture() {
  // The picture's pixels are pixels of the screen, whatever the scale
  // factor: the client area is sized in device pixels, and the picture
  // carries the window's device pixel ratio so that it is drawn one to one
  // instead of scaled and blurred.
  const qreal ratio = devicePixelRatio();
  QPixmap shown = m_picture;
  shown.setDevicePixelRatio(ratio);
  Pic->setPixmap(shown);
  const QSize client(DeviceIndependentLength(m_picture.width(), ratio),
                     DeviceIndependentLength(m_picture.height(), ratio));
  Pic->setGeometry(QRect(QPoint(0, 0), client));
  setFixedSize(client);
}

void FrmZS::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Fitted again on the screen it is shown on, which may have another scale
  // than the one it was made for.
  fitToPicture();
  CentreOverOwner(this);
  KeepFrameFixed(*this);
}

}  // namespace tessaly
