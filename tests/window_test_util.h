// Helpers shared by the window tests.
#pragma once

#include <filesystem>

#include <QAction>
#include <QTemporaryDir>

#include "frm_main.h"
#include "scripted_http_request.h"

namespace tessaly {

// UserFolders is a temporary folder that stands in for the user's data and
// config folders (XDG_DATA_HOME, XDG_CONFIG_HOME) for the whole test
// program: no window test reads or writes the user's own 生词本 or
// settings. Made on first use.
inline const QTemporaryDir& UserFolders() {
  static const QTemporaryDir folders = [] {
    QTemporaryDir dir;
    qputenv("XDG_DATA_HOME", dir.filePath("data").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", dir.filePath("config").toLocal8Bit());
    return dir;
  }();
  return folders;
}

// OfflineServices runs a main window on the bundled data, with an update
// check whose request can never be opened, so no test reaches a network,
// and with settings and a 生词本 in UserFolders().
inline FrmMainServices OfflineServices() {
  // Each window has settings and a 生词本 of its own, so that no test sees
  // another's; a test that needs the user's default files clears these.
  static int windows = 0;
  ++windows;
  FrmMainServices services;
  services.settingsFile = UserFolders().filePath(QStringLiteral("settings-%1.ini").arg(windows));
  services.wordbookFile = UserFolders().filePath(QStringLiteral("wordbook-%1.txt").arg(windows)).toStdString();
  services.dataFile = std::filesystem::path(TESSALY_BIN_DIR) / "cy.dat";
  auto script = std::make_shared<HttpScript>();
  script->failing.insert("open");
  services.http = ScriptedHttpRequest::Factory(script);
  return services;
}

// TriggerMenu clicks the menu item `name` of `window`.
inline void TriggerMenu(QWidget& window, const char* name) {
  for (QAction* a : window.findChildren<QAction*>()) {
    if (a->objectName() == QLatin1String(name)) a->trigger();
  }
}

}  // namespace tessaly
