// The list formats against files: .lut -> each format -> entries keeps every cell and the
// description the format carries; files written by other programs read as they show; hostile
// files are refused naming the place and the reason.
#include "core/interchange/list_formats.h"
#include "core/interchange/list_mapping.h"
#include "core/vocab/lut_format.h"
#include "platform/codepage.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace lexanta;

Q_DECLARE_METATYPE(lexanta::ListFormat)

namespace {

const QString kData = QStringLiteral(LEXANTA_TEST_DATA "/lists/");

std::string readBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("cannot open %s", qPrintable(path));
    return f.readAll().toStdString();
}

Vocabulary loadLut(const QString& path) {
    Vocabulary v;
    if (!readVocabulary(readBytes(path), v))
        qFatal("cannot read %s", qPrintable(path));
    return v;
}

// The list's rows mapped into the fields' code pages of `charsets`.
MappedList mapped(const ReadList& list, const std::array<int, 3>& charsets) {
    MappingChoices choices;
    choices.columns = defaultColumns(list);
    choices.skipFirstRow = list.firstRowIsHeader;
    choices.charsets = charsets;
    return mapToEntries(list.sheet, choices);
}

std::array<int, 3> charsetsOf(const Vocabulary& v) {
    return {v.header.fonts[0].charset, v.header.fonts[1].charset, v.header.fonts[2].charset};
}

QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace

class TestListFormats : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data() {
        QTest::addColumn<ListFormat>("format");
        QTest::addColumn<QString>("lut");
        for (const ListFormat f : kListFormats)
            for (const char* file : {"empty", "one", "many"})
                QTest::addRow("%s %s", qPrintable(listFormatName(f)), file)
                    << f << kData + QStringLiteral("roundtrip/%1.lut").arg(QLatin1String(file));
    }
    void roundTrip() {
        QFETCH(ListFormat, format);
        QFETCH(QString, lut);
        const Vocabulary original = loadLut(lut);
        const ExportResult written = writeList(format, original);
        QVERIFY2(written.ok(), qPrintable(written.error));
        ReadList list;
        const ReadError e = readList(format, written.bytes, {}, list);
        QVERIFY2(!e.isError(), qPrintable(e.message(lut)));
        const MappedList back = mapped(list, charsetsOf(original));
        QVERIFY2(back.ok(), qPrintable(describeUnheld(back, list.sheet)));
        const EntryTable& before = original.entries;
        const int rows = before.entryCount() - (before.isBlank(before.entryCount() - 1) ? 1 : 0);
        QCOMPARE(back.entryCount, rows);
        const int fields = format == ListFormat::Quizlet ? 2 : 3; // a term and a definition
        for (int r = 0; r < rows; ++r)
            for (int f = 0; f < fields; ++f)
                QCOMPARE(back.entries.text(r, f), before.text(r, f));

        const CodePage& system = CodePage::get(systemAnsiCodePage());
        const VocabularyHeader& h = original.header;
        const ListDescription& d = list.description;
        if (format == ListFormat::Ods || format == ListFormat::Xlsx) {
            QCOMPARE(d, (ListDescription{system.decode(h.questionsLanguage),
                                         system.decode(h.answersLanguage), system.decode(h.title),
                                         system.decode(h.author), system.decode(h.date)}));
        } else if (format == ListFormat::Kvtml) {
            QCOMPARE(d, (ListDescription{system.decode(h.questionsLanguage),
                                         system.decode(h.answersLanguage), system.decode(h.title),
                                         system.decode(h.author), QString()}));
        }
    }

    // Files that spreadsheets, KWordQuiz and Parley wrote, with the rows they show (tab between
    // the fields, UTF-8) in NAME.expected.
    void realFiles_data() {
        QTest::addColumn<QString>("file");
        const QDir dir(kData + QStringLiteral("real"));
        for (const QString& name : dir.entryList(QDir::Files))
            if (!name.endsWith(QLatin1String(".expected")) && !name.endsWith(QLatin1String(".md")))
                QTest::newRow(qPrintable(name)) << dir.filePath(name);
    }
    void realFiles() {
        QFETCH(QString, file);
        const std::optional<ListFormat> format = listFormatOfFile(file);
        QVERIFY(format);
        ReadList list;
        const ReadError e = readList(*format, readBytes(file), {}, list);
        QVERIFY2(!e.isError(), qPrintable(e.message(file)));
        // Each field in the character set that holds its text.
        MappingChoices choices;
        choices.columns = defaultColumns(list);
        choices.skipFirstRow = list.firstRowIsHeader;
        choices.charsets = {kCharsetAnsi, kCharsetAnsi, kCharsetAnsi};
        QString unheld;
        QVERIFY2(chooseCharsets(list.sheet, choices, choices.charsets, unheld), qPrintable(unheld));
        const MappedList rows = mapToEntries(list.sheet, choices);
        QVERIFY2(rows.ok(), qPrintable(describeUnheld(rows, list.sheet)));
        QStringList got;
        const CodePage* pages[] = {&CodePage::forCharset(choices.charsets[0]),
                                   &CodePage::forCharset(choices.charsets[1]),
                                   &CodePage::forCharset(choices.charsets[2])};
        for (int r = 0; r < rows.entryCount; ++r) {
            QStringList cells;
            for (int f = 0; f < 3; ++f)
                cells << pages[f]->decode(rows.entries.text(r, f));
            got << cells.join(QLatin1Char('\t'));
        }
        QCOMPARE(got.join(QLatin1Char('\n')) + QLatin1Char('\n'),
                 text(readBytes(file + QStringLiteral(".expected"))));
    }

    // An Anki package's columns are headed by its note types' field names, in their order.
    void ankiFieldNames_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("names");
        QTest::newRow("col.models") << "anki_2.1_schema11.apkg"
                                    << "Word|Meaning|Example";
        QTest::newRow("two note types") << "anki_2.1.50.apkg"
                                        << "Front|Back|Add Reverse";
        QTest::newRow("colpkg") << "anki_collection.colpkg"
                                << "Front|Back";
    }
    void ankiFieldNames() {
        QFETCH(QString, file);
        QFETCH(QString, names);
        ReadList list;
        QVERIFY(!readList(ListFormat::Anki, readBytes(kData + "real/" + file), {}, list).isError());
        QCOMPARE(list.columnNames.join(QLatin1Char('|')), names);
    }

    void hostileFiles_data() {
        QTest::addColumn<QString>("file");
        const QDir dir(kData + QStringLiteral("hostile"));
        for (const QString& name : dir.entryList(QDir::Files))
            if (!name.endsWith(QLatin1String(".expected")))
                QTest::newRow(qPrintable(name)) << dir.filePath(name);
    }
    void hostileFiles() {
        QFETCH(QString, file);
        ReadList list;
        const ReadError e = readList(*listFormatOfFile(file), readBytes(file), {}, list);
        const QString expected = text(readBytes(file + QStringLiteral(".expected"))).trimmed();
        QVERIFY2(e.message(QStringLiteral("F")).contains(expected),
                 qPrintable(e.message(QStringLiteral("F"))));
    }

    // A column no single-byte set holds names its first such cell and character, whether no set
    // has the character or none has it together with the cells above.
    void charsetsRefused_data() {
        QTest::addColumn<QString>("file");
        const QDir dir(kData + QStringLiteral("unheld"));
        for (const QString& name : dir.entryList({QStringLiteral("*.csv")}, QDir::Files))
            QTest::newRow(qPrintable(name)) << dir.filePath(name);
    }
    void charsetsRefused() {
        QFETCH(QString, file);
        ReadList list;
        QVERIFY(!readList(ListFormat::Csv, readBytes(file), {}, list).isError());
        MappingChoices choices;
        choices.columns = defaultColumns(list);
        choices.charsets = {kCharsetAnsi, kCharsetAnsi, kCharsetAnsi};
        QString unheld;
        QVERIFY(!chooseCharsets(list.sheet, choices, choices.charsets, unheld));
        QCOMPARE(unheld, text(readBytes(file + QStringLiteral(".expected"))).trimmed());
    }

    // A 100 MB quoted field is one cell, whole; the same field left open names its line.
    void hundredMegabyteField() {
        std::string csv = "a,b\r\nq,\"";
        csv.append(100u << 20, 'x');
        csv += "\"\r\n";
        ReadList list;
        QVERIFY(!readList(ListFormat::Csv, csv, {}, list).isError());
        QCOMPARE(list.sheet.rowCount(), 2);
        QCOMPARE(list.sheet.cell(1, 1).size(), std::size_t(100u << 20));
        csv.resize(csv.size() - 3);
        const ReadError e = readList(ListFormat::Csv, csv, {}, list);
        QCOMPARE(e.where, QStringLiteral("line 2"));
    }

    // Characters a field's code page lacks stop the import, or leave their rows out when asked;
    // they are listed by line, field and Unicode name either way.
    void unheldCharacters_data() {
        QTest::addColumn<bool>("leaveOut");
        QTest::newRow("refused") << false;
        QTest::newRow("rows left out") << true;
    }
    void unheldCharacters() {
        QFETCH(bool, leaveOut);
        ReadList list;
        const std::string csv = "cat,Katze\r\ndash,a\xe2\x80\x90z\r\nipa,\xcb\x90\r\nend,Ende\r\n";
        QVERIFY(!readList(ListFormat::Csv, csv, {}, list).isError());
        MappingChoices choices;
        choices.charsets = {kCharsetAnsi, kCharsetCyrillic, kCharsetAnsi};
        choices.leaveOutUnheldRows = leaveOut;
        const MappedList m = mapToEntries(list.sheet, choices);
        QCOMPARE(m.ok(), leaveOut);
        QCOMPARE(m.unheldCount, 2);
        QCOMPARE(describeUnheld(m, list.sheet),
                 QStringLiteral("Line 2, answer (code page 1251): \"‐\" (U+2010 HYPHEN)\n"
                                "Line 3, answer (code page 1251): \"ː\" (U+02D0 MODIFIER LETTER "
                                "TRIANGULAR COLON)"));
        if (leaveOut) {
            QCOMPARE(m.entryCount, 2);
            QCOMPARE(m.entries.text(1, kQuestion), std::string_view("end"));
            QCOMPARE(m.notes.rowsLeftOut, 2);
        }
    }
};

QTEST_MAIN(TestListFormats)
#include "test_list_formats.moc"
