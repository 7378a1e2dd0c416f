#pragma once
// Qt's own texts (file dialogs, message box buttons, context menus) in Russian, like the rest of
// the interface.
class QCoreApplication;

namespace zorvan {

// Loads Qt's Russian translation into the application; false when it is not installed (the
// standard dialogs then stay in English).
bool InstallRussianTranslation(QCoreApplication& app);

}  // namespace zorvan
