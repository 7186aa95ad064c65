#include "core/vocab/entry_blocks.h"
#include "core/vocab/entry_order.h"
#include "core/vocab/entry_table.h"
#include "core/vocab/lut_format.h"

#include <QTest>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <numeric>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

using namespace lexanta;

namespace {

// The entries of a table as plain entries, the model the store must match.
using Model = std::vector<Entry>;

Model contents(const EntryTable& t) {
    Model m(static_cast<std::size_t>(t.entryCount()));
    for (int i = 0; i < t.entryCount(); ++i)
        m[i] = t.entry(i).toEntry();
    return m;
}

// Cell texts with the shapes a file and the editor produce: empty, short, with a trailing CR
// (a lone CR is an ordinary character), with a line break (only the editor writes those).
std::string text(std::mt19937& random) {
    static const char* const kTexts[] = {"",
                                         "",
                                         "cat",
                                         "Katze",
                                         "a b",
                                         " lead",
                                         "x\r",
                                         "\r",
                                         "two\nl",
                                         "0",
                                         "tab\t",
                                         "\x01c",
                                         "longer text here",
                                         "\xE4\xEE"};
    return kTexts[random() % std::size(kTexts)];
}

// A file of random entry blocks with mixed line ends, as old-format bytes (a counter line
// first); the last line has no line end.
std::string randomFile(std::mt19937& random, int entries, Model& model) {
    std::string bytes = "0\r\n";
    model.assign(static_cast<std::size_t>(entries), Entry{});
    static constexpr int kOrder[] = {kQuestion, kComment, kAnswer, kExtra1, kExtra2};
    for (int e = 0; e < entries; ++e)
        for (int field : kOrder) {
            std::string t = text(random);
            if (t.find('\n') != std::string::npos)
                t = "plain";
            if (!t.empty() && t.back() == '\r' && random() % 2)
                t += "y"; // a CR inside the line
            model[e][field] = t;
            bytes += t;
            // A bare LF after a text that ends in CR would take that CR as part of the line end.
            if (e < entries - 1 || field != kExtra2)
                bytes += random() % 3 || (!t.empty() && t.back() == '\r') ? "\r\n" : "\n";
        }
    return bytes;
}

// The (start, flags) of each entry block of data[begin, end), from a plain reading line by line.
using Blocks = std::vector<std::pair<std::size_t, std::uint64_t>>;

Blocks plainBlocks(const std::string& data, std::size_t begin, std::size_t end) {
    const auto above = [](char c) { return static_cast<unsigned char>(c) > ' '; };
    Blocks blocks;
    for (std::size_t pos = begin; pos < end;) {
        const std::size_t start = pos;
        std::uint64_t flags = kBlockCanonical | kBlockClean;
        for (std::size_t k = 0; k < kBlockLines; ++k) {
            const std::size_t from = pos;
            const std::string_view line = takeLine(data.data(), end, pos);
            if (pos - from != line.size() + 2 || (k >= 3 && line.empty()))
                flags &= ~kBlockCanonical; // not ended by CR LF, or an empty extra field
            if (k < 3 && !line.empty() && !(above(line.front()) && above(line.back())))
                flags &= ~kBlockClean;
        }
        blocks.emplace_back(start, flags);
    }
    return blocks;
}

Blocks scannedBlocks(const std::string& data, std::size_t begin, std::size_t end) {
    Blocks blocks;
    forEachBlock(data.data(), begin, end, [&](std::size_t start, std::uint64_t flags) {
        blocks.emplace_back(start, flags);
    });
    return blocks;
}

} // namespace

class TestEntryTable : public QObject {
    Q_OBJECT

private slots:
    // Every operation, on entries read from a file and on entries written since, against plain
    // entries; then the table is written and read back through the file format.
    void matchesPlainEntriesUnderEveryOperation() {
        std::mt19937 random(77);
        for (int round = 0; round < 60; ++round) {
            Model model;
            Vocabulary doc;
            readVocabulary(randomFile(random, 1 + static_cast<int>(random() % 40), model), doc);
            EntryTable& t = doc.entries;
            QCOMPARE(contents(t), model);
            for (int op = 0; op < 150; ++op) {
                const int count = t.entryCount();
                const int r = static_cast<int>(random() % static_cast<unsigned>(count));
                const int s = static_cast<int>(random() % static_cast<unsigned>(count));
                const int c = static_cast<int>(random() % kFieldCount);
                switch (random() % 12) {
                case 0: { // a view of the table's own text, as the frequency analysis writes
                    const std::string copy(t.text(s, c));
                    t.setText(r, c, t.text(s, c));
                    model[r][c] = copy;
                    break;
                }
                case 1: {
                    const std::string x = text(random);
                    t.setText(r, c, x);
                    model[r][c] = x;
                    break;
                }
                case 2: {
                    Entry e;
                    for (std::string& f : e.fields)
                        f = text(random);
                    t.setEntry(r, e);
                    model[r] = e;
                    break;
                }
                case 3: { // two entries exchanged, as the shuffle's steps do
                    const int low = std::min(r, s);
                    std::vector<int> order(static_cast<std::size_t>(std::abs(r - s) + 1));
                    std::iota(order.begin(), order.end(), low);
                    std::swap(order.front(), order.back());
                    t.reorder(low, order);
                    std::swap(model[r], model[s]);
                    break;
                }
                case 4: {
                    t.moveEntry(r, s);
                    const Entry moved = model[r];
                    model.erase(model.begin() + r);
                    model.insert(model.begin() + s, moved);
                    break;
                }
                case 5: {
                    const int at = static_cast<int>(random() % static_cast<unsigned>(count + 1));
                    const int n = 1 + static_cast<int>(random() % 3);
                    t.insertEntries(at, n);
                    model.insert(model.begin() + at, static_cast<std::size_t>(n), Entry{});
                    break;
                }
                case 6:
                    if (count > 1) {
                        t.removeEntries(r, 1);
                        model.erase(model.begin() + r);
                    }
                    break;
                case 7: {
                    const int to = static_cast<int>(random() % kFieldCount);
                    t.moveField(c, to);
                    for (Entry& e : model) {
                        auto& f = e.fields;
                        if (c < to)
                            std::rotate(f.begin() + c, f.begin() + c + 1, f.begin() + to + 1);
                        else if (c > to)
                            std::rotate(f.begin() + to, f.begin() + c, f.begin() + c + 1);
                    }
                    break;
                }
                case 8: { // merge another file's entries
                    Model more;
                    const std::string other =
                        randomFile(random, 1 + static_cast<int>(random() % 4), more);
                    mergeEntries(other, t);
                    model.insert(model.end(), more.begin(), more.end());
                    break;
                }
                case 9:
                    t.setEntryCount(std::max(1, count - static_cast<int>(random() % 3)));
                    model.resize(static_cast<std::size_t>(t.entryCount()));
                    break;
                case 10: { // entries cut off and put back, as an undo step holds them
                    const HeldEntries held = t.takeTail(std::max(1, r));
                    const Model kept(model.begin(), model.begin() + std::max(1, r));
                    if (contents(t) != kept)
                        QFAIL(qPrintable(QStringLiteral("round %1, cut at %2").arg(round).arg(r)));
                    t.appendHeld(held);
                    break;
                }
                default: { // a part of the list, as a sort over all of it is the common case
                    const int first = static_cast<int>(random() % 2) * r;
                    std::vector<int> order(static_cast<std::size_t>(count - first));
                    std::iota(order.begin(), order.end(), first);
                    std::shuffle(order.begin(), order.end(), random);
                    t.reorder(first, order);
                    Model before = model;
                    for (std::size_t i = 0; i < order.size(); ++i)
                        model[first + i] = before[static_cast<std::size_t>(order[i])];
                    break;
                }
                }
                if (contents(t) != model)
                    QFAIL(qPrintable(QStringLiteral("round %1, operation %2").arg(round).arg(op)));
                // The clean-up skips entries known clean: that must never be wrong.
                for (int i = 0; i < t.entryCount(); ++i)
                    if (t.knownClean(i))
                        for (int field : {kQuestion, kAnswer, kComment}) {
                            const std::string& x = model[i][field];
                            if (!x.empty() && (static_cast<unsigned char>(x.front()) <= 32 ||
                                               static_cast<unsigned char>(x.back()) <= 32))
                                QFAIL(qPrintable(QStringLiteral("entry %1 is not clean").arg(i)));
                        }
            }
            // A column read a stretch at a time, as the sort and the frequency runs read it.
            {
                const int field = static_cast<int>(random() % kFieldCount);
                const int first =
                    static_cast<int>(random() % static_cast<unsigned>(t.entryCount()));
                std::vector<std::string_view> column(
                    static_cast<std::size_t>(t.entryCount() - first));
                t.texts(field, first, t.entryCount(), column.data());
                for (std::size_t k = 0; k < column.size(); ++k)
                    QCOMPARE(std::string(column[k]), model[first + k][field]);
            }
            // Written and read back: line breaks become blanks, empty extra fields "0".
            const Vocabulary back = [&] {
                Vocabulary v;
                readVocabulary(serializeVocabulary(doc, false), v);
                return v;
            }();
            QCOMPARE(back.entries.entryCount(), t.entryCount());
            for (int r = 0; r < t.entryCount(); ++r)
                for (int c = 0; c < kFieldCount; ++c) {
                    std::string expected = model[r][c];
                    std::replace(expected.begin(), expected.end(), '\n', ' ');
                    if (c >= kExtra1 && expected.empty())
                        expected = "0";
                    QCOMPARE(std::string(back.entries.text(r, c)), expected);
                }
        }
    }

    // Long files are read in two parts on two cores, cut at a block after the middle.
    // Small chunks, so that inserts, deletes and runs cross them; a copy taken on the way must
    // keep what it saw while the original goes on changing.
    void orderInChunksMatchesAPlainOrder() {
        std::mt19937 random(11);
        EntryOrder order(8);
        std::vector<std::uint32_t> model;
        std::uint32_t nextSlot = 0;
        std::vector<std::pair<EntryOrder, std::vector<std::uint32_t>>> copies;
        for (int op = 0; op < 4000; ++op) {
            const std::size_t size = model.size();
            const std::size_t at = random() % (size + 1);
            const std::size_t removed =
                std::min<std::size_t>(size - at, random() % 4 ? random() % 3 : random() % 40);
            std::vector<std::uint32_t> fresh(random() % 4 ? random() % 3 : random() % 40);
            for (auto& s : fresh)
                s = nextSlot++;
            if (random() % 10 == 0) {
                order.appendRun(nextSlot, fresh.size());
                for (std::size_t i = 0; i < fresh.size(); ++i)
                    model.push_back(nextSlot + static_cast<std::uint32_t>(i));
                nextSlot += static_cast<std::uint32_t>(fresh.size());
            } else {
                order.splice(at, removed, fresh.data(), fresh.size());
                model.erase(model.begin() + static_cast<long>(at),
                            model.begin() + static_cast<long>(at + removed));
                model.insert(model.begin() + static_cast<long>(at), fresh.begin(), fresh.end());
            }
            if (random() % 50 == 0)
                copies.emplace_back(order, model);
            QCOMPARE(order.size(), model.size());
            for (std::size_t i = 0; i < model.size(); ++i)
                if (order[i] != model[i])
                    QFAIL(qPrintable(QStringLiteral("operation %1, entry %2").arg(op).arg(i)));
        }
        for (const auto& [copy, seen] : copies) {
            QCOMPARE(copy.size(), seen.size());
            for (std::size_t i = 0; i < seen.size(); ++i)
                QCOMPARE(copy[i], seen[i]);
        }
    }

    // The block scan against a plain reading: short strings of the bytes that matter, cut
    // anywhere, then long runs of blocks across many chunks of the scan.
    void blockScanMatchesAPlainReading() {
        std::mt19937 random(11);
        std::string data;
        for (int round = 0; round < 40000; ++round) {
            data.resize(random() % 200);
            for (char& c : data)
                c = "a \t\r\n"[random() % 5];
            const std::size_t begin = random() % (std::min<std::size_t>(data.size(), 70) + 1);
            const std::size_t end =
                random() % 2 ? data.size() : begin + random() % (data.size() - begin + 1);
            if (scannedBlocks(data, begin, end) != plainBlocks(data, begin, end))
                QFAIL(qPrintable(QStringLiteral("round %1: %2 bytes from %3 to %4")
                                     .arg(round)
                                     .arg(data.size())
                                     .arg(begin)
                                     .arg(end)));
        }
        data.clear();
        while (data.size() < 300000) { // lines ended by CR LF as a rule
            const std::string t = text(random);
            data += t.find('\n') == std::string::npos && random() % 20 == 0 ? t + "\n" : t + "\r\n";
        }
        std::size_t blocks = 0, canonical = 0, clean = 0;
        for (std::size_t begin : {0, 1, 17, 63})
            for (std::size_t end : {data.size(), data.size() - 3}) {
                const Blocks plain = plainBlocks(data, begin, end);
                QVERIFY(scannedBlocks(data, begin, end) == plain);
                blocks += plain.size();
                for (const auto& block : plain) {
                    canonical += (block.second & kBlockCanonical) != 0;
                    clean += (block.second & kBlockClean) != 0;
                }
            }
        // Canonical and clean blocks, the common case of real files, were there to be found.
        QVERIFY(canonical > blocks / 4 && clean > blocks / 4);
    }

    void longFilesReadInTwoParts() {
        std::mt19937 random(5);
        for (int entries : {20000, 20001, 20003, 25007}) {
            Model model;
            std::string bytes = randomFile(random, entries, model);
            if (entries % 2) { // a last block without its last line, nor the line end before it
                std::size_t end = bytes.rfind('\n');
                if (bytes[end - 1] == '\r')
                    --end;
                bytes.resize(end);
            }
            Vocabulary doc;
            readVocabulary(bytes, doc);
            Vocabulary again;
            readVocabulary(serializeVocabulary(doc, false), again);
            for (const Vocabulary* v : {&doc, &again}) {
                QCOMPARE(v->entries.entryCount(), entries);
                for (int r = 0; r < entries; ++r)
                    for (int c = 0; c < kFieldCount; ++c) {
                        std::string expected = model[r][c];
                        if (v == &again && c >= kExtra1 && expected.empty())
                            expected = "0";
                        if (r == entries - 1 && entries % 2 && c == kExtra2)
                            expected = v == &again ? "0" : "";
                        if (std::string(v->entries.text(r, c)) != expected)
                            QFAIL(qPrintable(QStringLiteral("%1 entries: entry %2, field %3")
                                                 .arg(entries)
                                                 .arg(r)
                                                 .arg(c)));
                    }
            }
        }
    }

    void textsLongerThanAReferenceHolds() {
        const std::string huge(17 << 20, 'w');
        EntryTable t;
        t.setText(0, kAnswer, huge);
        t.setText(0, kQuestion, t.text(0, kAnswer));
        QCOMPARE(t.text(0, kQuestion).size(), huge.size());
        QVERIFY(t.text(0, kAnswer) == huge);
    }

    // A bad entry number stops the program at the call in debug and sanitizer builds.
    void badEntryNumbersAreCaught_data() {
        QTest::addColumn<int>("operation");
        QTest::newRow("entry") << 0;
        QTest::newRow("setEntry") << 1;
        QTest::newRow("moveEntry") << 2;
        QTest::newRow("reorder") << 3;
    }
    void badEntryNumbersAreCaught() {
#if defined(NDEBUG) && !defined(__SANITIZE_ADDRESS__)
        QSKIP("index checks are compiled into debug and sanitizer builds");
#endif
        QFETCH(int, operation);
        const pid_t child = fork();
        if (child == 0) {
            EntryTable t;
            t.setEntryCount(100);
            t.setEntryCount(2); // entry 50 lies in memory the table still owns
            switch (operation) {
            case 0:
                (void)t.entry(50);
                break;
            case 1:
                t.setEntry(50, Entry{});
                break;
            case 2:
                t.moveEntry(0, 50);
                break;
            default:
                t.reorder(0, {0, 50});
                break;
            }
            _exit(0);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFSIGNALED(status));
        QCOMPARE(WTERMSIG(status), SIGABRT);
    }
};

QTEST_APPLESS_MAIN(TestEntryTable)
#include "test_entry_table.moc"
