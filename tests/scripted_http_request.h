// ScriptedHttpRequest: an HttpRequest whose state the test sets, for driving
// Inet tick by tick without a network.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "http_request.h"

namespace tessaly {

// What the test scripts and reads back; shared by the test and the request.
struct HttpScript {
  int state = HttpRequest::kUnsent;
  int status = 0;
  QByteArray body;
  qint64 received = -1;      // bytesReceived; -1 means body.size()
  std::set<std::string> failing;  // calls that fail: "open", "state", "status", ...
  std::vector<std::string> calls;  // "open POST url", "send <body>", "abort", "timeouts ..."
  bool missing = false;      // the factory cannot make a request object
  int made = 0;              // request objects made
};

class ScriptedHttpRequest : public HttpRequest {
 public:
  explicit ScriptedHttpRequest(std::shared_ptr<HttpScript> script) : m_s(std::move(script)) {}

  Error setTimeouts(int a, int b, int c, int d) override {
    log("timeouts " + std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(c) +
        " " + std::to_string(d));
    return fails("timeouts");
  }
  Result<int> readyState() override {
    if (Error e = fails("state"); !e.ok()) return e;
    return m_s->state;
  }
  Error open(const QString& method, const QString& url, bool) override {
    if (Error e = fails("open"); !e.ok()) return e;
    log("open " + method.toStdString() + " " + url.toStdString());
    m_s->state = kOpened;
    return {};
  }
  Error send(const QByteArray& body) override {
    if (Error e = fails("send"); !e.ok()) return e;
    log("send " + body.toStdString());
    m_s->state = kSent;
    return {};
  }
  Result<int> status() override {
    if (Error e = fails("status"); !e.ok()) return e;
    return m_s->status;
  }
  Result<QString> responseText() override {
    if (Error e = fails("text"); !e.ok()) return e;
    return QString::fromUtf8(m_s->body);
  }
  Result<QByteArray> responseBody() override {
    if (Error e = fails("body"); !e.ok()) return e;
    return m_s->body;
  }
  Result<qint64> bytesReceived() override {
    return m_s->received >= 0 ? m_s->received : static_cast<qint64>(m_s->body.size());
  }
  Error abort() override {
    log("abort");
    m_s->state = kUnsent;
    return {};
  }

  // Factory returns a factory making requests on `script`.
  static HttpRequestFactory Factory(std::shared_ptr<HttpScript> script) {
    return [script]() -> std::unique_ptr<HttpRequest> {
      if (script->missing) return nullptr;
      ++script->made;
      return std::make_unique<ScriptedHttpRequest>(script);
    };
  }

 private:
  Error fails(const char* call) const {
    return m_s->failing.count(call) ? MakeError(ErrorKind::BadInput, call) : Error();
  }
  void log(std::string line) { m_s->calls.push_back(std::move(line)); }

  std::shared_ptr<HttpScript> m_s;
};

// HttpScripts is a factory that gives every request object a script of its
// own, in the order they are made.
struct HttpScripts {
  std::vector<std::shared_ptr<HttpScript>> made;
  bool missing = false;  // the factory cannot make a request object
  HttpRequestFactory factory() {
    return [this]() -> std::unique_ptr<HttpRequest> {
      if (missing) return nullptr;
      made.push_back(std::make_shared<HttpScript>());
      return std::make_unique<ScriptedHttpRequest>(made.back());
    };
  }
};

// Complete lets the scripted request finish with `status` and `body`.
inline void Complete(HttpScript& s, int status, const QByteArray& body) {
  s.state = HttpRequest::kCompleted;
  s.status = status;
  s.body = body;
}

}  // namespace tessaly
