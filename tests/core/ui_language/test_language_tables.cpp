#include "core/ui_language/language_tables.h"

#include <QSet>
#include <QTest>

using namespace lexanta;

class TestLanguageTables : public QObject {
    Q_OBJECT

private slots:
    void rowsAreWellFormed();
    void shortHints();
    void firstStartDifferences();
};

// Each control and kind once; both languages present; hints carry the "|" that separates
// the tooltip; filters are description|pattern pairs.
void TestLanguageTables::rowsAreWellFormed() {
    QSet<QString> seen;
    for (const InterfaceText& row : interfaceTexts()) {
        const QString key = QString::fromLatin1(row.control) + QLatin1Char('/') +
                            QString::number(static_cast<int>(row.kind));
        QVERIFY2(!seen.contains(key), qPrintable(key));
        seen.insert(key);
        for (auto language : {InterfaceLanguage::English, InterfaceLanguage::Russian}) {
            const QString text = row.text(language);
            QVERIFY2(!text.isEmpty(), row.control);
            if (row.kind == TextKind::Hint) {
                QVERIFY2(text.endsWith(QLatin1Char('|')), qPrintable(text));
                QCOMPARE(shortHint(text) + QLatin1Char('|'), text);
            } else if (row.kind == TextKind::Filter) {
                const QStringList parts = text.split(QLatin1Char('|'));
                QVERIFY2(parts.size() % 2 == 0, qPrintable(text));
                for (qsizetype i = 1; i < parts.size(); i += 2)
                    QVERIFY2(parts[i].startsWith(QLatin1Char('*')), qPrintable(text));
            }
        }
    }
    QVERIFY(!seen.isEmpty());
}

void TestLanguageTables::shortHints() {
    QCOMPARE(shortHint(QStringLiteral("Load (Ctrl+O)|Opens a vocabulary")),
             QStringLiteral("Load (Ctrl+O)"));
    QCOMPARE(shortHint(QStringLiteral("no bar")), QStringLiteral("no bar"));
    QCOMPARE(shortHint(QString()), QString());
}

// Each design text that differs names a row of the table and differs from its English text.
void TestLanguageTables::firstStartDifferences() {
    QVERIFY(!lexanta::firstStartDifferences().empty());
    for (const DesignText& design : lexanta::firstStartDifferences()) {
        bool found = false;
        for (const InterfaceText& row : interfaceTexts()) {
            if (qstrcmp(row.control, design.control) != 0 || row.kind != design.kind)
                continue;
            found = true;
            QVERIFY(row.text(InterfaceLanguage::English) != QString::fromUtf8(design.text));
        }
        QVERIFY2(found, design.control);
    }
}

QTEST_APPLESS_MAIN(TestLanguageTables)
#include "test_language_tables.moc"
