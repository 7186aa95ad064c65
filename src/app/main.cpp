#include "app/main_window.h"
#include "platform/named_marker.h"
#include "platform/ui/qt_dialogs.h"
#include "platform/ui/system_translations.h"
#include "platform/x11/xkb_keyboard_layouts.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Редактор словарей"));
    QApplication::setApplicationDisplayName(QString());
    // Qt's dialogs and buttons follow the system's language, as the platform's own do.
    lexanta::installSystemTranslations();
    // Tells other processes that an editor runs; a second editor starts normally.
    lexanta::NamedMarker marker(QStringLiteral("LexantaEditorsMutexName"));

    lexanta::QtDialogs dialogs;
    const std::unique_ptr<lexanta::KeyboardLayouts> layouts =
        lexanta::createSystemKeyboardLayouts();
    lexanta::WindowServices services;
    services.dialogs = &dialogs;
    services.keyboardLayouts = layouts.get();
    lexanta::MainWindow form(services);
    form.show();
    return app.exec();
}
