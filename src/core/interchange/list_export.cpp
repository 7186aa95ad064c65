#include "core/interchange/list_export.h"

#include "platform/codepage.h"

#include <algorithm>

namespace lexanta {

namespace {

QString decodeDescription(const std::string& bytes, const CodePage& page) {
    return page.decode(bytes);
}

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace

const std::array<QString, 3>& fieldColumnNames() {
    static const std::array<QString, 3> names{QStringLiteral("Question"), QStringLiteral("Answer"),
                                              QStringLiteral("Comment")};
    return names;
}

ExportRows::ExportRows(const Vocabulary& vocabulary)
    : entries_(vocabulary.entries),
      pages_{&CodePage::forCharset(vocabulary.header.fonts[kQuestion].charset),
             &CodePage::forCharset(vocabulary.header.fonts[kAnswer].charset),
             &CodePage::forCharset(vocabulary.header.fonts[kComment].charset)} {
    rows_ = entries_.entryCount();
    if (entries_.isBlank(rows_ - 1))
        --rows_;
    const CodePage& system = CodePage::get(systemAnsiCodePage());
    const VocabularyHeader& h = vocabulary.header;
    description_ = {decodeDescription(h.questionsLanguage, system),
                    decodeDescription(h.answersLanguage, system),
                    decodeDescription(h.title, system), decodeDescription(h.author, system),
                    decodeDescription(h.date, system)};
}

std::string ExportRows::cell(int row, int field) const {
    const std::string_view bytes = entries_.text(row, field);
    if (isAscii(bytes))
        return std::string(bytes);
    return pages_[static_cast<std::size_t>(field)]->decode(bytes).toUtf8().toStdString();
}

bool ExportRows::hasComments() const {
    for (int r = 0; r < rows_; ++r)
        if (!entries_.text(r, kComment).empty())
            return true;
    return false;
}

QString entryPlace(int row, int field) {
    static const char* const names[] = {"question", "answer", "comment"};
    return QStringLiteral("entry %1, %2").arg(row + 1).arg(QLatin1String(names[field]));
}

} // namespace lexanta
