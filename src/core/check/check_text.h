#pragma once

// What the list check says, in English or Russian: kinds, findings, fixes and notes.

#include "core/check/check_fixes.h"
#include "core/check/check_types.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace lexanta {

// "Duplicates", "Same question, different answers", ... (the panel's headings).
QString kindTitle(CheckKind kind, bool english);
// "duplicates", "different-answers", "spelling", "gaps", "blanks", "characters" (the tool's).
QString kindId(CheckKind kind);
std::optional<CheckKind> kindOfId(const QString& id);
// "question", "answer", "comment"; the Russian words for the panel.
QString fieldTitle(int field, bool english);

// One line about a finding; entries are numbered from 1, as the grid shows them.
QString describe(const Finding& finding, const CheckSetup& setup, bool english);
// The caption of a fix ("Replace with “receive”", "Trim the blanks", ...).
QString fixTitle(const Fix& fix, const Finding& finding, bool english);

// What the check could not do: a field whose language has no dictionary here, said once.
QStringList setupNotes(const CheckSetup& setup, bool english);

} // namespace lexanta
