// HC: queries to one server address, each under a task number on an Inet of
// its own, with text replies screened for failed server pages.
//
//   HC hc;
//   connect(&hc, &HC::ResponseSuccess, ...);
//   hc.InitializePost("http://host/ver.ini");
//   hc.ExecuteRemoteQuery("", 1);
#pragma once

#include <map>
#include <memory>

#include <QObject>

#include "http_request.h"

namespace tessaly {

class Inet;

// What the screening of a text reply found.
enum class ReplyScreen {
  Accepted,     // a reply to hand on, with its CR LF pairs removed
  NoServer,     // a web page starting with "<!DOCTYPE": no server behind the address
  ServerFault,  // a page carrying "<b>Warning</b>": the server script failed
};

// ScreenTextReply screens `resX`; for an accepted reply `cleaned` receives
// it with every CR LF pair removed (a lone CR or LF stays).
ReplyScreen ScreenTextReply(const QString& resX, QString& cleaned);

// RemoveCrLfPairs is the text helper of the same name (text.h) for QString.
QString RemoveCrLfPairs(const QString& text);

class HC : public QObject {
  Q_OBJECT

 public:
  static inline const QString kNoServerPage = QStringLiteral("未连接到服务器！请检查服务器设置");
  static inline const QString kServerWarning = QStringLiteral("服务器操作异常！");
  static inline const QString kNoAddress = QStringLiteral("服务器地址未设置！");
  static inline const QString kNegativeTask = QStringLiteral("TaskID 不能为负！");
  static inline const QString kErrorTitle = QStringLiteral("错误");

  // `factory` makes the request objects of the Inet elements.
  explicit HC(HttpRequestFactory factory = {}, QObject* parent = nullptr);
  ~HC() override;

  void InitializePost(const QString& hostHttpAddr);
  void ExecuteRemoteQuery(const QString& Query, qint16 TaskId, qint32 extId = 0,
                          qint32 resType = 0, qint32 OwnerID = 0);
  void ExecuteRemoteQuery2(const QByteArray& QueryCC, qint16 TaskId, qint32 extId = 0,
                           qint32 resType = 0, qint32 OwnerID = 0);

  // Inet1 returns the element of a task number, or null before its first use.
  Inet* Inet1(qint16 TaskId) const;
  int elementCount() const { return static_cast<int>(m_elements.size()); }

 signals:
  void ResponseSuccess(const QString& res, qint16 TaskId, qint32 extId);
  void ResponseError(const QString& ErrString, qint16 TaskId, qint32 extId);
  void ResponseSuccess2(const QByteArray& byteCC, qint16 TaskId, qint32 extId, qint32 OwnerID);
  void HCBusy(qint16 TaskId);
  // ArgumentError: a query was refused before it was sent (no address, a
  // negative task number); the owner shows `text` under `title` to the
  // user, as an error message.
  void ArgumentError(const QString& text, const QString& title);

 private:
  struct Element {
    std::unique_ptr<Inet> inet;
    QString Tag;  // extId of the query the element runs, as decimal text
  };

  bool argumentsOk(qint16 TaskId);
  Element& element(qint16 TaskId);
  qint32 extIdOf(qint16 TaskId) const;
  template <typename Send>
  void execute(qint16 TaskId, qint32 extId, Send&& send);

  HttpRequestFactory m_factory;
  QString hostHttpAddr;
  std::map<qint16, Element> m_elements;
};

}  // namespace tessaly
