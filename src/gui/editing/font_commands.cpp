#include "gui/editing/font_commands.h"

#include "document/document.h"
#include "gui/editing/combo_edit.h"
#include "gui/editing/entry_grid.h"
#include "gui/widgets/dialogs.h"
#include "gui/widgets/display_colors.h"
#include "gui/widgets/field_fonts.h"
#include "platform/charset_coverage.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>

namespace lexanta {

namespace {

// Equal as the window shows them apart from the size, which the size box sets for all.
bool sameButSize(FieldFont a, const FieldFont& b) {
    a.pointSize = b.pointSize;
    return a == b;
}

const char* const kFieldTexts[] = {"questions", "answers", "comments"};

} // namespace

FontCommands::FontCommands(Document& document, Dialogs& dialogs, QWidget* owner,
                           const FontControls& controls, QObject* parent)
    : QObject(parent), document_(document), dialogs_(dialogs), owner_(owner), c_(controls),
      shownFonts_(document.header().fonts), shownSize_(document.header().fontSize) {
    installFontSubstitutions();
    // The grid's own font until a cell is selected.
    gridFont_ = FieldFont{"MS Sans Serif", 10,    kColorWindowText, false, false,
                          false,           false, kCharsetDefault};
    applyGridFont();

    // The input boxes: design fonts until a vocabulary's fonts are applied.
    QFont boxFont(QStringLiteral("MS Sans Serif"));
    boxFont.setPointSize(10);
    boxFont.setBold(true);
    showFont(c_.boxes[kQuestion], boxFont, kColorNavy);
    showFont(c_.boxes[kAnswer], boxFont, kColorNavy);
    boxFont.setFamily(QStringLiteral("PhoneticTM"));
    showFont(c_.boxes[kComment], boxFont, kColorNavy);
    // A colour scheme changed while the editor runs: the field colours are resolved against
    // it anew, once every widget has taken the new palette.
    owner_->installEventFilter(this);

    c_.sizeBox->setValue(shownSize_);
    // valueChanged comes only when the shown value really changes.
    connect(c_.sizeBox, &QSpinBox::valueChanged, this,
            [this](int size) { document_.setFontSize(size); });
    for (int field = 0; field < kShownFields; ++field)
        connect(c_.boxes[static_cast<std::size_t>(field)], &ComboEdit::buttonClicked, this,
                [this, field] { chooseFont(field); });
    connect(&document_, &Document::headerChanged, this, &FontCommands::followHeader);
    connect(&document_, &Document::replaced, this, [this] {
        for (int field = 0; field < kShownFields; ++field)
            applyFieldFont(field);
    });
}

void FontCommands::chooseFont(int field) {
    FieldFont chosen = document_.font(field);
    if (!dialogs_.chooseFont(owner_, chosen))
        return;
    FieldTexts texts = FieldTexts::KeepBytes;
    if (chosen.charset != document_.font(field).charset) {
        // Texts that read differently under the new code page are converted only when asked:
        // a file whose script was set wrongly wants its bytes kept.
        const FieldRecoding plan = document_.planCharsetChange(field, chosen.charset);
        if (plan.needed()) {
            QString text =
                QStringLiteral("The %1 read differently in the %2 character set.\n\n"
                               "Convert the texts to the new character set?\n"
                               "Yes: Convert the texts to the new character set\n"
                               "No: Keep the bytes as they are")
                    .arg(QString::fromLatin1(kFieldTexts[field]), scriptName(chosen.charset));
            if (!plan.kept.empty())
                text += QStringLiteral("\n\nThe new character set lacks %1; entries %2 would "
                                       "keep their bytes.")
                            .arg(describeCharacters(plan.unheld), entryNumbers(plan.kept));
            switch (dialogs_.messageBox(owner_, text, QStringLiteral("Character Set"),
                                        MsgIcon::Question, MsgButtons::YesNoCancel)) {
            case MsgResult::Yes:
                texts = FieldTexts::Convert;
                break;
            case MsgResult::No:
                break;
            default:
                return;
            }
        }
    }
    document_.setFont(field, chosen, texts);
    applyFieldFont(field);
}

void FontCommands::applyFieldFont(int field) {
    const auto f = static_cast<std::size_t>(field);
    const FieldFont& font = document_.font(field);
    ComboEdit* box = c_.boxes[f];
    const QFont qfont = toQFont(font);
    box->setShownCharset(font.charset);
    showFont(box, qfont, font.color);
    showFont(c_.testBoxes[f], box->font(), font.color);
    showFont(c_.samples[f], qfont, font.color);
    QFont boxFont = box->font();
    boxFont.setPointSize(10);
    box->setFont(boxFont);
    QFont sampleFont = c_.samples[f]->font();
    sampleFont.setPointSize(12);
    c_.samples[f]->setFont(sampleFont);
    shownFonts_[f] = font;
}

void FontCommands::selectField(int field) {
    selectedField_ = field;
    gridFont_ = document_.font(field);
    applyGridFont();
}

void FontCommands::followHeader() {
    const VocabularyHeader& h = document_.header();
    if (c_.sizeBox->value() != h.fontSize) {
        const QSignalBlocker quiet(c_.sizeBox);
        c_.sizeBox->setValue(h.fontSize);
    }
    if (h.fontSize != shownSize_) {
        // The size rule: rows twice the size high, the grid's own font at the size.
        shownSize_ = h.fontSize;
        c_.grid->setDefaultRowHeight(2 * shownSize_);
        gridFont_.pointSize = shownSize_;
        applyGridFont();
    }
    const auto& fonts = h.fonts;
    if (sameButSize(fonts[kQuestion], shownFonts_[kAnswer]) &&
        sameButSize(fonts[kAnswer], shownFonts_[kQuestion]) &&
        !sameButSize(fonts[kQuestion], fonts[kAnswer])) {
        // Questions and answers changed places: their boxes take the fonts whole, at the
        // fonts' own sizes; test boxes and samples stay.
        for (int field : {kQuestion, kAnswer}) {
            const FieldFont& font = fonts[field];
            ComboEdit* box = c_.boxes[static_cast<std::size_t>(field)];
            box->setShownCharset(font.charset);
            showFont(box, toQFont(font), font.color);
        }
        // The current cell's column has a new font; the in-place editor shows it at once.
        if (selectedField_ == kQuestion || selectedField_ == kAnswer) {
            gridFont_ = fonts[static_cast<std::size_t>(selectedField_)];
            applyGridFont();
        }
        shownFonts_ = fonts;
    } else {
        for (int field = 0; field < kShownFields; ++field)
            if (!sameButSize(fonts[field], shownFonts_[field]))
                applyFieldFont(field);
    }
    shownFonts_ = fonts;
    c_.grid->viewport()->update();
}

void FontCommands::applyGridFont() {
    const QFont font = toQFont(gridFont_);
    if (c_.grid->font() == font && c_.grid->gridColor() == gridFont_.color)
        return;
    c_.grid->setGridFont(font, gridFont_.color);
}

void FontCommands::showFont(QWidget* widget, const QFont& font, std::int32_t color) {
    shownColors_[widget] = color;
    setWidgetFont(widget, font, fieldTextColor(color, owner_->palette(), widget->backgroundRole()));
}

bool FontCommands::eventFilter(QObject* watched, QEvent* event) {
    // The window took a new colour scheme; its children take it next, keeping the text
    // colours set here, which are resolved against the window's new palette.
    if (watched == owner_ && event->type() == QEvent::PaletteChange)
        for (auto it = shownColors_.cbegin(); it != shownColors_.cend(); ++it)
            showFont(it.key(), it.key()->font(), it.value());
    return false;
}

} // namespace lexanta
