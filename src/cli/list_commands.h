#pragma once

// The list formats on the command line: import and export take them beside their own formats,
// convert goes from one file to another by their extensions.

#include "cli/tool.h"
#include "core/interchange/list_formats.h"

namespace lexanta::tool {

// "0,204,0" or "ansi,russian,ansi" -> the three character sets; false when malformed.
bool parseCharsets(const QString& text, std::array<int, 3>& charsets);

// The options of importing a list (delimiter, encoding, header, sheet, columns, languages,
// character sets, the file to append to).
QList<CommandOption> listImportOptions();
// The options of exporting one (byte-order mark, delimiter, row separator).
QList<CommandOption> listExportOptions();

// lexanta-tool import --format FORMAT IN -o OUT.lut with the options above.
int importListCommand(const Args& args, ListFormat format);
// lexanta-tool export --format FORMAT IN.lut -o OUT.
int exportListCommand(const Args& args, ListFormat format);

} // namespace lexanta::tool
