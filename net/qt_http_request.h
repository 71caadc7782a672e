// HttpRequest on QNetworkAccessManager.
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

  void setTimeouts(int resolveMs, int connectMs, int sendMs, int receiveMs) override;
  int readyState() override { return m_state; }
  void open(const QString& method, const QString& url, bool async) override;
  void send(const QByteArray& body) override;
  int status() override;
  QString responseText() override;
  QByteArray responseBody() override;
  qint64 bytesReceived() override { return m_body.size(); }
  void abort() override;

 private:
  void onMetaData();
  void onReadyRead();
  void onFinished();
  void onConnectTimeout();
  void drop();

  QNetworkAccessManager* m_manager;
  QPointer<QNetworkReply> m_reply;
  QTimer m_connectTimer;  // resolving, connecting and sending together
  QString m_method;
  QUrl m_url;
  QByteArray m_body;
  int m_state = kUnsent;
  int m_status = 0;
  int m_receiveMs = 0;
  bool m_tooLarge = false;
};

}  // namespace tessaly
