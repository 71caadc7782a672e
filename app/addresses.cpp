// The texts of the maker's web site.
#include "addresses.h"

#include <QChar>

#include "tessaly_config.h"
#include "url_encode.h"

namespace tessaly {

QString AuthorLine() {
  return QStringLiteral("作者：Orvel") + QChar(0x3000) + QString::fromUtf16(kAuthorContact) +
         QStringLiteral("\u3000\u3000手机网页版：http://") + QString::fromUtf16(kSiteHost) + QStringLiteral("/chengyu");
}

QString VersionFileUrl() {
  return QStringLiteral("http://") + QString::fromUtf16(kSiteHost) + QStringLiteral("/chengyu/download/ver.ini");
}

QString LookupUrl(const QString& idiom) {
  return QStringLiteral("https://") + QString::fromUtf16(kLookupHost) + QStringLiteral("/s?wd=") + UrlEncodeUtf8(idiom) +
         QStringLiteral("&ptype=zici#detailmean");
}

QString MoreProgramsUrl() {
  return QStringLiteral("http://") + QString::fromUtf16(kSiteHost) + QStringLiteral("/mousewheel/");
}

QString HomePageUrl() {
  return QStringLiteral("http://") + QString::fromUtf16(kSiteHost) + QStringLiteral("/chengyu/pc.htm");
}

}  // namespace tessaly
