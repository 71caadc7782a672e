// The HTTP request object that Inet drives: one asynchronous POST at a time,
// watched by polling its state.
//
// Its calls may fail the way an automation object's calls fail, each on its
// own: a failure is the Error a call returns, and Inet looks at it at the
// step where it happens.
#pragma once

#include <functional>
#include <memory>

#include <QByteArray>
#include <QString>

#include "error.h"

namespace tessaly {

// What a reply may hold in memory. A version file is a few bytes; anything
// past this is a broken or hostile server, and the request is ended.
inline constexpr qint64 kMaxReplyBytes = 8 * 1024 * 1024;

class HttpRequest {
 public:
  // The request states, in the order a request passes through them.
  enum ReadyState {
    kUnsent = 0,     // not opened
    kOpened = 1,
    kSent = 2,
    kReceiving = 3,  // the first response data has arrived
    kCompleted = 4,
  };

  virtual ~HttpRequest() = default;

  // setTimeouts sets the four time-outs in milliseconds: resolving the host,
  // connecting, sending and receiving.
  virtual Error setTimeouts(int resolveMs, int connectMs, int sendMs, int receiveMs) = 0;
  virtual Result<int> readyState() = 0;
  // open prepares a request; a request that is still running is dropped.
  // An address the object cannot use is an error.
  virtual Error open(const QString& method, const QString& url, bool async) = 0;
  // send starts the opened request with `body` and returns at once.
  virtual Error send(const QByteArray& body) = 0;
  // status is the HTTP status of a completed request; an error before that.
  virtual Result<int> status() = 0;
  virtual Result<QString> responseText() = 0;
  virtual Result<QByteArray> responseBody() = 0;
  // bytesReceived counts the body bytes received so far.
  virtual Result<qint64> bytesReceived() = 0;
  virtual Error abort() = 0;
};

using HttpRequestFactory = std::function<std::unique_ptr<HttpRequest>()>;

// MakeQtHttpRequest returns a request object on QNetworkAccessManager.
std::unique_ptr<HttpRequest> MakeQtHttpRequest();

}  // namespace tessaly
