#include "core/interchange/kvtml_format.h"

#include "core/interchange/zip_package.h"
#include "platform/charset_coverage.h"

#include <QHash>
#include <QLocale>

#include <algorithm>
#include <climits>
#include <numeric>

namespace lexanta {

namespace {

constexpr long long kProgressEntries = 1 << 14;

// The entities version 1's document type defined (its files use them undeclared).
class Kvtml1Entities : public QXmlStreamEntityResolver {
public:
    QString resolveUndeclaredEntity(const QString& name) override {
        static const QHash<QString, QString> entities = {
            {QStringLiteral("ouml"), QStringLiteral("ö")},
            {QStringLiteral("Ouml"), QStringLiteral("Ö")},
            {QStringLiteral("uuml"), QStringLiteral("ü")},
            {QStringLiteral("Uuml"), QStringLiteral("Ü")},
            {QStringLiteral("auml"), QStringLiteral("ä")},
            {QStringLiteral("Auml"), QStringLiteral("Ä")},
            {QStringLiteral("szlig"), QStringLiteral("ß")},
        };
        return entities.value(name);
    }
};

// One entry as read: the texts and notes of each identifier.
struct EntryTexts {
    QHash<int, QString> text, pronunciation, comment;
    std::int64_t line = 0;
    int lesson = 0; // version 1: the lesson number, 0 for none
};

QString noteOf(const EntryTexts& e, int question, int answer) {
    for (const auto* map : {&e.pronunciation, &e.comment})
        for (const int id : {question, answer})
            if (!map->value(id).isEmpty())
                return map->value(id);
    return {};
}

bool readTranslation(XmlStream& in, EntryTexts& entry, int id) {
    int depth = 1;
    while (depth > 0 && in.next()) {
        QXmlStreamReader& xml = in.xml();
        if (xml.isEndElement()) {
            --depth;
            continue;
        }
        if (!xml.isStartElement())
            continue;
        QString* target = nullptr;
        if (xml.name() == QLatin1String("text"))
            target = &entry.text[id];
        else if (xml.name() == QLatin1String("pronunciation"))
            target = &entry.pronunciation[id];
        else if (xml.name() == QLatin1String("comment"))
            target = &entry.comment[id];
        if (target) {
            if (!in.elementText(*target))
                return false;
        } else if (!in.skipElement()) {
            return false;
        }
    }
    return !in.hasError();
}

struct KvtmlContent {
    std::vector<EntryTexts> entries;
    QHash<QString, int> entryById;
    std::vector<int> lessonOrder; // entries as lessons name them, first appearance
    QStringList identifiers;
};

// Version 2: identifiers, entries, lessons (containers may nest; entries are named by an
// <entry id> or an <entryid> element).
bool readVersion2(XmlStream& in, KvtmlContent& c, ListDescription& d,
                  const ProgressCallback& progress) {
    QXmlStreamReader& xml = in.xml();
    QString section;
    QHash<int, QString> identifierNames;
    std::vector<char> inLesson;
    while (in.next()) {
        if (xml.isEndElement()) {
            if (xml.name() == QLatin1String("information") ||
                xml.name() == QLatin1String("identifiers") ||
                xml.name() == QLatin1String("entries") || xml.name() == QLatin1String("lessons"))
                section.clear();
            continue;
        }
        if (!xml.isStartElement())
            continue;
        const QString name = xml.name().toString();
        if (section.isEmpty()) {
            if (name == QLatin1String("information") || name == QLatin1String("identifiers") ||
                name == QLatin1String("entries") || name == QLatin1String("lessons"))
                section = name;
            else if (!in.skipElement())
                return false;
            continue;
        }
        if (section == QLatin1String("information")) {
            if (name == QLatin1String("title"))
                in.elementText(d.title);
            else if (name == QLatin1String("author"))
                in.elementText(d.author);
            else
                in.skipElement();
        } else if (section == QLatin1String("identifiers") && name == QLatin1String("identifier")) {
            const int id = xml.attributes().value(QLatin1String("id")).toInt();
            QString idName, locale;
            int depth = 1;
            while (depth > 0 && in.next()) {
                if (xml.isEndElement())
                    --depth;
                else if (xml.isStartElement() && xml.name() == QLatin1String("name"))
                    in.elementText(idName);
                else if (xml.isStartElement() && xml.name() == QLatin1String("locale"))
                    in.elementText(locale);
                else if (xml.isStartElement())
                    in.skipElement();
            }
            identifierNames.insert(id, idName.isEmpty() ? locale : idName);
        } else if (section == QLatin1String("entries") && name == QLatin1String("entry")) {
            EntryTexts entry;
            entry.line = xml.lineNumber();
            const QString id = xml.attributes().value(QLatin1String("id")).toString();
            int depth = 1;
            while (depth > 0 && in.next()) {
                if (xml.isEndElement()) {
                    --depth;
                } else if (xml.isStartElement() && xml.name() == QLatin1String("translation")) {
                    if (!readTranslation(in, entry,
                                         xml.attributes().value(QLatin1String("id")).toInt()))
                        return false;
                } else if (xml.isStartElement() && !in.skipElement()) {
                    return false;
                }
            }
            c.entryById.insert(id, static_cast<int>(c.entries.size()));
            c.entries.push_back(std::move(entry));
            if (progress && c.entries.size() % kProgressEntries == 0)
                progress(static_cast<long long>(xml.characterOffset()), 0);
            if (static_cast<long long>(c.entries.size()) >= EntryTable::kMaxEntries) {
                in.fail(QStringLiteral("more entries than a vocabulary holds"));
                return false;
            }
        } else if (section == QLatin1String("lessons")) {
            if (name == QLatin1String("entry") || name == QLatin1String("entryid")) {
                QString id = xml.attributes().value(QLatin1String("id")).toString();
                if (name == QLatin1String("entryid"))
                    in.elementText(id);
                else
                    in.skipElement();
                const auto it = c.entryById.find(id);
                if (it != c.entryById.end())
                    c.lessonOrder.push_back(it.value());
            }
            // Containers and lessons are gone into; their names and flags pass by.
        } else {
            in.skipElement();
        }
    }
    std::vector<int> ids(identifierNames.keyBegin(), identifierNames.keyEnd());
    std::sort(ids.begin(), ids.end());
    for (const int id : ids)
        c.identifiers << identifierNames.value(id);
    // Translations are keyed by identifier id; readers below address them by position.
    if (!ids.empty() && ids.back() != static_cast<int>(ids.size()) - 1) {
        for (EntryTexts& e : c.entries) {
            EntryTexts byPosition;
            byPosition.line = e.line;
            for (std::size_t i = 0; i < ids.size(); ++i) {
                byPosition.text.insert(static_cast<int>(i), e.text.value(ids[i]));
                byPosition.pronunciation.insert(static_cast<int>(i), e.pronunciation.value(ids[i]));
                byPosition.comment.insert(static_cast<int>(i), e.comment.value(ids[i]));
            }
            e = std::move(byPosition);
        }
    }
    return !in.hasError();
}

// Version 1: <e m="lesson"><o l="en" r="remark" p="pronunciation">..</o><t l="de">..</t></e>.
bool readVersion1(XmlStream& in, KvtmlContent& c, const ProgressCallback& progress) {
    QXmlStreamReader& xml = in.xml();
    while (in.next()) {
        if (!xml.isStartElement())
            continue;
        if (xml.name() != QLatin1String("e")) {
            if (xml.name() != QLatin1String("kvtml") && !in.skipElement())
                return false;
            continue;
        }
        EntryTexts entry;
        entry.line = xml.lineNumber();
        entry.lesson = xml.attributes().value(QLatin1String("m")).toInt();
        int translation = 0;
        int depth = 1;
        while (depth > 0 && in.next()) {
            if (xml.isEndElement()) {
                --depth;
                continue;
            }
            if (!xml.isStartElement())
                continue;
            const bool original = xml.name() == QLatin1String("o");
            if (!original && xml.name() != QLatin1String("t")) {
                if (!in.skipElement())
                    return false;
                continue;
            }
            const int id = original ? 0 : ++translation;
            const QXmlStreamAttributes a = xml.attributes();
            if (c.entries.empty() && c.identifiers.size() == id)
                c.identifiers << a.value(QLatin1String("l")).toString();
            entry.pronunciation[id] = a.value(QLatin1String("p")).toString();
            entry.comment[id] = a.value(QLatin1String("r")).toString();
            if (!in.elementText(entry.text[id]))
                return false;
        }
        c.entries.push_back(std::move(entry));
        if (progress && c.entries.size() % kProgressEntries == 0)
            progress(static_cast<long long>(xml.characterOffset()), 0);
        if (static_cast<long long>(c.entries.size()) >= EntryTable::kMaxEntries) {
            in.fail(QStringLiteral("more entries than a vocabulary holds"));
            return false;
        }
    }
    return !in.hasError();
}

std::string utf8(const QString& text) {
    return text.toUtf8().toStdString();
}

// A locale code for a language name ("Russian" -> "ru"); the name itself when none matches.
QString localeOf(const QString& language) {
    for (int l = QLocale::AnyLanguage + 1; l <= QLocale::LastLanguage; ++l) {
        const auto lang = static_cast<QLocale::Language>(l);
        if (QLocale::languageToString(lang).compare(language, Qt::CaseInsensitive) == 0)
            return QLocale::languageToCode(lang);
    }
    return language;
}

void appendElement(std::string& out, const char* indent, const char* name, const QString& text) {
    out += indent;
    out += '<';
    out += name;
    out += '>';
    appendXmlText(out, utf8(text));
    out += "</";
    out += name;
    out += ">\n";
}

} // namespace

ReadError readKvtml(std::string_view bytes, const std::optional<std::array<int, 2>>& languages,
                    ReadList& out, const ProgressCallback& progress) {
    XmlStream in(memoryFeed(bytes), QString());
    Kvtml1Entities entities;
    in.setEntityResolver(&entities);
    QXmlStreamReader& xml = in.xml();
    while (in.next() && !xml.isStartElement()) {
    }
    if (in.hasError())
        return in.error();
    if (xml.name() != QLatin1String("kvtml"))
        return {QStringLiteral("line %1").arg(xml.lineNumber()),
                QStringLiteral("not a KVTML file (its root element is <%1>)")
                    .arg(xml.name().toString())};
    KvtmlContent content;
    const QXmlStreamAttributes root = xml.attributes();
    const bool version2 = root.value(QLatin1String("version")).startsWith(QLatin1Char('2'));
    bool ok;
    if (version2) {
        ok = readVersion2(in, content, out.description, progress);
    } else {
        out.description.title = root.value(QLatin1String("title")).toString();
        out.description.author = root.value(QLatin1String("author")).toString();
        ok = readVersion1(in, content, progress);
        // Lessons in their order, entries of none last; the file's order within each.
        std::vector<int> order(content.entries.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&content](int a, int b) {
            const int la = content.entries[static_cast<std::size_t>(a)].lesson;
            const int lb = content.entries[static_cast<std::size_t>(b)].lesson;
            return (la == 0 ? INT_MAX : la) < (lb == 0 ? INT_MAX : lb);
        });
        content.lessonOrder = std::move(order);
    }
    if (!ok)
        return in.error();

    out.languages = content.identifiers;
    const std::array<int, 2> pair = languages.value_or(std::array<int, 2>{0, 1});
    for (const int id : pair)
        if (id < 0 || (id >= out.languages.size() && !(id == 1 && out.languages.size() <= 1)))
            return {QString(), QStringLiteral("no language %1; the file has %2")
                                   .arg(id)
                                   .arg(out.languages.size())};
    if (pair[0] < out.languages.size())
        out.description.questionsLanguage = out.languages[pair[0]];
    if (pair[1] < out.languages.size())
        out.description.answersLanguage = out.languages[pair[1]];

    // Lesson order first, each entry once; then entries in no lesson.
    std::vector<char> taken(content.entries.size(), 0);
    std::vector<int> order;
    order.reserve(content.entries.size());
    for (const int i : content.lessonOrder)
        if (!taken[static_cast<std::size_t>(i)]) {
            taken[static_cast<std::size_t>(i)] = 1;
            order.push_back(i);
        }
    for (std::size_t i = 0; i < content.entries.size(); ++i)
        if (!taken[i])
            order.push_back(static_cast<int>(i));
    out.sheet = Sheet(Sheet::Places::Lines);
    for (const int i : order) {
        const EntryTexts& e = content.entries[static_cast<std::size_t>(i)];
        out.sheet.addCell(utf8(e.text.value(pair[0])));
        out.sheet.addCell(utf8(e.text.value(pair[1])));
        out.sheet.addCell(utf8(noteOf(e, pair[0], pair[1])));
        out.sheet.endRow(e.line);
    }
    out.suggestedColumns = {0, 1, 2};
    out.firstRowIsHeader = false;
    return {};
}

ExportResult writeKvtml(const ExportRows& rows) {
    ExportResult result;
    const ListDescription& d = rows.description();
    std::string& out = result.bytes;
    out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
          "<!DOCTYPE kvtml PUBLIC \"kvtml2.dtd\" \"http://edu.kde.org/kvtml/kvtml2.dtd\">\n"
          "<kvtml version=\"2.0\">\n"
          "  <information>\n"
          "    <generator>Lexanta Editor</generator>\n";
    appendElement(out, "    ", "title", d.title);
    if (!d.author.isEmpty())
        appendElement(out, "    ", "author", d.author);
    out += "  </information>\n  <identifiers>\n";
    for (int id = 0; id < 2; ++id) {
        const QString& language = id == 0 ? d.questionsLanguage : d.answersLanguage;
        out += "    <identifier id=\"" + std::to_string(id) + "\">\n";
        appendElement(out, "      ", "name", language);
        appendElement(out, "      ", "locale", localeOf(language));
        out += "    </identifier>\n";
    }
    out += "  </identifiers>\n  <entries>\n";
    out.reserve(out.size() + static_cast<std::size_t>(rows.rowCount()) * 220);
    for (int r = 0; r < rows.rowCount(); ++r) {
        std::string cells[3];
        for (int f = 0; f < 3; ++f) {
            cells[f] = rows.cell(r, f);
            if (const char32_t bad = firstNonXmlCharacter(cells[f])) {
                result.bytes.clear();
                result.error = QStringLiteral("%1: %2 cannot be written in XML")
                                   .arg(entryPlace(r, f), describeCharacter(bad));
                return result;
            }
        }
        out += "    <entry id=\"" + std::to_string(r) + "\">\n      <translation id=\"0\">\n";
        out += "        <text>";
        appendXmlText(out, cells[0]);
        out += "</text>\n";
        if (!cells[2].empty()) {
            out += "        <pronunciation>";
            appendXmlText(out, cells[2]);
            out += "</pronunciation>\n";
        }
        out += "      </translation>\n      <translation id=\"1\">\n        <text>";
        appendXmlText(out, cells[1]);
        out += "</text>\n      </translation>\n    </entry>\n";
    }
    out += "  </entries>\n  <lessons>\n    <container>\n";
    appendElement(out, "      ", "name", d.title.isEmpty() ? QStringLiteral("Lesson 1") : d.title);
    out += "      <inpractice>true</inpractice>\n";
    for (int r = 0; r < rows.rowCount(); ++r)
        out += "      <entry id=\"" + std::to_string(r) + "\"/>\n";
    out += "    </container>\n  </lessons>\n</kvtml>\n";
    return result;
}

} // namespace lexanta
