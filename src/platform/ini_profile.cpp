#include "platform/ini_profile.h"

#include "platform/codepage.h"

#include <QFileInfo>
#include <QStringDecoder>

#include <limits>

namespace lexanta {

namespace {

const QString kEscapedPrefix = QStringLiteral("\\:");

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// What the profile functions make of the text after '=': blanks trimmed, then
// one pair of matching surrounding quotes removed.
QString unquoted(const QString& raw) {
    const QString trimmed = raw.trimmed();
    if (trimmed.size() >= 2) {
        const QChar first = trimmed.front();
        if ((first == QLatin1Char('"') || first == QLatin1Char('\'')) && trimmed.back() == first)
            return trimmed.mid(1, trimmed.size() - 2);
    }
    return trimmed;
}

bool hasLineBreak(const QString& text) {
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

// A surrogate that is not half of a pair: UTF-8 cannot hold it. File names carry the bytes
// of a name that is not UTF-8 so (platform/file_names.h).
bool isLoneSurrogate(QStringView s, qsizetype i) {
    const QChar c = s[i];
    if (c.isHighSurrogate())
        return i + 1 == s.size() || !s[i + 1].isLowSurrogate();
    if (c.isLowSurrogate())
        return i == 0 || !s[i - 1].isHighSurrogate();
    return false;
}

bool hasLoneSurrogate(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i)
        if (isLoneSurrogate(text, i))
            return true;
    return false;
}

QString escaped(const QString& value) {
    QString out = QStringLiteral("\"") + kEscapedPrefix;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == QLatin1Char('\\'))
            out += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\r'))
            out += QStringLiteral("\\r");
        else if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else if (isLoneSurrogate(value, i))
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out + QLatin1Char('"');
}

QString unescaped(QStringView body) {
    QString out;
    out.reserve(body.size());
    for (qsizetype i = 0; i < body.size(); ++i) {
        const QChar c = body[i];
        if (c != QLatin1Char('\\') || i + 1 == body.size()) {
            out += c;
            continue;
        }
        const QChar next = body[++i];
        bool isHex = false;
        const ushort unit =
            next == QLatin1Char('u') ? body.mid(i + 1, 4).toUShort(&isHex, 16) : ushort(0);
        if (isHex && body.mid(i + 1, 4).size() == 4) {
            out += QChar(unit);
            i += 4;
        } else if (next == QLatin1Char('n'))
            out += QLatin1Char('\n');
        else if (next == QLatin1Char('r'))
            out += QLatin1Char('\r');
        else if (next == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        else // not one of ours: keep it as it stands
            out += c, out += next;
    }
    return out;
}

QString storedForm(const QString& value) {
    if (hasLineBreak(value) || hasLoneSurrogate(value) ||
        unquoted(value).startsWith(kEscapedPrefix))
        return escaped(value);
    return value;
}

// A stored form that reads back as `value` exactly, blanks and surrounding quotes included.
QString exactStoredForm(const QString& value) {
    const QString stored = storedForm(value);
    if (stored == value && unquoted(value) != value)
        return QLatin1Char('"') + value + QLatin1Char('"');
    return stored;
}

QString readValue(const QString& line) {
    const QString value = unquoted(line.mid(line.indexOf(QLatin1Char('=')) + 1));
    if (value.startsWith(kEscapedPrefix))
        return unescaped(QStringView(value).mid(kEscapedPrefix.size()));
    return value;
}

bool validSectionName(const QString& name) {
    return !name.isEmpty() && !hasLineBreak(name) && !name.contains(QLatin1Char(']'));
}

bool validKeyName(const QString& name) {
    return !name.isEmpty() && !hasLineBreak(name) && !name.contains(QLatin1Char('=')) &&
           !name.startsWith(QLatin1Char('[')) && !name.startsWith(QLatin1Char(';'));
}

} // namespace

IniFile::Line IniFile::parseLine(const QString& text) {
    Line line;
    line.text = text;
    const QString trimmed = text.trimmed();
    if (trimmed.startsWith(QLatin1Char('['))) {
        const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
        line.kind = LineKind::Section;
        line.name = trimmed.mid(1, close < 0 ? -1 : close - 1).trimmed();
        return line;
    }
    const qsizetype equals = trimmed.indexOf(QLatin1Char('='));
    if (equals > 0 && !trimmed.startsWith(QLatin1Char(';'))) {
        line.name = trimmed.left(equals).trimmed();
        if (!line.name.isEmpty())
            line.kind = LineKind::Key;
    }
    return line;
}

IoResult IniFile::load(const QString& path) {
    path_ = path;
    lines_.clear();
    const QFileInfo info(path);
    if (!info.exists())
        return IoResult::success(path);
    // Reading a FIFO would wait for a writer, a device might never end.
    if (!info.isFile())
        return IoResult::failure(path, info.isDir() ? QStringLiteral("Is a directory")
                                                    : QStringLiteral("Not a regular file"));
    std::string bytes;
    IoResult result = readWholeFile(path, bytes);
    if (result)
        parse(bytes);
    return result;
}

void IniFile::parse(const std::string& bytes) {
    lines_.clear();
    QStringView bom = u"\uFEFF";
    // One byte-order mark is the file's signature; any further U+FEFF is text (toBytes
    // writes a mark before a first line that starts with one).
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (utf8.hasError())
        text = CodePage::get(systemAnsiCodePage()).decode(bytes);
    if (text.startsWith(bom))
        text.remove(0, 1);
    if (text.isEmpty())
        return;
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    const QStringList lines = text.split(QLatin1Char('\n'));
    lines_.reserve(static_cast<std::size_t>(lines.size()));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        lines_.push_back(parseLine(line));
    }
}

std::optional<IniFile::SectionRange> IniFile::findSection(const QString& section) const {
    const QString name = section.trimmed();
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind != LineKind::Section || !sameName(lines_[i].name, name))
            continue;
        std::size_t end = i + 1;
        while (end < lines_.size() && lines_[end].kind != LineKind::Section)
            ++end;
        return SectionRange{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> IniFile::findKey(const SectionRange& range, const QString& key) const {
    const QString name = key.trimmed();
    for (std::size_t i = range.header + 1; i < range.end; ++i)
        if (lines_[i].kind == LineKind::Key && sameName(lines_[i].name, name))
            return i;
    return std::nullopt;
}

QString IniFile::value(const QString& section, const QString& key,
                       const QString& defaultValue) const {
    const auto range = findSection(section);
    if (!range)
        return defaultValue;
    const auto line = findKey(*range, key);
    return line ? readValue(lines_[*line].text) : defaultValue;
}

int IniFile::intValue(const QString& section, const QString& key, int defaultValue) const {
    const QString text = value(section, key);
    if (text.isEmpty())
        return defaultValue;
    qsizetype i = 0;
    const bool negative = text[0] == QLatin1Char('-');
    if (negative || text[0] == QLatin1Char('+'))
        ++i;
    long long number = 0;
    for (; i < text.size() && text[i].isDigit() && text[i].unicode() < 128; ++i) {
        number = number * 10 + (text[i].unicode() - '0');
        if (number > std::numeric_limits<int>::max())
            return negative ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
    }
    return static_cast<int>(negative ? -number : number);
}

bool IniFile::contains(const QString& section, const QString& key) const {
    const auto range = findSection(section);
    return range && findKey(*range, key);
}

bool IniFile::hasSection(const QString& section) const {
    return findSection(section).has_value();
}

QStringList IniFile::sections() const {
    QStringList names;
    for (const Line& line : lines_)
        if (line.kind == LineKind::Section && !names.contains(line.name, Qt::CaseInsensitive))
            names << line.name;
    return names;
}

QStringList IniFile::keys(const QString& section) const {
    QStringList names;
    const auto range = findSection(section);
    if (!range)
        return names;
    for (std::size_t i = range->header + 1; i < range->end; ++i)
        if (lines_[i].kind == LineKind::Key && !names.contains(lines_[i].name, Qt::CaseInsensitive))
            names << lines_[i].name;
    return names;
}

bool IniFile::setValue(const QString& section, const QString& key, const QString& value) {
    return setStoredForm(section, key, storedForm(value));
}

bool IniFile::setExactValue(const QString& section, const QString& key, const QString& value) {
    return setStoredForm(section, key, exactStoredForm(value));
}

bool IniFile::setStoredForm(const QString& section, const QString& key, const QString& stored) {
    const QString sectionName = section.trimmed();
    const QString keyName = key.trimmed();
    if (!validSectionName(sectionName) || !validKeyName(keyName))
        return false;
    auto range = findSection(sectionName);
    if (!range) {
        lines_.push_back(parseLine(QLatin1Char('[') + sectionName + QLatin1Char(']')));
        range = SectionRange{lines_.size() - 1, lines_.size()};
    }
    if (const auto line = findKey(*range, keyName)) {
        lines_[*line].text = lines_[*line].name + QLatin1Char('=') + stored;
        return true;
    }
    std::size_t at = range->header + 1;
    for (std::size_t i = range->header + 1; i < range->end; ++i)
        if (lines_[i].kind == LineKind::Key)
            at = i + 1;
    Line line;
    line.kind = LineKind::Key;
    line.name = keyName;
    line.text = keyName + QLatin1Char('=') + stored;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
    return true;
}

bool IniFile::removeKey(const QString& section, const QString& key) {
    const auto range = findSection(section);
    if (!range)
        return false;
    const QString name = key.trimmed();
    bool removed = false;
    for (std::size_t i = range->end; i-- > range->header + 1;) {
        if (lines_[i].kind == LineKind::Key && sameName(lines_[i].name, name)) {
            lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
            removed = true;
        }
    }
    return removed;
}

bool IniFile::eraseSection(const QString& section) {
    bool erased = false;
    // Every copy goes, so that a later one cannot surface in its place.
    while (const auto range = findSection(section)) {
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(range->header),
                     lines_.begin() + static_cast<std::ptrdiff_t>(range->end));
        erased = true;
    }
    return erased;
}

bool IniFile::writeProfileString(const QString& section, const std::optional<QString>& key,
                                 const std::optional<QString>& value) {
    if (!key)
        return eraseSection(section) || validSectionName(section.trimmed());
    if (!value)
        return removeKey(section, *key) || validKeyName(key->trimmed());
    return setValue(section, *key, *value);
}

std::string IniFile::toBytes() const {
    QString text;
    if (!lines_.empty() && lines_.front().text.startsWith(QChar(0xFEFF)))
        text += QChar(0xFEFF);
    for (const Line& line : lines_) {
        text += line.text;
        text += QLatin1Char('\n');
    }
    return text.toUtf8().toStdString();
}

IoResult IniFile::save() const {
    return writeWholeFile(path_, toBytes());
}

} // namespace lexanta
