// The update check of the main window: at start it asks the maker's web
// site, through the window's UpDateMe control, whether a newer version
// exists, unless the user turned it off in 选项 (启动时检查新版本); a newer
// version is told in a message box, any failure stays silent. A build made
// without the check (TESSALY_UPDATE_CHECK=OFF) has no control and no item.
#pragma once

#include <QObject>
#include <QString>

class QMenu;
class QWidget;

namespace tessaly {

class Desktop;
class SettingsStore;
class UpDateMe;

class UpdateCheck : public QObject {
  Q_OBJECT

 public:
  // `control` is the window's UpDateMe1, null in a build without the check;
  // `versionUrl` empty means the maker's version file.
  UpdateCheck(QWidget* window, Desktop& desktop, SettingsStore& settings, UpDateMe* control, QString versionUrl);

  // addItem adds 启动时检查新版本 to `options` (not in a build without it).
  void addItem(QMenu* options);
  // start starts the check when the settings allow it.
  void start();
  // notify tells the user that a newer version can be downloaded.
  void notify();

 private:
  QWidget* m_window;
  Desktop& m_desktop;
  SettingsStore& m_settings;
  UpDateMe* m_control;
  QString m_versionUrl;
};

}  // namespace tessaly
