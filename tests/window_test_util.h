// Helpers shared by the window tests.
#pragma once

#include <filesystem>

#include <QAction>

#include "frm_main.h"
#include "scripted_http_request.h"

namespace tessaly {

// OfflineServices runs a main window on the bundled data, with an update
// check whose request can never be opened, so no test reaches a network.
inline FrmMainServices OfflineServices() {
  FrmMainServices services;
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
