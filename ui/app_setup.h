// What every window program sets on its application before the first window exists.
#pragma once

class QApplication;

namespace orvu {

// The application's default font (DefaultFont) and Qt's own texts and formats in Polish: the
// program's texts are Polish whatever the system's locale, so the standard dialogs, buttons and
// context menus must be too. Where Qt's Polish translation is not installed, Qt's texts stay
// English; nothing else changes.
void SetUpApplication(QApplication& app);

}  // namespace orvu
