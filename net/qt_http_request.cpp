// HttpRequest on QNetworkAccessManager.
#include "qt_http_request.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace tessaly {

std::unique_ptr<HttpRequest> MakeQtHttpRequest() { return std::make_unique<QtHttpRequest>(); }

QtHttpRequest::QtHttpRequest() : m_manager(new QNetworkAccessManager(this)) {
  m_connectTimer.setSingleShot(true);
  connect(&m_connectTimer, &QTimer::timeout, this, &QtHttpRequest::onConnectTimeout);
}

QtHttpRequest::~QtHttpRequest() { drop(); }

void QtHttpRequest::setTimeouts(int resolveMs, int connectMs, int sendMs, int receiveMs) {
  m_connectTimer.setInterval(resolveMs + connectMs + sendMs);
  m_receiveMs = receiveMs;
}

void QtHttpRequest::open(const QString& method, const QString& url, bool /*async: always*/) {
  drop();
  const QUrl parsed(url, QUrl::StrictMode);
  if (!parsed.isValid() || (parsed.scheme() != "http" && parsed.scheme() != "https") ||
      parsed.host().isEmpty()) {
    m_state = kUnsent;
    throw HttpError("unusable address");
  }
  m_method = method;
  m_url = parsed;
  m_body.clear();
  m_status = 0;
  m_tooLarge = false;
  m_state = kOpened;
}

void QtHttpRequest::send(const QByteArray& body) {
  if (m_state != kOpened) throw HttpError("request not opened");
  QNetworkRequest request(m_url);
  if (m_receiveMs > 0) request.setTransferTimeout(m_receiveMs);
  m_reply = m_manager->sendCustomRequest(request, m_method.toLatin1(), body);
  // Read as data arrives, so that Qt keeps no more than a small buffer of
  // its own and the reply's size is checked as it grows.
  m_reply->setReadBufferSize(64 * 1024);
  connect(m_reply, &QNetworkReply::metaDataChanged, this, &QtHttpRequest::onMetaData);
  connect(m_reply, &QNetworkReply::readyRead, this, &QtHttpRequest::onReadyRead);
  connect(m_reply, &QNetworkReply::finished, this, &QtHttpRequest::onFinished);
  m_state = kSent;
  if (m_connectTimer.interval() > 0) m_connectTimer.start();
}

int QtHttpRequest::status() {
  if (m_state != kCompleted) throw HttpError("request not completed");
  return m_status;
}

QString QtHttpRequest::responseText() {
  if (m_state != kCompleted) throw HttpError("request not completed");
  return QString::fromUtf8(m_body);
}

QByteArray QtHttpRequest::responseBody() {
  if (m_state != kCompleted) throw HttpError("request not completed");
  return m_body;
}

void QtHttpRequest::abort() {
  drop();
  m_state = kUnsent;
  // An ended request keeps no body: a cut-off oversized one could be large.
  m_body = QByteArray();
}

void QtHttpRequest::onMetaData() {
  m_connectTimer.stop();
  if (m_state == kSent) m_state = kReceiving;
}

void QtHttpRequest::onReadyRead() {
  if (!m_reply || m_tooLarge) return;
  onMetaData();
  const qint64 room = kMaxReplyBytes + 1 - m_body.size();
  m_body += m_reply->read(room);
  if (m_body.size() > kMaxReplyBytes) {
    // Too large to be a real reply: stop the transfer and stay in the
    // receiving state, so that the request's owner ends it as a failure
    // instead of taking a cut-off body for a result.
    m_tooLarge = true;
    m_reply->disconnect(this);
    m_reply->abort();
    m_reply->deleteLater();
    m_reply = nullptr;
  }
}

void QtHttpRequest::onFinished() {
  if (!m_reply) return;
  m_connectTimer.stop();
  onReadyRead();
  if (!m_reply) return;
  // A transfer that broke off (connection closed or reset, time-out,
  // cancelled) has no usable status even when the headers had arrived: the
  // body may be cut short, and must not pass for a result.
  const QNetworkReply::NetworkError error = m_reply->error();
  const bool transferFailed = error > QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied;
  m_status = transferFailed ? 0 : m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  m_reply->deleteLater();
  m_reply = nullptr;
  m_state = kCompleted;
}

void QtHttpRequest::onConnectTimeout() {
  if (m_reply && m_state == kSent) m_reply->abort();
}

void QtHttpRequest::drop() {
  m_connectTimer.stop();
  if (m_reply) {
    m_reply->disconnect(this);
    m_reply->abort();
    m_reply->deleteLater();
    m_reply = nullptr;
  }
}

}  // namespace tessaly
