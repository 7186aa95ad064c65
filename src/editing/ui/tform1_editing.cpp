// Entry editing handlers of the main window: grid selection, input line, fonts, layouts.
#include "app/tform1.h"

#include "editing/ui/combo_edit.h"
#include "editing/ui/entry_grid.h"
#include "editing/ui/entry_grid_model.h"
#include "platform/codepage.h"

#include <QToolButton>

namespace lexanta {

void TForm1::connectEditing() {
    connect(StringGrid1, &EntryGrid::selectCell, this,
            [this](int column, int row) { StringGrid1SelectCell(column, row); });
}

void TForm1::StringGrid1SelectCell(int column, int row) {
    (void)column;
    EditMode = true;
    SpeedItem1->setChecked(true);
    loadBoxesFromRow(row);
}

void TForm1::loadBoxesFromRow(int row) {
    ComboEdit* boxes[] = {ComboEdit1, ComboEdit2, ComboEdit3};
    for (int i = 0; i < 3; ++i)
        boxes[i]->setText(
            CodePage::forCharset(doc.header.fonts[i].charset).decode(doc.entries.cell(i + 1, row)));
}

void TForm1::refreshBoxesAfterRewrite() {
    if (EditMode)
        loadBoxesFromRow(StringGrid1->Row());
}

void TForm1::ApplyFieldFont(int field) { (void)field; }

} // namespace lexanta
