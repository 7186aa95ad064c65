#include "core/vocab/field_recoding.h"

#include "platform/codepage.h"

#include <QStringList>

namespace lexanta {

std::optional<std::string> recodeText(std::string_view bytes, const CodePage& from,
                                      const CodePage& to, QString* unheld) {
    if (from.number() == to.number())
        return std::string(bytes);
    EncodeResult encoded = to.encode(from.decode(bytes));
    if (encoded.ok())
        return std::move(encoded.bytes);
    if (unheld)
        for (const QChar c : encoded.unencodable)
            if (!unheld->contains(c))
                unheld->append(c);
    return std::nullopt;
}

FieldRecoding planFieldRecoding(const EntryTable& table, int field, const CodePage& from,
                                const CodePage& to) {
    FieldRecoding plan;
    if (from.number() == to.number())
        return plan;
    for (int i = 0; i < table.entryCount(); ++i) {
        const std::string_view text = table.text(i, field);
        if (text.empty())
            continue;
        std::optional<std::string> recoded = recodeText(text, from, to, &plan.unheld);
        if (!recoded)
            plan.kept.push_back(i);
        else if (*recoded != text)
            plan.changes.push_back({i, field, std::move(*recoded)});
    }
    return plan;
}

QString entryNumbers(const std::vector<int>& entries, int shown) {
    QStringList numbers;
    for (std::size_t i = 0; i < entries.size() && static_cast<int>(i) < shown; ++i)
        numbers << QString::number(entries[i] + 1);
    if (static_cast<int>(entries.size()) > shown)
        numbers << QStringLiteral("...");
    return numbers.join(QStringLiteral(", "));
}

} // namespace lexanta
