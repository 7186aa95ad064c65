#pragma once

// Entry blocks as a vocabulary file holds them: five lines per entry (question, comment,
// answer, extra field 1, extra field 2), each ended by LF or CR LF; the last block may lack
// lines, which read as empty, and its last line may lack its line end. The scanning here is
// what the table does with a file's bytes when it takes them as its own; the writing puts
// entries back into that layout, copying blocks that are already what it would write.

#include "core/vocab/entry.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lexanta {

class EntryTable;

inline constexpr std::size_t kBlockLines = 5;
// Stored field -> line of the entry block (the file puts the comment before the answer).
// The map is its own inverse: it also gives the field of a line.
inline constexpr int kLineOfField[kFieldCount] = {0, 2, 1, 3, 4};

// What a scan learns of a block, as bits the table keeps beside the block's offset.
// Canonical: the block's bytes are what the writer would write (every line ended by CR LF,
// both extra fields non-empty). Clean: question, comment and answer begin and end with a
// byte above the blank, or are empty. Followed: the next entry's block starts where this
// one ends.
inline constexpr std::uint64_t kBlockCanonical = 1ull << 61;
inline constexpr std::uint64_t kBlockFollowed = 1ull << 60;
inline constexpr std::uint64_t kBlockClean = 1ull << 59;

inline bool isAboveBlank(char c) {
    return static_cast<unsigned char>(c) > 32;
}

// The first LF in data[pos, size), or null. Lines are short as a rule: one look at the next
// 16 bytes usually finds it without the cost of a call.
inline const char* findLineFeed(const char* data, std::size_t pos, std::size_t size) {
#if defined(__SSE2__)
    if (size - pos >= 16) {
        const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos)), _mm_set1_epi8('\n'))));
        if (mask)
            return data + pos + __builtin_ctz(mask);
        pos += 16;
    } else {
        for (; pos < size; ++pos)
            if (data[pos] == '\n')
                return data + pos;
        return nullptr;
    }
#endif
    return static_cast<const char*>(std::memchr(data + pos, '\n', size - pos));
}

// The line that starts at `pos`, without its line end; `pos` moves past it. A last line
// without a line end is taken whole; past the end every line is empty.
inline std::string_view takeLine(const char* data, std::size_t size, std::size_t& pos) {
    if (pos >= size)
        return {};
    const char* found = findLineFeed(data, pos, size);
    if (!found) {
        const std::string_view line(data + pos, size - pos);
        pos = size;
        return line;
    }
    const std::size_t lf = static_cast<std::size_t>(found - data);
    std::size_t end = lf;
    if (end > pos && data[end - 1] == '\r')
        --end;
    const std::string_view line(data + pos, end - pos);
    pos = lf + 1;
    return line;
}

std::size_t countLineFeeds(const char* data, std::size_t begin, std::size_t end);
// The number of blocks in `blocks` (a line end after the last line adds none).
std::size_t countEntryBlocks(std::string_view blocks);

// Calls onLineFeed(position) for each LF in data[begin, end), in order.
template <typename F>
void forEachLineFeed(const char* data, std::size_t begin, std::size_t end, F&& onLineFeed) {
    std::size_t i = begin;
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    for (; i + 64 <= end; i += 64) {
        const auto m = [&](int k) {
            return static_cast<std::uint64_t>(
                static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i + k)), lf))));
        };
        std::uint64_t mask = m(0) | m(16) << 16 | m(32) << 32 | m(48) << 48;
        while (mask) {
            onLineFeed(i + static_cast<std::size_t>(__builtin_ctzll(mask)));
            mask &= mask - 1;
        }
    }
#endif
    for (; i < end; ++i)
        if (data[i] == '\n')
            onLineFeed(i);
}

// Calls onBlock(start, flags) for each entry block of data[begin, end), with the flags
// kBlockCanonical and kBlockClean.
template <typename F>
void forEachBlock(const char* data, std::size_t begin, std::size_t end, F&& onBlock) {
    std::size_t blockStart = begin;
    std::size_t lineStart = begin;
    std::size_t line = 0;
    std::uint64_t flags = kBlockCanonical | kBlockClean;
    const auto checkText = [&](std::size_t lineEnd) {
        if (line < 3 && lineEnd > lineStart &&
            !(isAboveBlank(data[lineStart]) && isAboveBlank(data[lineEnd - 1])))
            flags &= ~kBlockClean;
    };
    forEachLineFeed(data, begin, end, [&](std::size_t lf) {
        std::size_t lineEnd = lf;
        if (lineEnd > lineStart && data[lineEnd - 1] == '\r')
            --lineEnd;
        else
            flags &= ~kBlockCanonical;
        if (line >= 3 && lineEnd == lineStart)
            flags &= ~kBlockCanonical;
        checkText(lineEnd);
        lineStart = lf + 1;
        if (++line == kBlockLines) {
            onBlock(blockStart, flags);
            blockStart = lineStart;
            line = 0;
            flags = kBlockCanonical | kBlockClean;
        }
    });
    if (line > 0 || lineStart < end) {
        checkText(end); // a last line without a line end is taken whole
        onBlock(blockStart, flags & ~kBlockCanonical);
    }
}

// Where a long run of `blocks` blocks in data[begin, size) is cut to be read in two parts:
// the offset of the first block after the middle, with the number of blocks before it in
// `firstBlocks`; `size` (and all the blocks first) when there is no such cut.
std::size_t cutAfterMiddle(const char* data, std::size_t begin, std::size_t size,
                           std::size_t blocks, std::size_t& firstBlocks);

// Appends `text` as one line of the file, without its line end. A field never spans lines:
// each line break inside it is written as one blank.
void appendFieldLine(std::string& out, std::string_view text);
// Appends the entries of `table` as blocks, CR LF after every line. Runs of blocks that are
// already what this writes and lie one after another in the table's buffers are copied at once.
void appendEntryBlocks(std::string& out, const EntryTable& table);
// The same bytes handed to `write` a few megabytes at a time, `out` being the gathering buffer
// (what it holds first is written first; it is left holding the last piece, unwritten). Long
// runs of verbatim blocks are handed on where they lie, not copied.
void writeEntryBlocks(std::string& out, const EntryTable& table,
                      const std::function<void(std::string_view)>& write);

} // namespace lexanta
