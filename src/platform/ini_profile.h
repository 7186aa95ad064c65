#pragma once

#include "platform/file_io.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

namespace lexanta {

// An INI file held in memory, read and written by the rules INI settings files have long
// followed, so that a file edited by hand or written by another tool reads as meant:
//
// - Section and key names compare case-insensitively; the first section and the
//   first key of a name win when a file holds several.
// - Reading a value strips leading and trailing blanks, then one pair of
//   surrounding double or single quotes. So a value written as "  x " reads "x"
//   and one written as "\"x\"" reads "x".
// - Writing replaces a key in place, or appends it after the last line of its
//   section, creating the section at the end of the file. Every other line
//   (comments, blank lines, unknown lines) keeps its place.
// - The file is UTF-8 text; lines may end in CR LF or LF and are written with LF.
//   A file that is not valid UTF-8 (one written in a single-byte code page) is read
//   in the system ANSI code page instead, so none of its text is lost.
//
// Line breaks. A value cannot hold a line break in this format, and writing one
// raw would inject keys. A value holding CR or LF is therefore stored escaped:
// as "\:" followed by the value with '\' written as "\\", CR as "\r" and LF as
// "\n", all in double quotes, e.g.  Key="\:first\nsecond". Reading a value that
// starts with "\:" undoes this, so such a value reads back exactly as written.
// A lone surrogate, which UTF-8 cannot hold (a file name carries a byte that is
// not UTF-8 so), is escaped the same way as "\uDCxx".
// A value without line breaks that would itself read as starting with "\:" is
// escaped too, so that no value is mistaken for an escaped one. Every other
// value is written as given.
//
// Changes are made in memory; save() writes the whole file in one atomic step.
class IniFile {
public:
    IniFile() = default;

    // Reads the file. A missing file gives an empty profile and succeeds, as the
    // profile functions read defaults from a file that is not there; any other
    // failure leaves the profile empty and names the reason. A FIFO or a device is
    // not opened at all.
    IoResult load(const QString& path);
    // Parses file contents (bytes as stored on disk).
    void parse(const std::string& bytes);

    QString path() const { return path_; }
    void setPath(const QString& path) { path_ = path; }

    // The value, or defaultValue when the section or key is missing.
    QString value(const QString& section, const QString& key,
                  const QString& defaultValue = {}) const;
    // The leading decimal number of the value (optional
    // sign); 0 when the value does not start with one; defaultValue when the key
    // is missing or its value is empty.
    int intValue(const QString& section, const QString& key, int defaultValue) const;
    bool contains(const QString& section, const QString& key) const;
    bool hasSection(const QString& section) const;
    QStringList sections() const;
    // The key names of a section in file order (each name once).
    QStringList keys(const QString& section) const;

    // Names are stored trimmed. Returns false, changing nothing, for names the
    // format cannot hold: empty, holding a line break, a key holding '=' or
    // starting with '[' or ';', a section holding ']'.
    bool setValue(const QString& section, const QString& key, const QString& value);
    // Stores the value so that value() gives it back exactly: one that reading would
    // trim or unquote (a path with blanks at either end, a quoted name) is quoted.
    bool setExactValue(const QString& section, const QString& key, const QString& value);
    bool setIntValue(const QString& section, const QString& key, int value) {
        return setValue(section, key, QString::number(value));
    }
    // Deletes the key (every copy of it in the section); true when one was there.
    bool removeKey(const QString& section, const QString& key);
    // Deletes the section with all its lines; true when it was there.
    bool eraseSection(const QString& section);

    // Writes, erases a section (no key) or deletes a key (no value) in one call.
    bool writeProfileString(const QString& section, const std::optional<QString>& key,
                            const std::optional<QString>& value);

    // The file contents as save() writes them.
    std::string toBytes() const;
    // Writes the whole file atomically to path(): the old file stays intact on failure.
    IoResult save() const;

private:
    enum class LineKind { Other, Section, Key };
    struct Line {
        LineKind kind = LineKind::Other;
        QString name; // section or key name, trimmed
        QString text; // the whole line as it stands in the file
    };
    struct SectionRange {
        std::size_t header; // index of the [section] line
        std::size_t end;    // one past its last line
    };

    std::optional<SectionRange> findSection(const QString& section) const;
    std::optional<std::size_t> findKey(const SectionRange& range, const QString& key) const;
    bool setStoredForm(const QString& section, const QString& key, const QString& stored);
    static Line parseLine(const QString& text);

    QString path_;
    std::vector<Line> lines_;
};

} // namespace lexanta
