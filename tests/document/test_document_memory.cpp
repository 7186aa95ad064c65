// Running out of memory at any allocation of any document operation, or of its Undo or Redo,
// leaves the document and its undo stack exactly as they were, and says so; an operation that
// gets through all the same gives what it gives with memory to spare.
#include "document/document.h"
#include "support/document_operations.h"

#include <atomic>
#include <cstdlib>
#include <new>

using namespace lexanta;
using namespace lexanta::test;

namespace {

// Counts allocations down once armed; the one that finds the count at 0 fails, the rest go
// through (one fault per run).
std::atomic<long long> allocationsLeft{-1};

} // namespace

// Every form of new and delete is replaced together, so that none pairs with another's
// allocator (a sanitizer's own, say).
void* operator new(std::size_t size) {
    if (allocationsLeft.load(std::memory_order_relaxed) >= 0 && allocationsLeft.fetch_sub(1) == 0)
        throw std::bad_alloc();
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}

namespace {

struct State {
    std::string bytes;
    VocabularyHeader header;
    FileState file;
    int index;
    int count;
    bool modified;
    bool operator==(const State&) const = default;
};

// The stamp tells the file on disk apart, which each run writes afresh.
State stateOf(const Document& d) {
    FileState file = d.fileState();
    file.stamp = {};
    return {d.bytes(),     d.header(), file, d.undoStack()->index(), d.undoStack()->count(),
            d.isModified()};
}

// Runs `step` with its n-th allocation failing: true when that allocation came.
template <typename Step> bool withFault(long long n, Step&& step) {
    allocationsLeft = n;
    step();
    return allocationsLeft.exchange(-1) < 0;
}

} // namespace

class TestDocumentMemory : public QObject {
    Q_OBJECT

private slots:
    void everyAllocationMayFail_data() { addOperationRows(); }

    void everyAllocationMayFail() {
        QFETCH(Operation, operation);
        OperationFiles files;
        // What the operation gives with memory to spare (first uses of caches happen here).
        Document reference;
        QVERIFY(reference.load(files.copy("messy.lut")).ok());
        const State before = stateOf(reference);
        QVERIFY(operation(reference, files));
        const State after = stateOf(reference);

        // A save writes over the file: each run starts from the same file again.
        const auto fresh = [&](Document& d) {
            QFile::remove(files.messy);
            QVERIFY(files.copy("messy.lut") == files.messy && d.load(files.messy).ok());
        };
        int refused = 0;
        for (long long n = 0;; ++n) {
            Document d;
            fresh(d);
            bool done = false;
            if (!withFault(n, [&] { done = operation(d, files); })) {
                QVERIFY(done); // no allocation left to fail
                QCOMPARE(stateOf(d), after);
                break;
            }
            refused += done ? 0 : 1;
            QVERIFY2(stateOf(d) == (done ? after : before), qPrintable(QString::number(n)));
        }
        QVERIFY(refused > 0);

        // Undo and Redo with each of their allocations failing.
        for (const bool undoing : {true, false}) {
            for (long long n = 0;; ++n) {
                Document d;
                fresh(d);
                QVERIFY(operation(d, files));
                if (!undoing)
                    QVERIFY(d.undo());
                const State from = stateOf(d);
                bool done = false;
                const bool faulted = withFault(n, [&] { done = undoing ? d.undo() : d.redo(); });
                if (done)
                    QCOMPARE(d.bytes(), undoing ? before.bytes : after.bytes);
                else
                    QVERIFY2(stateOf(d) == from, qPrintable(QString::number(n)));
                if (!faulted) {
                    QVERIFY(done);
                    break;
                }
            }
        }
    }

    // An import refused for characters its columns cannot hold, with each allocation of the
    // check failing in turn: refused or out of memory, never ended, the document unchanged.
    void refusedImportUnderFaults() {
        OperationFiles files;
        Document d;
        QVERIFY(d.load(files.messy).ok());
        const State before = stateOf(d);
        for (long long n = 0;; ++n) {
            FileOutcome outcome;
            const bool faulted = withFault(
                n, [&] { outcome = d.importText(files.unholdable, ImportFormat::TwoFields); });
            QVERIFY2(outcome.kind == FileOutcome::Kind::Rejected ||
                         (faulted && outcome.kind == FileOutcome::Kind::OutOfMemory),
                     qPrintable(QString::number(n)));
            QVERIFY2(stateOf(d) == before, qPrintable(QString::number(n)));
            if (!faulted)
                break;
        }
    }
};

QTEST_GUILESS_MAIN(TestDocumentMemory)
#include "test_document_memory.moc"
