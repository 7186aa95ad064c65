#include "gui/ui_language/language_commands.h"

#include "core/ui_language/language_tables.h"
#include "gui/ui_language/about_box.h"
#include "gui/widgets/dialogs.h"

#include "gui/widgets/named_action.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

namespace lexanta {

namespace {

const char kHelpPage[] = "Help/editor.html";
// Where `cmake --install` puts it: PREFIX/share/lexanta-editor/help beside PREFIX/bin.
const char kInstalledHelpPage[] = "lexanta-editor/help/editor.html";

// Texts of commands that the settings do not store: they follow the stored ones.
struct UnstoredText {
    const char* control;
    const char* english;
    const char* russian;
};
const UnstoredText kUnstoredTexts[] = {
    {"Undo1", "&Undo", "&Отменить"},
    {"Redo1", "&Redo", "&Повторить"},
    {"Print1", "&Print...", "&Печать..."},
    {"PrintPreview1", "Print Pre&view...", "Пред&варительный просмотр..."},
    {"ExportPdf1", "Export as P&DF...", "Экспорт в P&DF..."},
    {"FindReplace1", "R&eplace...", "За&менить..."},
    {"CheckList1", "&Check list...", "Пр&оверить список..."},
    {"CodePageLabel", "Code page:", "Кодировка:"},
};

} // namespace

LanguageCommands::LanguageCommands(InterfaceTexts& texts, Dialogs& dialogs, QWidget* owner,
                                   const QString& programFolder, QObject* parent)
    : QObject(parent), texts_(texts), dialogs_(dialogs), owner_(owner),
      programFolder_(programFolder) {
    english_ = namedAction(this, "English1", QStringLiteral("English"));
    russian_ = namedAction(this, "RussianMenuItem", QStringLiteral("Русский"));
    help_ = namedAction(this, "Help1", QStringLiteral("&Help"), QKeySequence(Qt::Key_F1));
    about_ = namedAction(this, "N6", QStringLiteral("&About..."));
    aboutBox_ = new AboutBox(owner);
    connect(english_, &QAction::triggered, this,
            [this] { applyLanguage(InterfaceLanguage::English); });
    connect(russian_, &QAction::triggered, this,
            [this] { applyLanguage(InterfaceLanguage::Russian); });
    connect(help_, &QAction::triggered, this, &LanguageCommands::openHelp);
    connect(about_, &QAction::triggered, this, &LanguageCommands::showAbout);
}

void LanguageCommands::applyLanguage(InterfaceLanguage language) {
    for (const InterfaceText& row : interfaceTexts()) {
        const QString control = QString::fromLatin1(row.control);
        const QString text = row.text(language);
        switch (row.kind) {
        case TextKind::Caption:
            texts_.setCaption(control, text);
            break;
        case TextKind::Hint:
            texts_.setHint(control, text);
            break;
        case TextKind::Filter:
            texts_.setFilter(control, text);
            break;
        }
    }
    applyUnstoredTexts(language == InterfaceLanguage::English);
}

bool LanguageCommands::isEnglishInterface() const {
    return texts_.caption(QStringLiteral("N1")) == QStringLiteral("&File");
}

void LanguageCommands::followStoredLanguage() {
    applyUnstoredTexts(isEnglishInterface());
}

void LanguageCommands::applyUnstoredTexts(bool english) {
    for (const UnstoredText& t : kUnstoredTexts)
        texts_.setCaption(QString::fromLatin1(t.control),
                          QString::fromUtf8(english ? t.english : t.russian));
    emit unstoredTextsApplied(english);
}

void LanguageCommands::openHelp() {
    // Beside the program first (a build or a portable copy), then where an installed program
    // keeps its data.
    QString page = programFolder_ + QLatin1String(kHelpPage);
    if (!QFileInfo::exists(page))
        page = QDir::cleanPath(programFolder_ + QStringLiteral("../share/") +
                               QLatin1String(kInstalledHelpPage));
    if (!QFileInfo::exists(page))
        page = QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                      QLatin1String(kInstalledHelpPage));
    if (page.isEmpty()) {
        dialogs_.messageBox(nullptr, QStringLiteral("Can't find Help!"), QStringLiteral("Error"),
                            MsgIcon::None, MsgButtons::Ok);
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(page)))
        dialogs_.messageBox(
            nullptr, QStringLiteral("No program to show the help file was found:\n%1").arg(page),
            QStringLiteral("Error"), MsgIcon::None, MsgButtons::Ok);
}

void LanguageCommands::showAbout() {
    aboutBox_->exec();
}

} // namespace lexanta
