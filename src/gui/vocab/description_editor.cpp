#include "gui/vocab/description_editor.h"

#include "document/document.h"
#include "gui/widgets/code_page_validator.h"
#include "platform/codepage.h"

#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QToolTip>

namespace lexanta {

DescriptionEditor::DescriptionEditor(Document& document, const DescriptionControls& c,
                                     std::function<void(const QString&)> showStatus,
                                     QObject* parent)
    : QObject(parent), document_(document), showStatus_(std::move(showStatus)) {
    edits_ = {c.questionsLanguage->lineEdit(), c.answersLanguage->lineEdit(), c.title, c.author,
              c.date};
    for (int field = 0; field < 5; ++field) {
        QLineEdit* edit = edits_[static_cast<std::size_t>(field)];
        // The description is stored in the system code page: what it cannot hold is refused
        // with a message, never replaced.
        auto* validator = new CodePageValidator([] { return kCharsetDefault; }, edit);
        edit->setValidator(validator);
        connect(validator, &CodePageValidator::refused, this, [this, edit](const QString& chars) {
            const QString message =
                QStringLiteral("The vocabulary description is kept in code page %1, which "
                               "cannot hold %2; the text was not changed.")
                    .arg(systemAnsiCodePage())
                    .arg(shownCharacters(chars));
            showStatus_(message);
            if (edit->isVisible())
                QToolTip::showText(edit->mapToGlobal(QPoint(0, edit->height())), message, edit);
        });
        connect(edit, &QLineEdit::textChanged, this, [this, field] { edited(field); });
        edit->installEventFilter(this);
    }
    connect(&document_, &Document::headerChanged, this, &DescriptionEditor::showDocument);
    showDocument();
}

bool DescriptionEditor::eventFilter(QObject*, QEvent* event) {
    // Each visit of a box is one undo step however many keys are typed.
    if (event->type() == QEvent::FocusIn)
        ++visit_;
    return false;
}

void DescriptionEditor::edited(int field) {
    if (showing_)
        return;
    EncodeResult encoded =
        CodePage::get(systemAnsiCodePage()).encode(edits_[static_cast<std::size_t>(field)]->text());
    if (!encoded.ok())
        return; // the validator refused it
    const auto which = static_cast<DescriptionField>(field);
    // A box that shows what the document holds keeps its exact bytes.
    if (CodePage::get(systemAnsiCodePage()).decode(document_.description(which)) ==
        edits_[static_cast<std::size_t>(field)]->text())
        return;
    document_.setDescription(which, encoded.bytes, (visit_ << 3) | static_cast<quint64>(field));
}

void DescriptionEditor::showDocument() {
    const CodePage& page = CodePage::get(systemAnsiCodePage());
    showing_ = true;
    for (int field = 0; field < 5; ++field) {
        QLineEdit* edit = edits_[static_cast<std::size_t>(field)];
        const QString text =
            page.decode(document_.description(static_cast<DescriptionField>(field)));
        if (edit->text() != text)
            edit->setText(text);
    }
    showing_ = false;
}

} // namespace lexanta
