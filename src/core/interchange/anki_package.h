#pragma once

// Anki's deck packages (.apkg) and collection exports (.colpkg): a zip archive that holds the
// collection, a SQLite database, as collection.anki21b (compressed with zstd, Anki 2.1.50 on,
// next to a collection.anki2 that only asks older versions to update), collection.anki21 or
// collection.anki2. Each note is a row, its fields the cells, as HTML turned into text the way
// Anki's plain-text notes are; the note types' field names head the columns.

#include "core/interchange/sheet.h"
#include "core/vocab/entry.h"

#include <string_view>

namespace lexanta {

// Whether the bytes begin as a zip archive does (a package rather than Anki's plain text).
bool isZipArchive(std::string_view bytes);

ReadError readAnkiPackage(std::string_view bytes, ReadList& out,
                          const ProgressCallback& progress = {});

} // namespace lexanta
