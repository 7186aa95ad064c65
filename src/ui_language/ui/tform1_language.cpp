// Interface language, help and the About box of the main window.
#include "app/control_texts.h"
#include "app/speed_bar.h"
#include "app/tform1.h"
#include "ui_language/language_tables.h"
#include "ui_language/ui/about_box.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QStandardPaths>
#include <QToolButton>
#include <QUrl>

namespace lexanta {

namespace {

const char kHelpPage[] = "Help/editor.html";
// Where `cmake --install` puts it: PREFIX/share/lexanta-editor/help beside PREFIX/bin.
const char kInstalledHelpPage[] = "lexanta-editor/help/editor.html";

void applyLanguage(TForm1& form, InterfaceLanguage language) {
    for (const InterfaceText& row : interfaceTexts()) {
        const QString control = QString::fromLatin1(row.control);
        const QString text = row.text(language);
        switch (row.kind) {
        case TextKind::Caption:
            setControlCaption(form, control, text);
            break;
        case TextKind::Hint:
            setControlHint(form, control, text);
            break;
        case TextKind::Filter: {
            FileDialogState* dialogs[] = {&form.OpenDialog1, &form.SaveDialog1, &form.OpenDialog2,
                                          &form.SaveDialog2};
            const char* names[] = {"OpenDialog1", "SaveDialog1", "OpenDialog2", "SaveDialog2"};
            for (int i = 0; i < 4; ++i)
                if (control == QLatin1String(names[i]))
                    dialogs[i]->filter = text;
            break;
        }
        }
    }
}

} // namespace

void TForm1::connectLanguage() {
    OKRightDlg = new TOKRightDlg(this);
    connect(English1, &QAction::triggered, this, [this] { English1Click(); });
    connect(RussianMenuItem, &QAction::triggered, this, [this] { RussianMenuItemClick(); });
    connect(Help1, &QAction::triggered, this, [this] { Help1Click(); });
    connect(N6, &QAction::triggered, this, [this] { N6Click(); });
    connect(SpeedItemHelp, &QToolButton::clicked, this, [this] { SpeedItemHelpClick(); });
}

void TForm1::English1Click() {
    applyLanguage(*this, InterfaceLanguage::English);
}

void TForm1::RussianMenuItemClick() {
    applyLanguage(*this, InterfaceLanguage::Russian);
}

void TForm1::Help1Click() {
    // Beside the program first (a build or a portable copy), then where an installed
    // program keeps its data.
    QString page = ProgramFolder + QLatin1String(kHelpPage);
    if (!QFileInfo::exists(page))
        page = QDir::cleanPath(ProgramFolder + QStringLiteral("../share/") +
                               QLatin1String(kInstalledHelpPage));
    if (!QFileInfo::exists(page))
        page = QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                      QLatin1String(kInstalledHelpPage));
    if (page.isEmpty()) {
        dialogs().messageBox(nullptr, QStringLiteral("Can't find Help!"), QStringLiteral("Error"),
                             MsgIcon::None, MsgButtons::Ok);
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(page)))
        dialogs().messageBox(
            nullptr, QStringLiteral("No program to show the help file was found:\n%1").arg(page),
            QStringLiteral("Error"), MsgIcon::None, MsgButtons::Ok);
}

void TForm1::N6Click() {
    OKRightDlg->exec();
}

void TForm1::SpeedItemHelpClick() {
    OKRightDlg->exec();
}

} // namespace lexanta
