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
  if (httpObj) (void)httpObj->abort();
}

void Inet::Initialize() {
  httpObj = m_factory();
  if (httpObj && !httpObj->setTimeouts(10000, 10000, 10000, 60000).ok()) httpObj.reset();
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

// Each step of the request object is looked at where it happens; a failed
// step ends the call or the tick without an event.

bool Inet::start(const QString& httpAddr, const QByteArray& body, qint32 resType,
                 qint32 ownerId) {
  // Without a request object the call fails at its first step: no event.
  if (!httpObj) return true;
  const Result<int> state = httpObj->readyState();
  if (!state.ok()) return true;
  if (*state != HttpRequest::kUnsent && *state != HttpRequest::kCompleted) {
    emit InetBusy();
    return false;
  }
  m_resType = resType;
  m_ownerId = ownerId;
  // A failed open or send ends the call without an event; the timer stays
  // as it was.
  if (!httpObj->open(QStringLiteral("POST"), httpAddr, true).ok()) return true;
  if (!httpObj->send(body).ok()) return true;
  m_pollCount = 0;
  tmrReader.start();
  return true;
}

void Inet::setTimeOut(qint16 /*waitTime*/) {}

void Inet::endWithError(const QString& text) {
  (void)httpObj->abort();
  tmrReader.stop();
  m_pollCount = 0;
  emit GetError(text);
}

// What one tick of the request finds, with what it read.
struct Inet::Tick {
  enum class Found { Nothing, Text, Bytes, NotFound, TimedOut, Failed };
  Found found = Found::Nothing;
  QString text;
  QByteArray bytes;
};

Inet::Tick Inet::look() {
  using Found = Tick::Found;
  Tick tick;
  const Result<int> state = httpObj->readyState();
  const Result<qint64> received = httpObj->bytesReceived();
  if (!state.ok() || !received.ok()) return Tick{Found::Failed, {}, {}};
  if (*received > kMaxReplyBytes) {
    // A reply no real server sends: end it like one that never completes.
    tick.found = Found::TimedOut;
  } else if (*state == HttpRequest::kCompleted) {
    const Result<int> status = httpObj->status();
    if (!status.ok()) return Tick{Found::Failed, {}, {}};
    if (*status == 200) {
      tmrReader.stop();
      if (m_resType == 0) {
        Result<QString> text = httpObj->responseText();
        if (!text.ok()) return Tick{Found::Failed, {}, {}};
        tick = {Found::Text, std::move(text).value(), {}};
      } else {
        Result<QByteArray> bytes = httpObj->responseBody();
        if (!bytes.ok()) return Tick{Found::Failed, {}, {}};
        tick = {Found::Bytes, {}, std::move(bytes).value()};
      }
    } else if (*status == 404) {
      tick.found = Found::NotFound;
    } else {
      // Any other status is not reported; polling the same finished
      // request again would only find it unchanged.
      tmrReader.stop();
    }
  } else if (*state == HttpRequest::kOpened || *state == HttpRequest::kSent) {
    if (m_pollCount >= kNoResponseTicks) tick.found = Found::TimedOut;
  } else if (*state == HttpRequest::kReceiving) {
    if (m_pollCount >= kCompleteTicks) tick.found = Found::TimedOut;
  }
  return tick;
}

void Inet::poll() {
  ++m_pollCount;
  if (!httpObj) return;
  // What this tick found is read first; its event is raised after, so that
  // a receiver never runs inside a read of the request object.
  Tick tick = look();
  switch (tick.found) {
    case Tick::Found::Text: emit GetRes(tick.text); break;
    case Tick::Found::Bytes: emit GetResByteA(tick.bytes, m_ownerId); break;
    case Tick::Found::NotFound: endWithError(kNotFound); break;
    case Tick::Found::TimedOut: endWithError(kTimedOut); break;
    case Tick::Found::Failed:  // an error inside a tick ends the tick; the next one polls again
    case Tick::Found::Nothing: break;
  }
}

}  // namespace tessaly
