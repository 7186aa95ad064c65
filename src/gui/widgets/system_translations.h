#pragma once

#include <QList>
#include <QLocale>

class QTranslator;

namespace lexanta {

// The platform's dialogs speak the system's language: Qt's own texts (file dialogs, Yes, No,
// Cancel, OK, ...) from Qt's translations, and our stand-ins for the platform's find and font
// dialogs from their own table. The program's own texts follow its text tables and are not
// touched. Returns the translators installed, children of the application (deleting one
// uninstalls it); none for English or a language without translations.
QList<QTranslator*> installSystemTranslations(const QLocale& locale = QLocale::system());

} // namespace lexanta
