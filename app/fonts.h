// The program's fonts: 宋体 (SimSun) where it is installed, else the nearest
// CJK serif face, so that Chinese never shows as boxes.
#pragma once

#include <QFont>

namespace tessaly {

// SongTi returns a regular 宋体-like font of `points` size.
QFont SongTi(double points);

}  // namespace tessaly
