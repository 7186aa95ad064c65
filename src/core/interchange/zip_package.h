#pragma once

// The zip containers of .ods and .xlsx (libzip), and the streaming XML their parts and KVTML
// files are read with (QXmlStreamReader, fed a piece at a time, so that no part needs to be
// unpacked whole or turned into a tree).

#include "core/interchange/sheet.h"

#include <QXmlStreamReader>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lexanta {

// Limits against zip bombs: a part may unpack to at most maxPartBytes, and past
// ratioFreeBytes to at most maxRatio times its packed size.
struct ZipLimits {
    std::uint64_t maxPartBytes = std::uint64_t(4) << 30;
    std::uint64_t ratioFreeBytes = std::uint64_t(16) << 20;
    std::uint64_t maxRatio = 200;
};

class ZipPackage {
public:
    ZipPackage();
    ~ZipPackage();
    ZipPackage(const ZipPackage&) = delete;
    ZipPackage& operator=(const ZipPackage&) = delete;

    // `bytes` must outlive the package.
    ReadError open(std::string_view bytes, const ZipLimits& limits = {});
    bool has(const QString& part) const;

    // A part being unpacked, a piece at a time.
    class Part {
    public:
        ~Part();
        // Up to `size` bytes into `buffer`: the count, 0 at the end, -1 on failure (error()).
        std::int64_t read(char* buffer, std::int64_t size);
        const QString& error() const { return error_; }
        // Bytes unpacked so far, and the size the archive states (0 when it states none).
        std::uint64_t done() const { return done_; }
        std::uint64_t statedSize() const { return size_; }

    private:
        friend class ZipPackage;
        void* file_ = nullptr;
        std::uint64_t done_ = 0, limit_ = 0, size_ = 0;
        QString error_;
    };
    // Nothing, with `error` set, when the part is missing or cannot be opened.
    std::unique_ptr<Part> openPart(const QString& part, QString& error) const;
    // A whole small part (workbook, relationships, properties).
    ReadError readPart(const QString& part, std::string& out) const;

private:
    void* archive_ = nullptr;
    ZipLimits limits_;
};

// A zip archive of `parts` (name, bytes) in order; the first one stored, the others deflated
// (the OpenDocument mimetype must come first, unpacked). Empty with `error` set on failure.
std::string writeZip(const std::vector<std::pair<QString, std::string>>& parts, QString& error);

// Reads XML from a feed, refusing a document type that declares entities. Undeclared entities
// go to `resolver` when one is set.
class XmlStream {
public:
    // Fills `buffer`: the count, 0 at the end, -1 with `error` set on a failure.
    using Feed = std::function<std::int64_t(char* buffer, std::int64_t size, QString& error)>;
    XmlStream(Feed feed, QString partName);

    QXmlStreamReader& xml() { return xml_; }
    // The next token; false at the end of the document or on an error (error()).
    bool next();
    // Reads to the end of the current element; false on an error.
    bool skipElement();
    // The text of the current element, its children's included; false on an error.
    bool elementText(QString& text);
    bool hasError() const { return error_.isError(); }
    const ReadError& error() const { return error_; }
    void setEntityResolver(QXmlStreamEntityResolver* resolver) { xml_.setEntityResolver(resolver); }
    // An error at the current line, in `partName`.
    void fail(const QString& reason);

private:
    QXmlStreamReader xml_;
    Feed feed_;
    QString part_;
    ReadError error_;
    bool fed_ = false;
};

// A feed over bytes held in memory.
XmlStream::Feed memoryFeed(std::string_view bytes);
// A feed that unpacks a part.
XmlStream::Feed partFeed(ZipPackage::Part& part);

// Appends UTF-8 text escaped for XML content and attribute values.
void appendXmlText(std::string& out, std::string_view utf8);

// Characters XML 1.0 cannot hold (controls but tab, line feed and carriage return; U+FFFE,
// U+FFFF): the first one in `utf8`, or 0.
char32_t firstNonXmlCharacter(std::string_view utf8);

} // namespace lexanta
