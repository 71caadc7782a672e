// The update check of the main window.
#include "update_check.h"

#include <QAction>
#include <QMenu>

#include "addresses.h"
#include "desktop.h"
#include "settings_store.h"
#include "tessaly_version.h"
#include "update_me.h"

namespace tessaly {

UpdateCheck::UpdateCheck(QWidget* window, Desktop& desktop, SettingsStore& settings, UpDateMe* control,
                         QString versionUrl)
    : QObject(window), m_window(window), m_desktop(desktop), m_settings(settings), m_control(control),
      m_versionUrl(versionUrl.isEmpty() ? VersionFileUrl() : std::move(versionUrl)) {
  if (m_control == nullptr) return;
  connect(m_control, &UpDateMe::ArgumentError, this, [this](const QString& text, const QString& title) {
    m_desktop.showMessage(m_window, text, title, Desktop::Icon::Critical);
  });
}

void UpdateCheck::addItem(QMenu* options) {
  if (m_control == nullptr) return;
  QAction* item = options->addAction(QStringLiteral("启动时检查新版本"));
  item->setObjectName(QStringLiteral("menuUpdateCheck"));
  item->setCheckable(true);
  item->setChecked(m_settings.settings().checkForUpdates);
  connect(item, &QAction::toggled, this, [this](bool on) {
    m_settings.settings().checkForUpdates = on;
    m_settings.save();
  });
}

void UpdateCheck::start() {
  if (m_control != nullptr && m_settings.settings().checkForUpdates) {
    m_control->StartSearch(m_versionUrl, kVersionMajor, kVersionMinor);
  }
}

void UpdateCheck::notify() {
  m_desktop.showMessage(m_window, QStringLiteral("检测到有新版本，请到“主页”下载"), QStringLiteral("更新"),
                        Desktop::Icon::Information);
}

}  // namespace tessaly
