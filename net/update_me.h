// UpDateMe: once per start, compares the program's version with the version
// file on the maker's web site and raises GetUpdate when the file names a
// higher one. Every failure is silent.
//
//   UpDateMe check;
//   connect(&check, &UpDateMe::GetUpdate, ...);
//   check.StartSearch("http://host/chengyu/download/ver.ini", 1, 23);
#pragma once

#include <QObject>
#include <QStringView>

#include "hc.h"

namespace tessaly {

// LeadingNumber reads the decimal number at the start of `text`: an optional
// sign, digits and at most one decimal point, up to the first character that
// cannot continue it. Text that does not begin with a number reads as 0; a
// number too large for a double reads as infinity. It reads only the
// characters that can change the result, however long the number runs on.
double LeadingNumber(QStringView text);

// IsNewerVersion tells whether the version file's text `reply` names a
// higher version than major.minor. CR LF pairs and spaces are removed first;
// versions compare as decimal fractions, so 1.3 is above 1.23 and 1.100 is
// not.
bool IsNewerVersion(const QString& reply, qint32 major, qint32 minor);

class UpDateMe : public QObject {
  Q_OBJECT

 public:
  explicit UpDateMe(HttpRequestFactory factory = {}, QObject* parent = nullptr);

  // StartSearch stores the three values and posts an empty body to
  // `hostAddr` under task number 1.
  void StartSearch(const QString& hostAddr, qint32 major, qint32 minor);
  // StartDownloadFile does nothing; nothing downloads updates.
  void StartDownloadFile() {}

  HC& HC1() { return m_hc; }

 signals:
  void GetUpdate();
  // ArgumentError: HC refused the check before sending it (see HC).
  void ArgumentError(const QString& text, const QString& title);

 private:
  void HC1_ResponseSuccess(const QString& res, qint16 TaskId, qint32 extId);

  HC m_hc;
  QString hostAddr;
  qint32 major = 0;
  qint32 minor = 0;
};

}  // namespace tessaly
