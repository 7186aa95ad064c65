#pragma once

// A recovery copy: the unsaved document as one file, written while the editor runs so that a
// crash loses at most the last moments of work.
//
// The file is a small header of its own, then the whole vocabulary in the current format
// (description, layouts, size, fonts, counter line and entries), whatever format the document
// itself has:
//
//   Lexanta Editor recovery copy 1
//   format current|old          the document's own format, which Save keeps
//   file <name>                 the document's file name, its bytes percent-encoded
//   state <named> <merge> <origin> <size> <mtime ns> <inode> <device>
//   saved <UTC time, ISO 8601>
//   entries <N>
//   bytes <M>
//   (an empty line, then M bytes of the vocabulary)
//
// A copy whose first line, keys, length or entry count do not agree is damaged: it is never
// read as a vocabulary.

#include "document/document.h"

#include <QDateTime>

#include <optional>
#include <string>
#include <string_view>

namespace lexanta {

// What the header says, read without the vocabulary.
struct RecoveryCopyInfo {
    QString fileName; // empty for a vocabulary never saved
    QDateTime saved;  // UTC
    long long entries = 0;
};

// The copy's bytes for `document` as it stood at `saved`.
std::string recoveryCopyBytes(const DocumentSnapshot& document, const QDateTime& saved);

// The header of a copy (its first bytes suffice); nothing when it is not one.
std::optional<RecoveryCopyInfo> readRecoveryCopyInfo(std::string_view bytes);

// The document a copy holds; nothing when the copy is damaged. The fonts take the stored size.
std::optional<DocumentSnapshot> readRecoveryCopy(std::string&& bytes);

} // namespace lexanta
