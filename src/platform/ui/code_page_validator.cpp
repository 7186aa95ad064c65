#include "platform/ui/code_page_validator.h"

#include "platform/codepage.h"

#include <QWidget>

namespace lexanta {

CodePageValidator::CodePageValidator(std::function<int()> charset, QWidget* box)
    : QValidator(box), charset_(std::move(charset)), box_(box) {}

QValidator::State CodePageValidator::validate(QString& input, int& pos) const {
    (void)pos;
    const EncodeResult encoded = CodePage::forCharset(charset_()).encode(input);
    if (encoded.ok())
        return Acceptable;
    if (box_->hasFocus())
        emit refused(encoded.unencodable);
    return Invalid;
}

} // namespace lexanta
