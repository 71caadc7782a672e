// HttpRequest on QNetworkAccessManager.
//
// Where Qt's defaults differ from what Inet relies on, this object holds to
// Inet's side: one send is one request on the wire (Qt's own resending is
// prevented), a redirect completes the request with its 3xx status instead
// of being followed, and the time-outs set here end the transfer without
// completing the request, so that it stays sent or receiving and Inet's tick
// count reports the time-out. A transfer that breaks off completes with
// status 0.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include "http_request.h"

class QNetworkAccessManager;
class QNetworkReply;

namespace tessaly {

class QtHttpRequest : public QObject, public HttpRequest {
  Q_OBJECT

 public:
  QtHttpRequest();
  ~QtHttpRequest() override;

  Error setTimeouts(int resolveMs, int connectMs, int sendMs, int receiveMs) override;
  Result<int> readyState() override { return m_state; }
  Error open(const QString& method, const QString& url, bool async) override;
  Error send(const QByteArray& body) override;
  Result<int> status() override;
  Result<QString> responseText() override;
  Result<QByteArray> responseBody() override;
  Result<qint64> bytesReceived() override { return static_cast<qint64>(m_body.size()); }
  Error abort() override;

 private:
  void onMetaData();
  void onReadyRead();
  void onFinished();
  void onTimeout();
  // drop ends the transfer and leaves the state as it is.
  void drop();

  QNetworkAccessManager* m_manager;
  QPointer<QNetworkReply> m_reply;
  QTimer m_connectTimer;  // resolving, connecting and sending together
  QTimer m_receiveTimer;  // the longest wait for more response data
  QString m_method;
  QUrl m_url;
  QByteArray m_body;
  int m_state = kUnsent;
  int m_status = 0;
  bool m_tooLarge = false;
};

}  // namespace tessaly
