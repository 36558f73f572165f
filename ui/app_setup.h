// What every window program sets on its application before the first window exists.
#pragma once

class QApplication;

namespace orvu {

// The application's default font (DefaultFont) and Qt's own texts and formats in Polish: the
// program's texts are Polish whatever the system's locale, so the standard dialogs, buttons and
// context menus must be too. False when Qt's Polish translation is not installed (Qt's texts then stay
// English; nothing else changes).
bool SetUpApplication(QApplication& app);

}  // namespace orvu
