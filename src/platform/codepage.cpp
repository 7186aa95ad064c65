#include "platform/codepage.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iconv.h>
#include <map>
#include <unordered_set>
#include <vector>

namespace lexanta {

namespace {

// A byte that a multi-byte page cannot decode becomes one of these plane-16
// private-use characters, so that encoding gives the byte back. No code page we
// convert maps anything there (the BMP private-use area is taken by 950).
constexpr char32_t kRawByteBase = 0x10FF00;

bool isRawByte(char32_t c) {
    return c >= kRawByteBase && c <= kRawByteBase + 0xFF;
}

// Not QString::fromUcs4, which takes a U+FEFF for a byte-order mark and drops it.
QString fromCodePoint(char32_t c) {
    if (!QChar::requiresSurrogates(c))
        return QString(QChar(static_cast<char16_t>(c)));
    const QChar pair[2] = {QChar(QChar::highSurrogate(c)), QChar(QChar::lowSurrogate(c))};
    return QString(pair, 2);
}

// Collects each distinct unencodable character once, in order of appearance. (A standard
// set: running out of memory while it grows throws as any allocation does.)
struct Unencodable {
    QString text;
    std::unordered_set<char32_t> seen;
    void add(char32_t c) {
        if (seen.insert(c).second)
            text += fromCodePoint(c);
    }
};

// Reads one code point at i (a lone surrogate stands for itself) and advances i.
char32_t nextCodePoint(const QChar* data, qsizetype size, qsizetype& i) {
    const char16_t unit = data[i].unicode();
    ++i;
    if (QChar::isHighSurrogate(unit) && i < size && data[i].isLowSurrogate())
        return QChar::surrogateToUcs4(unit, data[i++].unicode());
    return unit;
}

QString normalisedLocale(QString name) {
    // "ru_RU.UTF-8@cyrillic" -> "ru_ru@cyrillic"
    name = name.trimmed().toLower();
    name.replace(QLatin1Char('-'), QLatin1Char('_'));
    const qsizetype at = name.indexOf(QLatin1Char('@'));
    const QString modifier = at >= 0 ? name.mid(at) : QString();
    if (at >= 0)
        name.truncate(at);
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    return name + modifier;
}

// ICU / iconv name of a Windows code page.
QByteArray converterName(int codePage) {
    switch (codePage) {
    case 437:
        return "ibm-437";
    case 10000:
        return "macintosh";
    default:
        return "windows-" + QByteArray::number(codePage);
    }
}

} // namespace

int ansiCodePageForLocale(const QString& localeName) {
    const QString name = normalisedLocale(localeName);
    if (name.isEmpty() || name == QLatin1String("c") || name == QLatin1String("posix"))
        return 1252;
    const QString language = name.section(QLatin1Char('_'), 0, 0).section(QLatin1Char('@'), 0, 0);
    const bool latinScript = name.contains(QLatin1String("@latin"));
    const bool cyrillicScript = name.contains(QLatin1String("@cyrillic"));

    static const std::map<QString, int> byLanguage = {
        {QStringLiteral("ru"), 1251}, {QStringLiteral("uk"), 1251}, {QStringLiteral("be"), 1251},
        {QStringLiteral("bg"), 1251}, {QStringLiteral("sr"), 1251}, {QStringLiteral("mk"), 1251},
        {QStringLiteral("kk"), 1251}, {QStringLiteral("ky"), 1251}, {QStringLiteral("tt"), 1251},
        {QStringLiteral("mn"), 1251}, {QStringLiteral("pl"), 1250}, {QStringLiteral("cs"), 1250},
        {QStringLiteral("sk"), 1250}, {QStringLiteral("hu"), 1250}, {QStringLiteral("sl"), 1250},
        {QStringLiteral("hr"), 1250}, {QStringLiteral("ro"), 1250}, {QStringLiteral("bs"), 1250},
        {QStringLiteral("sq"), 1250}, {QStringLiteral("el"), 1253}, {QStringLiteral("tr"), 1254},
        {QStringLiteral("az"), 1254}, {QStringLiteral("uz"), 1254}, {QStringLiteral("he"), 1255},
        {QStringLiteral("iw"), 1255}, {QStringLiteral("ar"), 1256}, {QStringLiteral("fa"), 1256},
        {QStringLiteral("ur"), 1256}, {QStringLiteral("lt"), 1257}, {QStringLiteral("lv"), 1257},
        {QStringLiteral("et"), 1257}, {QStringLiteral("vi"), 1258}, {QStringLiteral("th"), 874},
        {QStringLiteral("ja"), 932},  {QStringLiteral("ko"), 949},
    };
    if (language == QLatin1String("zh")) {
        const QString territory =
            name.section(QLatin1Char('_'), 1, 1).section(QLatin1Char('@'), 0, 0);
        return territory == QLatin1String("tw") || territory == QLatin1String("hk") ||
                       territory == QLatin1String("mo")
                   ? 950
                   : 936;
    }
    const auto it = byLanguage.find(language);
    if (it == byLanguage.end())
        return 1252;
    // Windows gives the Latin-script Serbian locale the Central European page and
    // the Cyrillic-script Azerbaijani and Uzbek locales the Cyrillic one.
    if (language == QLatin1String("sr") && latinScript)
        return 1250;
    if ((language == QLatin1String("az") || language == QLatin1String("uz")) && cyrillicScript)
        return 1251;
    return it->second;
}

namespace {
int chosenSystemCodePage = 0;
} // namespace

void setSystemAnsiCodePageOverride(int codePage) {
    chosenSystemCodePage = codePage;
}

int systemAnsiCodePageOverride() {
    return chosenSystemCodePage;
}

int systemAnsiCodePage() {
    return chosenSystemCodePage != 0 ? chosenSystemCodePage : localeAnsiCodePage();
}

int localeAnsiCodePage() {
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value)
            return ansiCodePageForLocale(QString::fromLocal8Bit(value));
    }
    return 1252;
}

int codePageForCharset(int charset) {
    switch (charset) {
    case 0: // ANSI
    case 2: // symbol fonts carry no code page of their own
        return 1252;
    case 77: // Mac
        return 10000;
    case 128: // Shift-JIS
        return 932;
    case 129: // Hangul
        return 949;
    case 130: // Johab
        return 1361;
    case 134: // GB2312
        return 936;
    case 136: // Big5
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 255: // OEM
        return 437;
    default: // 1 (default) and sets Windows does not know
        return systemAnsiCodePage();
    }
}

int charsetForCodePage(int codePage) {
    // 1252 is ANSI (0), not the symbol set that also maps to it.
    if (codePage == 1252)
        return 0;
    for (int charset :
         {77, 128, 129, 130, 134, 136, 161, 162, 163, 177, 178, 186, 204, 222, 238, 255})
        if (codePageForCharset(charset) == codePage)
            return charset;
    return -1;
}

// Three ways to convert: a table for single-byte pages (fast, exactly
// reversible), an ICU converter for the double-byte pages, and glibc iconv for
// Johab, which ICU does not ship.
struct CodePage::Impl {
    enum class Kind { SingleByte, Icu, Iconv };
    Kind kind = Kind::SingleByte;

    // Single-byte pages.
    char16_t decodeTable[256] = {};
    std::vector<std::int16_t> encodeTable; // UTF-16 unit -> byte, -1 when unmapped

    // Multi-byte pages (not thread-safe; reset before every use).
    UConverter* icu = nullptr;
    iconv_t toUnicode = reinterpret_cast<iconv_t>(-1);
    iconv_t fromUnicode = reinterpret_cast<iconv_t>(-1);

    ~Impl() {
        if (icu)
            ucnv_close(icu);
        if (toUnicode != reinterpret_cast<iconv_t>(-1))
            iconv_close(toUnicode);
        if (fromUnicode != reinterpret_cast<iconv_t>(-1))
            iconv_close(fromUnicode);
    }

    bool openIcu(const QByteArray& name);
    bool openIconv(const char* name);
    bool buildSingleByteTables();

    QString decodeIcu(const char* data, std::size_t size) const;
    EncodeResult encodeIcu(const QString& text) const;
    QString decodeIconv(const char* data, std::size_t size) const;
    EncodeResult encodeIconv(const QString& text) const;
};

bool CodePage::Impl::openIcu(const QByteArray& name) {
    UErrorCode error = U_ZERO_ERROR;
    icu = ucnv_open(name.constData(), &error);
    if (U_FAILURE(error)) {
        icu = nullptr;
        return false;
    }
    ucnv_setFallback(icu, false); // encode round-trip mappings only, never best fits
    if (ucnv_getMaxCharSize(icu) == 1)
        return buildSingleByteTables();
    kind = Kind::Icu;
    return true;
}

// Decodes every byte once, giving undefined bytes a character of their own: a
// C1 control for 0x80-0x9F (as Windows does) and otherwise a private-use
// character U+F700 + byte, so decode and encode reverse each other exactly.
bool CodePage::Impl::buildSingleByteTables() {
    UErrorCode error = U_ZERO_ERROR;
    ucnv_setToUCallBack(icu, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
    encodeTable.assign(0x10000, -1);
    std::vector<int> undefined;
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        UChar out[4];
        error = U_ZERO_ERROR;
        ucnv_resetToUnicode(icu);
        const int32_t n = ucnv_toUChars(icu, out, 4, &byte, 1, &error);
        if (U_FAILURE(error) || n != 1 || encodeTable[out[0]] >= 0) {
            undefined.push_back(b);
            continue;
        }
        decodeTable[b] = out[0];
        encodeTable[out[0]] = static_cast<std::int16_t>(b);
    }
    for (int b : undefined) {
        char16_t c = b >= 0x80 && b <= 0x9F ? char16_t(b) : char16_t(0xF700 + b);
        while (encodeTable[c] >= 0) // taken by the page itself: next free private-use one
            c = c < 0xE000 ? 0xE000 : char16_t(c + 1);
        decodeTable[b] = c;
        encodeTable[c] = static_cast<std::int16_t>(b);
    }
    ucnv_close(icu);
    icu = nullptr;
    kind = Kind::SingleByte;
    return true;
}

bool CodePage::Impl::openIconv(const char* name) {
    toUnicode = iconv_open("UTF-16LE", name);
    fromUnicode = iconv_open(name, "UTF-16LE");
    if (toUnicode == reinterpret_cast<iconv_t>(-1) || fromUnicode == reinterpret_cast<iconv_t>(-1))
        return false;
    kind = Kind::Iconv;
    return true;
}

namespace {

void writeRawBytesToUnicode(const void*, UConverterToUnicodeArgs* args, const char* codeUnits,
                            int32_t length, UConverterCallbackReason reason, UErrorCode* error) {
    if (reason > UCNV_IRREGULAR)
        return;
    *error = U_ZERO_ERROR;
    for (int32_t i = 0; i < length && U_SUCCESS(*error); ++i) {
        const char32_t c = kRawByteBase + static_cast<unsigned char>(codeUnits[i]);
        const UChar pair[2] = {static_cast<UChar>(QChar::highSurrogate(c)),
                               static_cast<UChar>(QChar::lowSurrogate(c))};
        ucnv_cbToUWriteUChars(args, pair, 2, 0, error);
    }
}

void reportUnencodable(const void* context, UConverterFromUnicodeArgs* args, const UChar*, int32_t,
                       UChar32 codePoint, UConverterCallbackReason reason, UErrorCode* error) {
    if (reason > UCNV_IRREGULAR)
        return;
    *error = U_ZERO_ERROR;
    const char32_t c = static_cast<char32_t>(codePoint);
    if (isRawByte(c)) {
        const char byte = static_cast<char>(c - kRawByteBase);
        ucnv_cbFromUWriteBytes(args, &byte, 1, 0, error);
        return;
    }
    static_cast<Unencodable*>(const_cast<void*>(context))->add(c);
}

} // namespace

QString CodePage::Impl::decodeIcu(const char* data, std::size_t size) const {
    UErrorCode error = U_ZERO_ERROR;
    ucnv_resetToUnicode(icu);
    ucnv_setToUCallBack(icu, writeRawBytesToUnicode, nullptr, nullptr, nullptr, &error);
    QString result;
    result.resize(static_cast<qsizetype>(2 * size + 16));
    UChar* const begin = reinterpret_cast<UChar*>(result.data());
    UChar* target = begin;
    const char* source = data;
    for (;;) {
        error = U_ZERO_ERROR;
        UChar* const limit = begin + result.size();
        ucnv_toUnicode(icu, &target, limit, &source, data + size, nullptr, true, &error);
        if (error != U_BUFFER_OVERFLOW_ERROR)
            break;
        const qsizetype used = target - reinterpret_cast<UChar*>(result.data());
        result.resize(result.size() * 2);
        target = reinterpret_cast<UChar*>(result.data()) + used;
    }
    result.truncate(target - reinterpret_cast<UChar*>(result.data()));
    return result;
}

EncodeResult CodePage::Impl::encodeIcu(const QString& text) const {
    EncodeResult result;
    Unencodable unencodable;
    UErrorCode error = U_ZERO_ERROR;
    ucnv_resetFromUnicode(icu);
    ucnv_setFromUCallBack(icu, reportUnencodable, &unencodable, nullptr, nullptr, &error);
    std::string& bytes = result.bytes;
    bytes.resize(static_cast<std::size_t>(2 * text.size() + 16));
    const UChar* source = reinterpret_cast<const UChar*>(text.constData());
    const UChar* const sourceEnd = source + text.size();
    std::size_t used = 0;
    for (;;) {
        error = U_ZERO_ERROR;
        char* target = bytes.data() + used;
        ucnv_fromUnicode(icu, &target, bytes.data() + bytes.size(), &source, sourceEnd, nullptr,
                         true, &error);
        used = static_cast<std::size_t>(target - bytes.data());
        if (error != U_BUFFER_OVERFLOW_ERROR)
            break;
        bytes.resize(bytes.size() * 2);
    }
    bytes.resize(used);
    result.unencodable = unencodable.text;
    return result;
}

QString CodePage::Impl::decodeIconv(const char* data, std::size_t size) const {
    iconv(toUnicode, nullptr, nullptr, nullptr, nullptr);
    std::vector<char16_t> out(2 * size + 16);
    char* in = const_cast<char*>(data);
    std::size_t inLeft = size;
    char* outPtr = reinterpret_cast<char*>(out.data());
    std::size_t outLeft = out.size() * sizeof(char16_t);
    while (inLeft > 0) {
        if (iconv(toUnicode, &in, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1))
            break;
        if (errno == E2BIG) {
            const std::size_t done = out.size() * sizeof(char16_t) - outLeft;
            out.resize(out.size() * 2);
            outPtr = reinterpret_cast<char*>(out.data()) + done;
            outLeft = out.size() * sizeof(char16_t) - done;
            continue;
        }
        // An invalid or cut-off sequence: keep its first byte as a raw byte.
        if (outLeft < 2 * sizeof(char16_t)) {
            const std::size_t done = out.size() * sizeof(char16_t) - outLeft;
            out.resize(out.size() * 2);
            outPtr = reinterpret_cast<char*>(out.data()) + done;
            outLeft = out.size() * sizeof(char16_t) - done;
        }
        const char32_t c = kRawByteBase + static_cast<unsigned char>(*in);
        const char16_t pair[2] = {QChar::highSurrogate(c), QChar::lowSurrogate(c)};
        std::memcpy(outPtr, pair, sizeof pair);
        outPtr += sizeof pair;
        outLeft -= sizeof pair;
        ++in;
        --inLeft;
        iconv(toUnicode, nullptr, nullptr, nullptr, nullptr);
    }
    const std::size_t units = (out.size() * sizeof(char16_t) - outLeft) / sizeof(char16_t);
    return QString(reinterpret_cast<const QChar*>(out.data()), static_cast<qsizetype>(units));
}

EncodeResult CodePage::Impl::encodeIconv(const QString& text) const {
    EncodeResult result;
    Unencodable unencodable;
    iconv(fromUnicode, nullptr, nullptr, nullptr, nullptr);
    const QChar* const data = text.constData();
    const qsizetype size = text.size();
    char buffer[16];
    // One character at a time: Johab text is short and rare, and this keeps
    // the bookkeeping of what could not be converted simple.
    for (qsizetype i = 0; i < size;) {
        const qsizetype start = i;
        const char32_t c = nextCodePoint(data, size, i);
        if (isRawByte(c)) {
            result.bytes += static_cast<char>(c - kRawByteBase);
            continue;
        }
        char* in = reinterpret_cast<char*>(const_cast<QChar*>(data + start));
        std::size_t inLeft = static_cast<std::size_t>(i - start) * sizeof(char16_t);
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        if (iconv(fromUnicode, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) ||
            iconv(fromUnicode, nullptr, nullptr, &out, &outLeft) == static_cast<std::size_t>(-1)) {
            unencodable.add(c);
            iconv(fromUnicode, nullptr, nullptr, nullptr, nullptr);
            continue;
        }
        result.bytes.append(buffer, static_cast<std::size_t>(out - buffer));
    }
    result.unencodable = unencodable.text;
    return result;
}

CodePage::CodePage(int codePage) : number_(codePage), impl_(std::make_unique<Impl>()) {
    const bool opened =
        codePage == 1361 ? impl_->openIconv("CP1361") : impl_->openIcu(converterName(codePage));
    available_ = opened;
    if (!opened) {
        impl_ = std::make_unique<Impl>();
        impl_->openIcu("windows-1252");
    }
}

CodePage::~CodePage() = default;

QString CodePage::decode(std::string_view bytes) const {
    return decode(bytes.data(), bytes.size());
}

QString CodePage::decode(const char* data, std::size_t size) const {
    switch (impl_->kind) {
    case Impl::Kind::Icu:
        return impl_->decodeIcu(data, size);
    case Impl::Kind::Iconv:
        return impl_->decodeIconv(data, size);
    case Impl::Kind::SingleByte:
        break;
    }
    QString result(static_cast<qsizetype>(size), Qt::Uninitialized);
    QChar* out = result.data();
    const char16_t* table = impl_->decodeTable;
    for (std::size_t i = 0; i < size; ++i)
        out[i] = QChar(table[static_cast<unsigned char>(data[i])]);
    return result;
}

EncodeResult CodePage::encode(const QString& text) const {
    switch (impl_->kind) {
    case Impl::Kind::Icu:
        return impl_->encodeIcu(text);
    case Impl::Kind::Iconv:
        return impl_->encodeIconv(text);
    case Impl::Kind::SingleByte:
        break;
    }
    EncodeResult result;
    const qsizetype size = text.size();
    result.bytes.resize(static_cast<std::size_t>(size));
    char* out = result.bytes.data();
    const QChar* data = text.constData();
    const std::int16_t* table = impl_->encodeTable.data();
    std::size_t used = 0;
    Unencodable unencodable;
    for (qsizetype i = 0; i < size;) {
        const std::int16_t byte = table[data[i].unicode()];
        if (byte >= 0 && !data[i].isSurrogate()) {
            out[used++] = static_cast<char>(byte);
            ++i;
            continue;
        }
        unencodable.add(nextCodePoint(data, size, i));
    }
    result.bytes.resize(used);
    result.unencodable = unencodable.text;
    return result;
}

const CodePage& CodePage::get(int codePage) {
    static std::map<int, std::unique_ptr<CodePage>> cache;
    auto& slot = cache[codePage];
    if (!slot)
        slot = std::make_unique<CodePage>(codePage);
    return *slot;
}

} // namespace lexanta
