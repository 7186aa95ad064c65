#include "app_version.h"
#include "gui/app/desktop_identity.h"
#include "gui/app/main_window.h"
#include "gui/desktop/xkb_keyboard_layouts.h"
#include "gui/widgets/deferred_style_icon.h"
#include "gui/widgets/qt_dialogs.h"
#include "gui/widgets/system_translations.h"
#include "platform/file_names.h"
#include "platform/named_marker.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

#include <cstdio>
#include <cstring>

namespace {

void describe(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QStringLiteral("Edits vocabularies (.lut files) for the Lexanta flash-card program."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("The vocabulary to open in place of the last one."),
                                 QStringLiteral("[FILE]"));
}

void nameApplication() {
    QCoreApplication::setApplicationName(QString::fromLatin1(lexanta::kApplicationName));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(lexanta::kVersion));
}

// The arguments as the bytes they are: Qt's own list turns bytes that are not UTF-8 into
// U+FFFD, so a file name from an old archive would name another file.
QStringList rawArguments(int argc, char** argv) {
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << lexanta::fileNameFromBytes(argv[i]);
    return args;
}

} // namespace

int main(int argc, char** argv) {
    // --help and --version answer without a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            break;
        for (const char* option : {"-h", "--help", "--help-all", "-v", "--version"}) {
            if (std::strcmp(argv[i], option) != 0)
                continue;
            QCoreApplication core(argc, argv);
            nameApplication();
            QCommandLineParser parser;
            describe(parser);
            parser.parse(rawArguments(argc, argv));
            if (parser.isSet(QStringLiteral("version"))) {
                std::printf("lexanta-editor %s\n", lexanta::kVersion);
                return std::fflush(stdout) == 0 ? 0 : 1;
            }
            parser.showHelp(); // exits
        }
    }

    QApplication app(argc, argv); // takes Qt's own options (-platform, -style, ...) out of argv
    lexanta::deferApplicationStyleIcons();
    nameApplication();
    lexanta::nameDesktopApplicationWithoutIcon();
    // Qt's dialogs and buttons follow the system's language, as the platform's own do.
    lexanta::installSystemTranslations();
    QCommandLineParser parser;
    describe(parser);
    if (!parser.parse(rawArguments(argc, argv)) || parser.positionalArguments().size() > 1) {
        const QString error = parser.errorText().isEmpty()
                                  ? QStringLiteral("at most one file can be opened")
                                  : parser.errorText();
        std::fprintf(stderr,
                     "lexanta-editor: %s\nusage: lexanta-editor [--help] [--version] [FILE]\n",
                     lexanta::fileNameToBytes(error).constData());
        return 2;
    }

    // Tells other processes that an editor runs; a second editor starts normally.
    lexanta::NamedMarker marker(QStringLiteral("LexantaEditorsMutexName"));

    lexanta::QtDialogs dialogs;
    const std::unique_ptr<lexanta::KeyboardLayouts> layouts =
        lexanta::createSystemKeyboardLayouts();
    lexanta::WindowServices services;
    services.dialogs = &dialogs;
    services.keyboardLayouts = layouts.get();
    if (!parser.positionalArguments().isEmpty())
        services.fileToOpen =
            QDir::current().absoluteFilePath(parser.positionalArguments().first());
    lexanta::MainWindow form(services);
    form.show();
    lexanta::setApplicationIconAfterFirstPaint(&form);
    return app.exec();
}
