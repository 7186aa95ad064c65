#include "platform/ini_profile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace lexanta;

namespace {

IniFile parsed(const QByteArray& text) {
    IniFile ini;
    ini.parse(text.toStdString());
    return ini;
}

QByteArray bytesOf(const IniFile& ini) {
    return QByteArray::fromStdString(ini.toBytes());
}

QByteArray fileContents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Sets LC_ALL for one scope.
struct ScopedLcAll {
    explicit ScopedLcAll(const char* value) { qputenv("LC_ALL", value); }
    ~ScopedLcAll() { saved.isNull() ? qunsetenv("LC_ALL") : qputenv("LC_ALL", saved); }
    const QByteArray saved = qgetenv("LC_ALL");
};

} // namespace

class TestIniProfile : public QObject {
    Q_OBJECT

private slots:
    void readValue_data();
    void readValue();
    void intValue_data();
    void intValue();
    void writeKeepsOrder_data();
    void writeKeepsOrder();
    void eraseAndDelete_data();
    void eraseAndDelete();
    void valuesReadBack_data();
    void valuesReadBack();
    void invalidNamesRejected_data();
    void invalidNamesRejected();
    void nonUtf8FileReadInAnsiCodePage();
    void saveAndLoad();
    void loadFailures();
    void failedWriteKeepsOldFile();
};

void TestIniProfile::readValue_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected"); // "<default>" when missing
    const auto row = [](const char* name, const QByteArray& file, const char* section,
                        const char* key, const char* expected) {
        QTest::newRow(name) << file << QString(section) << QString(key) << QString(expected);
    };
    const QByteArray basic = "[TForm1]\r\nName=Value\r\nBlank=  spaced out  \r\n"
                             "Dq=\"quoted\"\r\nSq='single'\r\nMixed=\"half'\r\n"
                             "Twice=\"\"twice\"\"\r\nSpacedQ=  \" in \"  \r\nEmpty=\r\n"
                             "Lone=\"\r\n Indented = yes \r\nUrl=a=b=c\r\n";
    row("section case", basic, "tform1", "Name", "Value");
    row("key case", basic, "TForm1", "NAME", "Value");
    row("blanks stripped", basic, "TForm1", "Blank", "spaced out");
    row("double quotes", basic, "TForm1", "Dq", "quoted");
    row("single quotes", basic, "TForm1", "Sq", "single");
    row("mismatched quotes kept", basic, "TForm1", "Mixed", "\"half'");
    row("one pair only", basic, "TForm1", "Twice", "\"twice\"");
    row("quotes keep inner blanks", basic, "TForm1", "SpacedQ", " in ");
    row("empty value", basic, "TForm1", "Empty", "");
    row("lone quote", basic, "TForm1", "Lone", "\"");
    row("indented key", basic, "TForm1", "Indented", "yes");
    row("equals in value", basic, "TForm1", "Url", "a=b=c");
    row("missing section", basic, "Other", "Name", "<default>");
    row("LF, no final break", "[S]\nk=v\nk2=w", "S", "k2", "w");
    row("first key wins", "[S]\nk=1\nK=2\n", "S", "k", "1");
    row("first section wins", "[S]\nk=1\n[s]\nk=2\n", "S", "k", "1");
    row("key of other section", "[A]\nk=1\n[B]\nj=2\n", "B", "k", "<default>");
    row("keys before any section", "k=0\n[S]\nj=1\n", "S", "k", "<default>");
    row("comment is no key", "[S]\n;k=1\n", "S", ";k", "<default>");
    row("blanks in section name", " [ My Sect ] \nk=1\n", "my sect", "k", "1");
    row("utf8 bom and text", "\xEF\xBB\xBF[S]\nk=\xD0\x81\xD0\xB6\n", "S", "k", "Ёж");
}

void TestIniProfile::readValue() {
    QFETCH(QByteArray, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    const IniFile ini = parsed(file);
    QCOMPARE(ini.value(section, key, QStringLiteral("<default>")), expected);
    QCOMPARE(ini.contains(section, key), expected != QLatin1String("<default>"));
}

void TestIniProfile::intValue_data() {
    QTest::addColumn<QString>("value"); // "<none>": key missing
    QTest::addColumn<int>("expected");
    QTest::newRow("negative") << "-32000" << -32000;
    QTest::newRow("trailing text") << "12px" << 12;
    QTest::newRow("quoted, blanks") << " \"5\" " << 5;
    QTest::newRow("not a number") << "abc" << 0;
    QTest::newRow("empty gives default") << "" << -1;
    QTest::newRow("missing gives default") << "<none>" << -1;
    QTest::newRow("overflow clamps") << "99999999999" << 2147483647;
}

void TestIniProfile::intValue() {
    QFETCH(QString, value);
    QFETCH(int, expected);
    IniFile ini;
    if (value != QLatin1String("<none>"))
        QVERIFY(ini.setValue("S", "k", value));
    QCOMPARE(ini.intValue("S", "k", -1), expected);
}

// Each row: the file before, one write (section, key, value), the file after.
void TestIniProfile::writeKeepsOrder_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");
    const auto row = [](const char* name, const char* before, const char* section, const char* key,
                        const char* value, const char* after) {
        QTest::newRow(name) << QByteArray(before) << QString(section) << QString(key)
                            << QString(value) << QByteArray(after);
    };
    row("replace in place, keep spelling", "[A]\r\nx=1\r\nY=2\r\nz=3\r\n", "a", "y", "20",
        "[A]\nx=1\nY=20\nz=3\n");
    row("append at end of its section", "[A]\nx=1\n\n[B]\ny=2\n", "A", "new", "n",
        "[A]\nx=1\nnew=n\n\n[B]\ny=2\n");
    row("append to empty section", "[A]\n[B]\ny=2\n", "A", "k", "v", "[A]\nk=v\n[B]\ny=2\n");
    row("new section at end", "[A]\nx=1\n; note\n", "B", "k", "v", "[A]\nx=1\n; note\n[B]\nk=v\n");
    row("comments stay", "; head\n[A]\n; about x\nx=1\n", "A", "x", "2",
        "; head\n[A]\n; about x\nx=2\n");
    row("value written as given", "[A]\n", "A", "k", "  \"q\"  ", "[A]\nk=  \"q\"  \n");
    row("new file, names trimmed, path untouched", "", " A ", " k ", "C:\\new\\rates.lut",
        "[A]\nk=C:\\new\\rates.lut\n");
}

void TestIniProfile::writeKeepsOrder() {
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    IniFile ini = parsed(before);
    QVERIFY(ini.setValue(section, key, value));
    QCOMPARE(bytesOf(ini), after);
}

void TestIniProfile::eraseAndDelete_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key"); // "<null>": erase the section
    QTest::addColumn<bool>("existed");
    QTest::addColumn<QByteArray>("after");
    const auto row = [](const char* name, const QByteArray& before, const char* section,
                        const char* key, bool existed, const QByteArray& after) {
        QTest::newRow(name) << before << QString(section) << QString(key) << existed << after;
    };
    const QByteArray file = "[TForm1]\nFormVersion=0\n[TForm1.MRU]\nItem_0=/a.lut\n"
                            "User_0=0\nItem_1=/b.lut\n[TForm1SpeedBar1]\nCount=2\n";
    row("erase middle section", file, "tform1.mru", "<null>", true,
        "[TForm1]\nFormVersion=0\n[TForm1SpeedBar1]\nCount=2\n");
    row("erase last section", file, "TForm1SpeedBar1", "<null>", true,
        "[TForm1]\nFormVersion=0\n[TForm1.MRU]\nItem_0=/a.lut\nUser_0=0\nItem_1=/b.lut\n");
    row("erase missing section", file, "Nope", "<null>", false, file);
    row("erase every copy", "[A]\nx=1\n[B]\ny=2\n[a]\nx=3\n", "A", "<null>", true, "[B]\ny=2\n");
    row("delete key", file, "TForm1.MRU", "user_0", true,
        "[TForm1]\nFormVersion=0\n[TForm1.MRU]\nItem_0=/a.lut\nItem_1=/b.lut\n"
        "[TForm1SpeedBar1]\nCount=2\n");
    row("delete missing key", file, "TForm1", "Nope", false, file);
    row("delete duplicate keys", "[A]\nx=1\nX=2\ny=3\n", "A", "x", true, "[A]\ny=3\n");
}

void TestIniProfile::eraseAndDelete() {
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(bool, existed);
    QFETCH(QByteArray, after);
    IniFile ini = parsed(before);
    const bool eraseSection = key == QLatin1String("<null>");
    QCOMPARE(eraseSection ? ini.eraseSection(section) : ini.removeKey(section, key), existed);
    QCOMPARE(bytesOf(ini), after);
    QVERIFY(eraseSection ? !ini.hasSection(section) : !ini.contains(section, key));

    // The same through the Windows-shaped call: a null key or a null value.
    IniFile again = parsed(before);
    again.writeProfileString(section, eraseSection ? std::nullopt : std::optional<QString>(key),
                             std::nullopt);
    QCOMPARE(bytesOf(again), after);
}

// Values that must read back exactly as written, surviving a save and a load,
// without a line break injecting keys or sections. setExactValue also keeps what
// reading would trim or unquote (exactOnly rows).
void TestIniProfile::valuesReadBack_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("exactOnly");
    QTest::newRow("cyrillic") << QStringLiteral("&Файл") << false;
    QTest::newRow("LF") << "first\nsecond" << false;
    QTest::newRow("CR LF") << "first\r\nsecond\r\n" << false;
    QTest::newRow("lone CR") << "a\rb" << false;
    QTest::newRow("break and backslash") << "dir\\n\nnext\\" << false;
    QTest::newRow("break and quotes") << "\"a\nb\"" << false;
    QTest::newRow("looks escaped") << "\\:first\\nsecond" << false;
    QTest::newRow("quoted, looks escaped") << "'\\:x'" << false;
    QTest::newRow("injection attempt") << "x\nInjected=1\r\n[Evil]\nkey=1" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("blanks at both ends") << " /a b/c.lut " << true;
    QTest::newRow("quoted") << "'/a/b.lut'" << true;
    QTest::newRow("break and a trailing blank") << "/a\nb.lut " << true;
    QTest::newRow("blank, looks escaped") << " \\:x" << true;
}

void TestIniProfile::valuesReadBack() {
    QFETCH(QString, value);
    QFETCH(bool, exactOnly);
    for (const bool exact : {true, false}) {
        if (!exact && exactOnly)
            continue;
        IniFile ini;
        QVERIFY(exact ? ini.setExactValue("TForm1", "Key", value)
                      : ini.setValue("TForm1", "Key", value));
        QVERIFY(ini.setValue("TForm1", "After", "z"));
        const IniFile loaded = parsed(bytesOf(ini));
        QCOMPARE(loaded.value("TForm1", "Key"), value);
        QCOMPARE(loaded.keys("TForm1"), QStringList({"Key", "After"}));
        QCOMPARE(loaded.sections(), QStringList("TForm1"));
    }
}

void TestIniProfile::invalidNamesRejected_data() {
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    const auto row = [](const char* name, const char* section, const char* key) {
        QTest::newRow(name) << QString(section) << QString(key);
    };
    row("empty section", "", "k");
    row("blank section", "  ", "k");
    row("empty key", "S", "");
    row("key with equals", "S", "a=b");
    row("key with break", "S", "a\nb=c");
    row("key like a section", "S", "[T]");
    row("key like a comment", "S", ";k");
    row("section with bracket", "S]x", "k");
    row("section with break", "S\n[T", "k");
}

void TestIniProfile::invalidNamesRejected() {
    QFETCH(QString, section);
    QFETCH(QString, key);
    IniFile ini = parsed("[S]\nk=1\n");
    QVERIFY(!ini.setValue(section, key, "v"));
    QCOMPARE(bytesOf(ini), QByteArray("[S]\nk=1\n"));
}

void TestIniProfile::nonUtf8FileReadInAnsiCodePage() {
    const ScopedLcAll russian("ru_RU.UTF-8");
    const IniFile ini = parsed("[TForm1]\r\nN1_Caption=&\xD4\xE0\xE9\xEB\r\n"); // 1251 "&Файл"
    QCOMPARE(ini.value("TForm1", "N1_Caption"), QStringLiteral("&Файл"));
    QCOMPARE(bytesOf(ini), QByteArray("[TForm1]\nN1_Caption=&\xD0\xA4\xD0\xB0\xD0\xB9\xD0\xBB\n"));
}

void TestIniProfile::saveAndLoad() {
    QTemporaryDir dir;
    const QString path = dir.filePath("editor.ini");
    IniFile ini;
    QVERIFY(ini.load(path).ok);
    ini.setValue("TForm1", "FileName", QStringLiteral("/tmp/слова.lut"));
    ini.setIntValue("TForm1", "ShowCmd", 3);
    const IoResult saved = ini.save();
    QVERIFY2(saved.ok, qPrintable(saved.reason));
    QCOMPARE(fileContents(path), QByteArray("[TForm1]\nFileName=/tmp/\xD1\x81\xD0\xBB\xD0\xBE"
                                            "\xD0\xB2\xD0\xB0.lut\nShowCmd=3\n"));
    IniFile again;
    QVERIFY(again.load(path).ok);
    QCOMPARE(again.intValue("tform1", "showcmd", 0), 3);
    QCOMPARE(again.value("TForm1", "FileName"), QStringLiteral("/tmp/слова.lut"));
}

// A missing file is an empty profile; one that cannot be read is reported.
void TestIniProfile::loadFailures() {
    QTemporaryDir dir;
    IniFile ini = parsed("[Old]\nk=1\n");
    QVERIFY(ini.load(dir.filePath("absent.ini")).ok);
    QVERIFY(ini.sections().isEmpty());

    // A folder cannot be read as a file; a FIFO would block the start-up for ever.
    const QString folder = dir.filePath("folder.ini"), fifo = dir.filePath("fifo.ini");
    QVERIFY(QDir().mkdir(folder));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& path : {folder, fifo, QStringLiteral("/dev/zero")}) {
        const IoResult result = ini.load(path);
        QVERIFY(!result.ok);
        QCOMPARE(result.path, path);
        QVERIFY(!result.reason.isEmpty());
    }
}

// A write cut short (here by the file size limit, which binds root too) must
// leave the old file as it was and report the failure.
void TestIniProfile::failedWriteKeepsOldFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath("editor.ini");
    const QByteArray old = "[TForm1]\nFormVersion=0\n";
    QVERIFY(writeFile(path, old));
    IniFile ini;
    QVERIFY(ini.load(path).ok);
    ini.setValue("TForm1", "Long", QString(8192, QLatin1Char('x')));

    rlimit saved{};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 1024;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const IoResult result = ini.save();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(!result.ok);
    QCOMPARE(result.path, path);
    QVERIFY(!result.reason.isEmpty());
    QCOMPARE(fileContents(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList("editor.ini"));
}

QTEST_APPLESS_MAIN(TestIniProfile)
#include "test_ini_profile.moc"
