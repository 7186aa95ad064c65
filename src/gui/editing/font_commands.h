#pragma once

// The field fonts and the font size as the window shows them: the font dialogs of the three
// fields, the size box, and the fonts of the grid, the input boxes, the layout test boxes and
// the sample labels.

#include "core/vocab/entry.h"
#include "platform/font_description.h"

#include <QHash>
#include <QObject>

#include <array>

class QLabel;
class QLineEdit;
class QSpinBox;
class QWidget;

namespace lexanta {

class ComboEdit;
class Dialogs;
class Document;
class EntryGrid;

struct FontControls {
    EntryGrid* grid = nullptr;
    std::array<ComboEdit*, kShownFields> boxes{};
    std::array<QLineEdit*, kShownFields> testBoxes{};
    std::array<QLabel*, kShownFields> samples{};
    QSpinBox* sizeBox = nullptr;
};

class FontCommands : public QObject {
    Q_OBJECT

public:
    FontCommands(Document& document, Dialogs& dialogs, QWidget* owner, const FontControls& controls,
                 QObject* parent = nullptr);

    // Opens the field's font dialog; a chosen font becomes the field font.
    void chooseFont(int field);
    // Copies the field font to its input box (at 10 points), test box and sample (12 points).
    void applyFieldFont(int field);
    // The grid's own font, shown by its in-place editor: the font of the field last selected.
    void selectField(int field);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void followHeader();
    void applyGridFont();
    // The font, and the colour as the file stores it, made readable on the widget's
    // background in the window's colour scheme.
    void showFont(QWidget* widget, const QFont& font, std::int32_t color);

    Document& document_;
    Dialogs& dialogs_;
    QWidget* owner_;
    FontControls c_;
    FieldFont gridFont_;
    int selectedField_ = -1; // the field whose cell was selected last; none at start
    std::array<FieldFont, kShownFields> shownFonts_; // the field fonts the window last followed
    int shownSize_;
    QHash<QWidget*, std::int32_t> shownColors_; // the file colours the widgets show
};

} // namespace lexanta
