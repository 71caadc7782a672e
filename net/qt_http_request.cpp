// HttpRequest on QNetworkAccessManager.
#include "qt_http_request.h"

#include <algorithm>
#include <cstring>

#include <QIODevice>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace tessaly {
namespace {

// OneShotBody hands a request body to Qt once: it cannot be rewound, so Qt
// cannot send the request a second time.
class OneShotBody : public QIODevice {
 public:
  explicit OneShotBody(QByteArray body) : m_body(std::move(body)) { open(QIODevice::ReadOnly); }

  bool isSequential() const override { return true; }
  bool reset() override { return false; }
  qint64 bytesAvailable() const override {
    return m_body.size() - m_read + QIODevice::bytesAvailable();
  }
  bool atEnd() const override { return m_read >= m_body.size() && QIODevice::atEnd(); }

 protected:
  qint64 readData(char* data, qint64 maxSize) override {
    const qint64 n = std::min(maxSize, qint64(m_body.size()) - m_read);
    std::memcpy(data, m_body.constData() + m_read, static_cast<size_t>(n));
    m_read += n;
    return n;
  }
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  QByteArray m_body;
  qint64 m_read = 0;
};

}  // namespace

std::unique_ptr<HttpRequest> MakeQtHttpRequest() { return std::make_unique<QtHttpRequest>(); }

QtHttpRequest::QtHttpRequest() : m_manager(new QNetworkAccessManager(this)) {
  m_connectTimer.setSingleShot(true);
  m_receiveTimer.setSingleShot(true);
  connect(&m_connectTimer, &QTimer::timeout, this, &QtHttpRequest::onTimeout);
  connect(&m_receiveTimer, &QTimer::timeout, this, &QtHttpRequest::onTimeout);
}

QtHttpRequest::~QtHttpRequest() { drop(); }

Error QtHttpRequest::setTimeouts(int resolveMs, int connectMs, int sendMs, int receiveMs) {
  // Resolving, connecting and sending run inside Qt in one go: their limits
  // add up to one, until the first response data. The receiving limit is
  // the longest wait for further data.
  m_connectTimer.setInterval(resolveMs + connectMs + sendMs);
  m_receiveTimer.setInterval(receiveMs);
  return {};
}

Error QtHttpRequest::open(const QString& method, const QString& url, bool /*async: always*/) {
  drop();
  const QUrl parsed(url, QUrl::StrictMode);
  if (!parsed.isValid() || (parsed.scheme() != "http" && parsed.scheme() != "https") ||
      parsed.host().isEmpty()) {
    m_state = kUnsent;
    return MakeError(ErrorKind::BadInput, "unusable address");
  }
  m_method = method;
  m_url = parsed;
  m_body.clear();
  m_status = 0;
  m_tooLarge = false;
  m_state = kOpened;
  return {};
}

Error QtHttpRequest::send(const QByteArray& body) {
  if (m_state != kOpened) return MakeError(ErrorKind::BadInput, "request not opened");
  QNetworkRequest request(m_url);
  // Qt follows redirects by default, for 301 to 303 with a GET. The method
  // is always POST, and a 3xx answer is a status like any other.
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                       QNetworkRequest::ManualRedirectPolicy);
  // Qt sends a request again on its own when a connection closes before the
  // status line has arrived. A body it cannot read twice stops that: one
  // send is one POST on the wire.
  request.setAttribute(QNetworkRequest::DoNotBufferUploadDataAttribute, true);
  request.setHeader(QNetworkRequest::ContentLengthHeader, body.size());
  auto* upload = new OneShotBody(body);
  // No transfer time-out of Qt's own: it would end the request as finished,
  // racing the owner's tick count. The time-outs here only cut the transfer.
  m_reply = m_manager->sendCustomRequest(request, m_method.toLatin1(), upload);
  upload->setParent(m_reply);
  // Read as data arrives, so that Qt keeps no more than a small buffer of
  // its own and the reply's size is checked as it grows.
  m_reply->setReadBufferSize(64 * 1024);
  connect(m_reply, &QNetworkReply::metaDataChanged, this, &QtHttpRequest::onMetaData);
  connect(m_reply, &QNetworkReply::readyRead, this, &QtHttpRequest::onReadyRead);
  connect(m_reply, &QNetworkReply::finished, this, &QtHttpRequest::onFinished);
  m_state = kSent;
  if (m_connectTimer.interval() > 0) m_connectTimer.start();
  return {};
}

namespace {

Error NotCompleted() { return MakeError(ErrorKind::BadInput, "request not completed"); }

}  // namespace

Result<int> QtHttpRequest::status() {
  if (m_state != kCompleted) return NotCompleted();
  return m_status;
}

Result<QString> QtHttpRequest::responseText() {
  if (m_state != kCompleted) return NotCompleted();
  return QString::fromUtf8(m_body);
}

Result<QByteArray> QtHttpRequest::responseBody() {
  if (m_state != kCompleted) return NotCompleted();
  return m_body;
}

Error QtHttpRequest::abort() {
  drop();
  m_state = kUnsent;
  // An ended request keeps no body: a cut-off oversized one could be large.
  m_body = QByteArray();
  return {};
}

void QtHttpRequest::onMetaData() {
  m_connectTimer.stop();
  if (m_receiveTimer.interval() > 0) m_receiveTimer.start();
  if (m_state == kSent) m_state = kReceiving;
}

void QtHttpRequest::onReadyRead() {
  if (!m_reply || m_tooLarge) return;
  onMetaData();
  // A reply Qt has closed (aborted, failed) has nothing left to read.
  if (!m_reply->isReadable()) return;
  const qint64 room = kMaxReplyBytes + 1 - m_body.size();
  m_body += m_reply->read(room);
  if (m_body.size() > kMaxReplyBytes) {
    // Too large to be a real reply: stop the transfer and stay in the
    // receiving state, so that the request's owner ends it as a failure
    // instead of taking a cut-off body for a result.
    m_tooLarge = true;
    drop();
  }
}

void QtHttpRequest::onFinished() {
  if (!m_reply) return;
  onReadyRead();
  if (!m_reply) return;
  m_connectTimer.stop();
  m_receiveTimer.stop();
  // A transfer that broke off (connection closed or reset, cancelled) has
  // no usable status even when the headers had arrived: the body may be cut
  // short, and must not pass for a result.
  const QNetworkReply::NetworkError error = m_reply->error();
  const bool transferFailed = error > QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied;
  m_status = transferFailed ? 0 : m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  m_reply->deleteLater();
  m_reply = nullptr;
  m_state = kCompleted;
}

void QtHttpRequest::onTimeout() {
  // The transfer ends, the request keeps the state it had reached: still
  // waiting or still receiving, so that the owner's tick count reports the
  // time-out, whichever of the two runs out first.
  drop();
}

void QtHttpRequest::drop() {
  m_connectTimer.stop();
  m_receiveTimer.stop();
  if (m_reply) {
    m_reply->disconnect(this);
    m_reply->abort();
    m_reply->deleteLater();
    m_reply = nullptr;
  }
}

}  // namespace tessaly
