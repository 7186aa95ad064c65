#include "platform/collation.h"

#include <QTest>

#include <algorithm>

using namespace lexanta;

namespace {

int sign(int value) {
    return (value > 0) - (value < 0);
}

// Sets LC_ALL for the lifetime of the object.
class ScopedLcAll {
public:
    explicit ScopedLcAll(const QByteArray& value) : saved_(qgetenv("LC_ALL")) {
        qputenv("LC_ALL", value);
    }
    ~ScopedLcAll() {
        if (saved_.isNull())
            qunsetenv("LC_ALL");
        else
            qputenv("LC_ALL", saved_);
    }

private:
    QByteArray saved_;
};

} // namespace

class TestCollation : public QObject {
    Q_OBJECT

private slots:
    void compare_data();
    void compare();
    void sortKeysOrderLikeCompare_data();
    void sortKeysOrderLikeCompare();
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
    const QString c = QStringLiteral("C");
    QTest::newRow("C: apple < Zebra") << c << "apple"
                                      << "Zebra" << -1;
    QTest::newRow("C: case ignored") << c << "Zebra"
                                     << "zebra" << 0;
    QTest::newRow("C: all caps") << c << "APPLE"
                                 << "apple" << 0;
    QTest::newRow("C: accent not ignored") << c << "resume" << QStringLiteral("résumé") << -1;
    QTest::newRow("C: accent and case") << c << QStringLiteral("É") << QStringLiteral("é") << 0;
    QTest::newRow("C: empty first") << c << ""
                                    << "a" << -1;
    QTest::newRow("C: empty before blank") << c << " "
                                           << "" << 1;
    QTest::newRow("C: empty before ignorable") << c << "" << QStringLiteral("\u0001") << -1;
    QTest::newRow("C: empty equal") << c << ""
                                    << "" << 0;
    QTest::newRow("C: not numeric") << c << "10"
                                    << "9" << -1;
    QTest::newRow("POSIX like C") << QStringLiteral("POSIX") << "b"
                                  << "A" << 1;
    QTest::newRow("empty name like C") << QStringLiteral("C.UTF-8") << "Zebra"
                                       << "apple" << 1;
    const QString ru = QStringLiteral("ru_RU.UTF-8");
    QTest::newRow("ru: alphabet") << ru << QStringLiteral("арбуз") << QStringLiteral("Яблоко")
                                  << -1;
    QTest::newRow("ru: yo case") << ru << QStringLiteral("Ёлка") << QStringLiteral("ёлка") << 0;
    QTest::newRow("ru: yo is not ye")
        << ru << QStringLiteral("ёлка") << QStringLiteral("елка") << 1;
    QTest::newRow("ru: yo before zhe") << ru << QStringLiteral("Ёж") << QStringLiteral("жук") << -1;
    QTest::newRow("ru: latin before cyrillic") << ru << "zoo" << QStringLiteral("арбуз") << -1;
    QTest::newRow("sv: o-umlaut after z")
        << QStringLiteral("sv_SE") << QStringLiteral("ö") << "z" << 1;
    QTest::newRow("root: o-umlaut before z") << c << QStringLiteral("ö") << "z" << -1;
    QTest::newRow("de: sharp s") << QStringLiteral("de_DE") << QStringLiteral("Straße") << "Strasse"
                                 << 1;
    QTest::newRow("tr: dotless i case")
        << QStringLiteral("tr_TR") << QStringLiteral("ı") << QStringLiteral("I") << 0;
    QTest::newRow("unknown locale") << QStringLiteral("xx_YY") << "apple"
                                    << "Zebra" << -1;
}

void TestCollation::compare() {
    QFETCH(QString, locale);
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, expected);
    const KeyCollator collator(locale);
    QCOMPARE(sign(collator.compare(a, b)), expected);
    QCOMPARE(sign(collator.compare(b, a)), -expected);
    const std::string keyA = collator.sortKey(a);
    const std::string keyB = collator.sortKey(b);
    QCOMPARE(sign(keyA.compare(keyB)), expected);
}

void TestCollation::sortKeysOrderLikeCompare_data() {
    QTest::addColumn<QString>("locale");
    QTest::newRow("C") << QStringLiteral("C");
    QTest::newRow("ru") << QStringLiteral("ru_RU");
    QTest::newRow("sv") << QStringLiteral("sv_SE");
}

void TestCollation::sortKeysOrderLikeCompare() {
    QFETCH(QString, locale);
    const QStringList words = {
        QString(),           QStringLiteral(" "),    QStringLiteral("\u0001"),
        QStringLiteral("a"), QStringLiteral("A"),    QStringLiteral("á"),
        QStringLiteral("b"), QStringLiteral("ab"),   QStringLiteral("Ab"),
        QStringLiteral("ö"), QStringLiteral("z"),    QStringLiteral("ё"),
        QStringLiteral("Ё"), QStringLiteral("е"),    QStringLiteral("жук"),
        QStringLiteral("1"), QStringLiteral("中文"), QStringLiteral("a b"),
        QStringLiteral("ß"), QStringLiteral("ss"),   QStringLiteral("😀"),
    };
    const KeyCollator collator(locale);
    for (const QString& a : words)
        for (const QString& b : words) {
            const int byCompare = sign(collator.compare(a, b));
            const int byKey = sign(collator.sortKey(a).compare(collator.sortKey(b)));
            QVERIFY2(byCompare == byKey,
                     qPrintable(
                         QStringLiteral("%1 | %2: %3 vs %4").arg(a, b).arg(byCompare).arg(byKey)));
        }
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
    const ScopedLcAll scoped(lcAll);
    const KeyCollator collator;
    QCOMPARE(sign(collator.compare(QStringLiteral("ö"), QStringLiteral("z"))), oUmlautVersusZ);
    QCOMPARE(collator.compare(QStringLiteral("Zebra"), QStringLiteral("zebra")), 0);
}

void TestCollation::lowerForLocale_data() {
    QTest::addColumn<QByteArray>("lcAll");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("lower");
    QTest::newRow("cyrillic with yo")
        << QByteArray("ru_RU.UTF-8") << QStringLiteral("ЁЖИК Ёлка") << QStringLiteral("ёжик ёлка");
    QTest::newRow("cyrillic in C")
        << QByteArray("C") << QStringLiteral("ЁЖ") << QStringLiteral("ёж");
    QTest::newRow("latin accents")
        << QByteArray("fr_FR.UTF-8") << QStringLiteral("ÀÉÎÕÜ Ç") << QStringLiteral("àéîõü ç");
    QTest::newRow("greek") << QByteArray("el_GR.UTF-8") << QStringLiteral("ΑΒΓ")
                           << QStringLiteral("αβγ");
    QTest::newRow("turkish dotted")
        << QByteArray("tr_TR.UTF-8") << QStringLiteral("Iİ") << QStringLiteral("ıi");
    QTest::newRow("english I") << QByteArray("en_US.UTF-8") << QStringLiteral("I")
                               << QStringLiteral("i");
    QTest::newRow("digits and marks kept")
        << QByteArray("C") << QStringLiteral("A1-B2 ß") << QStringLiteral("a1-b2 ß");
    QTest::newRow("growing text") << QByteArray("en_US.UTF-8") << QStringLiteral("İ")
                                  << QStringLiteral("i\u0307");
    QTest::newRow("empty") << QByteArray("C") << QString() << QString();
}

void TestCollation::lowerForLocale() {
    QFETCH(QByteArray, lcAll);
    QFETCH(QString, text);
    QFETCH(QString, lower);
    const ScopedLcAll scoped(lcAll);
    QCOMPARE(lexanta::lowerForLocale(text), lower);
}

QTEST_APPLESS_MAIN(TestCollation)
#include "test_collation.moc"
