#pragma once

// KVTML, the vocabulary files of KWordQuiz and Parley: version 2.0 (<identifiers>, <entries>
// of <translation>s, <lessons>) and the older version 1 (<e><o>...</o><t>...</t></e>).

#include "core/interchange/list_export.h"
#include "core/interchange/sheet.h"
#include "core/vocab/entry_table.h"

#include <array>
#include <optional>
#include <string_view>

namespace lexanta {

// Reads the entries into three columns: the text of identifier `languages[0]` (the
// questions), of `languages[1]` (the answers; empty when the file has one identifier), and a
// note: the first of the question's pronunciation, the answer's pronunciation, the question's
// comment and the answer's comment. Without `languages` the first two identifiers are read;
// out.languages lists them all, so a caller can ask which two. Entries come in lesson order
// (each once, as it first appears in a lesson), then those in no lesson. The title and author go
// to the description, the identifiers' names (or locales) to its languages.
ReadError readKvtml(std::string_view bytes, const std::optional<std::array<int, 2>>& languages,
                    ReadList& out, const ProgressCallback& progress = {});

// KVTML 2.0 as KWordQuiz and Parley open it: two identifiers named after the description's
// languages, the question as translation 0 with the comment as its pronunciation, the answer
// as translation 1, all entries in one lesson named after the title.
ExportResult writeKvtml(const ExportRows& rows);

} // namespace lexanta
