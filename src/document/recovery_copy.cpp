#include "document/recovery_copy.h"

#include "core/vocab/lut_format.h"
#include "platform/file_names.h"

#include <charconv>
#include <cstdio>

namespace lexanta {

namespace {

constexpr std::string_view kMagic = "Lexanta Editor recovery copy 1";
// The length is written once the vocabulary is: as many digits as any length takes.
constexpr int kLengthDigits = 20;

const char* originName(DocumentOrigin origin) {
    switch (origin) {
    case DocumentOrigin::Loaded:
        return "loaded";
    case DocumentOrigin::SavedAs:
        return "savedas";
    case DocumentOrigin::Untitled:
        break;
    }
    return "untitled";
}

std::optional<DocumentOrigin> originOf(std::string_view name) {
    for (DocumentOrigin origin :
         {DocumentOrigin::Untitled, DocumentOrigin::Loaded, DocumentOrigin::SavedAs})
        if (name == originName(origin))
            return origin;
    return std::nullopt;
}

// The header as written, with the vocabulary's place in the bytes.
struct Header {
    RecoveryCopyInfo info;
    bool currentFormat = true;
    FileState file;
    std::size_t bodyBegin = 0;
    unsigned long long bodyLength = 0;
};

// The rest of `line` after "key ", when the line starts so.
std::optional<std::string_view> valueOf(std::string_view line, std::string_view key) {
    if (line.size() < key.size() + 1 || line.substr(0, key.size()) != key ||
        line[key.size()] != ' ')
        return std::nullopt;
    return line.substr(key.size() + 1);
}

template <typename Number> bool parseNumber(std::string_view& text, Number& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc())
        return false;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    if (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    return true;
}

std::optional<FileState> parseState(std::string_view text, const QString& fileName) {
    FileState file;
    file.fileName = fileName;
    int named = 0, merge = 0;
    if (!parseNumber(text, named) || !parseNumber(text, merge))
        return std::nullopt;
    const std::size_t blank = text.find(' ');
    const std::optional<DocumentOrigin> origin = originOf(text.substr(0, blank));
    if (!origin || blank == std::string_view::npos)
        return std::nullopt;
    text.remove_prefix(blank + 1);
    FileStamp& s = file.stamp;
    if (!parseNumber(text, s.size) || !parseNumber(text, s.modifiedNs) ||
        !parseNumber(text, s.inode) || !parseNumber(text, s.device) || !text.empty())
        return std::nullopt;
    file.hasFile = named == 1;
    file.canMerge = merge == 1;
    file.origin = *origin;
    return file;
}

std::optional<Header> readHeader(std::string_view bytes) {
    std::string_view lines[8];
    std::size_t pos = 0;
    for (std::string_view& line : lines) {
        const std::size_t end = bytes.find('\n', pos);
        if (end == std::string_view::npos)
            return std::nullopt;
        line = bytes.substr(pos, end - pos);
        pos = end + 1;
    }
    const auto format = valueOf(lines[1], "format");
    const auto file = valueOf(lines[2], "file");
    const auto state = valueOf(lines[3], "state");
    const auto saved = valueOf(lines[4], "saved");
    auto entries = valueOf(lines[5], "entries");
    auto length = valueOf(lines[6], "bytes");
    if (lines[0] != kMagic || !format || (*format != "current" && *format != "old") || !file ||
        !state || !saved || !entries || !length || !lines[7].empty())
        return std::nullopt;
    Header h;
    h.currentFormat = *format == "current";
    h.info.fileName = fileNameFromBytes(QByteArray::fromPercentEncoding(
        QByteArray(file->data(), static_cast<qsizetype>(file->size()))));
    const std::optional<FileState> fileState = parseState(*state, h.info.fileName);
    h.info.saved =
        QDateTime::fromString(QString::fromLatin1(saved->data(), saved->size()), Qt::ISODateWithMs);
    if (!fileState || !h.info.saved.isValid() || !parseNumber(*entries, h.info.entries) ||
        !entries->empty() || h.info.entries < 1 || !parseNumber(*length, h.bodyLength) ||
        !length->empty())
        return std::nullopt;
    h.file = *fileState;
    h.bodyBegin = pos;
    return h;
}

} // namespace

std::string recoveryCopyBytes(const DocumentSnapshot& document, const QDateTime& saved) {
    const FileState& f = document.file;
    const FileStamp& s = f.stamp;
    char state[160];
    std::snprintf(state, sizeof state, "state %d %d %s %lld %lld %llu %llu\n", f.hasFile ? 1 : 0,
                  f.canMerge ? 1 : 0, originName(f.origin), static_cast<long long>(s.size),
                  static_cast<long long>(s.modifiedNs), static_cast<unsigned long long>(s.inode),
                  static_cast<unsigned long long>(s.device));
    std::string header(kMagic);
    header += document.vocabulary.currentFormat ? "\nformat current\n" : "\nformat old\n";
    header += "file " + fileNameToBytes(f.fileName).toPercentEncoding("/").toStdString() + '\n';
    header += state;
    header += "saved " + saved.toUTC().toString(Qt::ISODateWithMs).toStdString() + '\n';
    header += "entries " + std::to_string(document.vocabulary.entries.entryCount()) + '\n';
    header += "bytes " + std::string(kLengthDigits, '0') + "\n\n";
    std::string out = serializeVocabulary(document.vocabulary, true, header);
    // The length, right-aligned over the zeros.
    const std::string length = std::to_string(out.size() - header.size());
    out.replace(header.size() - 2 - length.size(), length.size(), length);
    return out;
}

std::optional<RecoveryCopyInfo> readRecoveryCopyInfo(std::string_view bytes) {
    const std::optional<Header> h = readHeader(bytes);
    if (!h)
        return std::nullopt;
    return h->info;
}

std::optional<DocumentSnapshot> readRecoveryCopy(std::string&& bytes) {
    const std::optional<Header> h = readHeader(bytes);
    if (!h || bytes.size() - h->bodyBegin != h->bodyLength)
        return std::nullopt;
    bytes.erase(0, h->bodyBegin);
    DocumentSnapshot d;
    if (!startsWithFormatLine(bytes) || !readVocabulary(std::move(bytes), d.vocabulary) ||
        d.vocabulary.entries.entryCount() != h->info.entries)
        return std::nullopt;
    d.vocabulary.currentFormat = h->currentFormat;
    for (FieldFont& font : d.vocabulary.header.fonts)
        font.pointSize = d.vocabulary.header.fontSize;
    d.file = h->file;
    return d;
}

} // namespace lexanta
