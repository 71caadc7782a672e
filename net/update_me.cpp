// UpDateMe: the update check.
#include "update_me.h"

namespace tessaly {

double LeadingNumber(QStringView text) {
  qsizetype end = 0;
  if (end < text.size() && (text[end] == u'+' || text[end] == u'-')) ++end;
  bool digits = false;
  bool point = false;
  for (; end < text.size(); ++end) {
    const QChar c = text[end];
    if (c >= u'0' && c <= u'9') {
      digits = true;
    } else if (c == u'.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (!digits) return 0;
  // QString's conversion is locale-independent: "." is always the point.
  return text.left(end).toString().toDouble();
}

bool IsNewerVersion(const QString& reply, qint32 major, qint32 minor) {
  QString cleaned = reply;
  cleaned.remove(QLatin1String("\r\n"));
  cleaned.remove(u' ');
  const double local = LeadingNumber(QStringLiteral("%1.%2").arg(major).arg(minor));
  return local < LeadingNumber(cleaned);
}

UpDateMe::UpDateMe(HttpRequestFactory factory, ErrorBox errorBox, QObject* parent)
    : QObject(parent), m_hc(std::move(factory), std::move(errorBox)) {
  connect(&m_hc, &HC::ResponseSuccess, this, &UpDateMe::HC1_ResponseSuccess);
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
