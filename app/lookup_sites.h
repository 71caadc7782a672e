// The online dictionaries of 网上释义: their names and the address of an
// idiom's page on each.
#pragma once

#include <QString>

#include "settings_file.h"

namespace tessaly {

// LookupSiteName returns the site's name as its menu item shows it.
QString LookupSiteName(LookupSite site);

// LookupUrl returns the address of `idiom`'s page on `site`. 萌典 and the
// 教育部《成語典》 are written in traditional characters: the idiom is
// converted first (OpenCC's s2t), and stays as it is when that cannot be
// done (OpenCC's data missing).
QString LookupUrl(LookupSite site, const QString& idiom);

}  // namespace tessaly
