#include "core/interchange/anki_package.h"

#include "core/interchange/anki_text.h"
#include "core/interchange/sqlite_database.h"
#include "core/interchange/text_decoding.h"
#include "core/interchange/zip_package.h"
#include "core/vocab/entry_table.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <zstd.h>

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

namespace lexanta {

namespace {

constexpr char kFieldSeparator = '\x1f';
constexpr long long kProgressNotes = 4096;

// The newest form first: a package made for every version holds the older ones beside it.
const char* const kCollections[] = {"collection.anki21b", "collection.anki21", "collection.anki2"};

// A zstd bomb is held to what a zip part may unpack to; a database of empty pages packs
// tighter than a zip's deflate would, hence the larger ratio.
ReadError unpackZstd(const std::string& packed, std::string& out, const QString& part) {
    const std::uint64_t limit = std::min<std::uint64_t>(
        ZipLimits{}.maxPartBytes,
        std::max<std::uint64_t>(ZipLimits{}.ratioFreeBytes, std::uint64_t(packed.size()) * 2000));
    const std::unique_ptr<ZSTD_DCtx, decltype(&ZSTD_freeDCtx)> context(ZSTD_createDCtx(),
                                                                       ZSTD_freeDCtx);
    if (!context)
        return {part, QStringLiteral("not enough memory")};
    const unsigned long long stated = ZSTD_getFrameContentSize(packed.data(), packed.size());
    if (stated != ZSTD_CONTENTSIZE_UNKNOWN && stated != ZSTD_CONTENTSIZE_ERROR && stated <= limit)
        out.reserve(static_cast<std::size_t>(stated));
    ZSTD_inBuffer in{packed.data(), packed.size(), 0};
    std::size_t last = 1;
    for (;;) {
        const std::size_t done = out.size();
        out.resize(done + ZSTD_DStreamOutSize());
        ZSTD_outBuffer chunk{out.data() + done, ZSTD_DStreamOutSize(), 0};
        last = ZSTD_decompressStream(context.get(), &chunk, &in);
        out.resize(done + chunk.pos);
        if (ZSTD_isError(last))
            return {part, QStringLiteral("damaged compressed data: %1")
                              .arg(QString::fromUtf8(ZSTD_getErrorName(last)))};
        if (out.size() > limit)
            return {
                part,
                QStringLiteral("unpacks to more than it may (%1 bytes): a zip bomb?").arg(limit)};
        // Room left in the output means all that the input gives is out.
        if (in.pos == in.size && chunk.pos < chunk.size)
            break;
    }
    if (last != 0)
        return {part, QStringLiteral("the compressed data is cut off")};
    return {};
}

// Field names by note type, in their order.
using FieldNames = std::map<std::int64_t, QStringList>;

ReadError readNoteTypes(SqliteDatabase& db, const QStringList& tables, FieldNames& names) {
    // Anki 2.1.28 on keeps note types in tables; before, as JSON in the collection's row.
    if (tables.contains(QLatin1String("notetypes")) && tables.contains(QLatin1String("fields"))) {
        SqliteDatabase::Query q(db, "SELECT ntid, name FROM fields ORDER BY ntid, ord");
        while (q.next())
            names[q.integer(0)] << QString::fromUtf8(q.text(1).data(),
                                                     static_cast<qsizetype>(q.text(1).size()));
        return q.error().isEmpty() ? ReadError{} : ReadError{QString(), q.error()};
    }
    if (!tables.contains(QLatin1String("col")))
        return {};
    SqliteDatabase::Query q(db, "SELECT models FROM col");
    if (!q.next())
        return {QString(),
                q.error().isEmpty() ? QStringLiteral("the collection has no settings") : q.error()};
    const std::string_view text = q.text(0);
    QJsonParseError parsed;
    const QJsonDocument json = QJsonDocument::fromJson(
        QByteArray::fromRawData(text.data(), static_cast<qsizetype>(text.size())), &parsed);
    if (parsed.error != QJsonParseError::NoError)
        return {QString(), QStringLiteral("the note types cannot be read: %1 at offset %2")
                               .arg(parsed.errorString())
                               .arg(parsed.offset)};
    const QJsonObject models = json.object();
    for (auto model = models.begin(); model != models.end(); ++model) {
        std::vector<std::pair<int, QString>> fields;
        for (const QJsonValue f : model.value().toObject().value(QLatin1String("flds")).toArray())
            fields.emplace_back(f.toObject().value(QLatin1String("ord")).toInt(),
                                f.toObject().value(QLatin1String("name")).toString());
        std::stable_sort(fields.begin(), fields.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        QStringList& list = names[model.key().toLongLong()];
        for (const auto& field : fields)
            list << field.second;
    }
    return {};
}

// Each column's heading: the names the note types give it, each once.
QStringList columnHeadings(const FieldNames& names, const std::vector<std::int64_t>& typesUsed) {
    QStringList headings;
    for (const std::int64_t type : typesUsed) {
        const auto found = names.find(type);
        if (found == names.end())
            continue;
        for (qsizetype i = 0; i < found->second.size(); ++i) {
            if (i == headings.size())
                headings << found->second[i];
            else if (!headings[i].split(QStringLiteral(" / ")).contains(found->second[i]))
                headings[i] += QStringLiteral(" / ") + found->second[i];
        }
    }
    return headings;
}

ReadError readNotes(SqliteDatabase& db, ReadList& out, std::vector<std::int64_t>& typesUsed,
                    const ProgressCallback& progress) {
    long long total = 0;
    {
        SqliteDatabase::Query count(db, "SELECT count(*) FROM notes");
        if (count.next())
            total = count.integer(0);
        if (!count.error().isEmpty())
            return {QString(), count.error()};
    }
    if (total > EntryTable::kMaxEntries)
        return {QString(), QStringLiteral("more notes (%1) than a vocabulary holds (%2)")
                               .arg(total)
                               .arg(EntryTable::kMaxEntries)};
    out.sheet = Sheet(Sheet::Places::Notes);
    SqliteDatabase::Query q(db, "SELECT id, mid, flds FROM notes ORDER BY id");
    std::string plain;
    long long note = 0;
    while (q.next()) {
        ++note;
        const auto where = [&](qsizetype field) {
            const QString n = QStringLiteral("note %1 (id %2)").arg(note).arg(q.integer(0));
            return field < 0 ? n : QStringLiteral("%1, field %2").arg(n).arg(field + 1);
        };
        if (q.isNull(2))
            return {where(-1), QStringLiteral("a note with no fields")};
        const std::int64_t type = q.integer(1);
        if (std::find(typesUsed.begin(), typesUsed.end(), type) == typesUsed.end())
            typesUsed.push_back(type);
        std::string_view fields = q.text(2);
        for (qsizetype field = 0;; ++field) {
            const std::size_t end = fields.find(kFieldSeparator);
            const std::string_view html = fields.substr(0, end);
            if (firstInvalidUtf8(html) != std::string_view::npos)
                return {where(field), QStringLiteral("not valid UTF-8")};
            if (html.find('\0') != std::string_view::npos)
                return {where(field), QStringLiteral("a NUL character (U+0000), which no field "
                                                     "can hold")};
            if (htmlToText(html, plain, out.notes.mediaDropped)) {
                ++out.notes.htmlCells;
                out.sheet.addCell(plain);
            } else {
                out.sheet.addCell(html);
            }
            if (end == std::string_view::npos)
                break;
            fields.remove_prefix(end + 1);
        }
        out.sheet.endRow(note);
        if (progress && note % kProgressNotes == 0)
            progress(note, total);
    }
    if (!q.error().isEmpty())
        return {QStringLiteral("note %1").arg(note + 1), q.error()};
    return {};
}

} // namespace

bool isZipArchive(std::string_view bytes) {
    return bytes.starts_with("PK\x03\x04") || bytes.starts_with("PK\x05\x06");
}

ReadError readAnkiPackage(std::string_view bytes, ReadList& out, const ProgressCallback& progress) {
    if (!isZipArchive(bytes))
        return {QString(), QStringLiteral("not a zip archive, as an Anki package is")};
    ZipPackage zip;
    if (ReadError e = zip.open(bytes); e.isError())
        return e;
    const auto found =
        std::find_if(std::begin(kCollections), std::end(kCollections),
                     [&zip](const char* name) { return zip.has(QLatin1String(name)); });
    if (found == std::end(kCollections))
        return {QString(), QStringLiteral("no collection in it (collection.anki21b, "
                                          "collection.anki21 or collection.anki2): not an Anki "
                                          "package")};
    const QString part = QLatin1String(*found);
    std::string database;
    if (ReadError e = zip.readPart(part, database); e.isError())
        return e;
    if (found == std::begin(kCollections)) {
        std::string packed;
        packed.swap(database);
        if (ReadError e = unpackZstd(packed, database, part); e.isError())
            return e;
    }
    SqliteDatabase db;
    if (const QString why = db.open(std::move(database)); !why.isEmpty())
        return {part, why};
    QStringList tables;
    if (const QString why = db.tables(tables); !why.isEmpty())
        return {part, why};
    if (!tables.contains(QLatin1String("notes")))
        return {part, QStringLiteral("no notes in it: not an Anki collection")};
    FieldNames names;
    if (ReadError e = readNoteTypes(db, tables, names); e.isError())
        return {part, e.reason};
    std::vector<std::int64_t> typesUsed;
    if (ReadError e = readNotes(db, out, typesUsed, progress); e.isError()) {
        out = ReadList{};
        return {e.where.isEmpty() ? part : e.where, e.reason};
    }
    out.columnNames = columnHeadings(names, typesUsed);
    out.firstRowIsHeader = false;
    return {};
}

} // namespace lexanta
