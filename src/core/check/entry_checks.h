#pragma once

// The checks of one entry that look at nothing but the entry: gaps, blanks, characters and
// spelling. Duplicates compare entries with each other (list_check).

#include "core/check/check_types.h"
#include "core/vocab/entry_table.h"

#include <array>
#include <vector>

namespace lexanta {

class CodePage;
class FieldSpeller;

struct EntryCheckContext {
    const CheckSetup* setup = nullptr;
    std::array<const CodePage*, 3> pages{};         // of the fonts' character sets
    std::array<const CodePage*, 3> languagePages{}; // of the languages; null: unknown
    std::array<FieldSpeller*, 3> spellers{};        // null: that field's spelling is not checked
    int entryCount = 1;
};

// Appends the findings of entry `entry` for the fields in `fieldMask` (bit per field); the
// gaps go with the question field's bit. Ordered by field, then kind.
void checkEntry(const EntryTable& table, int entry, const EntryCheckContext& context,
                unsigned fieldMask, std::vector<Finding>& out);

// Whether a cell shows other letters than its field's language is written in, because the
// font's character set selects another code page: `rightText` receives the cell read in the
// language's page.
bool showsOtherScript(std::string_view cell, const FieldSetup& field, const CodePage& fontPage,
                      const CodePage& languagePage, QString* rightText = nullptr);

} // namespace lexanta
