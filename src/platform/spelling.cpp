#include "platform/spelling.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <hunspell.hxx>
#include <unicode/ucnv.h>

#include <cstdlib>

namespace lexanta {

namespace {

// A converter for a dictionary's encoding, stopping at what it cannot convert.
struct Converter {
    UConverter* converter = nullptr;
    bool utf8 = true;

    explicit Converter(QByteArray name) {
        name = name.trimmed();
        // Hunspell's name for the Windows pages; ICU knows them as cpNNNN.
        if (name.toLower().startsWith("microsoft-"))
            name = name.mid(10);
        if (name.isEmpty() || name.toUpper() == "UTF-8" || name.toUpper() == "UTF8")
            return;
        UErrorCode error = U_ZERO_ERROR;
        converter = ucnv_open(name.constData(), &error);
        if (U_FAILURE(error)) {
            converter = nullptr;
            return; // an unknown name: read as UTF-8, which is what most dictionaries are
        }
        utf8 = false;
        error = U_ZERO_ERROR;
        ucnv_setFromUCallBack(converter, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                              &error);
        ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_SUBSTITUTE, nullptr, nullptr, nullptr,
                            &error);
    }
    ~Converter() {
        if (converter)
            ucnv_close(converter);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // False when the encoding cannot hold the word.
    bool encode(const QString& text, std::string& out) const {
        if (utf8) {
            out = text.toStdString();
            return true;
        }
        out.resize(static_cast<std::size_t>(text.size()) * 4 + 8);
        UErrorCode error = U_ZERO_ERROR;
        ucnv_resetFromUnicode(converter);
        const int32_t n = ucnv_fromUChars(converter, out.data(), static_cast<int32_t>(out.size()),
                                          reinterpret_cast<const UChar*>(text.utf16()),
                                          static_cast<int32_t>(text.size()), &error);
        if (U_FAILURE(error))
            return false;
        out.resize(static_cast<std::size_t>(n));
        return true;
    }
    QString decode(const std::string& bytes) const {
        if (utf8)
            return QString::fromStdString(bytes);
        QString out(static_cast<qsizetype>(bytes.size()) * 2 + 2, Qt::Uninitialized);
        UErrorCode error = U_ZERO_ERROR;
        ucnv_resetToUnicode(converter);
        const int32_t n = ucnv_toUChars(converter, reinterpret_cast<UChar*>(out.data()),
                                        static_cast<int32_t>(out.size()), bytes.data(),
                                        static_cast<int32_t>(bytes.size()), &error);
        out.truncate(U_FAILURE(error) ? 0 : n);
        return out;
    }
};

QString dictionaryFile(const QString& name, const char* extension) {
    for (const QString& folder : dictionaryFolders()) {
        const QString path = folder + QLatin1Char('/') + name + QLatin1String(extension);
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

// The region a language's dictionary usually has.
QString usualRegion(const QString& language) {
    static const QHash<QString, QString> regions = {
        {QStringLiteral("en"), QStringLiteral("US")}, {QStringLiteral("cs"), QStringLiteral("CZ")},
        {QStringLiteral("da"), QStringLiteral("DK")}, {QStringLiteral("el"), QStringLiteral("GR")},
        {QStringLiteral("sv"), QStringLiteral("SE")}, {QStringLiteral("uk"), QStringLiteral("UA")},
        {QStringLiteral("pt"), QStringLiteral("PT")}, {QStringLiteral("be"), QStringLiteral("BY")},
        {QStringLiteral("he"), QStringLiteral("IL")}, {QStringLiteral("ko"), QStringLiteral("KR")},
        {QStringLiteral("nb"), QStringLiteral("NO")}, {QStringLiteral("sl"), QStringLiteral("SI")},
    };
    return regions.value(language, language.toUpper());
}

} // namespace

struct SpellingDictionary::Impl {
    std::unique_ptr<Hunspell> hunspell;
    std::unique_ptr<Converter> converter;
};

SpellingDictionary::SpellingDictionary(const QString& name) : name_(name) {
    // A name is a file name in the dictionary folders, never a path.
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.startsWith(QLatin1Char('.')))
        return;
    const QString aff = dictionaryFile(name, ".aff");
    const QString dic = dictionaryFile(name, ".dic");
    if (aff.isEmpty() || dic.isEmpty() || !QFileInfo(aff).isReadable() ||
        !QFileInfo(dic).isReadable())
        return;
    auto impl = std::make_unique<Impl>();
    impl->hunspell = std::make_unique<Hunspell>(QFile::encodeName(aff).constData(),
                                                QFile::encodeName(dic).constData());
    impl->converter =
        std::make_unique<Converter>(QByteArray::fromStdString(impl->hunspell->get_dict_encoding()));
    impl_ = std::move(impl);
}

SpellingDictionary::~SpellingDictionary() = default;

bool SpellingDictionary::isLoaded() const {
    return impl_ != nullptr;
}

bool SpellingDictionary::isCorrect(const QString& word) const {
    if (!impl_)
        return true;
    std::string bytes;
    if (!impl_->converter->encode(word, bytes))
        return false;
    return impl_->hunspell->spell(bytes);
}

QStringList SpellingDictionary::suggestions(const QString& word, int max) const {
    QStringList result;
    std::string bytes;
    // Hunspell's suggestion search grows fast with the word's length; long ones get none.
    if (!impl_ || word.size() > 40 || !impl_->converter->encode(word, bytes))
        return result;
    for (const std::string& s : impl_->hunspell->suggest(bytes)) {
        if (result.size() >= max)
            break;
        const QString text = impl_->converter->decode(s);
        if (!text.isEmpty() && !result.contains(text))
            result << text;
    }
    return result;
}

QStringList dictionaryFolders() {
    QStringList folders;
    if (const char* path = std::getenv("DICPATH"); path && *path)
        for (const QString& folder : QString::fromLocal8Bit(path).split(QLatin1Char(':')))
            if (!folder.isEmpty())
                folders << folder;
    folders << QStringLiteral("/usr/share/hunspell") << QStringLiteral("/usr/share/myspell")
            << QStringLiteral("/usr/share/myspell/dicts");
    return folders;
}

QStringList installedDictionaries() {
    QSet<QString> names;
    for (const QString& folder : dictionaryFolders()) {
        const QDir dir(folder);
        for (const QString& aff : dir.entryList({QStringLiteral("*.aff")}, QDir::Files)) {
            const QString name = aff.chopped(4);
            if (QFileInfo(dir.filePath(name + QStringLiteral(".dic"))).isFile())
                names.insert(name);
        }
    }
    QStringList sorted(names.begin(), names.end());
    sorted.sort();
    return sorted;
}

QString dictionaryForLanguage(const QString& language) {
    const QString wanted = QString(language).replace(QLatin1Char('-'), QLatin1Char('_'));
    const QString code = wanted.section(QLatin1Char('_'), 0, 0).toLower();
    if (code.isEmpty())
        return {};
    const QStringList installed = installedDictionaries();
    const QString usual = code + QLatin1Char('_') + usualRegion(code);
    for (const QString& candidate : {wanted, usual, code})
        if (installed.contains(candidate))
            return candidate;
    for (const QString& name : installed)
        if (name.startsWith(code + QLatin1Char('_')))
            return name;
    return {};
}

} // namespace lexanta
