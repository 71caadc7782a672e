// HC: the remote query control.
#include "hc.h"

#include "inet.h"
#include "text.h"

namespace tessaly {

ReplyScreen ScreenTextReply(const QString& resX, QString& cleaned) {
  if (resX.startsWith(QLatin1String("<!DOCTYPE"))) return ReplyScreen::NoServer;
  if (resX.contains(QLatin1String("<b>Warning</b>"))) return ReplyScreen::ServerFault;
  cleaned = RemoveCrLfPairs(resX);
  return ReplyScreen::Accepted;
}

QString RemoveCrLfPairs(const QString& text) {
  return QString::fromStdU16String(
      RemoveCrLfPairs(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size()))));
}

HC::HC(HttpRequestFactory factory, QObject* parent) : QObject(parent), m_factory(std::move(factory)) {
  // Element 0 exists from the start.
  element(0);
}

HC::~HC() = default;

void HC::InitializePost(const QString& address) { hostHttpAddr = address; }

Inet* HC::Inet1(qint16 TaskId) const {
  const auto it = m_elements.find(TaskId);
  return it == m_elements.end() ? nullptr : it->second.inet.get();
}

bool HC::argumentsOk(qint16 TaskId) {
  // The address is checked first, so an empty address is reported even for
  // a negative task number.
  if (hostHttpAddr.isEmpty()) {
    emit ArgumentError(kNoAddress, kErrorTitle);
    return false;
  }
  if (TaskId < 0) {
    emit ArgumentError(kNegativeTask, kErrorTitle);
    return false;
  }
  return true;
}

qint32 HC::extIdOf(qint16 TaskId) const {
  const auto it = m_elements.find(TaskId);
  return it == m_elements.end() ? 0 : it->second.Tag.toInt();
}

HC::Element& HC::element(qint16 TaskId) {
  auto it = m_elements.find(TaskId);
  if (it != m_elements.end()) return it->second;
  Element& e = m_elements[TaskId];
  e.inet = std::make_unique<Inet>(m_factory);
  Inet* inet = e.inet.get();
  connect(inet, &Inet::GetRes, this, [this, TaskId](const QString& resX) {
    const qint32 extId = extIdOf(TaskId);
    QString cleaned;
    switch (ScreenTextReply(resX, cleaned)) {
      case ReplyScreen::NoServer: emit ResponseError(kNoServerPage, TaskId, extId); break;
      case ReplyScreen::ServerFault: emit ResponseError(kServerWarning, TaskId, extId); break;
      case ReplyScreen::Accepted: emit ResponseSuccess(cleaned, TaskId, extId); break;
    }
  });
  connect(inet, &Inet::GetResByteA, this, [this, TaskId](const QByteArray& bytes, qint32 ownerId) {
    emit ResponseSuccess2(bytes, TaskId, extIdOf(TaskId), ownerId);
  });
  connect(inet, &Inet::GetError, this, [this, TaskId](const QString& text) {
    emit ResponseError(text, TaskId, extIdOf(TaskId));
  });
  connect(inet, &Inet::InetBusy, this, [this, TaskId] { emit HCBusy(TaskId); });
  inet->Initialize();
  return e;
}

template <typename Send>
void HC::execute(qint16 TaskId, qint32 extId, Send&& send) {
  if (!argumentsOk(TaskId)) return;
  Element& e = element(TaskId);
  // The element keeps the extId of the query it runs: a query refused as
  // busy must not relabel the running query's result.
  if (send(*e.inet)) e.Tag = QString::number(extId);
}

void HC::ExecuteRemoteQuery(const QString& Query, qint16 TaskId, qint32 extId, qint32 resType,
                            qint32 OwnerID) {
  execute(TaskId, extId, [&](Inet& inet) {
    return inet.Execute(hostHttpAddr, Query, resType, OwnerID);
  });
}

void HC::ExecuteRemoteQuery2(const QByteArray& QueryCC, qint16 TaskId, qint32 extId,
                             qint32 resType, qint32 OwnerID) {
  execute(TaskId, extId, [&](Inet& inet) {
    return inet.Execute2(hostHttpAddr, QueryCC, resType, OwnerID);
  });
}

}  // namespace tessaly
