#pragma once

// A field's texts are bytes of its font's code page; when the texts move to a field of another
// page (a fill from another vocabulary, a change of the field's script) they are decoded with
// the one and encoded with the other, and a text the new page cannot hold keeps its bytes.

#include "core/vocab/entry_table.h"

#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lexanta {

class CodePage;

// `bytes` of page `from` as bytes of page `to`; nothing when `to` lacks a character, which is
// then added to `unheld` (each once). Equal pages give the bytes unchanged.
std::optional<std::string> recodeText(std::string_view bytes, const CodePage& from,
                                      const CodePage& to, QString* unheld = nullptr);

struct FieldRecoding {
    std::vector<CellChange> changes; // the texts whose bytes change
    std::vector<int> kept;           // entries whose text `to` cannot hold (they keep their bytes)
    QString unheld;                  // the characters missing from `to`, each once
    // Some text of the field reads differently under the new page.
    bool needed() const { return !changes.empty() || !kept.empty(); }
};

FieldRecoding planFieldRecoding(const EntryTable& table, int field, const CodePage& from,
                                const CodePage& to);

// "1, 4, 9" for entries counted from 0, numbered from 1 as the grid shows them; at most
// `shown` numbers, then "...".
QString entryNumbers(const std::vector<int>& entries, int shown = 20);

} // namespace lexanta
