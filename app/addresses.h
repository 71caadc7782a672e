// The texts of the maker's web site: the status line's author line, and
// the addresses of the version file, of an idiom on 百度汉语 (the other
// dictionaries of 网上释义: lookup_sites.h) and of the maker's two pages.
#pragma once

#include <QString>

namespace tessaly {

// AuthorLine returns the status line's resting text: the author, the
// contact and the address of the mobile web version.
QString AuthorLine();

QString VersionFileUrl();
QString LookupUrl(const QString& idiom);
QString MoreProgramsUrl();
QString HomePageUrl();

}  // namespace tessaly
