#include "platform/collation.h"

#include <QTest>

using namespace lexanta;

namespace {

int sign(int value) {
    return (value > 0) - (value < 0);
}

// Sets LC_ALL for one scope.
struct ScopedLcAll {
    explicit ScopedLcAll(const char* value) { qputenv("LC_ALL", value); }
    ~ScopedLcAll() { saved.isNull() ? qunsetenv("LC_ALL") : qputenv("LC_ALL", saved); }
    const QByteArray saved = qgetenv("LC_ALL");
};

} // namespace

class TestCollation : public QObject {
    Q_OBJECT

private slots:
    void compare_data();
    void compare();
    void localeComesFromEnvironment_data();
    void localeComesFromEnvironment();
    void lowerForLocale_data();
    void lowerForLocale();
};

void TestCollation::compare_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("expected");
    const auto row = [](const char* name, const char* locale, const char* a, const char* b,
                        int expected) {
        QTest::newRow(name) << QString(locale) << QString(a) << QString(b) << expected;
    };
    row("C: apple < Zebra", "C", "apple", "Zebra", -1);
    row("C: case ignored", "C", "ZEBRA", "zebra", 0);
    row("C: accent not ignored", "C", "resume", "résumé", -1);
    row("C: accent and case", "C", "É", "é", 0);
    row("C: empty first", "C", "", "a", -1);
    row("C: empty before blank", "C", " ", "", 1);
    row("C: empty before ignorable", "C", "", "\x01", -1);
    row("C: empty equal", "C", "", "", 0);
    row("C: not numeric", "C", "10", "9", -1);
    row("C.UTF-8 like C", "C.UTF-8", "Zebra", "apple", 1);
    row("ru: yo case", "ru_RU.UTF-8", "Ёлка", "ёлка", 0);
    row("ru: yo is not ye", "ru_RU.UTF-8", "ёлка", "елка", 1);
    row("ru: yo before zhe", "ru_RU.UTF-8", "Ёж", "жук", -1);
    row("ru: latin before cyrillic", "ru_RU.UTF-8", "zoo", "арбуз", -1);
    row("sv: o-umlaut after z", "sv_SE", "ö", "z", 1);
    row("de: sharp s", "de_DE", "Straße", "Strasse", 1);
    row("tr: dotless i case", "tr_TR", "ı", "I", 0);
    row("unknown locale", "xx_YY", "apple", "Zebra", -1);
    // the word sort: hyphens and apostrophes only break ties
    row("hyphen after letters", "en_US", "co-op", "cob", 1);
    row("hyphen before its letter", "en_US", "co-op", "coop", -1);
    row("hyphen case ignored", "en_US", "Co-op", "co-op", 0);
    row("hyphen case ignored, tie kept", "en_US", "CO-OP", "coop", -1);
    row("earlier mark first", "en_US", "co-op", "coo-p", -1);
    row("apostrophe after letters", "en_US", "don't", "done", 1);
    row("apostrophe before its letter", "en_US", "don't", "dont", -1);
    row("apostrophe before hyphen", "C", "a'b", "a-b", -1);
    row("two marks before one", "C", "a--b", "a-b", -1);
    row("marks only after empty", "C", "-", "", 1);
    row("marks only before letters", "C", "-", "a", -1);
    row("blank still counts", "en_US", "co op", "coop", -1);
}

// Sort keys must order exactly as compare() does: the sort relies on them.
void TestCollation::compare() {
    QFETCH(QString, locale);
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, expected);
    const KeyCollator collator(locale);
    QCOMPARE(sign(collator.compare(a, b)), expected);
    QCOMPARE(sign(collator.compare(b, a)), -expected);
    QCOMPARE(sign(collator.sortKey(a).compare(collator.sortKey(b))), expected);
}

void TestCollation::localeComesFromEnvironment_data() {
    QTest::addColumn<QByteArray>("lcAll");
    QTest::addColumn<int>("oUmlautVersusZ");
    QTest::newRow("swedish") << QByteArray("sv_SE.UTF-8") << 1;
    QTest::newRow("C") << QByteArray("C") << -1;
    QTest::newRow("POSIX") << QByteArray("POSIX") << -1;
    QTest::newRow("german") << QByteArray("de_DE.UTF-8@euro") << -1;
}

void TestCollation::localeComesFromEnvironment() {
    QFETCH(QByteArray, lcAll);
    QFETCH(int, oUmlautVersusZ);
    const ScopedLcAll scoped(lcAll.constData());
    const KeyCollator collator;
    QCOMPARE(sign(collator.compare(QStringLiteral("ö"), QStringLiteral("z"))), oUmlautVersusZ);
    QCOMPARE(collator.compare(QStringLiteral("Zebra"), QStringLiteral("zebra")), 0);
}

void TestCollation::lowerForLocale_data() {
    QTest::addColumn<QByteArray>("lcAll");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("lower");
    const auto row = [](const char* name, const char* lcAll, const char* text, const char* lower) {
        QTest::newRow(name) << QByteArray(lcAll) << QString(text) << QString(lower);
    };
    row("cyrillic with yo", "ru_RU.UTF-8", "ЁЖИК Ёлка", "ёжик ёлка");
    row("cyrillic in C, marks kept", "C", "ЁЖ A1-B2 ß", "ёж a1-b2 ß");
    row("turkish dotted", "tr_TR.UTF-8", "Iİ", "ıi");
    row("english I", "en_US.UTF-8", "I", "i");
    row("growing text", "en_US.UTF-8", "İ", "i\u0307");
    row("empty", "C", "", "");
}

void TestCollation::lowerForLocale() {
    QFETCH(QByteArray, lcAll);
    QFETCH(QString, text);
    QFETCH(QString, lower);
    const ScopedLcAll scoped(lcAll.constData());
    QCOMPARE(lexanta::lowerForLocale(text), lower);
}

QTEST_APPLESS_MAIN(TestCollation)
#include "test_collation.moc"
