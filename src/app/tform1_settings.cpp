// Settings files and the recent-file list of the main window.
#include "app/form_settings.h"
#include "app/mru_manager.h"
#include "app/speed_bar.h"
#include "app/tform1.h"

#include <QApplication>
#include <QMenu>

namespace lexanta {

void TForm1::connectSettings() {
    MRUManager1 = new MruManager(Reload1, this);
    MRUManager1->setObjectName(QStringLiteral("MRUManager1"));
    connect(MRUManager1, &MruManager::clicked, this,
            [this](const QString& path) { MRUManager1Click(path); });
    settings = new FormSettings(*this, configFolder_, this);
    settings->setObjectName(QStringLiteral("FormStorage1"));
    connect(SpeedBar1, &SpeedBar::doubleClicked, this, [this] { SpeedBar1DblClick(); });
    // A window that goes away without an allowed close (the application quitting under
    // it) still keeps its settings, marked as saved while being destroyed.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (settings->restored() && !settings->saved())
            settings->save(true);
    });
}

void TForm1::restoreSettingsOnFirstShow() {
    settings->restoreStorage();
    if (!fileToOpen_.isEmpty())
        OpenDialog1.fileName = fileToOpen_;
    FormStorage1RestorePlacement();
    settings->restorePlacement();
    // Restoring the placement replaced the recent list that the load had added to.
    if (!fileToOpen_.isEmpty())
        addRecentFile(fileToOpen_);
}

void TForm1::FormStorage1RestorePlacement() {
    if (!OpenDialog1.fileName.isEmpty())
        LoadDictionary(OpenDialog1.fileName);
}

void TForm1::saveSettingsOnClose() {
    // A window that never read its settings must not overwrite them with design values.
    if (!settings->restored() || settings->saved())
        return;
    const QString failures = settings->save();
    if (!failures.isEmpty())
        dialogs_->messageBox(this,
                             QStringLiteral("The settings could not be saved.\n\n") + failures,
                             QStringLiteral("Error"), MsgIcon::Error, MsgButtons::Ok);
}

void TForm1::addRecentFile(const QString& path) {
    MRUManager1->add(path);
}

void TForm1::MRUManager1Click(const QString& path) {
    OpenDialog1.fileName = path;
    LoadDictionary(path);
}

void TForm1::SpeedBar1DblClick() {
    SpeedBar1->customize();
}

} // namespace lexanta
