#include "core/vocab/entry_store.h"

#include "core/vocab/entry_blocks.h"
#include "platform/both_cores.h"
#include "platform/file_io.h"

#include <sys/mman.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>

namespace lexanta {

namespace {

// Slot records: a tag in the top two bits, then the three flags of a block (entry_blocks.h),
// then the payload: a byte offset or a wide row's index.
constexpr std::uint64_t kTagMask = 3ull << 62;
constexpr std::uint64_t kSourceBlock = 1ull << 62;
constexpr std::uint64_t kArenaBlock = 2ull << 62;
constexpr std::uint64_t kWide = 3ull << 62;
constexpr std::uint64_t kPayload = kBlockClean - 1;
static_assert(kBlockCanonical < kSourceBlock && kBlockFollowed < kBlockCanonical &&
              kBlockClean < kBlockFollowed);

// Cell references of wide rows: bit 63 set for the arena, else the source; then a 39-bit
// offset (buffers up to 512 GiB) and a 24-bit length. Longer texts sit in the arena behind an
// 8-byte length.
constexpr std::uint64_t kInArena = 1ull << 63;
constexpr int kLengthBits = 24;
constexpr std::uint64_t kLongLength = (1ull << kLengthBits) - 1;

constexpr std::array<std::uint8_t, kFieldCount> kFieldsInPlace{0, 1, 2, 3, 4};

constexpr std::size_t kProgressBytes = 1 << 20;

bool within(std::string_view text, std::string_view buffer) {
    const auto begin = reinterpret_cast<std::uintptr_t>(buffer.data());
    const auto p = reinterpret_cast<std::uintptr_t>(text.data());
    return p >= begin && p + text.size() <= begin + buffer.size();
}

struct Unmap {
    std::size_t bytes;
    void operator()(std::uint64_t* records) const { munmap(records, bytes); }
};

std::uint64_t* mapRecords(std::size_t bytes) {
    void* records =
        mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (records == MAP_FAILED)
        throw std::bad_alloc();
    return static_cast<std::uint64_t*>(records);
}

} // namespace

// ---- shared bytes ---------------------------------------------------------------------------

void SharedBytes::adopt(FileBytes&& bytes) {
    bytes_.reset();
    data_ = bytes.view().data();
    size_ = bytes.view().size();
    adopted_ = bytes.owner();
}

std::string& SharedBytes::writable(std::size_t extra) {
    if (adopted_) {
        auto copy = std::make_shared<std::string>();
        copy->reserve(size_ + extra);
        copy->append(data_, size_);
        bytes_ = std::move(copy);
        adopted_.reset();
        data_ = bytes_->data();
    }
    if (!bytes_)
        bytes_ = std::make_shared<std::string>();
    const bool alone = bytes_.use_count() == 1;
    // What a copy that let go of the bytes last read of them happened before this.
    std::atomic_thread_fence(std::memory_order_acquire);
    std::string& bytes = *bytes_;
    // Bytes past this copy's end were appended by a change that was taken back; while another
    // copy shares the memory they are left alone, and the memory is not written past here.
    const bool tail = bytes.size() != size_;
    if (tail && alone)
        bytes.resize(size_);
    if ((tail && !alone) || bytes.capacity() - bytes.size() < extra) {
        const std::size_t wanted = std::max(size_ + extra, 2 * bytes.capacity());
        if (alone) {
            bytes.reserve(wanted);
        } else {
            auto fresh = std::make_shared<std::string>();
            fresh->reserve(wanted);
            fresh->append(data_, size_);
            bytes_ = std::move(fresh);
        }
    }
    return *bytes_;
}

void SharedBytes::append(std::string_view text) {
    std::string& bytes = writable(text.size());
    bytes.append(text);
    data_ = bytes.data();
    size_ = bytes.size();
}

void SharedBytes::release() {
    bytes_.reset();
    adopted_.reset();
    data_ = "";
    size_ = 0;
}

// ---- pages ----------------------------------------------------------------------------------

// A page on its own comes from the heap: a mapping each would run into the system's limit on
// mappings as edits copy pages one by one.
EntryStore::Page EntryStore::newPage() {
    return Page(new std::uint64_t[kPageSize]());
}

std::uint64_t* EntryStore::writablePage(std::size_t page) {
    Page& records = pages_[page];
    if (records.use_count() != 1) {
        Page own(new std::uint64_t[kPageSize]);
        std::memcpy(own.get(), records.get(), kPageSize * sizeof(std::uint64_t));
        records = std::move(own);
    }
    std::atomic_thread_fence(std::memory_order_acquire);
    return records.get();
}

void EntryStore::allocatePages(std::uint32_t first, std::size_t count) {
    if (count == 0)
        return;
    const std::size_t firstPage = first >> kPageBits;
    const std::size_t lastPage = (first + count - 1) >> kPageBits;
    if (pages_.size() <= lastPage)
        pages_.resize(lastPage + 1);
    std::size_t missing = 0;
    for (std::size_t p = firstPage; p <= lastPage; ++p)
        missing += pages_[p] ? 0 : 1;
    // The new pages are one mapping that may take large pages; each page holds it.
    Page together;
    if (missing > 1) {
        const std::size_t bytes = missing * kPageSize * sizeof(std::uint64_t);
        together = Page(mapRecords(bytes), Unmap{bytes});
        preferLargePages(together.get(), bytes);
    }
    std::size_t used = 0;
    for (std::size_t p = firstPage; p <= lastPage; ++p) {
        if (pages_[p])
            writablePage(p);
        else if (together)
            pages_[p] = Page(together.get() + kPageSize * used++, [together](std::uint64_t*) {});
        else
            pages_[p] = newPage();
    }
}

// ---- wide rows ------------------------------------------------------------------------------

EntryStore::WideRow& EntryStore::editWideRow(std::uint32_t w) {
    std::shared_ptr<WideChunk>& chunk = wide_[w >> kWideBits];
    if (chunk.use_count() != 1)
        chunk = std::make_shared<WideChunk>(*chunk);
    std::atomic_thread_fence(std::memory_order_acquire);
    return chunk->rows[w & ((1u << kWideBits) - 1)];
}

std::uint32_t EntryStore::addWideRow(const WideRow& row) {
    std::uint32_t w;
    if (!freeWide_->empty()) {
        w = freeWide_->back();
        freeWide_.edit().pop_back();
    } else {
        w = wideCount_;
        if ((w >> kWideBits) >= wide_.size())
            wide_.push_back(std::make_shared<WideChunk>());
        ++wideCount_;
    }
    editWideRow(w) = row;
    return w;
}

void EntryStore::dropWideRow(std::uint32_t w) {
    freeWide_.edit().push_back(w);
    editWideRow(w) = WideRow{};
}

// ---- the store ------------------------------------------------------------------------------

EntryStore::EntryStore() = default;
EntryStore::~EntryStore() = default;
EntryStore::EntryStore(const EntryStore&) = default;

EntryStore::EntryStore(EntryStore&& other) noexcept {
    swap(other);
}

EntryStore& EntryStore::operator=(EntryStore&& other) noexcept {
    if (this != &other) {
        EntryStore empty;
        swap(other);
        other.swap(empty); // `other` is left empty; what `this` held goes with `empty`
    }
    return *this;
}

void EntryStore::swap(EntryStore& other) noexcept {
    std::swap(source_, other.source_);
    std::swap(arena_, other.arena_);
    std::swap(pages_, other.pages_);
    std::swap(wide_, other.wide_);
    std::swap(wideCount_, other.wideCount_);
    std::swap(freeWide_, other.freeWide_);
    std::swap(count_, other.count_);
    std::swap(identity_, other.identity_);
    std::swap(order_, other.order_);
    std::swap(freeSlots_, other.freeSlots_);
    std::swap(slotEnd_, other.slotEnd_);
    std::swap(fieldOf_, other.fieldOf_);
    std::swap(fieldsInPlace_, other.fieldsInPlace_);
}

void EntryStore::setRecord(std::uint32_t slot, std::uint64_t value) {
    // The block before no longer knows what follows it.
    if (slot > 0) {
        const std::uint64_t before = record(slot - 1);
        if (before & kBlockFollowed)
            setRawRecord(slot - 1, before & ~kBlockFollowed);
    }
    setRawRecord(slot, value & ~kBlockFollowed);
}

void EntryStore::setRawRecord(std::uint32_t slot, std::uint64_t value) {
    const std::size_t page = slot >> kPageBits;
    if (page >= pages_.size()) {
        if (value == 0)
            return;
        pages_.resize(page + 1);
    }
    if (!pages_[page]) {
        if (value == 0)
            return;
        pages_[page] = newPage();
    }
    if (pages_[page][slot & (kPageSize - 1)] != value)
        writablePage(page)[slot & (kPageSize - 1)] = value;
}

void EntryStore::releaseRecord(std::uint32_t slot) {
    const std::uint64_t rec = record(slot);
    if ((rec & kTagMask) == kWide)
        dropWideRow(static_cast<std::uint32_t>(rec & kPayload));
    setRecord(slot, 0);
}

void EntryStore::releaseSlots(std::uint32_t first, std::uint32_t end) {
    if (first >= end)
        return;
    if (first > 0) // the block before no longer knows what follows it
        setRawRecord(first - 1, record(first - 1) & ~kBlockFollowed);
    // Pages mapped with others keep their memory until they all go: it is given back now, one
    // call for each run of pages side by side in memory (each call flushes both cores' TLBs).
    std::size_t runFirst = 0, runEnd = 0;
    const auto giveBackRun = [&] {
        if (runEnd > runFirst) {
            madvise(pages_[runFirst].get(), (runEnd - runFirst) * kPageSize * sizeof(std::uint64_t),
                    MADV_DONTNEED);
            for (std::size_t p = runFirst; p < runEnd; ++p)
                pages_[p].reset();
        }
        runFirst = runEnd = 0;
    };
    for (std::uint32_t s = first; s < end;) {
        const std::size_t page = s >> kPageBits;
        const std::uint32_t pageEnd =
            std::min<std::uint32_t>(end, static_cast<std::uint32_t>((page + 1) << kPageBits));
        if (page < pages_.size() && pages_[page]) {
            const bool whole = s == (page << kPageBits) && pageEnd == ((page + 1) << kPageBits);
            const std::uint64_t* records = pages_[page].get();
            for (std::uint32_t t = s; t < pageEnd; ++t) {
                const std::uint64_t rec = records[t & (kPageSize - 1)];
                if ((rec & kTagMask) == kWide)
                    dropWideRow(static_cast<std::uint32_t>(rec & kPayload));
            }
            if (whole) {
                if (pages_[page].use_count() != 1) {
                    pages_[page].reset();
                } else if (runEnd == page && runEnd > runFirst &&
                           pages_[page].get() == pages_[page - 1].get() + kPageSize) {
                    ++runEnd;
                } else {
                    giveBackRun();
                    runFirst = page;
                    runEnd = page + 1;
                }
            } else {
                std::uint64_t* own = writablePage(page);
                std::fill(own + (s & (kPageSize - 1)), own + ((pageEnd - 1) & (kPageSize - 1)) + 1,
                          std::uint64_t{0});
            }
        }
        s = pageEnd;
    }
    giveBackRun();
}

std::uint32_t EntryStore::newSlot() {
    if (!freeSlots_->empty()) {
        const std::uint32_t slot = freeSlots_->back();
        freeSlots_.edit().pop_back();
        return slot;
    }
    return slotEnd_++;
}

void EntryStore::materializeOrder() {
    if (!identity_)
        return;
    EntryOrder order;
    order.appendRun(0, static_cast<std::size_t>(count_));
    order_.replace(std::move(order));
    slotEnd_ = static_cast<std::uint32_t>(count_);
    identity_ = false;
}

std::string_view EntryStore::buffer(std::uint64_t rec) const {
    return (rec & kTagMask) == kSourceBlock ? source_.view() : arena_.view();
}

std::string_view EntryStore::blockLine(std::uint64_t rec, int line) const {
    const std::string_view buffer = this->buffer(rec);
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

void EntryStore::blockLines(std::uint64_t rec, std::string_view (&lines)[kFieldCount]) const {
    const std::string_view buffer = this->buffer(rec);
    std::size_t pos = static_cast<std::size_t>(rec & kPayload);
    for (std::string_view& line : lines)
        line = takeLine(buffer.data(), buffer.size(), pos);
}

std::string_view EntryStore::refText(std::uint64_t ref) const {
    if (ref == 0)
        return {};
    const std::string_view buffer = (ref & kInArena) ? arena_.view() : source_.view();
    const std::size_t offset = static_cast<std::size_t>((ref & ~kInArena) >> kLengthBits);
    std::size_t length = static_cast<std::size_t>(ref & kLongLength);
    if (length == kLongLength) {
        std::uint64_t longLength = 0;
        std::memcpy(&longLength, buffer.data() + offset, sizeof longLength);
        return buffer.substr(offset + sizeof longLength, static_cast<std::size_t>(longLength));
    }
    return buffer.substr(offset, length);
}

std::uint64_t EntryStore::refFor(std::string_view text) {
    if (text.empty())
        return 0;
    if (text.size() < kLongLength) {
        // Text the table already holds is referred to where it is, not copied.
        for (const SharedBytes* buffer : {&source_, &arena_}) {
            if (within(text, buffer->view()))
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
    const std::uint64_t length = copy.size();
    arena_.reserve(sizeof length + copy.size());
    const std::uint64_t offset = arena_.size();
    arena_.append(std::string_view(reinterpret_cast<const char*>(&length), sizeof length));
    arena_.append(copy);
    return kInArena | offset << kLengthBits | kLongLength;
}

std::uint32_t EntryStore::wideOf(std::uint32_t slot) {
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
    const std::uint32_t w = addWideRow(row);
    setRecord(slot, kWide | w);
    return w;
}

inline std::string_view EntryStore::recordText(std::uint64_t rec, int place) const {
    if (rec == 0)
        return {};
    if ((rec & kTagMask) == kWide)
        return refText(wideRow(static_cast<std::uint32_t>(rec & kPayload)).refs[place]);
    return blockLine(rec, kLineOfField[place]);
}

inline const char* EntryStore::blockStart(std::uint64_t rec) const {
    const std::uint64_t tag = rec & kTagMask;
    if (tag != kSourceBlock && tag != kArenaBlock)
        return nullptr;
    return (tag == kSourceBlock ? source_ : arena_).data() + (rec & kPayload);
}

void EntryStore::prefetchEntry(int index) const {
    if (const char* start = blockStart(record(slotOf(index))))
        __builtin_prefetch(start);
}

std::string_view EntryStore::text(int entry, int field) const {
    return recordText(record(slotOf(entry)), fieldOf_[field]);
}

void EntryStore::texts(int field, int begin, int end, std::string_view* out) const {
    const int place = fieldOf_[field];
    // Each entry's bytes are fetched a few entries ahead, so that several are on their way
    // at any time; as prefetchEntry does, but inline (a call for each entry was slower).
    constexpr int kAhead = 16;
    const auto fetch = [this](int index) {
        if (const char* start = blockStart(record(slotOf(index))))
            __builtin_prefetch(start);
    };
    for (int i = begin; i < end && i < begin + kAhead; ++i)
        fetch(i);
    for (int i = begin; i < end; ++i) {
        if (i + kAhead < end)
            fetch(i + kAhead);
        out[i - begin] = recordText(record(slotOf(i)), place);
    }
}

void EntryStore::writeText(int index, int field, std::string_view text) {
    if (text.empty() && record(slotOf(index)) == 0)
        return;
    setTextRef(index, field, refFor(text));
}

TextRef EntryStore::textRef(int index, int field) {
    return refFor(text(index, field));
}

void EntryStore::setTextRef(int index, int field, TextRef ref) {
    const std::uint32_t slot = slotOf(index);
    const int place = fieldOf_[field];
    if (ref == 0 && record(slot) == 0)
        return;
    const std::uint32_t w = wideOf(slot);
    std::uint64_t* refs = editWideRow(w).refs;
    refs[place] = ref;
    if (std::all_of(refs, refs + kFieldCount, [](std::uint64_t r) { return r == 0; }))
        releaseRecord(slot);
}

EntryView EntryStore::entry(int index) const {
    EntryView v;
    const std::uint64_t rec = record(slotOf(index));
    if (rec == 0)
        return v;
    if ((rec & kTagMask) == kWide) {
        const WideRow& w = wideRow(static_cast<std::uint32_t>(rec & kPayload));
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

void EntryStore::writeEntry(int index, const EntryView& e) {
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
        WideRow row;
        for (int f = 0; f < kFieldCount; ++f)
            row.refs[f] = refFor(byField[f]);
        const std::uint32_t w = wideOf(slot);
        editWideRow(w) = row;
        return;
    }
    // Five short lines in the arena cost less than five references.
    arena_.reserve(bytes);
    const std::uint64_t offset = arena_.size();
    std::uint64_t flags = kBlockClean;
    for (int line = 0; line < kFieldCount; ++line) {
        const std::string_view text = byField[kLineOfField[line]];
        if (line < 3 && !text.empty() && !(isAboveBlank(text.front()) && isAboveBlank(text.back())))
            flags = 0;
        arena_.append(text);
        arena_.push_back('\n');
    }
    setRecord(slot, kArenaBlock | flags | offset);
}

bool EntryStore::inArena(std::string_view text) const {
    return !text.empty() && within(text, arena_.view());
}

void EntryStore::clearEntry(int index) {
    releaseRecord(slotOf(index));
}

void EntryStore::moveEntry(int from, int to) {
    materializeOrder();
    EntryOrder& order = order_.edit();
    const std::uint32_t slot = order[static_cast<std::size_t>(from)];
    order.splice(static_cast<std::size_t>(from), 1, nullptr, 0);
    order.splice(static_cast<std::size_t>(to), 0, &slot, 1);
}

void EntryStore::moveField(int from, int to) {
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
}

void EntryStore::insertEmptyEntries(int at, int count) {
    if (identity_ && at == count_) {
        // Slots past the last entry are empty: appending entries writes nothing.
        count_ += count;
        return;
    }
    materializeOrder();
    std::vector<std::uint32_t> fresh(static_cast<std::size_t>(count));
    for (auto& s : fresh)
        s = newSlot();
    order_.edit().splice(static_cast<std::size_t>(at), 0, fresh.data(), fresh.size());
    count_ += count;
}

void EntryStore::removeEntries(int at, int count) {
    if (identity_ && at + count == count_) {
        releaseSlots(static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(count_));
    } else {
        materializeOrder();
        EntryOrder& order = order_.edit();
        std::vector<std::uint32_t>& freeSlots = freeSlots_.edit();
        freeSlots.reserve(freeSlots.size() + static_cast<std::size_t>(count));
        for (int r = at; r < at + count; ++r) {
            releaseRecord(order[static_cast<std::size_t>(r)]);
            freeSlots.push_back(order[static_cast<std::size_t>(r)]);
        }
        order.splice(static_cast<std::size_t>(at), static_cast<std::size_t>(count), nullptr, 0);
    }
    count_ -= count;
}

HeldEntries EntryStore::takeTail(int at) {
    HeldEntries held;
    const int n = count_ - at;
    held.records.reserve(static_cast<std::size_t>(n));
    preferLargePages(held.records.data(), held.records.capacity() * sizeof(std::uint64_t));
    if (identity_) {
        // In file order the records are taken a page at a time.
        for (int r = at; r < count_;) {
            const std::size_t page = static_cast<std::uint32_t>(r) >> kPageBits;
            const int pageEnd = std::min(count_, static_cast<int>((page + 1) << kPageBits));
            const auto size = static_cast<std::size_t>(pageEnd - r);
            if (page < pages_.size() && pages_[page]) {
                const std::uint64_t* from = pages_[page].get() + (r & (kPageSize - 1));
                held.records.insert(held.records.end(), from, from + size);
            } else {
                held.records.resize(held.records.size() + size);
            }
            r = pageEnd;
        }
    } else {
        for (int r = at; r < count_; ++r)
            held.records.push_back(record(slotOf(r)));
    }
    for (int i = 0; i < n; ++i) {
        std::uint64_t& rec = held.records[static_cast<std::size_t>(i)];
        if ((rec & kTagMask) == kWide) {
            const WideRow& row = wideRow(static_cast<std::uint32_t>(rec & kPayload));
            rec = kWide | held.wideRefs.size();
            held.wideRefs.emplace_back();
            std::copy(std::begin(row.refs), std::end(row.refs), held.wideRefs.back().begin());
        } else if ((rec & kBlockFollowed) &&
                   !(i + 1 < n && (identity_ || slotOf(at + i + 1) == slotOf(at + i) + 1))) {
            rec &= ~kBlockFollowed;
        }
    }
    removeEntries(at, n);
    return held;
}

void EntryStore::appendHeld(const HeldEntries& held) {
    const int at = count_;
    const int n = held.count();
    insertEmptyEntries(at, n);
    if (identity_)
        allocatePages(static_cast<std::uint32_t>(at), static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const std::uint32_t slot = slotOf(at + i);
        std::uint64_t rec = held.records[static_cast<std::size_t>(i)];
        if ((rec & kTagMask) == kWide) {
            WideRow row;
            const auto& refs = held.wideRefs[rec & kPayload];
            std::copy(refs.begin(), refs.end(), row.refs);
            rec = kWide | addWideRow(row);
        } else if ((rec & kBlockFollowed) && !(i + 1 < n && slotOf(at + i + 1) == slot + 1)) {
            rec &= ~kBlockFollowed;
        }
        if (rec != 0)
            setRawRecord(slot, rec);
    }
}

void EntryStore::reorder(int first, const std::vector<int>& newOrder) {
    const auto n = static_cast<int>(newOrder.size());
    // The records themselves move, into entry order: whoever reads the entries in order
    // afterwards (a save, the frequency analysis) walks them in memory order. Entries that had
    // moved before are put in order on the way, and the store keeps no order of its own.
    auto records = largeVector<std::uint64_t>(static_cast<std::size_t>(count_));
    for (int r = 0; r < count_; ++r) {
        std::uint64_t rec = record(slotOf(r));
        // Only a block followed by the next entry's keeps the flag.
        if ((rec & kBlockFollowed) && !(r + 1 < count_ && slotOf(r + 1) == slotOf(r) + 1))
            rec &= ~kBlockFollowed;
        records[static_cast<std::size_t>(r)] = rec;
    }
    // Then every record goes to its new place in new pages, which replace the old ones once
    // they are all there.
    std::vector<Page> old;
    old.swap(pages_);
    try {
        allocatePages(0, static_cast<std::size_t>(count_));
    } catch (...) {
        pages_.swap(old);
        throw;
    }
    old.clear();
    order_.clear();
    freeSlots_.clear();
    identity_ = true;
    slotEnd_ = static_cast<std::uint32_t>(count_);
    for (int r = 0; r < count_; ++r) {
        std::uint64_t rec = records[static_cast<std::size_t>(r)];
        if (r == first - 1) // it meets a new neighbour
            rec &= ~kBlockFollowed;
        if (r >= first && r < first + n) {
            const auto i = static_cast<std::size_t>(r - first);
            // The records are gathered from anywhere: each is fetched a few rows ahead.
            if (i + 16 < newOrder.size())
                __builtin_prefetch(&records[static_cast<std::size_t>(newOrder[i + 16])]);
            rec = records[static_cast<std::size_t>(newOrder[i])];
            if (!(i + 1 < newOrder.size() && newOrder[i + 1] == newOrder[i] + 1))
                rec &= ~kBlockFollowed;
        }
        if (rec != 0)
            setRawRecord(static_cast<std::uint32_t>(r), rec);
    }
}

void EntryStore::clearStorage() {
    source_.release();
    arena_.release();
    std::vector<Page>().swap(pages_);
    std::vector<std::shared_ptr<WideChunk>>().swap(wide_);
    wideCount_ = 0;
    freeWide_.clear();
    order_.clear();
    freeSlots_.clear();
    identity_ = true;
    slotEnd_ = static_cast<std::uint32_t>(count_);
    fieldOf_ = kFieldsInPlace;
    fieldsInPlace_ = true;
}

void EntryStore::reset() {
    count_ = 1;
    clearStorage();
}

void EntryStore::addBlocks(std::string_view buffer, std::size_t begin, std::uint64_t tag,
                           std::size_t blocks, int first, const ProgressCallback& progress) {
    // The entries from `first` on get slots of their own, numbered in block order; the entry
    // count changes at the end.
    const std::uint32_t slot0 = identity_ ? static_cast<std::uint32_t>(first) : slotEnd_;
    if (blocks == 0)
        return;
    if (!identity_)
        slotEnd_ += static_cast<std::uint32_t>(blocks);
    // Every page first, so that two threads can fill them.
    allocatePages(slot0, blocks);
    const auto put = [this](std::uint32_t at, std::uint64_t value) {
        pages_[at >> kPageBits][at & (kPageSize - 1)] = value;
    };

    // A long run of blocks is read in two parts on two cores.
    const char* data = buffer.data();
    std::size_t firstBlocks = blocks;
    const std::size_t cut = blocks >= static_cast<std::size_t>(kRowsWorthASecondCore)
                                ? cutAfterMiddle(data, begin, buffer.size(), blocks, firstBlocks)
                                : buffer.size();
    const auto total = static_cast<long long>(buffer.size() - begin);
    std::atomic<long long> secondDone{0};
    std::size_t added[2] = {0, 0};
    runOnBothCores(cut < buffer.size(), [&](int part) {
        const std::size_t from = part == 0 ? begin : cut;
        const std::size_t to = part == 0 ? cut : buffer.size();
        const std::size_t most = part == 0 ? firstBlocks : blocks - firstBlocks;
        const std::uint32_t slot = slot0 + static_cast<std::uint32_t>(part == 0 ? 0 : firstBlocks);
        std::size_t nextReport = from + kProgressBytes;
        std::size_t count = 0; // a local, not added[part]: the page writes cannot touch it
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
                put(slot + static_cast<std::uint32_t>(count) - 1, last | kBlockFollowed);
            last = tag | flags | start;
            ++count;
        });
        if (count > 0)
            put(slot + static_cast<std::uint32_t>(count) - 1, last);
        added[part] = count;
    });
    if (added[1] > 0) { // the first part's last block is followed by the second part's first
        const std::uint32_t joint = slot0 + static_cast<std::uint32_t>(added[0]) - 1;
        put(joint, record(joint) | kBlockFollowed);
    }
    const std::size_t count = added[0] + added[1];
    if (!identity_)
        order_.edit().appendRun(slot0, count);
    count_ = first + static_cast<int>(count);
    if (progress)
        progress(total, total);
}

void EntryStore::adoptBlocks(FileBytes&& bytes, std::size_t begin, std::size_t blocks,
                             const ProgressCallback& progress) {
    count_ = 1;
    clearStorage();
    source_.adopt(std::move(bytes));
    addBlocks(source_.view(), begin, kSourceBlock, blocks, 0, progress);
    count_ = std::max(static_cast<int>(blocks), 1);
    slotEnd_ = static_cast<std::uint32_t>(count_);
}

void EntryStore::appendBlocks(std::string_view blocks, std::size_t count,
                              const ProgressCallback& progress) {
    const int first = count_;
    if (fieldsInPlace_) {
        // The copy ends with whole lines and whole blocks, so that nothing appended later
        // reads as part of its last block; a last line without a line end keeps its bytes.
        std::size_t lines = countLineFeeds(blocks.data(), 0, blocks.size());
        arena_.reserve(blocks.size() + 2 + kBlockLines);
        const std::size_t begin = arena_.size();
        arena_.append(blocks);
        if (blocks.back() != '\n') {
            arena_.append(blocks.back() == '\r' ? "\r\n" : "\n");
            ++lines;
        }
        for (; lines % kBlockLines != 0; ++lines)
            arena_.push_back('\n');
        addBlocks(arena_.view(), begin, kArenaBlock, count, first, progress);
        return;
    }
    // Moved columns no longer follow the file's order of lines: entry by entry.
    insertEmptyEntries(first, static_cast<int>(count));
    std::size_t pos = 0;
    for (std::size_t i = 0; i < count; ++i) {
        std::string_view lines[kFieldCount];
        for (std::string_view& line : lines)
            line = takeLine(blocks.data(), blocks.size(), pos);
        EntryView v;
        for (int f = 0; f < kFieldCount; ++f)
            v.fields[f] = lines[kLineOfField[f]];
        writeEntry(first + static_cast<int>(i), v);
    }
}

std::string_view EntryStore::verbatimBlock(int index) const {
    const std::uint32_t slot = slotOf(index);
    const std::uint64_t rec = record(slot);
    if ((rec & kTagMask) == kWide || rec == 0 || !(rec & kBlockCanonical) || !fieldsInPlace_)
        return {};
    const std::string_view buffer = this->buffer(rec);
    const std::size_t start = static_cast<std::size_t>(rec & kPayload);
    std::size_t end = start;
    if (rec & kBlockFollowed) {
        end = static_cast<std::size_t>(record(slot + 1) & kPayload);
    } else {
        // A canonical block has its five line ends.
        for (std::size_t line = 0; line < kBlockLines; ++line)
            end = static_cast<std::size_t>(findLineFeed(buffer.data(), end, buffer.size()) -
                                           buffer.data()) +
                  1;
    }
    return buffer.substr(start, end - start);
}

std::string_view EntryStore::verbatimRun(int index, int& next) const {
    next = index;
    if (!identity_) {
        const std::string_view block = verbatimBlock(index);
        next += block.empty() ? 0 : 1;
        return block;
    }
    // Entries are slots: the records are read in a row, without a call per entry.
    auto slot = static_cast<std::uint32_t>(index);
    const auto end = static_cast<std::uint32_t>(count_);
    const std::uint64_t first = record(slot);
    const std::uint64_t tag = first & kTagMask;
    constexpr std::uint64_t kFollowedCanonical = kBlockFollowed | kBlockCanonical;
    if (!fieldsInPlace_ || first == 0 || tag == kWide || !(first & kBlockCanonical))
        return {};
    std::uint64_t rec = first;
    while ((rec & kFollowedCanonical) == kFollowedCanonical && slot + 1 < end) {
        const std::uint64_t after = record(slot + 1);
        if ((after & (kTagMask | kBlockCanonical)) != (tag | kBlockCanonical))
            break;
        rec = after;
        ++slot;
    }
    const std::string_view buffer = this->buffer(first);
    const auto start = static_cast<std::size_t>(first & kPayload);
    const std::string_view last = verbatimBlock(static_cast<int>(slot));
    next = static_cast<int>(slot) + 1;
    return buffer.substr(
        start, static_cast<std::size_t>(last.data() + last.size() - (buffer.data() + start)));
}

int EntryStore::firstNotKnownClean(int index) const {
    const bool kept = shownFieldsKept();
    for (; index < count_; ++index) {
        const std::uint64_t rec = record(slotOf(index));
        if (rec != 0 && (!kept || (rec & kTagMask) == kWide || !(rec & kBlockClean)))
            return index;
    }
    return count_;
}

bool EntryStore::knownClean(int index) const {
    const std::uint64_t rec = record(slotOf(index));
    return rec == 0 || ((rec & kTagMask) != kWide && (rec & kBlockClean) && shownFieldsKept());
}

bool EntryStore::shownFieldsKept() const {
    // The check covers the question, answer and comment lines, in whichever of them they show.
    return fieldOf_[kQuestion] <= kComment && fieldOf_[kAnswer] <= kComment &&
           fieldOf_[kComment] <= kComment;
}

} // namespace lexanta
