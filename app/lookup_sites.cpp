// The online dictionaries of 网上释义.
#include "lookup_sites.h"

#include "addresses.h"
#include "script_conversion.h"
#include "url_encode.h"

namespace tessaly {
namespace {

QString Traditional(const QString& idiom) {
  const Result<std::u16string> converted = ToTraditional(idiom.toStdU16String());
  return converted.ok() ? QString::fromStdU16String(*converted) : idiom;
}

}  // namespace

QString LookupSiteName(LookupSite site) {
  switch (site) {
    case LookupSite::BaiduHanyu: return QStringLiteral("百度汉语");
    case LookupSite::Zdic: return QStringLiteral("汉典");
    case LookupSite::Moedict: return QStringLiteral("萌典（繁体）");
    case LookupSite::MoeIdioms: return QStringLiteral("教育部《成語典》（繁体）");
  }
  return {};
}

QString LookupUrl(LookupSite site, const QString& idiom) {
  switch (site) {
    case LookupSite::BaiduHanyu: return LookupUrl(idiom);
    case LookupSite::Zdic: return QStringLiteral("https://www.zdic.net/hans/") + UrlEncodeUtf8(idiom);
    case LookupSite::Moedict: return QStringLiteral("https://www.moedict.tw/") + UrlEncodeUtf8(Traditional(idiom));
    case LookupSite::MoeIdioms:
      return QStringLiteral("https://dict.idioms.moe.edu.tw/idiomList.jsp?idiom=") + UrlEncodeUtf8(Traditional(idiom));
  }
  return LookupUrl(idiom);
}

}  // namespace tessaly
