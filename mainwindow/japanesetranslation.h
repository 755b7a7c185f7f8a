#pragma once

class QCoreApplication;

// Loads Qt's own Japanese translation (qtbase_ja) from Qt's translations
// folder and installs it in app, whatever the user's locale, so the buttons
// and texts Qt draws itself (message boxes, file dialogs, line-edit menus)
// speak Japanese like the rest of the window. The translator is parented to
// app and lives as long as it. Returns false when the translation is not
// installed on this machine; the program then runs with Qt's English texts.
bool installJapaneseTranslation(QCoreApplication &app);
