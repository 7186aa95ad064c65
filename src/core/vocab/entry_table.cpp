#include "core/vocab/entry_table.h"

#include "platform/both_cores.h"
#include "platform/file_io.h"

#include <sys/mman.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <numeric>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Index checks: on in debug builds and under the sanitizers, where a caller's bad entry number
// must stop the program at the call rather than corrupt a neighbour's memory.
#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(undefined_behavior_sanitizer)
#define LEXANTA_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define LEXANTA_SANITIZED 1
#endif
#if !defined(NDEBUG) || defined(LEXANTA_SANITIZED)
#define LEXANTA_CHECK_INDEX(ok, what, value, limit)                                                \
    do {                                                                                           \
        if (!(ok))                                                                                 \
            indexFailure(__func__, what, static_cast<long long>(value),                            \
                         static_cast<long long>(limit));                                           \
    } while (false)
#else
#define LEXANTA_CHECK_INDEX(ok, what, value, limit)                                                \
    do {                                                                                           \
        (void)sizeof(ok);                                                                          \
    } while (false)
#endif

namespace lexanta {

namespace {

[[maybe_unused]] [[noreturn]] void indexFailure(const char* function, const char* what,
                                                long long value, long long limit) {
    std::fprintf(stderr, "EntryTable::%s: %s %lld out of range (limit %lld)\n", function, what,
                 value, limit);
    std::abort();
}

// Slot records: a tag in the top two bits, then three flags of a block, then the payload: a
// byte offset or a wide row's index. The flags: canonical (the block's bytes are what the
// writer would write), followed (the next slot's block starts where this one ends) and clean
// (question, comment and answer begin and end with a printable byte, or are empty).
constexpr std::uint64_t kTagMask = 3ull << 62;
constexpr std::uint64_t kSourceBlock = 1ull << 62;
constexpr std::uint64_t kArenaBlock = 2ull << 62;
constexpr std::uint64_t kWide = 3ull << 62;
constexpr std::uint64_t kCanonical = 1ull << 61;
constexpr std::uint64_t kFollowed = 1ull << 60;
constexpr std::uint64_t kClean = 1ull << 59;
constexpr std::uint64_t kPayload = kClean - 1;

bool printable(char c) {
    return static_cast<unsigned char>(c) > 32;
}

// Cell references of wide rows: bit 63 set for the arena, else the source; then a 39-bit
// offset (buffers up to 512 GiB) and a 24-bit length. Longer texts sit in the arena behind an
// 8-byte length.
constexpr std::uint64_t kInArena = 1ull << 63;
constexpr int kLengthBits = 24;
constexpr std::uint64_t kLongLength = (1ull << kLengthBits) - 1;

// Stored field -> line of the entry block (the file puts the comment before the answer).
// The map is its own inverse: it also gives the field of a line.
constexpr int kLineOfField[kFieldCount] = {0, 2, 1, 3, 4};
constexpr std::array<std::uint8_t, kFieldCount> kFieldsInPlace{0, 1, 2, 3, 4};

constexpr std::size_t kBlockLines = 5;
constexpr std::size_t kProgressBytes = 1 << 20;

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

// Calls onBlock(start, flags) for each entry block of data[begin, end), with the flags
// kCanonical (all five lines end in CR LF and both extra fields are non-empty) and kClean.
template <typename F>
void forEachBlock(const char* data, std::size_t begin, std::size_t end, F&& onBlock) {
    std::size_t blockStart = begin;
    std::size_t lineStart = begin;
    std::size_t line = 0;
    std::uint64_t flags = kCanonical | kClean;
    const auto checkText = [&](std::size_t lineEnd) {
        if (line < 3 && lineEnd > lineStart &&
            !(printable(data[lineStart]) && printable(data[lineEnd - 1])))
            flags &= ~kClean;
    };
    forEachLineFeed(data, begin, end, [&](std::size_t lf) {
        std::size_t lineEnd = lf;
        if (lineEnd > lineStart && data[lineEnd - 1] == '\r')
            --lineEnd;
        else
            flags &= ~kCanonical;
        if (line >= 3 && lineEnd == lineStart)
            flags &= ~kCanonical;
        checkText(lineEnd);
        lineStart = lf + 1;
        if (++line == kBlockLines) {
            onBlock(blockStart, flags);
            blockStart = lineStart;
            line = 0;
            flags = kCanonical | kClean;
        }
    });
    if (line > 0 || lineStart < end) {
        checkText(end); // a last line without a line end is taken whole
        onBlock(blockStart, flags & ~kCanonical);
    }
}

// The first LF in data[pos, size), or null. Lines are short as a rule: one look at the next
// 16 bytes usually finds it without the cost of a call.
const char* findLineFeed(const char* data, std::size_t pos, std::size_t size) {
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
std::string_view takeLine(const char* data, std::size_t size, std::size_t& pos) {
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

bool within(std::string_view text, const std::string& buffer) {
    const auto begin = reinterpret_cast<std::uintptr_t>(buffer.data());
    const auto p = reinterpret_cast<std::uintptr_t>(text.data());
    return p >= begin && p + text.size() <= begin + buffer.size();
}

} // namespace

void EntryTable::PageRelease::operator()(std::uint64_t* page) const {
    munmap(page, kPageSize * sizeof(std::uint64_t));
}

EntryTable::Page EntryTable::newPage(bool filledAtOnce) {
    const std::size_t bytes = kPageSize * sizeof(std::uint64_t);
    void* page = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (page == MAP_FAILED)
        throw std::bad_alloc();
    if (filledAtOnce)
        preferLargePages(page, bytes);
    return Page(static_cast<std::uint64_t*>(page));
}

void EntryTable::allocatePages(std::uint32_t first, std::size_t count) {
    if (count == 0)
        return;
    const std::size_t lastPage = (first + count - 1) >> kPageBits;
    if (pages_.size() <= lastPage)
        pages_.resize(lastPage + 1);
    for (std::size_t p = first >> kPageBits; p <= lastPage; ++p)
        if (!pages_[p])
            pages_[p] = newPage(true);
}

struct EntryTable::WideRow {
    std::uint64_t refs[kFieldCount] = {};
};

EntryTable::EntryTable() = default;
EntryTable::~EntryTable() = default;

EntryTable::EntryTable(EntryTable&& other) noexcept {
    swapStorage(other);
}

EntryTable& EntryTable::operator=(EntryTable&& other) noexcept {
    if (this != &other) {
        EntryTable empty;
        swapStorage(other);
        other.swapStorage(empty); // `other` is left empty; what `this` held goes with `empty`
    }
    return *this;
}

void EntryTable::swapStorage(EntryTable& other) noexcept {
    std::swap(source_, other.source_);
    std::swap(arena_, other.arena_);
    std::swap(pages_, other.pages_);
    std::swap(wide_, other.wide_);
    std::swap(freeWide_, other.freeWide_);
    std::swap(count_, other.count_);
    std::swap(identity_, other.identity_);
    std::swap(order_, other.order_);
    std::swap(freeSlots_, other.freeSlots_);
    std::swap(slotEnd_, other.slotEnd_);
    std::swap(fieldOf_, other.fieldOf_);
    std::swap(fieldsInPlace_, other.fieldsInPlace_);
}

void EntryTable::setRecord(std::uint32_t slot, std::uint64_t value) {
    // The block before no longer knows what follows it.
    if (slot > 0) {
        const std::uint64_t before = record(slot - 1);
        if (before & kFollowed)
            setRawRecord(slot - 1, before & ~kFollowed);
    }
    setRawRecord(slot, value & ~kFollowed);
}

void EntryTable::setRawRecord(std::uint32_t slot, std::uint64_t value) {
    const std::size_t page = slot >> kPageBits;
    if (page >= pages_.size()) {
        if (value == 0)
            return;
        pages_.resize(page + 1);
    }
    if (!pages_[page]) {
        if (value == 0)
            return;
        pages_[page] = newPage(false);
    }
    pages_[page][slot & (kPageSize - 1)] = value;
}

void EntryTable::releaseRecord(std::uint32_t slot) {
    const std::uint64_t rec = record(slot);
    if ((rec & kTagMask) == kWide) {
        const auto w = static_cast<std::uint32_t>(rec & kPayload);
        wide_[w] = WideRow{};
        freeWide_.push_back(w);
    }
    setRecord(slot, 0);
}

void EntryTable::releaseSlots(std::uint32_t first, std::uint32_t end) {
    if (first >= end)
        return;
    if (first > 0) // the block before no longer knows what follows it
        setRawRecord(first - 1, record(first - 1) & ~kFollowed);
    for (std::uint32_t s = first; s < end;) {
        const std::size_t page = s >> kPageBits;
        const std::uint32_t pageEnd =
            std::min<std::uint32_t>(end, static_cast<std::uint32_t>((page + 1) << kPageBits));
        if (page < pages_.size() && pages_[page]) {
            std::uint64_t* records = pages_[page].get();
            for (std::uint32_t t = s; t < pageEnd; ++t) {
                std::uint64_t& rec = records[t & (kPageSize - 1)];
                if ((rec & kTagMask) == kWide) {
                    const auto w = static_cast<std::uint32_t>(rec & kPayload);
                    wide_[w] = WideRow{};
                    freeWide_.push_back(w);
                }
                rec = 0;
            }
            if (s == (page << kPageBits) && pageEnd == ((page + 1) << kPageBits))
                pages_[page].reset();
        }
        s = pageEnd;
    }
}

std::uint32_t EntryTable::newSlot() {
    if (!freeSlots_.empty()) {
        const std::uint32_t slot = freeSlots_.back();
        freeSlots_.pop_back();
        return slot;
    }
    return slotEnd_++;
}

void EntryTable::materializeOrder() {
    if (!identity_)
        return;
    order_.resize(static_cast<std::size_t>(count_));
    std::iota(order_.begin(), order_.end(), 0u);
    slotEnd_ = static_cast<std::uint32_t>(count_);
    identity_ = false;
}

std::string_view EntryTable::blockLine(std::uint64_t rec, int line) const {
    const std::string& buffer = (rec & kTagMask) == kSourceBlock ? source_ : arena_;
    std::size_t pos = static_cast<std::size_t>(rec & kPayload);
    for (int i = 0; i < line; ++i) {
        if (pos >= buffer.size())
            return {};
        const char* lf = findLineFeed(buffer.data(), pos, buffer.size());
        if (!lf)
            return {};
        pos = static_cast<std::size_t>(lf - buffer.data()) + 1;
    }
    return takeLine(buffer.data(), buffer.size(), pos);
}

void EntryTable::blockLines(std::uint64_t rec, std::string_view (&lines)[kFieldCount]) const {
    const std::string& buffer = (rec & kTagMask) == kSourceBlock ? source_ : arena_;
    std::size_t pos = static_cast<std::size_t>(rec & kPayload);
    for (std::string_view& line : lines)
        line = takeLine(buffer.data(), buffer.size(), pos);
}

std::string_view EntryTable::refText(std::uint64_t ref) const {
    if (ref == 0)
        return {};
    const std::string& buffer = (ref & kInArena) ? arena_ : source_;
    const std::size_t offset = static_cast<std::size_t>((ref & ~kInArena) >> kLengthBits);
    std::size_t length = static_cast<std::size_t>(ref & kLongLength);
    if (length == kLongLength) {
        std::uint64_t longLength = 0;
        std::memcpy(&longLength, buffer.data() + offset, sizeof longLength);
        return std::string_view(buffer).substr(offset + sizeof longLength,
                                               static_cast<std::size_t>(longLength));
    }
    return std::string_view(buffer).substr(offset, length);
}

std::uint64_t EntryTable::refFor(std::string_view text) {
    if (text.empty())
        return 0;
    if (text.size() < kLongLength) {
        // Text the table already holds is referred to where it is, not copied.
        for (const std::string* buffer : {&source_, &arena_}) {
            if (within(text, *buffer))
                return (buffer == &arena_ ? kInArena : 0) |
                       static_cast<std::uint64_t>(text.data() - buffer->data()) << kLengthBits |
                       text.size();
        }
        const std::uint64_t offset = arena_.size();
        arena_.append(text);
        return kInArena | offset << kLengthBits | text.size();
    }
    // A copy is made first: `text` may lie in the arena, which the append can move.
    const std::string copy(text);
    const std::uint64_t offset = arena_.size();
    const std::uint64_t length = copy.size();
    arena_.append(reinterpret_cast<const char*>(&length), sizeof length);
    arena_.append(copy);
    return kInArena | offset << kLengthBits | kLongLength;
}

std::uint32_t EntryTable::wideOf(std::uint32_t slot) {
    const std::uint64_t rec = record(slot);
    if ((rec & kTagMask) == kWide)
        return static_cast<std::uint32_t>(rec & kPayload);
    WideRow row;
    if (rec != 0) {
        std::string_view lines[kFieldCount];
        blockLines(rec, lines);
        for (int f = 0; f < kFieldCount; ++f)
            row.refs[f] = refFor(lines[kLineOfField[f]]);
    }
    std::uint32_t w;
    if (!freeWide_.empty()) {
        w = freeWide_.back();
        freeWide_.pop_back();
        wide_[w] = row;
    } else {
        w = static_cast<std::uint32_t>(wide_.size());
        wide_.push_back(row);
    }
    setRecord(slot, kWide | w);
    return w;
}

void EntryTable::setEntryCount(int count) {
    count = std::max(count, 1);
    const int now = entryCount();
    if (count > now)
        insertEntries(now, count - now);
    else if (count < now)
        removeEntries(count, now - count);
}

std::string_view EntryTable::text(int entry, int field) const {
    if (field < 0 || field >= kFieldCount || entry < 0 || entry >= entryCount())
        return {};
    const std::uint64_t rec = record(slotOf(entry));
    const int place = fieldOf_[field];
    if (rec == 0)
        return {};
    if ((rec & kTagMask) == kWide)
        return refText(wide_[rec & kPayload].refs[place]);
    return blockLine(rec, kLineOfField[place]);
}

void EntryTable::writeText(int index, int field, std::string_view text) {
    const std::uint32_t slot = slotOf(index);
    const int place = fieldOf_[field];
    if (text.empty() && record(slot) == 0)
        return;
    const std::uint64_t ref = refFor(text);
    const std::uint32_t w = wideOf(slot);
    std::uint64_t* refs = wide_[w].refs;
    refs[place] = ref;
    if (std::all_of(refs, refs + kFieldCount, [](std::uint64_t r) { return r == 0; }))
        releaseRecord(slot);
}

void EntryTable::setText(int entry, int field, std::string_view text) {
    if (field < 0 || field >= kFieldCount || entry < 0 || entry >= entryCount())
        return;
    writeText(entry, field, text);
    if (observer_)
        observer_->entriesChanged(entry, entry);
}

EntryView EntryTable::entry(int index) const {
    LEXANTA_CHECK_INDEX(index >= 0 && index < entryCount(), "entry", index, entryCount());
    EntryView v;
    const std::uint64_t rec = record(slotOf(index));
    if (rec == 0)
        return v;
    if ((rec & kTagMask) == kWide) {
        const WideRow& w = wide_[rec & kPayload];
        for (int c = 0; c < kFieldCount; ++c)
            v.fields[c] = refText(w.refs[fieldOf_[c]]);
        return v;
    }
    std::string_view lines[kFieldCount];
    blockLines(rec, lines);
    for (int c = 0; c < kFieldCount; ++c)
        v.fields[c] = lines[kLineOfField[fieldOf_[c]]];
    return v;
}

void EntryTable::writeEntry(int index, const EntryView& e) {
    const std::uint32_t slot = slotOf(index);
    releaseRecord(slot);
    std::string_view byField[kFieldCount];
    bool empty = true;
    bool blockable = true;
    std::size_t bytes = kBlockLines;
    for (int c = 0; c < kFieldCount; ++c) {
        const std::string_view text = e.fields[c];
        byField[fieldOf_[c]] = text;
        empty = empty && text.empty();
        // A block line cannot hold a line feed, nor end in the CR a line end would take.
        blockable = blockable && text.find('\n') == std::string_view::npos &&
                    (text.empty() || text.back() != '\r');
        bytes += text.size();
    }
    if (empty)
        return;
    if (!blockable) {
        const std::uint32_t w = wideOf(slot);
        for (int f = 0; f < kFieldCount; ++f)
            wide_[w].refs[f] = refFor(byField[f]);
        return;
    }
    // Five short lines in the arena cost less than five references.
    const std::uint64_t offset = arena_.size();
    arena_.reserve(arena_.size() + bytes);
    std::uint64_t flags = kClean;
    for (int line = 0; line < kFieldCount; ++line) {
        const std::string_view text = byField[kLineOfField[line]];
        if (line < 3 && !text.empty() && !(printable(text.front()) && printable(text.back())))
            flags = 0;
        arena_.append(text);
        arena_.push_back('\n');
    }
    setRecord(slot, kArenaBlock | flags | offset);
}

void EntryTable::setEntry(int index, const Entry& e) {
    EntryView v;
    for (int f = 0; f < kFieldCount; ++f)
        v.fields[f] = e.fields[f];
    setEntry(index, v);
}

void EntryTable::setEntry(int index, const EntryView& e) {
    LEXANTA_CHECK_INDEX(index >= 0 && index < entryCount(), "entry", index, entryCount());
    // The texts may be views of this table's own buffers, which the write can move.
    Entry copy;
    const bool own = std::any_of(e.fields.begin(), e.fields.end(), [this](std::string_view t) {
        return !t.empty() && within(t, arena_);
    });
    EntryView safe = e;
    if (own) {
        copy = e.toEntry();
        for (int c = 0; c < kFieldCount; ++c)
            safe.fields[c] = copy.fields[c];
    }
    writeEntry(index, safe);
    if (observer_)
        observer_->entriesChanged(index, index);
}

void EntryTable::clearEntry(int index) {
    LEXANTA_CHECK_INDEX(index >= 0 && index < entryCount(), "entry", index, entryCount());
    releaseRecord(slotOf(index));
    if (observer_)
        observer_->entriesChanged(index, index);
}

bool EntryTable::isBlank(int index) const {
    LEXANTA_CHECK_INDEX(index >= 0 && index < entryCount(), "entry", index, entryCount());
    if (record(slotOf(index)) == 0)
        return true;
    const EntryView e = entry(index);
    return e[kQuestion].empty() && e[kAnswer].empty() && e[kComment].empty();
}

void EntryTable::exchangeEntries(int a, int b) {
    LEXANTA_CHECK_INDEX(a >= 0 && a < entryCount(), "entry", a, entryCount());
    LEXANTA_CHECK_INDEX(b >= 0 && b < entryCount(), "entry", b, entryCount());
    if (identity_) {
        const std::uint64_t ra = record(static_cast<std::uint32_t>(a));
        const std::uint64_t rb = record(static_cast<std::uint32_t>(b));
        setRecord(static_cast<std::uint32_t>(a), rb);
        setRecord(static_cast<std::uint32_t>(b), ra);
    } else {
        std::swap(order_[a], order_[b]);
    }
    if (observer_)
        observer_->entriesChanged(std::min(a, b), std::max(a, b));
}

void EntryTable::moveEntry(int from, int to) {
    LEXANTA_CHECK_INDEX(from >= 0 && from < entryCount(), "entry", from, entryCount());
    LEXANTA_CHECK_INDEX(to >= 0 && to < entryCount(), "entry", to, entryCount());
    if (from == to)
        return;
    if (observer_)
        observer_->entryAboutToBeMoved(from, to);
    materializeOrder();
    const std::uint32_t slot = order_[from];
    if (from < to)
        std::move(order_.begin() + from + 1, order_.begin() + to + 1, order_.begin() + from);
    else
        std::move_backward(order_.begin() + to, order_.begin() + from, order_.begin() + from + 1);
    order_[to] = slot;
    if (observer_)
        observer_->entryMoved();
}

void EntryTable::moveField(int from, int to) {
    if (from == to || from < 0 || to < 0 || from >= kFieldCount || to >= kFieldCount)
        return;
    // Every entry holds its fields in the same stored places, so one map serves them all.
    // (Rebuilt through a copy: GCC 12 at -O3 takes std::rotate over the five places for a
    // write past their end.)
    const auto before = fieldOf_;
    const auto moved = static_cast<std::size_t>(from), target = static_cast<std::size_t>(to);
    for (std::size_t k = 0, source = 0; k < before.size(); ++k, ++source) {
        if (k == target) {
            fieldOf_[k] = before[moved];
            --source;
            continue;
        }
        if (source == moved)
            ++source;
        fieldOf_[k] = before[source];
    }
    fieldsInPlace_ = fieldOf_ == kFieldsInPlace;
    if (observer_)
        observer_->entriesChanged(0, entryCount() - 1);
}

void EntryTable::insertEntries(int at, int count) {
    if (count <= 0)
        return;
    LEXANTA_CHECK_INDEX(count <= kMaxEntries - entryCount(), "entry count", count,
                        kMaxEntries - entryCount());
    count = std::min(count, kMaxEntries - entryCount());
    if (count <= 0)
        return;
    at = std::clamp(at, 0, entryCount());
    if (observer_)
        observer_->entriesAboutToBeInserted(at, count);
    insertEmptyEntries(at, count);
    if (observer_)
        observer_->entriesInserted();
}

void EntryTable::insertEmptyEntries(int at, int count) {
    if (identity_ && at == count_) {
        // Slots past the last entry are empty: appending entries writes nothing.
        count_ += count;
        return;
    }
    materializeOrder();
    std::vector<std::uint32_t> fresh(static_cast<std::size_t>(count));
    for (auto& s : fresh)
        s = newSlot();
    order_.insert(order_.begin() + at, fresh.begin(), fresh.end());
    count_ += count;
}

void EntryTable::removeEntries(int at, int count) {
    if (at < 0)
        return;
    count = std::min(count, entryCount() - at);
    count = std::min(count, entryCount() - 1); // one entry always remains
    if (count <= 0)
        return;
    if (observer_)
        observer_->entriesAboutToBeRemoved(at, count);
    if (identity_ && at + count == count_) {
        releaseSlots(static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(count_));
    } else {
        materializeOrder();
        for (int r = at; r < at + count; ++r) {
            releaseRecord(order_[r]);
            freeSlots_.push_back(order_[r]);
        }
        order_.erase(order_.begin() + at, order_.begin() + at + count);
    }
    count_ -= count;
    if (observer_)
        observer_->entriesRemoved();
}

void EntryTable::reorder(int first, const std::vector<int>& newOrder) {
    if (newOrder.empty())
        return;
    const auto n = static_cast<long long>(newOrder.size());
    LEXANTA_CHECK_INDEX(first >= 0 && first + n <= entryCount(), "last entry", first + n - 1,
                        entryCount());
    if (observer_)
        observer_->entriesAboutToBeReordered(first, static_cast<int>(newOrder.size()));
    // The records themselves move, into entry order: whoever reads the entries in order
    // afterwards (a save, the frequency analysis) walks them in memory order. Entries that had
    // moved before are put in order on the way, and the table keeps no order of its own.
    auto records = largeVector<std::uint64_t>(static_cast<std::size_t>(entryCount()));
    for (int r = 0; r < entryCount(); ++r) {
        std::uint64_t rec = record(slotOf(r));
        // Only a block followed by the next entry's keeps the flag.
        if ((rec & kFollowed) && !(r + 1 < entryCount() && slotOf(r + 1) == slotOf(r) + 1))
            rec &= ~kFollowed;
        records[static_cast<std::size_t>(r)] = rec;
    }
    // Then every record goes to its new place in new pages.
    std::vector<Page>().swap(pages_);
    allocatePages(0, static_cast<std::size_t>(entryCount()));
    std::vector<std::uint32_t>().swap(order_);
    std::vector<std::uint32_t>().swap(freeSlots_);
    identity_ = true;
    slotEnd_ = static_cast<std::uint32_t>(entryCount());
    for (int r = 0; r < entryCount(); ++r) {
        std::uint64_t rec = records[static_cast<std::size_t>(r)];
        if (r == first - 1) // it meets a new neighbour
            rec &= ~kFollowed;
        if (r >= first && r < first + n) {
            const auto i = static_cast<std::size_t>(r - first);
            // The records are gathered from anywhere: each is fetched a few rows ahead.
            if (i + 16 < newOrder.size())
                __builtin_prefetch(&records[static_cast<std::size_t>(newOrder[i + 16])]);
            LEXANTA_CHECK_INDEX(newOrder[i] >= first && newOrder[i] < first + n, "entry",
                                newOrder[i], first + n);
            rec = records[static_cast<std::size_t>(newOrder[i])];
            if (!(i + 1 < newOrder.size() && newOrder[i + 1] == newOrder[i] + 1))
                rec &= ~kFollowed;
        }
        if (rec != 0)
            setRawRecord(static_cast<std::uint32_t>(r), rec);
    }
    if (observer_)
        observer_->entriesReordered(first, newOrder);
}

void EntryTable::applyChanges(const std::vector<CellChange>& changes) {
    if (changes.empty())
        return;
    int first = entryCount(), last = 0;
    for (const CellChange& c : changes) {
        LEXANTA_CHECK_INDEX(c.entry >= 0 && c.entry < entryCount(), "entry", c.entry, entryCount());
        LEXANTA_CHECK_INDEX(c.field >= 0 && c.field < kFieldCount, "field", c.field, kFieldCount);
        writeText(c.entry, c.field, c.text);
        first = std::min(first, c.entry);
        last = std::max(last, c.entry);
    }
    notifyEntriesChanged(first, last);
}

void EntryTable::clearStorage() {
    std::string().swap(source_);
    std::string().swap(arena_);
    std::vector<Page>().swap(pages_);
    std::vector<WideRow>().swap(wide_);
    std::vector<std::uint32_t>().swap(freeWide_);
    std::vector<std::uint32_t>().swap(order_);
    std::vector<std::uint32_t>().swap(freeSlots_);
    identity_ = true;
    slotEnd_ = static_cast<std::uint32_t>(count_);
    fieldOf_ = kFieldsInPlace;
    fieldsInPlace_ = true;
}

void EntryTable::reset() {
    // The first entry is emptied before the others go, so whoever follows the removal sees
    // the new first entry.
    releaseRecord(slotOf(0));
    const int removed = entryCount() - 1;
    if (removed > 0 && observer_)
        observer_->entriesAboutToBeRemoved(1, removed);
    count_ = 1;
    clearStorage();
    if (removed > 0 && observer_)
        observer_->entriesRemoved();
    if (observer_)
        observer_->entriesChanged(0, 0);
}

void EntryTable::swapContents(EntryTable& other) {
    if (observer_)
        observer_->tableAboutToBeReplaced();
    if (other.observer_)
        other.observer_->tableAboutToBeReplaced();
    swapStorage(other);
    if (observer_)
        observer_->tableReplaced();
    if (other.observer_)
        other.observer_->tableReplaced();
}

std::size_t EntryTable::countEntryBlocks(std::string_view blocks) {
    if (blocks.empty())
        return 0;
    std::size_t lines = countLineFeeds(blocks.data(), 0, blocks.size());
    if (blocks.back() != '\n')
        ++lines;
    return (lines + kBlockLines - 1) / kBlockLines;
}

std::size_t EntryTable::addBlocks(const std::string& buffer, std::size_t begin, std::uint64_t tag,
                                  std::size_t blocks, int first, const ProgressCallback& progress) {
    // The entries from `first` on get slots of their own, numbered in block order; the entry
    // count changes at the end.
    const std::uint32_t slot0 = identity_ ? static_cast<std::uint32_t>(first) : slotEnd_;
    if (blocks == 0)
        return 0;
    if (!identity_) {
        order_.reserve(order_.size() + blocks);
        slotEnd_ += static_cast<std::uint32_t>(blocks);
    }
    // Every page first, so that two threads can fill them.
    allocatePages(slot0, blocks);
    const auto put = [this](std::uint32_t at, std::uint64_t value) {
        pages_[at >> kPageBits][at & (kPageSize - 1)] = value;
    };

    // A long run of blocks is read in two parts on two cores, cut at the first block after
    // the middle.
    const char* data = buffer.data();
    std::size_t cut = buffer.size();
    std::size_t firstBlocks = blocks;
    if (blocks >= static_cast<std::size_t>(kRowsWorthASecondCore)) {
        const std::size_t middle = begin + (buffer.size() - begin) / 2;
        std::size_t lines = countLineFeeds(data, begin, middle);
        const std::size_t k = lines / kBlockLines + 1;
        std::size_t pos = middle;
        while (lines < k * kBlockLines && pos < buffer.size()) {
            const char* lf = findLineFeed(data, pos, buffer.size());
            if (!lf)
                break;
            pos = static_cast<std::size_t>(lf - data) + 1;
            ++lines;
        }
        if (lines == k * kBlockLines && pos < buffer.size() && k < blocks) {
            cut = pos;
            firstBlocks = k;
        }
    }
    const auto total = static_cast<long long>(buffer.size() - begin);
    std::atomic<long long> secondDone{0};
    std::size_t added[2] = {0, 0};
    runOnBothCores(cut < buffer.size(), [&](int part) {
        const std::size_t from = part == 0 ? begin : cut;
        const std::size_t to = part == 0 ? cut : buffer.size();
        const std::size_t most = part == 0 ? firstBlocks : blocks - firstBlocks;
        const std::uint32_t slot = slot0 + static_cast<std::uint32_t>(part == 0 ? 0 : firstBlocks);
        std::size_t nextReport = from + kProgressBytes;
        std::size_t& count = added[part];
        // Each record is written once the next block shows whether it follows.
        std::uint64_t last = 0;
        forEachBlock(data, from, to, [&](std::size_t start, std::uint64_t flags) {
            if (count == most)
                return;
            if (start >= nextReport) {
                if (part == 1)
                    secondDone.store(static_cast<long long>(start - from),
                                     std::memory_order_relaxed);
                else if (progress)
                    progress(static_cast<long long>(start - from) +
                                 secondDone.load(std::memory_order_relaxed),
                             total);
                nextReport = start + kProgressBytes;
            }
            if (count > 0)
                put(slot + static_cast<std::uint32_t>(count) - 1, last | kFollowed);
            last = tag | flags | start;
            ++count;
        });
        if (count > 0)
            put(slot + static_cast<std::uint32_t>(count) - 1, last);
    });
    if (added[1] > 0) { // the first part's last block is followed by the second part's first
        const std::uint32_t joint = slot0 + static_cast<std::uint32_t>(added[0]) - 1;
        put(joint, record(joint) | kFollowed);
    }
    const std::size_t count = added[0] + added[1];
    if (!identity_)
        for (std::uint32_t s = slot0; s < slot0 + count; ++s)
            order_.push_back(s);
    count_ = first + static_cast<int>(count);
    if (progress)
        progress(total, total);
    return count;
}

std::size_t EntryTable::adoptEntryBlocks(std::string&& bytes, std::size_t begin,
                                         const ProgressCallback& progress) {
    begin = std::min(begin, bytes.size());
    const std::size_t blocks = countEntryBlocks(std::string_view(bytes).substr(begin));
    LEXANTA_CHECK_INDEX(blocks <= static_cast<std::size_t>(kMaxEntries), "entry count", blocks,
                        kMaxEntries);
    const std::size_t fitting = std::min<std::size_t>(blocks, kMaxEntries);
    const int before = entryCount();
    const int after = std::max(static_cast<int>(fitting), 1);
    if (observer_ && after > before)
        observer_->entriesAboutToBeInserted(before, after - before);
    if (observer_ && after < before)
        observer_->entriesAboutToBeRemoved(after, before - after);
    count_ = 1;
    clearStorage();
    source_ = std::move(bytes);
    addBlocks(source_, begin, kSourceBlock, fitting, 0, progress);
    count_ = after;
    slotEnd_ = static_cast<std::uint32_t>(count_);
    if (observer_ && after > before)
        observer_->entriesInserted();
    if (observer_ && after < before)
        observer_->entriesRemoved();
    notifyEntriesChanged(0, after - 1);
    return fitting;
}

std::size_t EntryTable::appendEntryBlocks(std::string_view blocks,
                                          const ProgressCallback& progress) {
    const std::size_t count = countEntryBlocks(blocks);
    const long long room = kMaxEntries - static_cast<long long>(entryCount());
    LEXANTA_CHECK_INDEX(count <= static_cast<std::size_t>(room), "entry count", count, room);
    const std::size_t fitting = std::min<std::size_t>(count, static_cast<std::size_t>(room));
    if (fitting == 0)
        return 0;
    const int first = entryCount();
    if (observer_)
        observer_->entriesAboutToBeInserted(first, static_cast<int>(fitting));
    if (fieldsInPlace_) {
        // The copy ends with whole lines and whole blocks, so that nothing appended later
        // reads as part of its last block; a last line without a line end keeps its bytes.
        const std::size_t begin = arena_.size();
        std::size_t lines = countLineFeeds(blocks.data(), 0, blocks.size());
        arena_.reserve(arena_.size() + blocks.size() + 2 + kBlockLines);
        arena_.append(blocks);
        if (blocks.back() != '\n') {
            arena_.append(blocks.back() == '\r' ? "\r\n" : "\n");
            ++lines;
        }
        for (; lines % kBlockLines != 0; ++lines)
            arena_.push_back('\n');
        addBlocks(arena_, begin, kArenaBlock, fitting, first, progress);
    } else {
        // Moved columns no longer follow the file's order of lines: entry by entry.
        insertEmptyEntries(first, static_cast<int>(fitting));
        std::size_t pos = 0;
        for (std::size_t i = 0; i < fitting; ++i) {
            std::string_view lines[kFieldCount];
            for (std::string_view& line : lines)
                line = takeLine(blocks.data(), blocks.size(), pos);
            EntryView v;
            for (int f = 0; f < kFieldCount; ++f)
                v.fields[f] = lines[kLineOfField[f]];
            writeEntry(first + static_cast<int>(i), v);
        }
    }
    if (observer_)
        observer_->entriesInserted();
    notifyEntriesChanged(first, entryCount() - 1);
    return fitting;
}

std::string_view EntryTable::verbatimBlock(int index) const {
    LEXANTA_CHECK_INDEX(index >= 0 && index < entryCount(), "entry", index, entryCount());
    const std::uint32_t slot = slotOf(index);
    const std::uint64_t rec = record(slot);
    if ((rec & kTagMask) == kWide || rec == 0 || !(rec & kCanonical) || !fieldsInPlace_)
        return {};
    const std::string& buffer = (rec & kTagMask) == kSourceBlock ? source_ : arena_;
    const std::size_t start = static_cast<std::size_t>(rec & kPayload);
    std::size_t end = start;
    if (rec & kFollowed) {
        end = static_cast<std::size_t>(record(slot + 1) & kPayload);
    } else {
        // A canonical block has its five line ends.
        for (std::size_t line = 0; line < kBlockLines; ++line)
            end = static_cast<std::size_t>(findLineFeed(buffer.data(), end, buffer.size()) -
                                           buffer.data()) +
                  1;
    }
    return std::string_view(buffer).substr(start, end - start);
}

bool EntryTable::knownClean(int index) const {
    LEXANTA_CHECK_INDEX(index >= 0 && index < entryCount(), "entry", index, entryCount());
    const std::uint64_t rec = record(slotOf(index));
    return rec == 0 || ((rec & kTagMask) != kWide && (rec & kClean) && fieldsInPlace_);
}

std::size_t EntryTable::byteSizeHint() const {
    return source_.size() + arena_.size() + 12 * static_cast<std::size_t>(entryCount());
}

void EntryTable::prefetchEntry(int index) const {
    if (index < 0 || index >= entryCount())
        return;
    const std::uint64_t rec = record(slotOf(index));
    const std::uint64_t tag = rec & kTagMask;
    if (tag == kSourceBlock || tag == kArenaBlock)
        __builtin_prefetch((tag == kSourceBlock ? source_ : arena_).data() + (rec & kPayload));
}

void EntryTable::notifyEntriesChanged(int first, int last) {
    if (observer_ && first <= last)
        observer_->entriesChanged(first, last);
}

} // namespace lexanta
