#include "gui/vocab/file_commands.h"

#include "core/vocab/drill_limits.h"
#include "core/vocab/lut_format.h"
#include "document/document.h"
#include "gui/vocab/recent_files.h"

#include "gui/widgets/named_action.h"
#include "gui/widgets/progress_feedback.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QMenu>
#include <QWidget>

namespace lexanta {

namespace {

const QString kVocabularyFilter = QStringLiteral("Lexanta vocabularies (*.lut)|*.lut");

} // namespace

FileCommands::FileCommands(Document& document, Dialogs& dialogs, QWidget* owner, QObject* parent)
    : QObject(parent), document_(document), dialogs_(dialogs), owner_(owner) {
    openDialog_ = {QString(), kVocabularyFilter, 1, QStringLiteral("lut"), true, false};
    saveDialog_ = {QString(), kVocabularyFilter, 1, QStringLiteral("lut"), false, true};

    new_ = namedAction(this, "New1", QStringLiteral("&New"), QKeySequence(Qt::CTRL | Qt::Key_N));
    open_ = namedAction(this, "N2", QStringLiteral("&Load.."), QKeySequence(Qt::CTRL | Qt::Key_O));
    saveAs_ = namedAction(this, "N3", QStringLiteral("Save &as..."));
    save_ = namedAction(this, "N4", QStringLiteral("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S));
    merge_ = namedAction(this, "Merge1", QStringLiteral("&Merge..."));
    removeBlankLines_ =
        namedAction(this, "Removeblanklines1", QStringLiteral("&Remove blank lines"));
    removeBlankLines_->setCheckable(true);
    recentMenu_ = new QMenu(QStringLiteral("Reload"), owner);
    recentMenu_->setObjectName(QStringLiteral("Reload1"));
    recent_ = new RecentFiles(recentMenu_, this);
    recent_->setObjectName(QStringLiteral("MRUManager1"));

    connect(new_, &QAction::triggered, this, &FileCommands::newVocabulary);
    connect(open_, &QAction::triggered, this, &FileCommands::openFile);
    // Ctrl+S before the vocabulary has a file: Save stays off as the menu shows, and the key
    // asks for a name instead of doing nothing.
    saveUnnamed_ = new QAction(this);
    saveUnnamed_->setObjectName(QStringLiteral("SaveUnnamedKey"));
    saveUnnamed_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    if (owner_)
        owner_->addAction(saveUnnamed_);
    connect(saveUnnamed_, &QAction::triggered, this, &FileCommands::saveAs);
    connect(save_, &QAction::triggered, this, &FileCommands::save);
    connect(saveAs_, &QAction::triggered, this, &FileCommands::saveAs);
    connect(merge_, &QAction::triggered, this, &FileCommands::merge);
    connect(recent_, &RecentFiles::clicked, this, &FileCommands::openRecent);
    connect(&document_, &Document::fileStateChanged, this, &FileCommands::followFileState);
    watcher_ = new QFileSystemWatcher(this);
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, &FileCommands::fileChangedOnDisk);
    followFileState();
}

void FileCommands::followFileState() {
    save_->setEnabled(document_.hasFile());
    saveUnnamed_->setEnabled(!document_.hasFile());
    merge_->setEnabled(document_.canMerge());
    toldOfChange_ = false;
    watchFile();
}

void FileCommands::watchFile() {
    const QStringList watched = watcher_->files();
    const QString file = document_.hasFile() ? document_.fileName() : QString();
    if (watched.size() == 1 && watched.front() == file)
        return;
    if (!watched.isEmpty())
        watcher_->removePaths(watched);
    if (!file.isEmpty() && fileStamp(file).known())
        watcher_->addPath(file);
}

void FileCommands::fileChangedOnDisk() {
    // A file replaced by a rename is watched again under its name.
    watcher_->removePaths(watcher_->files());
    watchFile();
    const FileState& state = document_.fileState();
    if (toldOfChange_ || !state.hasFile || !state.stamp.known() ||
        fileStamp(state.fileName) == state.stamp)
        return; // our own save, or told already
    toldOfChange_ = true;
    emit notice(QStringLiteral("The file was changed by another program since it was opened."));
}

void FileCommands::newVocabulary() {
    document_.newVocabulary();
}

void FileCommands::openFile() {
    if (dialogs_.openFile(owner_, openDialog_))
        loadFile(openDialog_.fileName);
}

void FileCommands::fileNotFound(const QString& name) {
    const QString path = name; // `name` may be the dialog's own file name, which Load changes
    dialogs_.messageBox(owner_,
                        QStringLiteral("File Not Found") + QLatin1Char('\n') +
                            QDir::toNativeSeparators(path),
                        QStringLiteral("Error"), MsgIcon::None, MsgButtons::Ok);
    openFile();
    // A missing file is not the one to open at the next start.
    if (openDialog_.fileName == path)
        openDialog_.fileName.clear();
}

void FileCommands::loadFile(const QString& path, bool remembered) {
    // Only a regular file is looked into first: a pipe or a device would block the read, and
    // is for the load to refuse.
    if (QFile file(path); QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly) &&
                          !looksLikeVocabulary(file.read(64 * 1024).toStdString()) &&
                          dialogs_.messageBox(owner_,
                                              QStringLiteral("%1 does not look like a vocabulary. "
                                                             "Open it anyway?")
                                                  .arg(QDir::toNativeSeparators(path)),
                                              QStringLiteral("Load"), MsgIcon::Question,
                                              MsgButtons::YesNo) != MsgResult::Yes)
        return;
    recent_->add(path);
    // The file is read before the document is dropped, so a file that cannot be read leaves
    // the open vocabulary as it was. A name remembered from earlier may since name a pipe
    // that no one writes to: only a regular file is read then.
    ProgressFeedback feedback(progress_);
    const FileOutcome outcome = document_.load(path, feedback.callback(), remembered);
    if (outcome.kind == FileOutcome::Kind::Unreadable)
        fileNotFound(path);
    else if (!outcome.ok())
        dialogs_.messageBox(owner_, outcome.message(), QStringLiteral("Error"), MsgIcon::Error,
                            MsgButtons::Ok);
}

void FileCommands::openRecent(const QString& path) {
    openDialog_.fileName = path;
    loadFile(path);
}

FormatChoice FileCommands::askOldFormat() {
    const MsgResult answer = dialogs_.messageBox(
        owner_,
        QStringLiteral("Old vocabulary version format! Do you wish to save it in the new "
                       "format?"),
        QStringLiteral("Old Version"), MsgIcon::None, MsgButtons::YesNoCancel);
    switch (answer) {
    case MsgResult::Yes:
        return FormatChoice::Current;
    case MsgResult::No:
        return FormatChoice::Old;
    default:
        return FormatChoice::Cancel;
    }
}

ChangedFileChoice FileCommands::askChangedFile() {
    switch (dialogs_.ask(
        owner_,
        QStringLiteral("The file was changed by another program since it was "
                       "opened. Overwrite it?"),
        QDir::toNativeSeparators(document_.fileName()), MsgIcon::Warning,
        {QStringLiteral("Overwrite"), QStringLiteral("Save As…"), QStringLiteral("Cancel")})) {
    case 0:
        return ChangedFileChoice::Overwrite;
    case 1:
        return ChangedFileChoice::SaveAs;
    default:
        return ChangedFileChoice::Cancel;
    }
}

SaveOptions FileCommands::saveOptions(bool cleanUp, ChangedFileChoice& choice) {
    SaveOptions options;
    options.cleanUp = cleanUp;
    options.removeBlankLines = cleanUp && removeBlankLines_->isChecked();
    options.chooseFormat = [this] { return askOldFormat(); };
    options.confirmChangedFile = [this, &choice] { return choice = askChangedFile(); };
    return options;
}

bool FileCommands::longTextsAccepted() {
    const OverlongTexts found = findOverlongTexts(document_.vocabulary());
    if (found.count == 0)
        return true;
    const MsgResult answer = dialogs_.messageBox(
        owner_,
        QStringLiteral("%1 %2 longer than the drill program reads (%3 characters in an entry, "
                       "%4 in the description); it would read the file out of step from there."
                       "\n\nSave anyway?\nYes: save anyway\nNo: go to the first one")
            .arg(found.count)
            .arg(found.count == 1 ? QStringLiteral("text is") : QStringLiteral("texts are"))
            .arg(kDrillEntryLineLimit)
            .arg(kDrillDescriptionLineLimit),
        QStringLiteral("Long Texts"), MsgIcon::Warning, MsgButtons::YesNoCancel);
    if (answer == MsgResult::No) {
        if (found.inDescription)
            emit showDescription();
        else
            emit showText(found.firstEntry, found.firstField);
    }
    return answer == MsgResult::Yes;
}

bool FileCommands::save() {
    if (!document_.hasFile() || !longTextsAccepted())
        return false;
    ChangedFileChoice choice = ChangedFileChoice::Overwrite;
    const FileOutcome outcome = document_.save(saveOptions(true, choice));
    if (outcome.kind == FileOutcome::Kind::Unwritable)
        return reportWriteFailure(outcome, /*offerSaveAs=*/true);
    if (outcome.kind == FileOutcome::Kind::Cancelled && choice == ChangedFileChoice::SaveAs)
        return saveUnderName();
    return outcome.ok();
}

bool FileCommands::saveAs() {
    return longTextsAccepted() && saveUnderName();
}

bool FileCommands::saveUnderName() {
    FileDialogState chosen = saveDialog_;
    chosen.fileName = document_.fileName();
    if (!dialogs_.saveFile(owner_, chosen))
        return false;
    ChangedFileChoice choice = ChangedFileChoice::Overwrite;
    const FileOutcome outcome = document_.saveAs(chosen.fileName, saveOptions(true, choice));
    if (outcome.kind == FileOutcome::Kind::Unwritable)
        reportWriteFailure(outcome, /*offerSaveAs=*/false);
    if (!outcome.ok())
        return false; // nothing claims a file that was not written
    saveDialog_.filterIndex = chosen.filterIndex;
    recent_->add(chosen.fileName);
    return true;
}

bool FileCommands::saveBeforeClosing() {
    if (!document_.hasFile())
        return saveAs();
    ChangedFileChoice choice = ChangedFileChoice::Overwrite;
    const FileOutcome outcome = document_.save(saveOptions(false, choice));
    if (outcome.kind == FileOutcome::Kind::Unwritable)
        return reportWriteFailure(outcome, /*offerSaveAs=*/true);
    if (outcome.kind == FileOutcome::Kind::Cancelled && choice == ChangedFileChoice::SaveAs)
        return saveAs();
    return outcome.ok();
}

bool FileCommands::reportWriteFailure(const FileOutcome& outcome, bool offerSaveAs) {
    const QString text = QStringLiteral("The vocabulary could not be saved to\n%1\n\n%2\n\nThe "
                                        "file on disk was not changed.")
                             .arg(QDir::toNativeSeparators(outcome.path), outcome.reason);
    if (!offerSaveAs) {
        dialogs_.messageBox(owner_, text, QStringLiteral("Error"), MsgIcon::Error, MsgButtons::Ok);
        return false;
    }
    const MsgResult answer =
        dialogs_.messageBox(owner_, text + QStringLiteral("\n\nSave it under another name?"),
                            QStringLiteral("Error"), MsgIcon::Error, MsgButtons::YesNo);
    return answer == MsgResult::Yes && saveUnderName();
}

void FileCommands::merge() {
    if (!dialogs_.openFile(owner_, openDialog_))
        return;
    // A file without the format line is an old-format file: its entries follow its first
    // line, so none of them is skipped as a header.
    ProgressFeedback feedback(progress_);
    const FileOutcome outcome = document_.merge(openDialog_.fileName, feedback.callback());
    if (outcome.kind == FileOutcome::Kind::Unreadable)
        fileNotFound(openDialog_.fileName);
    else if (!outcome.ok())
        dialogs_.messageBox(owner_, outcome.message(), QStringLiteral("Error"), MsgIcon::Error,
                            MsgButtons::Ok);
}

} // namespace lexanta
