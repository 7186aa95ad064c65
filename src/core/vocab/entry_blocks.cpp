#include "core/vocab/entry_blocks.h"

#include "core/vocab/entry_table.h"

namespace lexanta {

std::size_t countLineFeeds(const char* data, std::size_t begin, std::size_t end) {
    std::size_t count = 0;
    std::size_t i = begin;
#if defined(__SSE2__)
    // Matches count down from 0 in byte lanes (a match is -1), summed before a lane can wrap.
    const __m128i lf = _mm_set1_epi8('\n');
    while (i + 16 <= end) {
        __m128i lanes = _mm_setzero_si128();
        for (int k = 0; k < 255 && i + 16 <= end; ++k, i += 16)
            lanes = _mm_sub_epi8(
                lanes,
                _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i)), lf));
        const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
        count += static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
                 static_cast<std::size_t>(_mm_extract_epi16(sums, 4));
    }
#endif
    for (; i < end; ++i)
        count += data[i] == '\n';
    return count;
}

std::size_t countEntryBlocks(std::string_view blocks) {
    if (blocks.empty())
        return 0;
    std::size_t lines = countLineFeeds(blocks.data(), 0, blocks.size());
    if (blocks.back() != '\n')
        ++lines;
    return (lines + kBlockLines - 1) / kBlockLines;
}

std::size_t cutAfterMiddle(const char* data, std::size_t begin, std::size_t size,
                           std::size_t blocks, std::size_t& firstBlocks) {
    firstBlocks = blocks;
    const std::size_t middle = begin + (size - begin) / 2;
    std::size_t lines = countLineFeeds(data, begin, middle);
    const std::size_t k = lines / kBlockLines + 1;
    std::size_t pos = middle;
    while (lines < k * kBlockLines && pos < size) {
        const char* lf = findLineFeed(data, pos, size);
        if (!lf)
            break;
        pos = static_cast<std::size_t>(lf - data) + 1;
        ++lines;
    }
    if (lines == k * kBlockLines && pos < size && k < blocks) {
        firstBlocks = k;
        return pos;
    }
    return size;
}

void appendFieldLine(std::string& out, std::string_view text) {
    std::size_t start = 0;
    for (;;) {
        const std::size_t lf = text.find('\n', start);
        if (lf == std::string_view::npos) {
            out.append(text.substr(start));
            break;
        }
        std::size_t end = lf;
        if (end > start && text[end - 1] == '\r')
            --end;
        out.append(text.substr(start, end - start));
        out.push_back(' ');
        start = lf + 1;
    }
}

namespace {

// The entry's lines, each with its line end.
void appendEntryLines(std::string& out, const EntryView& e) {
    std::string_view lines[kBlockLines];
    std::size_t size = 0;
    bool plain = true;
    for (std::size_t line = 0; line < kBlockLines; ++line) {
        const int field = kLineOfField[line];
        const std::string_view text = e[field];
        lines[line] = field >= kExtra1 && text.empty() ? std::string_view("0") : text;
        size += lines[line].size() + 2;
        plain = plain && !findLineFeed(lines[line].data(), 0, lines[line].size());
    }
    if (!plain) {
        for (const std::string_view text : lines) {
            appendFieldLine(out, text);
            out += "\r\n";
        }
        return;
    }
    std::size_t at = out.size();
    out.resize(at + size);
    for (const std::string_view text : lines) {
        text.copy(out.data() + at, text.size());
        at += text.size();
        out[at++] = '\r';
        out[at++] = '\n';
    }
}

// The walk of appendEntryBlocks: `run` takes each run of verbatim blocks as it lies in the
// table's buffers, and `entryDone` is called after each entry.
template <typename Run, typename EntryDone>
void walkEntryBlocks(std::string& out, const EntryTable& table, Run&& run, EntryDone&& entryDone) {
    const char* runBegin = nullptr;
    const char* runEnd = nullptr;
    const auto flush = [&] {
        if (runBegin)
            run(std::string_view(runBegin, static_cast<std::size_t>(runEnd - runBegin)));
        runBegin = runEnd = nullptr;
    };
    const int count = table.entryCount();
    // Entries out of file order (after a sort) lie anywhere in the buffer: their bytes are
    // fetched a few entries ahead.
    constexpr int kAhead = 16;
    bool inOrder = true;
    for (int r = 0; r < count;) {
        if (!inOrder)
            table.prefetchEntry(r + kAhead);
        int next = r;
        const std::string_view block = table.verbatimRun(r, next);
        inOrder = !block.empty() && block.data() == runEnd;
        if (!block.empty()) {
            if (!inOrder) {
                flush();
                runBegin = block.data();
            }
            runEnd = block.data() + block.size();
            r = next;
            continue;
        }
        flush();
        appendEntryLines(out, table.entry(r));
        entryDone();
        ++r;
    }
    flush();
}

} // namespace

void appendEntryBlocks(std::string& out, const EntryTable& table) {
    walkEntryBlocks(
        out, table, [&](std::string_view blocks) { out.append(blocks); }, [] {});
}

void writeEntryBlocks(std::string& out, const EntryTable& table,
                      const std::function<void(std::string_view)>& write) {
    // Long runs are handed on where they lie; short ones (entries out of file order) are
    // gathered with the written entries, so that each write is large.
    constexpr std::size_t kDirect = 1 << 16;
    constexpr std::size_t kChunk = 4 << 20;
    const auto handOn = [&] {
        if (!out.empty())
            write(out);
        out.clear();
    };
    walkEntryBlocks(
        out, table,
        [&](std::string_view blocks) {
            if (blocks.size() < kDirect) {
                out.append(blocks);
                if (out.size() >= kChunk)
                    handOn();
                return;
            }
            handOn();
            write(blocks);
        },
        [&] {
            if (out.size() >= kChunk)
                handOn();
        });
}

} // namespace lexanta
