#pragma once

#include "core/vocab/entry.h"
#include "core/vocab/entry_order.h"
#include "platform/file_io.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lexanta {

// Bytes that only grow at their end, shared by the copies of a store. Each copy sees the bytes
// up to its own size, so the owner may go on appending while a copy is read on another thread;
// the memory is copied only when it must grow and another copy still reads it.
class SharedBytes {
public:
    SharedBytes() = default;
    // Takes bytes that are only read: the first append copies them.
    void adopt(FileBytes&& bytes);
    const char* data() const { return data_; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::string_view view() const { return {data_, size_}; }
    // Room for `extra` more bytes, so that the appends that follow need no memory.
    void reserve(std::size_t extra) { writable(extra); }
    void append(std::string_view text);
    void push_back(char c) { append(std::string_view(&c, 1)); }
    void release();

private:
    std::string& writable(std::size_t extra);
    std::shared_ptr<std::string> bytes_;
    std::shared_ptr<const void> adopted_; // bytes taken whole, not appended to
    const char* data_ = "";
    std::size_t size_ = 0;
};

// A value shared by the copies of a store until one of them changes it. An empty one holds
// no memory.
template <typename T> class CopyOnWrite {
public:
    const T& operator*() const { return value_ ? *value_ : empty(); }
    const T* operator->() const { return &**this; }
    // The value, copied first when another copy shares it.
    T& edit() {
        if (!value_)
            value_ = std::make_shared<T>();
        else if (value_.use_count() != 1)
            value_ = std::make_shared<T>(*value_);
        // What a copy that let go of it last did to the value happened before this.
        std::atomic_thread_fence(std::memory_order_acquire);
        return *value_;
    }
    void replace(T value) { value_ = std::make_shared<T>(std::move(value)); }
    void clear() noexcept { value_.reset(); }

private:
    static const T& empty() {
        static const T none;
        return none;
    }
    std::shared_ptr<T> value_;
};

// A field's text as the store refers to it, valid while the store lives (its buffers only
// grow): an undo step puts the text back by reference instead of keeping a copy.
using TextRef = std::uint64_t;

// Entries taken off the end of a store, to be put back into the same store as they were (an
// undo step's entries): the text they refer to stays in the store, whose buffers only grow,
// so they are held as 8-byte records and wide rows' references, no text copied.
struct HeldEntries {
    std::vector<std::uint64_t> records;
    std::vector<std::array<std::uint64_t, kFieldCount>> wideRefs;
    int count() const { return static_cast<int>(records.size()); }
};

// Where EntryTable keeps its entries; the table checks the entry numbers it hands on and tells
// its observer. Entries are 0 .. count()-1, at least one.
//
// A loaded file's bytes stay one buffer, and an entry read from it is the offset of its block
// there (8 bytes per entry, no copy of a field); a field is found by scanning the block's few
// short lines. Text written later (edits, imports, merged files) is appended to a side arena
// that only grows: an edited entry holds five offset-and-length references, each into the
// file or the arena, so its unchanged fields are not copied. An empty entry costs nothing
// beyond its number. Entries are slots of 8-byte records; once an entry is inserted, deleted
// or moved in the middle, entries become indices into the slots, so that moving, inserting
// and deleting entries moves 4-byte indices, not text. A reorder puts the records themselves
// into entry order again.
//
// Copies are cheap: a copy shares the file's bytes, the arena and the pages of records, and
// whichever side writes afterwards copies the page it writes first. A copy taken before a
// change is how a change is taken back whole, and a copy may be read on another thread while
// the original goes on changing.
class EntryStore {
public:
    EntryStore();
    ~EntryStore();
    EntryStore(EntryStore&& other) noexcept;
    EntryStore& operator=(EntryStore&& other) noexcept;
    EntryStore(const EntryStore&);
    EntryStore& operator=(const EntryStore&) = delete;
    void swap(EntryStore& other) noexcept;

    int count() const { return count_; }
    std::string_view text(int entry, int field) const;
    // The texts of `field` of entries begin..end-1 into out[0..end-begin-1], each entry's bytes
    // fetched a few entries ahead: cheaper than a text() each.
    void texts(int field, int begin, int end, std::string_view* out) const;
    EntryView entry(int index) const;
    bool isEmpty(int index) const { return record(slotOf(index)) == 0; }
    // True when `text` lies in the arena, which a write can move.
    bool inArena(std::string_view text) const;

    void writeText(int index, int field, std::string_view text);
    TextRef textRef(int index, int field);
    void setTextRef(int index, int field, TextRef ref);
    // The texts must not lie in the arena.
    void writeEntry(int index, const EntryView& e);
    void clearEntry(int index);
    void moveEntry(int from, int to);
    void moveField(int from, int to);
    bool fieldsInPlace() const { return fieldsInPlace_; }
    void insertEmptyEntries(int at, int count);
    void removeEntries(int at, int count);
    void reorder(int first, const std::vector<int>& newOrder);
    // Removes entries at .. count()-1 and hands them over; appendHeld puts them back.
    HeldEntries takeTail(int at);
    void appendHeld(const HeldEntries& held);
    // Leaves one empty entry; the storage is released.
    void reset();

    // Takes `bytes` as the buffer, with `blocks` entry blocks from `begin` on as the entries
    // (at least one entry).
    void adoptBlocks(FileBytes&& bytes, std::size_t begin, std::size_t blocks,
                     const ProgressCallback& progress);
    // Appends the first `count` blocks of `blocks` after the last entry.
    void appendBlocks(std::string_view blocks, std::size_t count, const ProgressCallback& progress);

    std::string_view verbatimBlock(int index) const;
    bool knownClean(int index) const;
    std::string_view verbatimRun(int index, int& next) const;
    int firstNotKnownClean(int index) const;
    std::size_t byteSizeHint() const {
        return source_.size() + arena_.size() + 12 * static_cast<std::size_t>(count_);
    }
    void prefetchEntry(int index) const;

private:
    struct WideRow {
        std::uint64_t refs[kFieldCount] = {};
    };
    // Small chunks, as pages below: a keystroke after a snapshot copies the chunk it writes.
    static constexpr int kWideBits = 9;
    struct WideChunk {
        WideRow rows[1u << kWideBits];
    };

    std::uint32_t slotOf(int index) const {
        return identity_ ? std::uint32_t(index) : (*order_)[static_cast<std::size_t>(index)];
    }
    // Small pages: a change copies the pages it writes while a copy of the store shares them
    // (every change does, as a savepoint is such a copy), so a keystroke copies 32 kB.
    static constexpr int kPageBits = 12;
    static constexpr std::uint32_t kPageSize = 1u << kPageBits;
    std::uint64_t record(std::uint32_t slot) const {
        const std::size_t page = slot >> kPageBits;
        if (page >= pages_.size() || !pages_[page])
            return 0;
        return pages_[page][slot & (kPageSize - 1)];
    }
    const WideRow& wideRow(std::uint32_t w) const {
        return wide_[w >> kWideBits]->rows[w & ((1u << kWideBits) - 1)];
    }
    WideRow& editWideRow(std::uint32_t w);
    std::uint32_t addWideRow(const WideRow& row);
    void dropWideRow(std::uint32_t w);
    // The page, copied first when a copy of the store shares it.
    std::uint64_t* writablePage(std::size_t page);
    void setRecord(std::uint32_t slot, std::uint64_t value);
    void setRawRecord(std::uint32_t slot, std::uint64_t value);
    void releaseRecord(std::uint32_t slot);
    void releaseSlots(std::uint32_t first, std::uint32_t end);
    std::uint32_t newSlot();
    void materializeOrder();
    bool shownFieldsKept() const;
    std::uint32_t wideOf(std::uint32_t slot);
    std::uint64_t refFor(std::string_view text);
    std::string_view refText(std::uint64_t ref) const;
    std::string_view blockLine(std::uint64_t rec, int line) const;
    // The text at stored place `place` of the entry of record `rec`; where its block starts
    // (null for a wide or empty entry), to fetch ahead.
    std::string_view recordText(std::uint64_t rec, int place) const;
    const char* blockStart(std::uint64_t rec) const;
    void blockLines(std::uint64_t rec, std::string_view (&lines)[kFieldCount]) const;
    void clearStorage();
    void addBlocks(std::string_view buffer, std::size_t begin, std::uint64_t tag,
                   std::size_t blocks, int first, const ProgressCallback& progress);

    std::string_view buffer(std::uint64_t rec) const;

    SharedBytes source_; // the loaded file's bytes, unchanged
    SharedBytes arena_;  // text written since, appended only
    // Slot records, in pages of kPageSize so that pages of empty entries need no memory: 0
    // for an empty entry, else a block's offset or a wide row's index with a tag in the top bits.
    // Pages are mapped memory: untouched parts take none, and pages filled at once are mapped
    // together and asked for large pages (fewer page faults).
    using Page = std::shared_ptr<std::uint64_t[]>;
    static Page newPage();
    // Pages for `count` slots from `first` on, all to be filled now, each this store's own.
    void allocatePages(std::uint32_t first, std::size_t count);
    std::vector<Page> pages_;
    std::vector<std::shared_ptr<WideChunk>> wide_;
    std::uint32_t wideCount_ = 0;
    CopyOnWrite<std::vector<std::uint32_t>> freeWide_;
    int count_ = 1;
    bool identity_ = true;          // entry i is slot i; order_ is unused
    CopyOnWrite<EntryOrder> order_; // entry -> slot, once entries have moved
    CopyOnWrite<std::vector<std::uint32_t>> freeSlots_;
    std::uint32_t slotEnd_ = 1; // slots at and past this one are unused
    // Stored place of each field, changed by moveField.
    std::array<std::uint8_t, kFieldCount> fieldOf_{0, 1, 2, 3, 4};
    bool fieldsInPlace_ = true; // fieldOf_ is the identity
};

} // namespace lexanta
