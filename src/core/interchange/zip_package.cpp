#include "core/interchange/zip_package.h"

#include "core/interchange/loaded_library.h"

#include <zip.h>

#include <algorithm>
#include <cstring>

namespace lexanta {

namespace {

// libzip is loaded when a container is first read or written: with the crypto library it
// brings, linking it would cost every start of both programs a few milliseconds.
#define LEXANTA_ZIP_FUNCTIONS(F)                                                                   \
    F(zip_close)                                                                                   \
    F(zip_discard)                                                                                 \
    F(zip_error_code_zip)                                                                          \
    F(zip_error_fini)                                                                              \
    F(zip_error_init)                                                                              \
    F(zip_error_init_with_code)                                                                    \
    F(zip_error_strerror)                                                                          \
    F(zip_fclose)                                                                                  \
    F(zip_file_add)                                                                                \
    F(zip_file_get_error)                                                                          \
    F(zip_file_set_dostime)                                                                        \
    F(zip_fopen_index)                                                                             \
    F(zip_fread)                                                                                   \
    F(zip_name_locate)                                                                             \
    F(zip_open_from_source)                                                                        \
    F(zip_set_file_compression)                                                                    \
    F(zip_source_buffer)                                                                           \
    F(zip_source_buffer_create)                                                                    \
    F(zip_source_close)                                                                            \
    F(zip_source_free)                                                                             \
    F(zip_source_keep)                                                                             \
    F(zip_source_open)                                                                             \
    F(zip_source_read)                                                                             \
    F(zip_source_stat)                                                                             \
    F(zip_stat_index)                                                                              \
    F(zip_stat_init)                                                                               \
    F(zip_strerror)

struct LibZip {
#define LEXANTA_ZIP_MEMBER(name) decltype(&::name) name = nullptr;
    LEXANTA_ZIP_FUNCTIONS(LEXANTA_ZIP_MEMBER)
#undef LEXANTA_ZIP_MEMBER
    QString error; // why it could not be loaded
};

const LibZip& loadLibZip() {
    static const LibZip loaded = [] {
        LibZip z;
        LoadedLibrary library(LEXANTA_LIBZIP_SONAME, "the zip library");
#define LEXANTA_ZIP_RESOLVE(name) &&library.resolve(z.name, #name)
        if (!(true LEXANTA_ZIP_FUNCTIONS(LEXANTA_ZIP_RESOLVE)))
            z.error = library.error();
#undef LEXANTA_ZIP_RESOLVE
        return z;
    }();
    return loaded;
}

// Once a package is open or an archive is being written, the library is there.
const LibZip& zip() {
    return loadLibZip();
}

zip_t* asArchive(void* p) {
    return static_cast<zip_t*>(p);
}

QString zipErrorText(int code) {
    zip_error_t error;
    zip().zip_error_init_with_code(&error, code);
    const QString text = QString::fromLocal8Bit(zip().zip_error_strerror(&error));
    zip().zip_error_fini(&error);
    return text;
}

} // namespace

ZipPackage::ZipPackage() = default;

ZipPackage::~ZipPackage() {
    if (archive_)
        zip().zip_discard(asArchive(archive_));
}

ReadError ZipPackage::open(std::string_view bytes, const ZipLimits& limits) {
    limits_ = limits;
    // libzip takes no bytes for an archive without parts; the missing part would be the reason.
    if (bytes.empty())
        return {QString(), QStringLiteral("the file is empty")};
    if (!loadLibZip().error.isEmpty())
        return {QString(), loadLibZip().error};
    zip_error_t error;
    zip().zip_error_init(&error);
    zip_source_t* source = zip().zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    if (!source) {
        const QString text = QString::fromLocal8Bit(zip().zip_error_strerror(&error));
        zip().zip_error_fini(&error);
        return {QString(), text};
    }
    zip_t* archive = zip().zip_open_from_source(source, ZIP_RDONLY, &error);
    if (!archive) {
        zip().zip_source_free(source);
        const int code = zip().zip_error_code_zip(&error);
        zip().zip_error_fini(&error);
        return {QString(),
                code == ZIP_ER_NOZIP
                    ? QStringLiteral("not a zip archive (a spreadsheet file is one)")
                    : QStringLiteral("not a readable zip archive: %1").arg(zipErrorText(code))};
    }
    zip().zip_error_fini(&error);
    archive_ = archive;
    return {};
}

bool ZipPackage::has(const QString& part) const {
    return archive_ &&
           zip().zip_name_locate(asArchive(archive_), part.toUtf8().constData(), 0) >= 0;
}

ZipPackage::Part::~Part() {
    if (file_)
        zip().zip_fclose(static_cast<zip_file_t*>(file_));
}

std::int64_t ZipPackage::Part::read(char* buffer, std::int64_t size) {
    if (!error_.isEmpty())
        return -1;
    const zip_int64_t n =
        zip().zip_fread(static_cast<zip_file_t*>(file_), buffer, static_cast<zip_uint64_t>(size));
    if (n < 0) {
        error_ = QStringLiteral("a damaged part: %1")
                     .arg(QString::fromLocal8Bit(zip().zip_error_strerror(
                         zip().zip_file_get_error(static_cast<zip_file_t*>(file_)))));
        return -1;
    }
    done_ += static_cast<std::uint64_t>(n);
    if (done_ > limit_) {
        error_ = QStringLiteral("unpacks to more than it may (%1 bytes): a zip bomb?").arg(limit_);
        return -1;
    }
    return n;
}

std::unique_ptr<ZipPackage::Part> ZipPackage::openPart(const QString& part, QString& error) const {
    const QByteArray name = part.toUtf8();
    const zip_int64_t index = zip().zip_name_locate(asArchive(archive_), name.constData(), 0);
    if (index < 0) {
        error = QStringLiteral("the part %1 is missing").arg(part);
        return nullptr;
    }
    zip_stat_t stat;
    zip().zip_stat_init(&stat);
    if (zip().zip_stat_index(asArchive(archive_), static_cast<zip_uint64_t>(index), 0, &stat) !=
        0) {
        error = QStringLiteral("the part %1 cannot be read").arg(part);
        return nullptr;
    }
    // The stated sizes may lie; the part is held to them and to the limits as it unpacks.
    std::uint64_t limit = limits_.maxPartBytes;
    if (stat.valid & ZIP_STAT_COMP_SIZE)
        limit = std::min(limit, std::max<std::uint64_t>(limits_.ratioFreeBytes,
                                                        stat.comp_size * limits_.maxRatio));
    if ((stat.valid & ZIP_STAT_SIZE) && stat.size > limit) {
        error =
            QStringLiteral("the part %1 would unpack to %2 bytes, more than it may: a zip bomb?")
                .arg(part)
                .arg(stat.size);
        return nullptr;
    }
    zip_file_t* file =
        zip().zip_fopen_index(asArchive(archive_), static_cast<zip_uint64_t>(index), 0);
    if (!file) {
        error = QStringLiteral("the part %1 cannot be unpacked: %2")
                    .arg(part, QString::fromLocal8Bit(zip().zip_strerror(asArchive(archive_))));
        return nullptr;
    }
    auto opened = std::unique_ptr<Part>(new Part);
    opened->file_ = file;
    opened->limit_ = limit;
    opened->size_ = (stat.valid & ZIP_STAT_SIZE) ? stat.size : 0;
    return opened;
}

ReadError ZipPackage::readPart(const QString& part, std::string& out) const {
    QString error;
    const std::unique_ptr<Part> p = openPart(part, error);
    if (!p)
        return {QString(), error};
    out.clear();
    char buffer[1 << 15];
    for (;;) {
        const std::int64_t n = p->read(buffer, sizeof buffer);
        if (n < 0)
            return {part, p->error()};
        if (n == 0)
            return {};
        out.append(buffer, static_cast<std::size_t>(n));
    }
}

std::string writeZip(const std::vector<std::pair<QString, std::string>>& parts, QString& error) {
    if (!loadLibZip().error.isEmpty()) {
        error = loadLibZip().error;
        return {};
    }
    zip_error_t zipError;
    zip().zip_error_init(&zipError);
    zip_source_t* target = zip().zip_source_buffer_create(nullptr, 0, 0, &zipError);
    zip_t* archive = target ? zip().zip_open_from_source(target, ZIP_TRUNCATE, &zipError) : nullptr;
    const auto fail = [&](const QString& why) {
        error = why;
        if (archive)
            zip().zip_discard(archive);
        else if (target)
            zip().zip_source_free(target);
        zip().zip_error_fini(&zipError);
        return std::string();
    };
    if (!archive)
        return fail(QString::fromLocal8Bit(zip().zip_error_strerror(&zipError)));
    zip().zip_source_keep(target);
    bool first = true;
    for (const auto& [name, bytes] : parts) {
        zip_source_t* data = zip().zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
        const zip_int64_t index =
            data ? zip().zip_file_add(archive, name.toUtf8().constData(), data, ZIP_FL_ENC_UTF_8)
                 : -1;
        if (index < 0) {
            if (data)
                zip().zip_source_free(data);
            zip().zip_source_free(target);
            return fail(QString::fromLocal8Bit(zip().zip_strerror(archive)));
        }
        zip().zip_set_file_compression(archive, static_cast<zip_uint64_t>(index),
                                       first ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
        // A fixed time: the same list gives the same file.
        zip().zip_file_set_dostime(archive, static_cast<zip_uint64_t>(index), 0, (1 << 5) | 1, 0);
        first = false;
    }
    if (zip().zip_close(archive) != 0) {
        const QString why = QString::fromLocal8Bit(zip().zip_strerror(archive));
        zip().zip_source_free(target);
        return fail(why);
    }
    archive = nullptr;
    std::string out;
    zip_stat_t stat;
    zip().zip_stat_init(&stat);
    if (zip().zip_source_open(target) != 0 || zip().zip_source_stat(target, &stat) != 0) {
        zip().zip_source_free(target);
        target = nullptr;
        return fail(QStringLiteral("the archive could not be made"));
    }
    out.resize(stat.size);
    const zip_int64_t n = zip().zip_source_read(target, out.data(), out.size());
    zip().zip_source_close(target);
    zip().zip_source_free(target);
    zip().zip_error_fini(&zipError);
    if (n < 0 || static_cast<std::uint64_t>(n) != stat.size) {
        error = QStringLiteral("the archive could not be made");
        return {};
    }
    return out;
}

// ---- XML ------------------------------------------------------------------------------

XmlStream::XmlStream(Feed feed, QString partName)
    : feed_(std::move(feed)), part_(std::move(partName)) {}

void XmlStream::fail(const QString& reason) {
    if (error_.isError())
        return;
    const QString line = QStringLiteral("line %1").arg(xml_.lineNumber());
    error_ = {part_.isEmpty() ? line : part_ + QStringLiteral(", ") + line, reason};
}

bool XmlStream::next() {
    if (error_.isError())
        return false;
    for (;;) {
        if (!fed_ || xml_.error() == QXmlStreamReader::PrematureEndOfDocumentError) {
            char buffer[1 << 16];
            QString why;
            const std::int64_t n = feed_(buffer, sizeof buffer, why);
            if (n < 0) {
                fail(why.isEmpty() ? QStringLiteral("the data cannot be read") : why);
                return false;
            }
            fed_ = true;
            if (n == 0) {
                if (xml_.error() == QXmlStreamReader::PrematureEndOfDocumentError) {
                    fail(QStringLiteral("the XML ends too early"));
                    return false;
                }
            } else {
                xml_.addData(QByteArray(buffer, static_cast<qsizetype>(n)));
            }
        }
        const QXmlStreamReader::TokenType token = xml_.readNext();
        if (xml_.error() == QXmlStreamReader::PrematureEndOfDocumentError)
            continue;
        if (xml_.hasError()) {
            fail(QStringLiteral("not well-formed XML: %1").arg(xml_.errorString()));
            return false;
        }
        if (token == QXmlStreamReader::DTD && !xml_.entityDeclarations().isEmpty()) {
            fail(QStringLiteral("the document type declares entities, which are not read"));
            return false;
        }
        if (token == QXmlStreamReader::EndDocument)
            return false;
        return true;
    }
}

bool XmlStream::skipElement() {
    int depth = 1;
    while (depth > 0 && next()) {
        if (xml_.isStartElement())
            ++depth;
        else if (xml_.isEndElement())
            --depth;
    }
    return !hasError() && depth == 0;
}

bool XmlStream::elementText(QString& text) {
    text.clear();
    int depth = 1;
    while (depth > 0 && next()) {
        if (xml_.isStartElement())
            ++depth;
        else if (xml_.isEndElement())
            --depth;
        else if (xml_.isCharacters() || xml_.isEntityReference())
            text += xml_.text();
    }
    return !hasError() && depth == 0;
}

XmlStream::Feed memoryFeed(std::string_view bytes) {
    return [bytes](char* buffer, std::int64_t size, QString&) mutable -> std::int64_t {
        const std::size_t n = std::min(bytes.size(), static_cast<std::size_t>(size));
        std::memcpy(buffer, bytes.data(), n);
        bytes.remove_prefix(n);
        return static_cast<std::int64_t>(n);
    };
}

XmlStream::Feed partFeed(ZipPackage::Part& part) {
    return [&part](char* buffer, std::int64_t size, QString& error) -> std::int64_t {
        const std::int64_t n = part.read(buffer, size);
        if (n < 0)
            error = part.error();
        return n;
    };
}

void appendXmlText(std::string& out, std::string_view utf8) {
    std::size_t from = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char* entity;
        switch (utf8[i]) {
        case '&':
            entity = "&amp;";
            break;
        case '<':
            entity = "&lt;";
            break;
        case '>':
            entity = "&gt;";
            break;
        case '"':
            entity = "&quot;";
            break;
        case '\r': // a reader would take a bare CR for a line feed
            entity = "&#13;";
            break;
        default:
            continue;
        }
        out.append(utf8.substr(from, i - from));
        out += entity;
        from = i + 1;
    }
    out.append(utf8.substr(from));
}

char32_t firstNonXmlCharacter(std::string_view utf8) {
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
            return c;
        // U+FFFE and U+FFFF: EF BF BE, EF BF BF.
        if (c == 0xEF && i + 2 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) == 0xBF &&
            (static_cast<unsigned char>(utf8[i + 2]) & 0xFE) == 0xBE)
            return 0xFFFE + (static_cast<unsigned char>(utf8[i + 2]) & 1);
    }
    return 0;
}

} // namespace lexanta
