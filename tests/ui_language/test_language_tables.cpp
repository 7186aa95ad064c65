#include "ui_language/language_tables.h"

#include <QSet>
#include <QTest>

using namespace lexanta;

class TestLanguageTables : public QObject {
    Q_OBJECT

private slots:
    void kindsAndCounts();
    void exactTexts_data();
    void exactTexts();
    void hintsAndShortHints();
    void firstStartDifferences();
};

void TestLanguageTables::kindsAndCounts() {
    int captions = 0, hints = 0, filters = 0;
    QSet<QString> seen;
    for (const InterfaceText& row : interfaceTexts()) {
        const QString key = QString::fromLatin1(row.control) + QLatin1Char('/') +
                            QString::number(static_cast<int>(row.kind));
        QVERIFY2(!seen.contains(key), qPrintable(key));
        seen.insert(key);
        captions += row.kind == TextKind::Caption;
        hints += row.kind == TextKind::Hint;
        filters += row.kind == TextKind::Filter;
        QVERIFY(!row.text(InterfaceLanguage::English).isEmpty());
        QVERIFY(!row.text(InterfaceLanguage::Russian).isEmpty());
    }
    QCOMPARE(captions, 53);
    QCOMPARE(hints, 12);
    QCOMPARE(filters, 4);
}

void TestLanguageTables::exactTexts_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("russian");
    const int c = static_cast<int>(TextKind::Caption);
    const int h = static_cast<int>(TextKind::Hint);
    const int f = static_cast<int>(TextKind::Filter);
    QTest::newRow("file menu") << "N1" << c << "&File"
                               << "&Файл";
    QTest::newRow("load") << "N2" << c << "&Load..."
                          << "Загрузить сл&оварь...";
    QTest::newRow("about") << "N6" << c << "&About..."
                           << "О программе...";
    QTest::newRow("help menu same") << "N5" << c << "&?"
                                    << "&?";
    QTest::newRow("hidden replace") << "Replace1" << c << "&Replace"
                                    << "&Заменить...";
    QTest::newRow("reload") << "Reload1" << c << "&Reload"
                            << "&Недавно загружались:";
    QTest::newRow("section 4") << "SpeedbarSection4" << c << "Utilities"
                               << "Сервис";
    QTest::newRow("page 2") << "TabSheet2" << c << "Preferences"
                            << "Информация и настройки";
    QTest::newRow("blanks kept") << "GroupBox3" << c << " Keyboard layouts "
                                 << " Раскладки клавиатуры ";
    QTest::newRow("check box") << "CheckBox1" << c << "automatically switch layouts"
                               << "автоматически переключать раскладки";
    QTest::newRow("remove blank") << "Removeblanklines1" << c << "&Remove blank lines"
                                  << "Удалять &пустые строки";
    QTest::newRow("swap hint") << "SpeedItem11Swap" << h << "Swap questions & answers|"
                               << "Поменять местами вопросы и ответы|";
    QTest::newRow("delete hint") << "SpeedItem6" << h << "Delete words (Ctrl+Del)|"
                                 << "Удалить словарную статью (Ctrl+Del)|";
    QTest::newRow("import filter")
        << "OpenDialog2" << f
        << "Text Files (*.txt)|*.txt|Tab delimited *.txt files (2 fields)|*.txt|Tab delimited "
           "*.txt files (3 fields)|*.txt"
        << "Текстовые (*.txt)|*.txt|Разделитель - TAB (2 поля)(*.txt)|*.txt|Разделитель - TAB "
           "(3 поля)(*.txt)|*.txt";
    QTest::newRow("export filter")
        << "SaveDialog2" << f << "Tab delimited *.txt files|*.txt|HTML files (*.html)|*.html; *htm"
        << "Текстовый файлы (раздел. - табуляция)(*.txt)|*.txt|HTML файлы (*.html)|*.html; *htm";
}

void TestLanguageTables::exactTexts() {
    QFETCH(QString, control);
    QFETCH(int, kind);
    QFETCH(QString, english);
    QFETCH(QString, russian);
    int found = 0;
    for (const InterfaceText& row : interfaceTexts()) {
        if (QString::fromLatin1(row.control) != control || static_cast<int>(row.kind) != kind)
            continue;
        ++found;
        QCOMPARE(row.text(InterfaceLanguage::English), english);
        QCOMPARE(row.text(InterfaceLanguage::Russian), russian);
    }
    QCOMPARE(found, 1);
}

void TestLanguageTables::hintsAndShortHints() {
    for (const InterfaceText& row : interfaceTexts()) {
        if (row.kind != TextKind::Hint)
            continue;
        for (auto language : {InterfaceLanguage::English, InterfaceLanguage::Russian}) {
            const QString hint = row.text(language);
            QVERIFY2(hint.endsWith(QLatin1Char('|')), qPrintable(hint));
            QCOMPARE(shortHint(hint) + QLatin1Char('|'), hint);
        }
    }
    QCOMPARE(shortHint(QStringLiteral("Load (Ctrl+O)|Opens a vocabulary")),
             QStringLiteral("Load (Ctrl+O)"));
    QCOMPARE(shortHint(QStringLiteral("no bar")), QStringLiteral("no bar"));
    QCOMPARE(shortHint(QString()), QString());
}

// Each design text that differs names a row of the table and differs from its English text.
void TestLanguageTables::firstStartDifferences() {
    QCOMPARE(static_cast<int>(lexanta::firstStartDifferences().size()), 12);
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
