// File commands of the main window: New, Load, Save, Save as, and the clean-up passes
// that Save runs.
#include "app/tform1.h"

#include "editing/ui/combo_edit.h"
#include "editing/ui/entry_grid.h"
#include "listops/cleanup.h"
#include "platform/file_io.h"
#include "vocab/lut_format.h"

#include <QAction>
#include <QDir>
#include <QSpinBox>

namespace lexanta {

void TForm1::SpeedItem3Click() {
    ClearGrid();
    setSaveEnabled(false);
}

void TForm1::N2Click() {
    if (dialogs_->openFile(this, OpenDialog1))
        LoadDictionary(OpenDialog1.fileName);
}

void TForm1::LoadDictionary(const QString& path) {
    addRecentFile(path);
    // The file is read before the document is dropped, so a file that cannot be opened
    // leaves the open vocabulary as it was.
    std::string bytes;
    const IoResult read = readWholeFile(path, bytes);
    if (!read) {
        dialogs_->messageBox(this, QStringLiteral("File Not Found"), QStringLiteral("Error"),
                             MsgIcon::None, MsgButtons::Ok);
        N2Click();
        return;
    }
    ClearGrid();
    // The table keeps the bytes it was read from, so they are handed over, not copied.
    std::string error;
    if (!readVocabulary(std::move(bytes), doc, &error)) {
        dialogs_->messageBox(
            this,
            QStringLiteral("Cannot load %1:\n%2")
                .arg(QDir::toNativeSeparators(path), QString::fromStdString(error)),
            QStringLiteral("Error"), MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    StringGrid1->setCurrentCell(1, 1);
    if (doc.currentFormat) {
        applyDescription(doc.header);
        // The size box holds the value to its range and runs its change rule only when
        // the shown value changes.
        RxSpinEdit1->setValue(doc.header.fontSize);
    }
    setSaveEnabled(true);
    SaveDialog1.fileName = path;
    setWindowTitleText(QStringLiteral("Lexanta Editor: ") + path);
    for (int field = 0; field < 3; ++field)
        ApplyFieldFont(field);
    Merge1->setEnabled(true);
}

bool TForm1::N4Click() {
    if (Removeblanklines1->isChecked())
        RemoveBlankLines();
    NormalizeCells();
    return saveOrOfferSaveAs();
}

bool TForm1::saveOrOfferSaveAs() {
    if (SaveDictionary())
        return true;
    return lastWriteFailed_ &&
           reportWriteFailure(SaveDialog1.fileName, lastWriteReason_, /*offerSaveAs=*/true);
}

bool TForm1::N3Click() {
    FileDialogState chosen = SaveDialog1;
    if (!dialogs_->saveFile(this, chosen))
        return false;
    const QString previous = SaveDialog1.fileName;
    SaveDialog1.fileName = chosen.fileName;
    SaveDialog1.filterIndex = chosen.filterIndex;
    if (Removeblanklines1->isChecked())
        RemoveBlankLines();
    NormalizeCells();
    if (!SaveDictionary()) {
        // Nothing claims a file that was not written.
        SaveDialog1.fileName = previous;
        if (lastWriteFailed_)
            reportWriteFailure(chosen.fileName, lastWriteReason_, /*offerSaveAs=*/false);
        return false;
    }
    addRecentFile(chosen.fileName);
    setSaveEnabled(true);
    setWindowTitleText(chosen.fileName);
    return true;
}

bool TForm1::SaveDictionary() {
    lastWriteFailed_ = false;
    EntryTable& table = doc.entries;
    if (dropTrailingBlankRow(table))
        refreshBoxesAfterRewrite();
    bool withHeader = doc.currentFormat;
    if (!withHeader) {
        const MsgResult answer = dialogs_->messageBox(
            this,
            QStringLiteral("Old vocabulary version format! Do you wish to save it in the new "
                           "format?"),
            QStringLiteral("Old Version"), MsgIcon::None, MsgButtons::YesNoCancel);
        if (answer == MsgResult::Cancel)
            return false;
        withHeader = answer == MsgResult::Yes;
    }
    collectDescription(doc.header);
    const QString path = SaveDialog1.fileName;
    const IoResult written = writeWholeFile(path, serializeVocabulary(doc, withHeader));
    if (!written) {
        // The caller tells the user, naming the file and the reason.
        lastWriteFailed_ = true;
        lastWriteReason_ = written.reason;
        return false;
    }
    if (withHeader)
        doc.currentFormat = true;
    return true;
}

void TForm1::Merge1Click() {
    if (!dialogs_->openFile(this, OpenDialog1))
        return;
    std::string bytes;
    if (!readWholeFile(OpenDialog1.fileName, bytes)) {
        dialogs_->messageBox(this, QStringLiteral("File Not Found"), QStringLiteral("Error"),
                             MsgIcon::None, MsgButtons::Ok);
        N2Click();
        return;
    }
    // A file without the format line is an old-format file: its entries follow its first
    // line, so none of them is skipped as a header.
    std::string error;
    mergeEntries(bytes, doc.entries, &error);
    if (!error.empty())
        dialogs_->messageBox(
            this,
            QStringLiteral("Cannot merge %1:\n%2")
                .arg(QDir::toNativeSeparators(OpenDialog1.fileName), QString::fromStdString(error)),
            QStringLiteral("Error"), MsgIcon::Error, MsgButtons::Ok);
}

void TForm1::Removeblanklines1Click() {
    // The check mark flips with the action itself; nothing else happens here.
}

void TForm1::RemoveBlankLines() {
    // In Add Words mode the boxes hold the entry being typed: refilling them from the grid
    // would make the next Enter add a copy of an existing entry.
    if (removeBlankLines(doc.entries) > 0)
        refreshBoxesAfterRewrite();
}

void TForm1::NormalizeCells() {
    normalizeCells(doc.entries);
    refreshBoxesAfterRewrite();
}

} // namespace lexanta
