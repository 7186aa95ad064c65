// OpenDocument spreadsheets: content.xml holds the sheets, meta.xml the document properties.
#include "core/interchange/spreadsheet_formats.h"
#include "core/interchange/zip_package.h"

#include "platform/charset_coverage.h"

namespace lexanta {

namespace {

constexpr char kOfficeNs[] = "urn:oasis:names:tc:opendocument:xmlns:office:1.0";
constexpr char kTableNs[] = "urn:oasis:names:tc:opendocument:xmlns:table:1.0";
constexpr char kTextNs[] = "urn:oasis:names:tc:opendocument:xmlns:text:1.0";
constexpr char kMetaNs[] = "urn:oasis:names:tc:opendocument:xmlns:meta:1.0";
constexpr char kDcNs[] = "http://purl.org/dc/elements/1.1/";

constexpr long long kProgressRows = 1 << 14;

bool is(const QXmlStreamReader& xml, const char* ns, const char* name) {
    return xml.namespaceUri() == QLatin1String(ns) && xml.name() == QLatin1String(name);
}

std::int64_t repeatOf(const QXmlStreamReader& xml, const char* attribute) {
    const QStringView value =
        xml.attributes().value(QLatin1String(kTableNs), QLatin1String(attribute));
    bool ok = false;
    const qlonglong n = value.toLongLong(&ok);
    return ok && n > 0 ? n : 1;
}

// The text a cell shows: its paragraphs, one a line, with ODF's white-space rules (a run of
// blanks in the XML is one blank; <text:s>, <text:tab> and <text:line-break> are explicit).
bool readCellText(XmlStream& in, QString& text) {
    QXmlStreamReader& xml = in.xml();
    text.clear();
    int paragraphs = 0;
    int depth = 1;
    bool blankPending = false; // a raw white-space run seen in the paragraph
    const auto flushBlank = [&] {
        if (blankPending && !text.isEmpty() && !text.endsWith(QLatin1Char('\n')))
            text += QLatin1Char(' ');
        blankPending = false;
    };
    while (depth > 0 && in.next()) {
        if (xml.isStartElement()) {
            if (is(xml, kOfficeNs, "annotation") || xml.name() == QLatin1String("note")) {
                if (!in.skipElement())
                    return false;
                continue;
            }
            ++depth;
            if (is(xml, kTextNs, "p") || is(xml, kTextNs, "h")) {
                if (paragraphs++ > 0)
                    text += QLatin1Char('\n');
                blankPending = false;
            } else if (is(xml, kTextNs, "s")) {
                flushBlank();
                const QStringView c =
                    xml.attributes().value(QLatin1String(kTextNs), QLatin1String("c"));
                bool ok = false;
                const int n = c.isEmpty() ? 1 : c.toInt(&ok);
                text +=
                    QString(std::clamp(ok || c.isEmpty() ? n : 1, 1, 1 << 16), QLatin1Char(' '));
                blankPending = false;
            } else if (is(xml, kTextNs, "tab")) {
                flushBlank();
                text += QLatin1Char('\t');
                blankPending = false;
            } else if (is(xml, kTextNs, "line-break")) {
                flushBlank();
                text += QLatin1Char('\n');
                blankPending = false;
            }
        } else if (xml.isEndElement()) {
            --depth;
        } else if (xml.isCharacters() && paragraphs > 0) {
            for (const QChar c : xml.text()) {
                if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
                    c == QLatin1Char('\r')) {
                    blankPending = true;
                    continue;
                }
                flushBlank();
                text += c;
            }
        }
    }
    return !in.hasError();
}

// A value the cell holds without a paragraph that shows it.
QString cellValue(const QXmlStreamAttributes& a) {
    for (const char* name :
         {"string-value", "date-value", "time-value", "boolean-value", "value"}) {
        const QStringView v = a.value(QLatin1String(kOfficeNs), QLatin1String(name));
        if (!v.isEmpty())
            return v.toString();
    }
    return {};
}

ReadError readRows(XmlStream& in, SheetBuilder& build, const ZipPackage::Part& part,
                   const ProgressCallback& progress) {
    QXmlStreamReader& xml = in.xml();
    std::int64_t rowRepeat = 1;
    QString text;
    long long rows = 0;
    int depth = 1; // inside the table
    while (depth > 0 && in.next()) {
        if (xml.isEndElement()) {
            --depth;
            if (is(xml, kTableNs, "table-row")) {
                if (ReadError e = build.endRow(rowRepeat); e.isError())
                    return e;
                if (progress && ++rows % kProgressRows == 0)
                    progress(static_cast<long long>(part.done()),
                             static_cast<long long>(part.statedSize()));
            }
            continue;
        }
        if (!xml.isStartElement())
            continue;
        if (is(xml, kTableNs, "table-row")) {
            ++depth;
            rowRepeat = repeatOf(xml, "number-rows-repeated");
            if (ReadError e = build.beginRow(build.nextPlace()); e.isError())
                return e;
        } else if (is(xml, kTableNs, "table-cell") || is(xml, kTableNs, "covered-table-cell")) {
            const std::int64_t repeat = std::min<std::int64_t>(
                repeatOf(xml, "number-columns-repeated"), kMaxSheetColumns + 1);
            const QString value = cellValue(xml.attributes());
            if (!readCellText(in, text))
                break;
            if (text.isEmpty())
                text = value;
            if (ReadError e = build.addCell(build.nextColumn(), text.toUtf8().toStdString(),
                                            static_cast<int>(repeat));
                e.isError())
                return e;
        } else if (is(xml, kTableNs, "table-column") || is(xml, kTableNs, "table-columns") ||
                   is(xml, kTableNs, "table-header-rows") || is(xml, kTableNs, "table-rows") ||
                   is(xml, kTableNs, "table-row-group") ||
                   is(xml, kTableNs, "table-header-columns") ||
                   is(xml, kTableNs, "table-column-group")) {
            ++depth; // rows may sit in groups
        } else if (!in.skipElement()) {
            break;
        }
    }
    return in.error();
}

void readMeta(const ZipPackage& zip, ListDescription& d) {
    if (!zip.has(QStringLiteral("meta.xml")))
        return;
    QString error;
    const std::unique_ptr<ZipPackage::Part> part = zip.openPart(QStringLiteral("meta.xml"), error);
    if (!part)
        return;
    XmlStream in(partFeed(*part), QStringLiteral("meta.xml"));
    QXmlStreamReader& xml = in.xml();
    QString author, creator;
    while (in.next()) {
        if (!xml.isStartElement())
            continue;
        if (is(xml, kDcNs, "title")) {
            in.elementText(d.title);
        } else if (is(xml, kMetaNs, "initial-creator")) {
            in.elementText(author);
        } else if (is(xml, kDcNs, "creator")) {
            in.elementText(creator);
        } else if (is(xml, kMetaNs, "user-defined")) {
            const QString name =
                xml.attributes().value(QLatin1String(kMetaNs), QLatin1String("name")).toString();
            QString value;
            in.elementText(value);
            if (name == QLatin1String("Questions language"))
                d.questionsLanguage = value;
            else if (name == QLatin1String("Answers language"))
                d.answersLanguage = value;
            else if (name == QLatin1String("Date"))
                d.date = value;
        }
    }
    d.author = author.isEmpty() ? creator : author;
}

// Paragraph text with runs of blanks, tabs and line ends made explicit, as ODF wants them.
ReadError appendParagraph(std::string& out, std::string_view utf8, int row, int field) {
    if (const char32_t bad = firstNonXmlCharacter(utf8))
        return {entryPlace(row, field),
                QStringLiteral("%1 cannot be written in XML").arg(describeCharacter(bad))};
    out += "<text:p>";
    std::size_t i = 0;
    while (i < utf8.size()) {
        const char c = utf8[i];
        if (c == ' ') {
            std::size_t run = utf8.find_first_not_of(' ', i);
            if (run == std::string_view::npos)
                run = utf8.size();
            std::size_t count = run - i;
            if (i > 0) {
                out += ' ';
                --count;
            }
            if (count > 0)
                out += count == 1 ? std::string("<text:s/>")
                                  : "<text:s text:c=\"" + std::to_string(count) + "\"/>";
            i = run;
        } else if (c == '\t') {
            out += "<text:tab/>";
            ++i;
        } else if (c == '\r' || c == '\n') {
            out += "<text:line-break/>";
            i += c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n' ? 2 : 1;
        } else {
            const std::size_t end = utf8.find_first_of(" \t\r\n", i);
            appendXmlText(out, utf8.substr(i, end == std::string_view::npos ? end : end - i));
            i = end == std::string_view::npos ? utf8.size() : end;
        }
    }
    out += "</text:p>";
    return {};
}

void appendCell(std::string& out, const std::string& text, ReadError& error, int row, int f) {
    if (text.empty()) {
        out += "<table:table-cell/>";
        return;
    }
    out += "<table:table-cell office:value-type=\"string\">";
    if (ReadError e = appendParagraph(out, text, row, f); e.isError() && !error.isError())
        error = e;
    out += "</table:table-cell>";
}

void appendMeta(std::string& out, const char* element, const QString& text) {
    if (text.isEmpty())
        return;
    out += '<';
    out += element;
    out += '>';
    appendXmlText(out, text.toUtf8().toStdString());
    out += "</";
    out += element;
    out += '>';
}

void appendUserDefined(std::string& out, const char* name, const QString& value) {
    if (value.isEmpty())
        return;
    out += "<meta:user-defined meta:name=\"";
    out += name;
    out += "\">";
    appendXmlText(out, value.toUtf8().toStdString());
    out += "</meta:user-defined>";
}

} // namespace

ReadError readOds(std::string_view bytes, const QString& wanted, ReadList& out,
                  const ProgressCallback& progress) {
    ZipPackage zip;
    if (ReadError e = zip.open(bytes); e.isError())
        return e;
    out.sheet = Sheet(Sheet::Places::SheetRows);
    readMeta(zip, out.description);
    QString error;
    const std::unique_ptr<ZipPackage::Part> part =
        zip.openPart(QStringLiteral("content.xml"), error);
    if (!part)
        return {QString(), error};
    XmlStream in(partFeed(*part), QStringLiteral("content.xml"));
    QXmlStreamReader& xml = in.xml();
    bool number = false;
    const int wantedNumber = wanted.toInt(&number);
    bool byName = false;
    int chosen = -1;
    while (in.next()) {
        if (!xml.isStartElement() || !is(xml, kTableNs, "table"))
            continue;
        const QString name =
            xml.attributes().value(QLatin1String(kTableNs), QLatin1String("name")).toString();
        const int index = static_cast<int>(out.sheetNames.size());
        out.sheetNames << name;
        const bool pick =
            !byName && (wanted.isEmpty() ? chosen < 0
                                         : name == wanted || (number && wantedNumber == index + 1));
        if (!pick) {
            if (!in.skipElement())
                break;
            continue;
        }
        byName = !wanted.isEmpty() && name == wanted;
        chosen = index;
        out.sheet = Sheet(Sheet::Places::SheetRows);
        SheetBuilder build(out.sheet);
        if (ReadError e = readRows(in, build, *part, progress); e.isError())
            return e;
    }
    if (in.hasError())
        return in.error();
    if (chosen < 0)
        return {QString(), wanted.isEmpty()
                               ? QStringLiteral("the file holds no sheet")
                               : QStringLiteral("no sheet \"%1\"; the file has %2")
                                     .arg(wanted, out.sheetNames.join(QStringLiteral(", ")))};
    out.sheetIndex = chosen;
    return {};
}

ExportResult writeOds(const ExportRows& rows) {
    ExportResult result;
    std::string content = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<office:document-content xmlns:office=\"" +
                          std::string(kOfficeNs) + "\" xmlns:table=\"" + kTableNs +
                          "\" xmlns:text=\"" + kTextNs +
                          "\" office:version=\"1.2\"><office:body><office:spreadsheet>"
                          "<table:table table:name=\"Vocabulary\">"
                          "<table:table-column table:number-columns-repeated=\"3\"/>\n";
    content.reserve(static_cast<std::size_t>(rows.rowCount()) * 160 + 1024);
    ReadError error;
    content += "<table:table-row>";
    for (int f = 0; f < 3; ++f)
        appendCell(content, fieldColumnNames()[static_cast<std::size_t>(f)].toStdString(), error, 0,
                   f);
    content += "</table:table-row>\n";
    for (int r = 0; r < rows.rowCount() && !error.isError(); ++r) {
        content += "<table:table-row>";
        for (int f = 0; f < 3; ++f)
            appendCell(content, rows.cell(r, f), error, r, f);
        content += "</table:table-row>\n";
    }
    content += "</table:table></office:spreadsheet></office:body></office:document-content>\n";
    if (error.isError()) {
        result.error = error.where + QStringLiteral(": ") + error.reason;
        return result;
    }

    const ListDescription& d = rows.description();
    std::string meta = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<office:document-meta xmlns:office=\"" +
                       std::string(kOfficeNs) + "\" xmlns:meta=\"" + kMetaNs + "\" xmlns:dc=\"" +
                       kDcNs +
                       "\" office:version=\"1.2\"><office:meta>"
                       "<meta:generator>Lexanta Editor</meta:generator>";
    appendMeta(meta, "dc:title", d.title);
    appendMeta(meta, "meta:initial-creator", d.author);
    appendMeta(meta, "dc:creator", d.author);
    appendUserDefined(meta, "Questions language", d.questionsLanguage);
    appendUserDefined(meta, "Answers language", d.answersLanguage);
    appendUserDefined(meta, "Date", d.date);
    meta += "</office:meta></office:document-meta>\n";

    const std::string manifest =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\" "
        "manifest:version=\"1.2\">\n"
        " <manifest:file-entry manifest:full-path=\"/\" manifest:version=\"1.2\" "
        "manifest:media-type=\"application/vnd.oasis.opendocument.spreadsheet\"/>\n"
        " <manifest:file-entry manifest:full-path=\"content.xml\" "
        "manifest:media-type=\"text/xml\"/>\n"
        " <manifest:file-entry manifest:full-path=\"meta.xml\" manifest:media-type=\"text/xml\"/>\n"
        "</manifest:manifest>\n";
    QString zipError;
    result.bytes =
        writeZip({{QStringLiteral("mimetype"), "application/vnd.oasis.opendocument.spreadsheet"},
                  {QStringLiteral("META-INF/manifest.xml"), manifest},
                  {QStringLiteral("meta.xml"), meta},
                  {QStringLiteral("content.xml"), content}},
                 zipError);
    if (!zipError.isEmpty())
        result.error = zipError;
    return result;
}

} // namespace lexanta
