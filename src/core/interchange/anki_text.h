#pragma once

// Anki's notes in plain text: "#key:value" header lines (separator, html, columns, and the
// columns that hold the note type, deck, tags and GUID), then one note a line, fields
// CSV-quoted where needed.

#include "core/interchange/list_export.h"
#include "core/interchange/sheet.h"
#include "core/vocab/entry_table.h"

#include <string>
#include <string_view>

namespace lexanta {

// Reads the notes. With "#html:true" the fields are HTML: line breaks and block tags become a
// blank, other tags go, entities are decoded, and images and [sound:...] references are left
// out (counted in the notes). A separator given in the header wins over `delimiter`; without
// either it is detected. The suggested columns are the first three that are note fields.
ReadError readAnkiText(std::string_view bytes, const QString& delimiter, ReadList& out,
                       const ProgressCallback& progress = {});

// "#separator:tab", "#html:false", "#columns:" with the field names, then the notes: what Anki's
// File > Import takes without questions.
ExportResult writeAnkiText(const ExportRows& rows);

// Text of an HTML field: see readAnkiText. `media` counts what was left out; returns whether the
// text changed.
bool htmlToText(std::string_view html, std::string& text, long long& media);

} // namespace lexanta
