// The help manual the program ships: every picture and page it links to is there, every
// section the contents name exists, and every picture says what it shows.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

class TestHelpManual : public QObject {
    Q_OBJECT

private slots:
    void linksResolve_data();
    void linksResolve();
    void claims_data();
    void claims();
};

// What a page must say, or must never say again once it is no longer true.
void TestHelpManual::claims_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<bool>("must");
    QTest::addColumn<QString>("text");
    QFile file(QStringLiteral(LEXANTA_TEST_DATA "/help/claims.tsv"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        const QStringList cells = line.split(QLatin1Char('\t'));
        if (cells.size() == 3 && !line.startsWith(QLatin1Char('#')))
            QTest::newRow(qPrintable(cells[2])) << cells[0] << (cells[1] == "must") << cells[2];
    }
}

void TestHelpManual::claims() {
    QFETCH(QString, page);
    QFETCH(bool, must);
    QFETCH(QString, text);
    QFile file(QStringLiteral(LEXANTA_TEST_DATA "/../../help/") + page);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()).contains(text), must);
}

void TestHelpManual::linksResolve_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("anchors");
    QTest::addColumn<int>("files");
    QTest::newRow("contents") << "editor.html" << 17 << 2;
    QTest::newRow("printing") << "printing.html" << 0 << 6;
}

void TestHelpManual::linksResolve() {
    QFETCH(QString, page);
    QFETCH(int, anchors);
    QFETCH(int, files);
    const QDir help(QStringLiteral(LEXANTA_TEST_DATA "/../../help"));
    QFile file(help.filePath(page));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    const QString html = QString::fromUtf8(file.readAll());
    QVERIFY(html.contains(QLatin1String("<meta charset=\"utf-8\">")));

    QSet<QString> ids;
    for (const auto& m : QRegularExpression(QStringLiteral("\\bid=\"([^\"]+)\"")).globalMatch(html))
        ids.insert(m.captured(1));

    int anchorsFound = 0, filesFound = 0;
    const QRegularExpression link(QStringLiteral("\\b(href|src)=\"([^\"]+)\""));
    for (const auto& m : link.globalMatch(html)) {
        const QString target = m.captured(2);
        QVERIFY2(!target.contains(QLatin1String("://")), qPrintable(target)); // works offline
        if (target.startsWith(QLatin1Char('#'))) {
            QVERIFY2(ids.contains(target.mid(1)), qPrintable(target));
            ++anchorsFound;
        } else {
            // Another page, perhaps at a section of it.
            const QString linked = target.section(QLatin1Char('#'), 0, 0);
            const QString section = target.section(QLatin1Char('#'), 1);
            QVERIFY2(QFileInfo::exists(help.filePath(linked)), qPrintable(target));
            if (!section.isEmpty()) {
                QFile other(help.filePath(linked));
                QVERIFY(other.open(QIODevice::ReadOnly));
                QVERIFY2(other.readAll().contains("id=\"" + section.toUtf8() + '"'),
                         qPrintable(target));
            }
            ++filesFound;
        }
    }
    QVERIFY(anchorsFound >= anchors);
    QVERIFY(filesFound >= files);

    const QRegularExpression image(QStringLiteral("<img\\b[^>]*>"));
    for (const auto& m : image.globalMatch(html))
        QVERIFY2(QRegularExpression(QStringLiteral("\\balt=\"[^\"]{10,}\""))
                     .match(m.captured(0))
                     .hasMatch(),
                 qPrintable(m.captured(0)));
}

QTEST_APPLESS_MAIN(TestHelpManual)
#include "test_help_manual.moc"
