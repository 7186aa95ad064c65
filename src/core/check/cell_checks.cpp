#include "core/check/cell_checks.h"

#include "core/check/check_types.h"
#include "platform/codepage.h"

namespace lexanta {

namespace {

bool isBlankByte(unsigned char c) {
    return c == ' ';
}
bool isControlByte(unsigned char c) {
    return c < 32 || c == 127;
}

bool isWordLetter(QChar c) {
    return c.isLetter() || c.isMark();
}

bool isApostrophe(QChar c) {
    return c == QLatin1Char('\'') || c == QChar(0x2019);
}

} // namespace

int blankFlags(std::string_view cell) {
    int flags = 0;
    if (cell.empty())
        return 0;
    const auto blankOrControl = [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return isBlankByte(u) || isControlByte(u);
    };
    if (blankOrControl(cell.front()))
        flags |= kLeadingBlank;
    if (blankOrControl(cell.back()))
        flags |= kTrailingBlank;
    for (std::size_t i = 0; i < cell.size(); ++i) {
        const auto c = static_cast<unsigned char>(cell[i]);
        if (isControlByte(c))
            flags |= kControlCharacter;
        else if (c == ' ' && i + 1 < cell.size() && cell[i + 1] == ' ')
            flags |= kDoubledBlank;
    }
    return flags;
}

std::string tidyBlanks(std::string_view cell) {
    std::string out;
    out.reserve(cell.size());
    for (const char ch : cell) {
        const auto c = static_cast<unsigned char>(ch);
        if (isBlankByte(c) || isControlByte(c)) {
            if (!out.empty() && out.back() != ' ')
                out.push_back(' ');
        } else {
            out.push_back(ch);
        }
    }
    if (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

bool isUndefinedCharacter(char32_t c) {
    return (c >= 0x80 && c <= 0x9F) || (c >= 0xE000 && c <= 0xF8FF) || c >= 0xF0000;
}

int firstUndefinedByte(std::string_view cell, const CodePage& page) {
    if (std::all_of(cell.begin(), cell.end(), [](char c) { return (c & 0x80) == 0; }))
        return -1;
    const QString text = page.decode(cell);
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text.at(i).unicode();
        qsizetype width = 1;
        if (text.at(i).isHighSurrogate() && i + 1 < text.size()) {
            c = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            width = 2;
        }
        if (isUndefinedCharacter(c)) {
            const std::string bytes = page.encode(text.mid(i, width)).bytes;
            return bytes.empty() ? -1 : static_cast<unsigned char>(bytes.front());
        }
        i += width - 1;
    }
    return -1;
}

int highLettersOfScript(const QString& decoded, QChar::Script script) {
    // ASCII reads the same in every page.
    int count = 0;
    for (const QChar c : decoded)
        if (c.unicode() >= 0x80 && c.isLetter() && c.script() == script)
            ++count;
    return count;
}

std::vector<WordSpan> wordsOf(const QString& text) {
    std::vector<WordSpan> words;
    int brackets = 0;
    qsizetype start = -1;
    const auto end = [&](qsizetype i) {
        const bool digitBefore = start > 0 && text.at(start - 1).isDigit();
        const bool digitAfter = i < text.size() && text.at(i).isDigit();
        if (start >= 0 && !digitBefore && !digitAfter)
            words.push_back({start, i - start});
        start = -1;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('[')) {
            end(i);
            ++brackets;
        } else if (c == QLatin1Char(']')) {
            brackets = std::max(0, brackets - 1);
        } else if (brackets > 0) {
            continue;
        } else if (isWordLetter(c)) {
            if (start < 0)
                start = i;
        } else if (start >= 0 && isApostrophe(c) && i + 1 < text.size() &&
                   isWordLetter(text.at(i + 1))) {
            continue;
        } else {
            end(i);
        }
    }
    if (brackets == 0)
        end(text.size());
    return words;
}

bool isWordOfScript(QStringView word, QChar::Script script) {
    for (const QChar c : word)
        if (c.isLetter() && c.script() == script)
            return true;
    return false;
}

} // namespace lexanta
