#pragma once

// The text a spreadsheet shows for a number cell: Excel's built-in formats and the common parts
// of custom ones (dates and times, fixed decimals, leading zeros, thousands, percent, fractions,
// currency symbols, a section of its own for negative numbers or zero).

#include <QString>

namespace lexanta {

// `code`: the cell's number format code ("General", "0.00", "d/m/yyyy", ...); `date1904`: the
// workbook counts days from 1904.
QString formatNumber(double value, const QString& code, bool date1904 = false);

// The code of a built-in format id (0 to 49); empty for ids without one.
QString builtinNumberFormat(int id);

} // namespace lexanta
