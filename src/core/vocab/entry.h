#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

namespace lexanta {

// The stored fields of an entry, in the order the grid shows them.
enum Field : int { kQuestion = 0, kAnswer = 1, kComment = 2, kExtra1 = 3, kExtra2 = 4 };
inline constexpr int kFieldCount = 5;
// The fields the window shows, each with a font and a keyboard layout of its own in the
// file's header: question, answer and comment (kQuestion .. kComment).
inline constexpr int kShownFields = 3;

// The five stored fields of one entry, as the bytes of the file (no conversion).
struct Entry {
    std::array<std::string, kFieldCount> fields;

    std::string& operator[](int field) { return fields[field]; }
    const std::string& operator[](int field) const { return fields[field]; }
    bool operator==(const Entry&) const = default;
};

// The five fields of a stored entry, viewed where the table keeps them. Valid until the table
// is next changed.
struct EntryView {
    std::array<std::string_view, kFieldCount> fields;

    std::string_view operator[](int field) const { return fields[field]; }
    bool operator==(const EntryView&) const = default;
    bool operator==(const Entry& e) const {
        for (int f = 0; f < kFieldCount; ++f)
            if (fields[f] != e.fields[f])
                return false;
        return true;
    }
    Entry toEntry() const {
        Entry e;
        for (int f = 0; f < kFieldCount; ++f)
            e.fields[f] = std::string(fields[f]);
        return e;
    }
};

// One cell's new text, as the list operations plan their changes before making them.
struct CellChange {
    int entry = 0;
    int field = 0;
    std::string text;
};

// Told how far a long operation has come: `done` of `total` units (bytes, lines or rows, as
// the operation says). Called now and then from the thread that runs the operation, so a
// window may repaint or step a progress bar from it; the table being worked on must not be
// touched from it.
using ProgressCallback = std::function<void(long long done, long long total)>;

} // namespace lexanta
