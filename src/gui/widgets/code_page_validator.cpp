#include "gui/widgets/code_page_validator.h"

#include "platform/codepage.h"

#include <QStringList>
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

QString shownCharacters(const QString& characters) {
    QStringList shown;
    for (const char32_t c : characters.toUcs4()) {
        const QString text = QStringView(QChar::fromUcs4(c)).toString();
        const auto category = QChar::category(c);
        const bool invisible = category == QChar::Other_Format ||
                               category == QChar::Other_Control || QChar::isSpace(c) ||
                               category == QChar::Mark_NonSpacing;
        shown << (invisible ? QStringLiteral("U+%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper()
                            : text);
    }
    return shown.join(QLatin1Char(' '));
}

} // namespace lexanta
