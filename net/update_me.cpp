// UpDateMe: the update check.
#include "update_me.h"

#include "hc.h"

#include <limits>

namespace tessaly {

double LeadingNumber(QStringView text) {
  // A double depends on at most 767 significant digits, and past them only
  // on whether a non-zero digit follows (that can break a tie); 800 keep a
  // margin. Beyond 800 integer digits a value is infinite, below 10^-330 it
  // is zero. Reading stops there, so a reply of millions of digits costs no
  // more than a short one.
  constexpr int kMaxDigits = 800;
  constexpr int kMaxLeadingFractionZeros = 330;
  constexpr double kInfinity = std::numeric_limits<double>::infinity();

  const qsizetype n = text.size();
  auto digitAt = [&](qsizetype at) { return at < n && text[at] >= u'0' && text[at] <= u'9'; };
  QString number;  // the number as read, cut to the digits that count
  qsizetype i = 0;
  bool negative = false;
  if (i < n && (text[i] == u'+' || text[i] == u'-')) {
    negative = text[i] == u'-';
    number += text[i++];
  }
  bool digits = false;
  int kept = 0;  // significant digits in `number`
  for (; digitAt(i) && text[i] == u'0'; ++i) digits = true;
  for (; digitAt(i); ++i) {
    digits = true;
    if (kept == kMaxDigits) return negative ? -kInfinity : kInfinity;
    number += text[i];
    ++kept;
  }
  if (kept == 0) number += u'0';
  if (i < n && text[i] == u'.') {
    number += u'.';
    ++i;
    if (kept == 0) {
      // Zeros before the first significant digit only scale the value.
      for (int zeros = 1; digitAt(i) && text[i] == u'0'; ++i, ++zeros) {
        digits = true;
        if (zeros > kMaxLeadingFractionZeros) return negative ? -0.0 : 0.0;
        number += u'0';
      }
    }
    for (; digitAt(i) && kept < kMaxDigits; ++i) {
      digits = true;
      number += text[i];
      ++kept;
    }
    for (; digitAt(i); ++i) {
      if (text[i] != u'0') {
        number += u'1';
        break;
      }
    }
  }
  if (!digits) return 0;
  // QString's conversion is locale-independent: "." is always the point.
  return number.toDouble();
}

bool IsNewerVersion(const QString& reply, qint32 major, qint32 minor) {
  QString cleaned = RemoveCrLfPairs(reply);
  cleaned.remove(u' ');
  const double local = LeadingNumber(QStringLiteral("%1.%2").arg(major).arg(minor));
  return local < LeadingNumber(cleaned);
}

UpDateMe::UpDateMe(HttpRequestFactory factory, QObject* parent) : QObject(parent), m_hc(std::move(factory)) {
  connect(&m_hc, &HC::ResponseSuccess, this, &UpDateMe::HC1_ResponseSuccess);
  connect(&m_hc, &HC::ArgumentError, this, &UpDateMe::ArgumentError);
  // ResponseError is ignored: every failure of the check stays silent.
}

void UpDateMe::StartSearch(const QString& address, qint32 majorVersion, qint32 minorVersion) {
  hostAddr = address;
  major = majorVersion;
  minor = minorVersion;
  m_hc.InitializePost(hostAddr);
  m_hc.ExecuteRemoteQuery(QString(), 1);
}

void UpDateMe::HC1_ResponseSuccess(const QString& res, qint16 TaskId, qint32 /*extId*/) {
  if (TaskId != 1) return;
  if (IsNewerVersion(res, major, minor)) emit GetUpdate();
}

}  // namespace tessaly
