// Office Open XML workbooks: the workbook names the sheets, its relationships say which part
// holds each; cells refer to the shared strings and to the styles, whose number formats say how
// numbers show.
#include "core/interchange/number_format.h"
#include "core/interchange/spreadsheet_formats.h"
#include "core/interchange/zip_package.h"

#include "platform/charset_coverage.h"

#include <QHash>

namespace lexanta {

namespace {

constexpr char kMainNs[] = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr char kRelNs[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr char kPackageRelNs[] = "http://schemas.openxmlformats.org/package/2006/relationships";

constexpr long long kProgressRows = 1 << 14;

// A part's path from a relationship target, relative to the folder of `base`.
QString resolveTarget(const QString& base, const QString& target) {
    if (target.startsWith(QLatin1Char('/')))
        return target.mid(1);
    QStringList parts =
        base.section(QLatin1Char('/'), 0, -2).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& p : target.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (p == QLatin1String(".."))
            parts.removeLast();
        else if (p != QLatin1String("."))
            parts << p;
    }
    return parts.join(QLatin1Char('/'));
}

struct Relationship {
    QString type; // the last part of its type URI: "worksheet", "sharedStrings", ...
    QString target;
};

QHash<QString, Relationship> readRelationships(const ZipPackage& zip, const QString& part,
                                               const QString& base) {
    QHash<QString, Relationship> rels;
    std::string bytes;
    if (!zip.has(part) || zip.readPart(part, bytes).isError())
        return rels;
    XmlStream in(memoryFeed(bytes), part);
    while (in.next())
        if (in.xml().isStartElement() && in.xml().name() == QLatin1String("Relationship")) {
            const QXmlStreamAttributes a = in.xml().attributes();
            rels.insert(a.value(QLatin1String("Id")).toString(),
                        {a.value(QLatin1String("Type")).toString().section(QLatin1Char('/'), -1),
                         resolveTarget(base, a.value(QLatin1String("Target")).toString())});
        }
    return rels;
}

QString targetOfType(const QHash<QString, Relationship>& rels, const QString& type,
                     const QString& fallback) {
    for (const Relationship& r : rels)
        if (r.type == type)
            return r.target;
    return fallback;
}

// Shared strings kept compact: one buffer and an end offset per string.
struct SharedStrings {
    std::string text;
    std::vector<std::uint64_t> ends;
    std::string_view at(std::size_t i) const {
        const std::uint64_t begin = i == 0 ? 0 : ends[i - 1];
        return std::string_view(text).substr(begin, ends[i] - begin);
    }
};

// The text of an <si> or <is>: its <t> elements, phonetic runs left out.
bool readRichText(XmlStream& in, QString& text) {
    text.clear();
    int depth = 1;
    bool inText = false;
    while (depth > 0 && in.next()) {
        QXmlStreamReader& xml = in.xml();
        if (xml.isStartElement()) {
            if (xml.name() == QLatin1String("rPh")) {
                if (!in.skipElement())
                    return false;
                continue;
            }
            ++depth;
            inText = xml.name() == QLatin1String("t");
        } else if (xml.isEndElement()) {
            --depth;
            inText = false;
        } else if (inText && xml.isCharacters()) {
            text += xml.text();
        }
    }
    return !in.hasError();
}

ReadError readSharedStrings(const ZipPackage& zip, const QString& part, SharedStrings& out) {
    if (!zip.has(part))
        return {};
    QString error;
    const std::unique_ptr<ZipPackage::Part> p = zip.openPart(part, error);
    if (!p)
        return {QString(), error};
    XmlStream in(partFeed(*p), part);
    QString text;
    while (in.next()) {
        if (in.xml().isStartElement() && in.xml().name() == QLatin1String("si")) {
            if (!readRichText(in, text))
                break;
            out.text += text.toUtf8().toStdString();
            out.ends.push_back(out.text.size());
        }
    }
    return in.error();
}

// The number format code of each cell style.
std::vector<QString> readStyles(const ZipPackage& zip, const QString& part) {
    std::vector<QString> formats;
    std::string bytes;
    if (!zip.has(part) || zip.readPart(part, bytes).isError())
        return formats;
    QHash<int, QString> custom;
    XmlStream in(memoryFeed(bytes), part);
    bool inCellXfs = false;
    while (in.next()) {
        QXmlStreamReader& xml = in.xml();
        if (xml.isEndElement() && xml.name() == QLatin1String("cellXfs"))
            inCellXfs = false;
        if (!xml.isStartElement())
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        if (xml.name() == QLatin1String("numFmt")) {
            custom.insert(a.value(QLatin1String("numFmtId")).toInt(),
                          a.value(QLatin1String("formatCode")).toString());
        } else if (xml.name() == QLatin1String("cellXfs")) {
            inCellXfs = true;
        } else if (inCellXfs && xml.name() == QLatin1String("xf")) {
            const int id = a.value(QLatin1String("numFmtId")).toInt();
            formats.push_back(custom.contains(id) ? custom.value(id) : builtinNumberFormat(id));
        }
    }
    return formats;
}

// "BC12" -> column 54 (from 0) and row 12; false when it is not a cell reference. Columns past
// the last a sheet has come back as kMaxSheetColumns.
bool parseCellReference(QStringView ref, int& column, std::int64_t& row) {
    qsizetype i = 0;
    std::int64_t c = 0;
    for (; i < ref.size() && ref[i].isLetter(); ++i) {
        const char16_t u = ref[i].toUpper().unicode();
        if (u < 'A' || u > 'Z')
            return false;
        c = std::min<std::int64_t>(c * 26 + (u - 'A' + 1), kMaxSheetColumns + 1);
    }
    if (i == 0)
        return false;
    bool ok = false;
    row = ref.mid(i).toLongLong(&ok);
    column = static_cast<int>(c - 1);
    return ok || i == ref.size();
}

struct CellContext {
    const SharedStrings& strings;
    const std::vector<QString>& formats;
    bool date1904 = false;
};

ReadError readSheet(XmlStream& in, const CellContext& context, SheetBuilder& build,
                    const ZipPackage::Part& part, const ProgressCallback& progress) {
    QXmlStreamReader& xml = in.xml();
    long long rows = 0;
    QString text;
    bool inRow = false;
    while (in.next()) {
        if (xml.isEndElement() && xml.name() == QLatin1String("row")) {
            if (ReadError e = build.endRow(); e.isError())
                return e;
            inRow = false;
            if (progress && ++rows % kProgressRows == 0)
                progress(static_cast<long long>(part.done()),
                         static_cast<long long>(part.statedSize()));
            continue;
        }
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("row")) {
            bool ok = false;
            const std::int64_t r = xml.attributes().value(QLatin1String("r")).toLongLong(&ok);
            if (ReadError e = build.beginRow(ok ? r : build.nextPlace()); e.isError())
                return e;
            inRow = true;
        } else if (inRow && xml.name() == QLatin1String("c")) {
            const QXmlStreamAttributes a = xml.attributes();
            int column = build.nextColumn();
            std::int64_t row = 0;
            const QStringView ref = a.value(QLatin1String("r"));
            if (!ref.isEmpty() && !parseCellReference(ref, column, row))
                return {QStringLiteral("cell %1").arg(ref.toString()),
                        QStringLiteral("not a cell reference")};
            const QStringView type = a.value(QLatin1String("t"));
            const int style = a.value(QLatin1String("s")).toInt();
            QString value, inlineText;
            bool hasInline = false;
            int depth = 1;
            while (depth > 0 && in.next()) {
                if (xml.isStartElement()) {
                    if (xml.name() == QLatin1String("v")) {
                        if (!in.elementText(value))
                            return in.error();
                    } else if (xml.name() == QLatin1String("is")) {
                        if (!readRichText(in, inlineText))
                            return in.error();
                        hasInline = true;
                    } else if (!in.skipElement()) {
                        return in.error();
                    }
                } else if (xml.isEndElement()) {
                    --depth;
                }
            }
            if (in.hasError())
                return in.error();
            if (hasInline) {
                text = inlineText;
            } else if (type == QLatin1String("s")) {
                bool ok = false;
                const qulonglong i = value.toULongLong(&ok);
                if (!ok || i >= context.strings.ends.size())
                    return {QStringLiteral("cell %1%2")
                                .arg(columnLetters(column))
                                .arg(build.nextPlace()),
                            QStringLiteral("refers to shared string %1, which is not there")
                                .arg(value)};
                const std::string_view s = context.strings.at(i);
                text = QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
            } else if (type == QLatin1String("b")) {
                text =
                    value == QLatin1String("1") ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
            } else if (type == QLatin1String("str") || type == QLatin1String("e") ||
                       type == QLatin1String("d") || value.isEmpty()) {
                text = value;
            } else {
                bool ok = false;
                const double number = value.toDouble(&ok);
                const QString code =
                    style >= 0 && static_cast<std::size_t>(style) < context.formats.size()
                        ? context.formats[static_cast<std::size_t>(style)]
                        : QString();
                text = ok ? formatNumber(number, code, context.date1904) : value;
            }
            if (ReadError e = build.addCell(column, text.toUtf8().toStdString()); e.isError())
                return e;
        }
    }
    return in.error();
}

void readProperties(const ZipPackage& zip, ListDescription& d) {
    std::string bytes;
    if (zip.has(QStringLiteral("docProps/core.xml")) &&
        !zip.readPart(QStringLiteral("docProps/core.xml"), bytes).isError()) {
        XmlStream in(memoryFeed(bytes), QStringLiteral("docProps/core.xml"));
        while (in.next()) {
            if (!in.xml().isStartElement())
                continue;
            if (in.xml().name() == QLatin1String("title"))
                in.elementText(d.title);
            else if (in.xml().name() == QLatin1String("creator"))
                in.elementText(d.author);
        }
    }
    if (zip.has(QStringLiteral("docProps/custom.xml")) &&
        !zip.readPart(QStringLiteral("docProps/custom.xml"), bytes).isError()) {
        XmlStream in(memoryFeed(bytes), QStringLiteral("docProps/custom.xml"));
        QString name;
        while (in.next()) {
            if (!in.xml().isStartElement())
                continue;
            if (in.xml().name() == QLatin1String("property")) {
                name = in.xml().attributes().value(QLatin1String("name")).toString();
            } else if (in.xml().name() == QLatin1String("lpwstr")) {
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
    }
}

std::string xmlText(const QString& text) {
    std::string out;
    appendXmlText(out, text.toUtf8().toStdString());
    return out;
}

} // namespace

ReadError readXlsx(std::string_view bytes, const QString& wanted, ReadList& out,
                   const ProgressCallback& progress) {
    ZipPackage zip;
    if (ReadError e = zip.open(bytes); e.isError())
        return e;
    out.sheet = Sheet(Sheet::Places::SheetRows);
    const QHash<QString, Relationship> packageRels =
        readRelationships(zip, QStringLiteral("_rels/.rels"), QString());
    const QString workbook = targetOfType(packageRels, QStringLiteral("officeDocument"),
                                          QStringLiteral("xl/workbook.xml"));
    std::string workbookBytes;
    if (ReadError e = zip.readPart(workbook, workbookBytes); e.isError())
        return e;
    const QString relsPart = workbook.section(QLatin1Char('/'), 0, -2) + QStringLiteral("/_rels/") +
                             workbook.section(QLatin1Char('/'), -1) + QStringLiteral(".rels");
    const QHash<QString, Relationship> rels = readRelationships(zip, relsPart, workbook);

    QStringList sheetTargets;
    bool date1904 = false;
    {
        XmlStream in(memoryFeed(workbookBytes), workbook);
        while (in.next()) {
            if (!in.xml().isStartElement())
                continue;
            const QXmlStreamAttributes a = in.xml().attributes();
            if (in.xml().name() == QLatin1String("workbookPr")) {
                const QStringView v = a.value(QLatin1String("date1904"));
                date1904 = v == QLatin1String("1") || v == QLatin1String("true");
            } else if (in.xml().name() == QLatin1String("sheet")) {
                out.sheetNames << a.value(QLatin1String("name")).toString();
                sheetTargets
                    << rels.value(a.value(QLatin1String(kRelNs), QLatin1String("id")).toString())
                           .target;
            }
        }
        if (in.hasError())
            return in.error();
    }
    const int chosen = pickSheet(out.sheetNames, wanted);
    if (chosen < 0)
        return {QString(), out.sheetNames.isEmpty()
                               ? QStringLiteral("the workbook holds no sheet")
                               : QStringLiteral("no sheet \"%1\"; the file has %2")
                                     .arg(wanted, out.sheetNames.join(QStringLiteral(", ")))};
    out.sheetIndex = chosen;

    SharedStrings strings;
    if (ReadError e = readSharedStrings(
            zip,
            targetOfType(rels, QStringLiteral("sharedStrings"),
                         resolveTarget(workbook, QStringLiteral("sharedStrings.xml"))),
            strings);
        e.isError())
        return e;
    const std::vector<QString> formats =
        readStyles(zip, targetOfType(rels, QStringLiteral("styles"),
                                     resolveTarget(workbook, QStringLiteral("styles.xml"))));
    readProperties(zip, out.description);

    const QString sheetPart = sheetTargets[chosen];
    QString error;
    const std::unique_ptr<ZipPackage::Part> part = zip.openPart(sheetPart, error);
    if (!part)
        return {QString(), error};
    XmlStream in(partFeed(*part), sheetPart);
    SheetBuilder build(out.sheet);
    return readSheet(in, CellContext{strings, formats, date1904}, build, *part, progress);
}

ExportResult writeXlsx(const ExportRows& rows) {
    ExportResult result;
    std::string sheet = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                        "<worksheet xmlns=\"" +
                        std::string(kMainNs) + "\"><sheetData>\n";
    sheet.reserve(static_cast<std::size_t>(rows.rowCount()) * 200 + 1024);
    const auto appendRow = [&sheet](int number, const std::array<std::string, 3>& cells) {
        const std::string r = std::to_string(number);
        sheet += "<row r=\"" + r + "\">";
        for (std::size_t f = 0; f < 3; ++f) {
            if (cells[f].empty())
                continue;
            sheet += "<c r=\"";
            sheet += static_cast<char>('A' + f);
            sheet += r + "\" t=\"inlineStr\"><is><t xml:space=\"preserve\">";
            appendXmlText(sheet, cells[f]);
            sheet += "</t></is></c>";
        }
        sheet += "</row>\n";
    };
    appendRow(1, {fieldColumnNames()[0].toStdString(), fieldColumnNames()[1].toStdString(),
                  fieldColumnNames()[2].toStdString()});
    std::array<std::string, 3> cells;
    for (int r = 0; r < rows.rowCount(); ++r) {
        for (int f = 0; f < 3; ++f) {
            cells[static_cast<std::size_t>(f)] = rows.cell(r, f);
            if (const char32_t bad = firstNonXmlCharacter(cells[static_cast<std::size_t>(f)])) {
                result.error = QStringLiteral("%1: %2 cannot be written in XML")
                                   .arg(entryPlace(r, f), describeCharacter(bad));
                return result;
            }
        }
        appendRow(r + 2, cells);
    }
    sheet += "</sheetData></worksheet>\n";

    const std::string header = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
    const std::string types =
        header + "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                 "<Default Extension=\"rels\" "
                 "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                 "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                 "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/"
                 "vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
                 "<Override PartName=\"/xl/worksheets/sheet1.xml\" ContentType=\"application/"
                 "vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
                 "<Override PartName=\"/xl/styles.xml\" ContentType=\"application/"
                 "vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>"
                 "<Override PartName=\"/docProps/core.xml\" "
                 "ContentType=\"application/vnd.openxmlformats-package.core-properties+xml\"/>"
                 "<Override PartName=\"/docProps/custom.xml\" ContentType=\"application/"
                 "vnd.openxmlformats-officedocument.custom-properties+xml\"/></Types>\n";
    const std::string packageRels =
        header + "<Relationships xmlns=\"" + kPackageRelNs +
        "\"><Relationship Id=\"rId1\" Type=\"" + kRelNs +
        "/officeDocument\" Target=\"xl/workbook.xml\"/>"
        "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/package/2006/"
        "relationships/metadata/core-properties\" Target=\"docProps/core.xml\"/>"
        "<Relationship Id=\"rId3\" Type=\"" +
        kRelNs + "/custom-properties\" Target=\"docProps/custom.xml\"/></Relationships>\n";
    const std::string workbook = header + "<workbook xmlns=\"" + kMainNs + "\" xmlns:r=\"" +
                                 kRelNs +
                                 "\"><sheets><sheet name=\"Vocabulary\" sheetId=\"1\" "
                                 "r:id=\"rId1\"/></sheets></workbook>\n";
    const std::string workbookRels =
        header + "<Relationships xmlns=\"" + kPackageRelNs +
        "\"><Relationship Id=\"rId1\" Type=\"" + kRelNs +
        "/worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" Type=\"" +
        kRelNs + "/styles\" Target=\"styles.xml\"/></Relationships>\n";
    const std::string styles =
        header + "<styleSheet xmlns=\"" + kMainNs +
        "\"><fonts count=\"1\"><font><sz val=\"11\"/><name val=\"Calibri\"/></font></fonts>"
        "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill><fill><patternFill "
        "patternType=\"gray125\"/></fill></fills><borders count=\"1\"><border><left/><right/>"
        "<top/><bottom/><diagonal/></border></borders><cellStyleXfs count=\"1\"><xf numFmtId=\"0\" "
        "fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs><cellXfs count=\"1\"><xf "
        "numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/></cellXfs>"
        "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/>"
        "</cellStyles></styleSheet>\n";
    const ListDescription& d = rows.description();
    std::string core = header +
                       "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/"
                       "2006/metadata/core-properties\" xmlns:dc=\"http://purl.org/dc/elements/"
                       "1.1/\">";
    if (!d.title.isEmpty())
        core += "<dc:title>" + xmlText(d.title) + "</dc:title>";
    if (!d.author.isEmpty())
        core += "<dc:creator>" + xmlText(d.author) + "</dc:creator>";
    core += "</cp:coreProperties>\n";
    std::string custom = header +
                         "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/"
                         "2006/custom-properties\" xmlns:vt=\"http://schemas.openxmlformats.org/"
                         "officeDocument/2006/docPropsVTypes\">";
    int pid = 2;
    for (const auto& [name, value] :
         {std::pair{"Questions language", &d.questionsLanguage},
          std::pair{"Answers language", &d.answersLanguage}, std::pair{"Date", &d.date}}) {
        if (value->isEmpty())
            continue;
        custom += "<property fmtid=\"{D5CDD505-2E9C-101B-9397-08002B2CF9AE}\" pid=\"" +
                  std::to_string(pid++) + "\" name=\"" + name + "\"><vt:lpwstr>" + xmlText(*value) +
                  "</vt:lpwstr></property>";
    }
    custom += "</Properties>\n";

    QString zipError;
    result.bytes = writeZip({{QStringLiteral("[Content_Types].xml"), types},
                             {QStringLiteral("_rels/.rels"), packageRels},
                             {QStringLiteral("docProps/core.xml"), core},
                             {QStringLiteral("docProps/custom.xml"), custom},
                             {QStringLiteral("xl/workbook.xml"), workbook},
                             {QStringLiteral("xl/_rels/workbook.xml.rels"), workbookRels},
                             {QStringLiteral("xl/styles.xml"), styles},
                             {QStringLiteral("xl/worksheets/sheet1.xml"), sheet}},
                            zipError);
    if (!zipError.isEmpty())
        result.error = zipError;
    return result;
}

} // namespace lexanta
