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

// What the scan needs of 64 bytes, as bit masks (bit k for byte k): LF, CR, and bytes not
// above the blank (control bytes, the blank itself, and so CR and LF too).
struct ChunkMasks {
    std::uint64_t lf = 0, cr = 0, blank = 0;
};

inline ChunkMasks chunkMasks(const char* p) {
    ChunkMasks m;
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i blank = _mm_set1_epi8(' ');
    const auto bits = [](__m128i eq, int shift) {
        return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(eq))) << shift;
    };
    const auto add = [&](int k) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
        m.lf |= bits(_mm_cmpeq_epi8(x, lf), k);
        m.cr |= bits(_mm_cmpeq_epi8(x, cr), k);
        m.blank |= bits(_mm_cmpeq_epi8(_mm_min_epu8(x, blank), x), k);
    };
    add(0);
    add(16);
    add(32);
    add(48);
#else
    for (int k = 0; k < 64; ++k) {
        const std::uint64_t bit = 1ull << k;
        m.lf |= p[k] == '\n' ? bit : 0;
        m.cr |= p[k] == '\r' ? bit : 0;
        m.blank |= isAboveBlank(p[k]) ? 0 : bit;
    }
#endif
    return m;
}

// Calls onBlock(start, flags) for each entry block of data[begin, end), with the flags
// kBlockCanonical and kBlockClean.
//
// The bytes are read 64 at a time. For each chunk three masks mark what can spoil a block:
// an LF without its CR, an empty CR LF line, and a line's first or last byte not above the
// blank where the line holds text. Each mark lies inside the line it concerns, so a block's
// flags are a few tests of the marks between its line ends, and the work goes by block, not
// by line. It is inlined so that the caller's per-block state can stay in registers.
template <typename F>
[[gnu::always_inline]] inline void forEachBlock(const char* data, std::size_t begin,
                                                std::size_t end, F&& onBlock) {
    constexpr std::uint64_t kFresh = kBlockCanonical | kBlockClean;
    std::size_t blockStart = begin;
    std::size_t lineStart = begin;
    unsigned line = 0; // lines of the current block ended so far
    std::uint64_t flags = kFresh;
    // From the chunk before: its last byte was an LF (or this is the first chunk, which starts
    // a line), a CR, a byte not above the blank other than LF.
    std::uint64_t lfCarry = 1, crCarry = 0, blankCarry = 0;
    const auto spoil = [&flags](std::uint64_t flag, std::uint64_t marks) {
        flags &= ~(marks != 0 ? flag : 0);
    };
    // Positions up to the lowest bit of x; all when x is empty.
    const auto upToLowest = [](std::uint64_t x) { return x ^ (x - 1); };
    const auto dropLowest = [](std::uint64_t x) { return x & (x - 1); };
    // How many line ends `ahead` holds when it holds fewer than a block's.
    const auto lineEndsAhead = [](const std::uint64_t* ahead) {
        return static_cast<unsigned>(ahead[0] != 0) + static_cast<unsigned>(ahead[1] != 0) +
               static_cast<unsigned>(ahead[2] != 0) + static_cast<unsigned>(ahead[3] != 0);
    };
    alignas(16) char last[64];
    for (std::size_t i = begin; i < end; i += 64) {
        const char* p = data + i;
        std::uint64_t valid = ~0ull;
        bool nextIsLf = false;
        if (end - i >= 64) {
            nextIsLf = end - i > 64 && p[64] == '\n';
        } else { // the last bytes, padded with NULs (neither LF nor CR)
            std::memset(last, 0, sizeof last);
            std::memcpy(last, p, end - i);
            p = last;
            valid = (1ull << (end - i)) - 1;
        }
        const ChunkMasks m = chunkMasks(p);
        const std::uint64_t crBefore = m.cr << 1 | crCarry;
        const std::uint64_t lfAfter = m.lf >> 1 | static_cast<std::uint64_t>(nextIsLf) << 63;
        const std::uint64_t starts = m.lf << 1 | lfCarry;
        // The first byte of each line end: the CR of CR LF, else the LF.
        const std::uint64_t lineEnds = (m.cr & lfAfter) | (m.lf & ~crBefore);
        const std::uint64_t blankText = m.blank & ~m.lf;
        const std::uint64_t noCr = m.lf & ~crBefore;                        // at the LF
        const std::uint64_t noCrOrEmpty = noCr | (starts & m.cr & lfAfter); // an empty CR LF line
        const std::uint64_t unclean =
            ((starts & m.blank & ~lineEnds) | (lineEnds & (blankText << 1 | blankCarry))) & valid;

        lfCarry = m.lf >> 63;
        crCarry = m.cr >> 63;
        blankCarry = blankText >> 63;
        if (m.lf)
            lineStart = i + 64 - static_cast<std::size_t>(__builtin_clzll(m.lf));

        // The block under way: its lines from `line` on end at the line ends ahead, lowest
        // first. Lines 0..2 are the early part, 3 and 4 the late part.
        std::uint64_t ahead[kBlockLines];
        ahead[0] = m.lf;
        for (std::size_t k = 1; k < kBlockLines; ++k)
            ahead[k] = dropLowest(ahead[k - 1]);
        std::uint64_t early = line < 3 ? upToLowest(ahead[2 - line]) : 0;
        std::uint64_t blockEnd = ahead[4 - line];
        std::uint64_t upToEnd = upToLowest(blockEnd);
        spoil(kBlockClean, unclean & early);
        spoil(kBlockCanonical, (noCr & early) | (noCrOrEmpty & upToEnd & ~early));
        if (!blockEnd) {
            line += lineEndsAhead(ahead);
            continue;
        }
        onBlock(blockStart, flags);
        // The blocks that start in this chunk.
        for (;;) {
            blockStart = i + static_cast<std::size_t>(__builtin_ctzll(blockEnd)) + 1;
            ahead[0] = dropLowest(blockEnd);
            for (std::size_t k = 1; k < kBlockLines; ++k)
                ahead[k] = dropLowest(ahead[k - 1]);
            early = upToLowest(ahead[2]) & ~upToEnd;
            const std::uint64_t upToNextEnd = upToLowest(ahead[4]);
            flags = kFresh;
            spoil(kBlockClean, unclean & early);
            spoil(kBlockCanonical,
                  (noCr & early) | (noCrOrEmpty & upToNextEnd & ~early & ~upToEnd));
            if (!ahead[4]) {
                line = lineEndsAhead(ahead);
                break;
            }
            onBlock(blockStart, flags);
            blockEnd = ahead[4];
            upToEnd = upToNextEnd;
        }
    }
    if (line > 0 || lineStart < end) {
        // A last line without a line end is taken whole.
        if (line < 3 && end > lineStart &&
            !(isAboveBlank(data[lineStart]) && isAboveBlank(data[end - 1])))
            flags &= ~kBlockClean;
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
