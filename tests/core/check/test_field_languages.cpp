// The language, dictionary and code page of each field, from the description and the
// keyboard layouts.
#include "core/check/check_text.h"
#include "core/check/field_languages.h"
#include "platform/codepage.h"

#include <QTest>

using namespace lexanta;

class TestFieldLanguages : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("LC_ALL", "C.UTF-8"); }

    void names_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("code");
        QTest::newRow("English") << "English"
                                 << "en";
        QTest::newRow("russian, lower case") << " russian "
                                             << "ru";
        QTest::newRow("Russian name") << "Английский"
                                      << "en";
        QTest::newRow("Russian name with a word") << "Немецкий язык"
                                                  << "de";
        QTest::newRow("own name") << "Deutsch"
                                  << "de";
        QTest::newRow("code with region") << "pt_BR"
                                          << "pt";
        QTest::newRow("unknown") << "Klingon"
                                 << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void names() {
        QFETCH(QString, text);
        QFETCH(QString, code);
        QCOMPARE(languageCodeOfName(text), code);
    }

    void setup_data() {
        QTest::addColumn<QByteArray>("described"); // the answers' language, as stored
        QTest::addColumn<QString>("layout");       // the answers' keyboard layout
        QTest::addColumn<QString>("dictionary");
        QTest::addColumn<int>("languagePage"); // 0: the font's page is not questioned
        QTest::addColumn<bool>("missing");
        QTest::newRow("described") << QByteArray("Russian") << "00000409"
                                   << "ru_RU" << 1251 << false;
        QTest::newRow("Russian name in 1251")
            << QByteArray("\xd0\xf3\xf1\xf1\xea\xe8\xe9") << "00000409"
            << "ru_RU" << 1251 << false;
        QTest::newRow("from a layout") << QByteArray() << "00000407"
                                       << "de_DE" << 1252 << false;
        QTest::newRow("the default layout says nothing of the font") << QByteArray() << "00000409"
                                                                     << "en_US" << 0 << false;
        QTest::newRow("no dictionary") << QByteArray("Klingon") << "0000043F"
                                       << "" << 1251 << true;
    }
    void setup() {
        QFETCH(QByteArray, described);
        QFETCH(QString, layout);
        QFETCH(QString, dictionary);
        QFETCH(int, languagePage);
        QFETCH(bool, missing);
        VocabularyHeader header;
        header.answersLanguage = described.toStdString();
        header.layoutNames[kAnswer] = layout.toStdString();
        const CheckSetup setup = checkSetup(header, CheckOptions{});
        const FieldSetup& answers = setup.fields[kAnswer];
        QCOMPARE(answers.dictionary, dictionary);
        QCOMPARE(answers.languageCodePage, languagePage);
        QCOMPARE(answers.dictionaryMissing, missing);
        QCOMPARE(setupNotes(setup, true).size(), missing ? 1 : 0);

        CheckOptions none;
        none.dictionaries[kAnswer] = QString();
        QVERIFY(checkSetup(header, none).fields[kAnswer].dictionary.isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestFieldLanguages)
#include "test_field_languages.moc"
