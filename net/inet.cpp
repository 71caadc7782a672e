// Inet: the HTTP request control.
#include "inet.h"

namespace tessaly {

Inet::Inet(HttpRequestFactory factory, QObject* parent)
    : QObject(parent), m_factory(factory ? std::move(factory) : HttpRequestFactory(MakeQtHttpRequest)) {
  tmrReader.setInterval(kPollIntervalMs);
  connect(&tmrReader, &QTimer::timeout, this, &Inet::poll);
}

Inet::~Inet() {
  tmrReader.stop();
  if (!httpObj) return;
  try {
    httpObj->abort();
  } catch (...) {
  }
}

void Inet::Initialize() {
  try {
    httpObj = m_factory();
    if (httpObj) httpObj->setTimeouts(10000, 10000, 10000, 60000);
  } catch (...) {
    httpObj.reset();
  }
  if (!httpObj) emit GetError(kMissingComponent);
}

bool Inet::Execute(const QString& httpAddr, const QString& postStr, qint32 resType,
                   qint32 OwnerID) {
  return start(httpAddr, postStr.toUtf8(), resType, OwnerID);
}

bool Inet::Execute2(const QString& httpAddr, const QByteArray& postCC, qint32 resType,
                    qint32 OwnerID) {
  return start(httpAddr, postCC, resType, OwnerID);
}

bool Inet::start(const QString& httpAddr, const QByteArray& body, qint32 resType,
                 qint32 ownerId) {
  try {
    if (!httpObj) throw HttpError("no request object");
    const int state = httpObj->readyState();
    if (state != HttpRequest::kUnsent && state != HttpRequest::kCompleted) {
      emit InetBusy();
      return false;
    }
    m_resType = resType;
    m_ownerId = ownerId;
    httpObj->open(QStringLiteral("POST"), httpAddr, true);
    httpObj->send(body);
    m_pollCount = 0;
    tmrReader.start();
  } catch (...) {
    // A failed open or send ends the call without an event.
  }
  return true;
}

void Inet::setTimeOut(qint16 /*waitTime*/) {}

void Inet::endWithError(const QString& text) {
  try {
    httpObj->abort();
  } catch (...) {
  }
  tmrReader.stop();
  m_pollCount = 0;
  emit GetError(text);
}

void Inet::poll() {
  ++m_pollCount;
  try {
    if (!httpObj) throw HttpError("no request object");
    const int state = httpObj->readyState();
    if (httpObj->bytesReceived() > kMaxReplyBytes) {
      // A reply no real server sends: end it like one that never completes.
      endWithError(kTimedOut);
      return;
    }
    switch (state) {
      case HttpRequest::kCompleted: {
        const int status = httpObj->status();
        if (status == 200) {
          tmrReader.stop();
          if (m_resType == 0) {
            const QString text = httpObj->responseText();
            emit GetRes(text);
          } else {
            const QByteArray bytes = httpObj->responseBody();
            emit GetResByteA(bytes, m_ownerId);
          }
        } else if (status == 404) {
          endWithError(kNotFound);
        } else {
          // Any other status is not reported; polling the same finished
          // request again would only find it unchanged.
          tmrReader.stop();
        }
        break;
      }
      case HttpRequest::kOpened:
      case HttpRequest::kSent:
        if (m_pollCount >= kNoResponseTicks) endWithError(kTimedOut);
        break;
      case HttpRequest::kReceiving:
        if (m_pollCount >= kCompleteTicks) endWithError(kTimedOut);
        break;
      default:
        break;
    }
  } catch (...) {
    // An error inside a tick ends the tick; the next one polls again.
  }
}

}  // namespace tessaly
