// Inet: one asynchronous HTTP POST at a time, watched by a 10 ms polling
// timer, reporting its outcome through signals.
//
//   Inet inet;
//   connect(&inet, &Inet::GetRes, ...);
//   inet.Initialize();
//   inet.Execute("http://host/ver.ini", "");
//
// Signals are raised synchronously: GetRes, GetResByteA and GetError from
// inside a tick of tmrReader, InetBusy from inside Execute, and the missing
// component error from inside Initialize. A step of the request object that
// fails (its Error) ends the call or the tick where it happens, without an
// event.
#pragma once

#include <memory>

#include <QObject>
#include <QTimer>

#include "http_request.h"

namespace tessaly {

class Inet : public QObject {
  Q_OBJECT

 public:
  // Ticks without any response data before a request times out (10 s at
  // 10 ms a tick), and ticks before a request must be complete (60 s).
  static constexpr int kNoResponseTicks = 1000;
  static constexpr int kCompleteTicks = 6000;
  static constexpr int kPollIntervalMs = 10;

  static inline const QString kMissingComponent = QStringLiteral("缺少网络组件，软件无法正常运行！");
  static inline const QString kNotFound = QStringLiteral("无效网络地址！");
  static inline const QString kTimedOut = QStringLiteral("连接超时！");

  // `factory` makes the request object; empty means the Qt one.
  explicit Inet(HttpRequestFactory factory = {}, QObject* parent = nullptr);
  ~Inet() override;
  Inet(const Inet&) = delete;             // owns a request in flight
  Inet& operator=(const Inet&) = delete;  // owns a request in flight

  // Initialize creates the request object with its time-outs. Raises
  // GetError when no request object can be made.
  void Initialize();

  // Execute posts `postStr` (sent as UTF-8) to `httpAddr`; Execute2 posts
  // the bytes `postCC`. While a request is under way they raise InetBusy and
  // change nothing. Returns false when the request was refused as busy.
  bool Execute(const QString& httpAddr, const QString& postStr, qint32 resType = 0,
               qint32 OwnerID = 0);
  bool Execute2(const QString& httpAddr, const QByteArray& postCC, qint32 resType = 0,
                qint32 OwnerID = 0);

  // The TimeOut property stores nothing and changes no time-out.
  void setTimeOut(qint16 waitTime);

  // poll is one tick of tmrReader; the timer calls it, tests call it directly.
  void poll();

  int pollCount() const { return m_pollCount; }
  qint32 resType() const { return m_resType; }
  qint32 OwnerID() const { return m_ownerId; }
  bool polling() const { return tmrReader.isActive(); }
  int pollInterval() const { return tmrReader.interval(); }
  // setPollInterval shortens the tick for tests against a real socket; the
  // tick counts of the time-outs stay as they are.
  void setPollInterval(int ms) { tmrReader.setInterval(ms); }

 signals:
  void GetRes(const QString& resX);
  void GetResByteA(const QByteArray& byteCC, qint32 OwnerID);
  void GetError(const QString& ErrString);
  void InetBusy();

 private:
  struct Tick;

  bool start(const QString& httpAddr, const QByteArray& body, qint32 resType, qint32 ownerId);
  // look reads what the request has come to in this tick.
  Tick look();
  void endWithError(const QString& text);

  HttpRequestFactory m_factory;
  std::unique_ptr<HttpRequest> httpObj;
  QTimer tmrReader;
  qint32 m_resType = 0;
  qint32 m_ownerId = 0;
  int m_pollCount = 0;
};

}  // namespace tessaly
