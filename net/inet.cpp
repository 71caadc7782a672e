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
  } catch (const HttpError&) {
  }
}

void Inet::Initialize() {
  try {
    httpObj = m_factory();
    if (httpObj) httpObj->setTimeouts(10000, 10000, 10000, 60000);
  } catch (const HttpError&) {
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

// The guards below catch what the request object throws and nothing else,
// and no event is raised inside them: an exception from a receiver of an
// event belongs to the receiver's caller and must not be taken for a
// failing request.

bool Inet::start(const QString& httpAddr, const QByteArray& body, qint32 resType,
                 qint32 ownerId) {
  // Without a request object the call fails at its first step: no event.
  if (!httpObj) return true;
  int state = HttpRequest::kUnsent;
  try {
    state = httpObj->readyState();
  } catch (const HttpError&) {
    return true;
  }
  if (state != HttpRequest::kUnsent && state != HttpRequest::kCompleted) {
    emit InetBusy();
    return false;
  }
  m_resType = resType;
  m_ownerId = ownerId;
  try {
    httpObj->open(QStringLiteral("POST"), httpAddr, true);
    httpObj->send(body);
  } catch (const HttpError&) {
    // A failed open or send ends the call without an event; the timer
    // stays as it was.
    return true;
  }
  m_pollCount = 0;
  tmrReader.start();
  return true;
}

void Inet::setTimeOut(qint16 /*waitTime*/) {}

void Inet::endWithError(const QString& text) {
  try {
    httpObj->abort();
  } catch (const HttpError&) {
  }
  tmrReader.stop();
  m_pollCount = 0;
  emit GetError(text);
}

void Inet::poll() {
  ++m_pollCount;
  if (!httpObj) return;
  // What this tick found, read under the guard; its event is raised after.
  enum class Found { Nothing, Text, Bytes, NotFound, TimedOut };
  Found found = Found::Nothing;
  QString text;
  QByteArray bytes;
  try {
    const int state = httpObj->readyState();
    if (httpObj->bytesReceived() > kMaxReplyBytes) {
      // A reply no real server sends: end it like one that never completes.
      found = Found::TimedOut;
    } else if (state == HttpRequest::kCompleted) {
      const int status = httpObj->status();
      if (status == 200) {
        tmrReader.stop();
        if (m_resType == 0) {
          text = httpObj->responseText();
          found = Found::Text;
        } else {
          bytes = httpObj->responseBody();
          found = Found::Bytes;
        }
      } else if (status == 404) {
        found = Found::NotFound;
      } else {
        // Any other status is not reported; polling the same finished
        // request again would only find it unchanged.
        tmrReader.stop();
      }
    } else if (state == HttpRequest::kOpened || state == HttpRequest::kSent) {
      if (m_pollCount >= kNoResponseTicks) found = Found::TimedOut;
    } else if (state == HttpRequest::kReceiving) {
      if (m_pollCount >= kCompleteTicks) found = Found::TimedOut;
    }
  } catch (const HttpError&) {
    // An error inside a tick ends the tick; the next one polls again.
    return;
  }
  switch (found) {
    case Found::Text: emit GetRes(text); break;
    case Found::Bytes: emit GetResByteA(bytes, m_ownerId); break;
    case Found::NotFound: endWithError(kNotFound); break;
    case Found::TimedOut: endWithError(kTimedOut); break;
    case Found::Nothing: break;
  }
}

}  // namespace tessaly
