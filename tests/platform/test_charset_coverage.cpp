// Which Windows character set holds a text: the field keeps the set it has when that holds the
// text, else takes the system's, else the first single-byte set that does.
#include "platform/charset_coverage.h"

#include <QTest>

using namespace lexanta;

class TestCharsetCoverage : public QObject {
    Q_OBJECT

private slots:
    // The system's set comes first: a C locale makes it 0.
    void initTestCase() { qputenv("LC_ALL", "C"); }

    void choose_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("chosen"); // -1: none
        QTest::addColumn<QString>("unheld");
        QTest::newRow("ASCII keeps the current set") << "cat" << 204 << 204 << "";
        QTest::newRow("Cyrillic") << "кошка" << 0 << 204 << "";
        QTest::newRow("Greek") << "γάτα" << 0 << 161 << "";
        QTest::newRow("Polish") << "źdźbło" << 0 << 238 << "";
        QTest::newRow("Turkish") << "ağaç" << 0 << 162 << "";
        QTest::newRow("Hebrew") << "חתול" << 0 << 177 << "";
        QTest::newRow("Western text in a Cyrillic field") << "café" << 204 << 0 << "";
        QTest::newRow("Japanese stays in its double-byte set") << "猫" << 128 << 128 << "猫";
        QTest::newRow("IPA: no single-byte set") << "kæt ː" << 0 << -1 << "ː";
        QTest::newRow("Cyrillic and Greek together") << "кот γάτα" << 0 << -1 << "";
    }
    void choose() {
        QFETCH(QString, text);
        QFETCH(int, current);
        QFETCH(int, chosen);
        QFETCH(QString, unheld);
        CharsetCoverage fromQString, fromUtf8;
        fromQString.add(text);
        fromUtf8.addUtf8(text.toUtf8().toStdString());
        for (const CharsetCoverage* c : {&fromQString, &fromUtf8}) {
            QCOMPARE(c->choose(current).value_or(-1), chosen);
            QCOMPARE(c->unheld(), unheld);
        }
    }

    void describeCharacter_data() {
        QTest::addColumn<uint>("code");
        QTest::addColumn<QString>("described");
        QTest::newRow("hyphen") << 0x2010u << "\"‐\" (U+2010 HYPHEN)";
        QTest::newRow("triangular colon")
            << 0x2D0u << "\"ː\" (U+02D0 MODIFIER LETTER TRIANGULAR COLON)";
        QTest::newRow("invisible") << 0x200Bu << "U+200B ZERO WIDTH SPACE";
        QTest::newRow("beyond the BMP") << 0x1F431u << "\"🐱\" (U+1F431 CAT FACE)";
    }
    void describeCharacter() {
        QFETCH(uint, code);
        QFETCH(QString, described);
        QCOMPARE(lexanta::describeCharacter(code), described);
    }
};

QTEST_MAIN(TestCharsetCoverage)
#include "test_charset_coverage.moc"
