// Qt's own texts in the language of the interface.
#pragma once

#include <QString>

class QTranslator;

namespace tessaly {

// InstallQtTranslations makes the texts Qt draws itself (the standard
// buttons such as OK, the message box's details button, the text boxes'
// context menus) Simplified Chinese like the rest of the interface, from
// Qt's catalogue "qtbase_zh_CN" in `folder`, by default Qt's translations
// folder. Returns the installed translator, owned by the application, or
// null when the catalogue cannot be loaded; Qt's texts then stay as they
// were and nothing is said. Needs the application object.
QTranslator* InstallQtTranslations(const QString& folder = {});

}  // namespace tessaly
