// Text interchange commands of the main window: Import, Special Import, Export.
#include "app/tform1.h"

#include "editing/ui/entry_grid.h"
#include "interchange/special_import.h"
#include "interchange/text_export.h"
#include "interchange/text_import.h"
#include "listops/cleanup.h"
#include "platform/codepage.h"
#include "platform/file_io.h"

#include <QAction>
#include <QDir>

namespace lexanta {

void TForm1::connectInterchange() {
    connect(Import1, &QAction::triggered, this, [this] { Import1Click(); });
    connect(SpecialImport1, &QAction::triggered, this, [this] { SpecialImport1Click(); });
    connect(Export1, &QAction::triggered, this, [this] { Export1Click(); });
}

void TForm1::Import1Click() {
    if (!dialogs_->openFile(this, OpenDialog2))
        return;
    const QString path = OpenDialog2.fileName;
    const std::optional<ImportFormat> format = importFormatForFilterIndex(OpenDialog2.filterIndex);
    if (!format)
        return;
    // Read and convert first: a file that cannot be read, or whose characters the columns
    // cannot hold, leaves the open vocabulary as it was.
    std::string bytes;
    const IoResult read = readWholeFile(path, bytes);
    if (!read) {
        dialogs_->messageBox(
            this,
            QStringLiteral("Cannot open %1:\n%2").arg(QDir::toNativeSeparators(path), read.reason),
            QStringLiteral("Error"), MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    std::array<int, 3> codePages{};
    for (int field = 0; field < 3; ++field)
        codePages[field] = codePageForCharset(doc.header.fonts[field].charset);
    EntryTable imported;
    const ImportResult result = importText(bytes, *format, codePages, imported);
    if (!result.ok()) {
        dialogs_->messageBox(this, describeImportProblems(result, path), QStringLiteral("Error"),
                             MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    setSaveEnabled(false);
    ClearGrid();
    doc.entries.swapContents(imported);
    StringGrid1->setCurrentCell(1, 1);
    Merge1->setEnabled(true);
    NormalizeCells();
}

void TForm1::SpecialImport1Click() {
    if (!dialogs_->openFile(this, OpenDialog1))
        return;
    std::string bytes;
    const IoResult read = readWholeFile(OpenDialog1.fileName, bytes);
    if (!read) {
        dialogs_->messageBox(this,
                             QStringLiteral("Cannot open %1:\n%2")
                                 .arg(QDir::toNativeSeparators(OpenDialog1.fileName), read.reason),
                             QStringLiteral("Error"), MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    fillFromVocabulary(doc.entries, bytes);
    refreshBoxesAfterRewrite();
}

void TForm1::Export1Click() {
    if (!dialogs_->saveFile(this, SaveDialog2))
        return;
    std::string bytes;
    if (SaveDialog2.filterIndex == static_cast<int>(ExportFormat::TabDelimited)) {
        bytes = exportTabDelimited(doc.entries);
    } else if (SaveDialog2.filterIndex == static_cast<int>(ExportFormat::Html)) {
        VocabularyHeader header = doc.header;
        collectDescription(header);
        bytes = exportHtml(doc.entries, header.title, header.fonts);
    } else {
        return;
    }
    const IoResult written = writeWholeFile(SaveDialog2.fileName, bytes);
    if (!written)
        dialogs_->messageBox(this,
                             QStringLiteral("Cannot write %1:\n%2")
                                 .arg(QDir::toNativeSeparators(written.path), written.reason),
                             QStringLiteral("Error"), MsgIcon::Error, MsgButtons::Ok);
}

} // namespace lexanta
