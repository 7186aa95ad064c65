#include "platform/ini_profile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace lexanta;

namespace {

IniFile parsed(const char* text) {
    IniFile ini;
    ini.parse(text);
    return ini;
}

QByteArray bytesOf(const IniFile& ini) {
    return QByteArray::fromStdString(ini.toBytes());
}

QByteArray fileContents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

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
    void lineBreakCannotInjectKeys();
    void invalidNamesRejected_data();
    void invalidNamesRejected();
    void nonUtf8FileReadInAnsiCodePage();
    void saveAndLoad();
    void missingFileIsEmptyProfile();
    void unreadableFileReported();
    void failedSaveKeepsOldFile();
    void failedWriteKeepsOldFile();
};

void TestIniProfile::readValue_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected"); // "<default>" when missing
    const QByteArray basic = "[TForm1]\r\nName=Value\r\nBlank=  spaced out  \r\n"
                             "Dq=\"quoted\"\r\nSq='single'\r\nMixed=\"half'\r\n"
                             "Twice=\"\"twice\"\"\r\nSpacedQ=  \" in \"  \r\nEmpty=\r\n"
                             "Lone=\"\r\n Indented = yes \r\nUrl=a=b=c\r\n";
    QTest::newRow("plain") << basic << "TForm1"
                           << "Name"
                           << "Value";
    QTest::newRow("section case") << basic << "tform1"
                                  << "Name"
                                  << "Value";
    QTest::newRow("key case") << basic << "TForm1"
                              << "NAME"
                              << "Value";
    QTest::newRow("blanks stripped") << basic << "TForm1"
                                     << "Blank"
                                     << "spaced out";
    QTest::newRow("double quotes") << basic << "TForm1"
                                   << "Dq"
                                   << "quoted";
    QTest::newRow("single quotes") << basic << "TForm1"
                                   << "Sq"
                                   << "single";
    QTest::newRow("mismatched quotes kept") << basic << "TForm1"
                                            << "Mixed"
                                            << "\"half'";
    QTest::newRow("one pair only") << basic << "TForm1"
                                   << "Twice"
                                   << "\"twice\"";
    QTest::newRow("quotes keep inner blanks") << basic << "TForm1"
                                              << "SpacedQ"
                                              << " in ";
    QTest::newRow("empty value") << basic << "TForm1"
                                 << "Empty"
                                 << "";
    QTest::newRow("lone quote") << basic << "TForm1"
                                << "Lone"
                                << "\"";
    QTest::newRow("indented key") << basic << "TForm1"
                                  << "Indented"
                                  << "yes";
    QTest::newRow("equals in value") << basic << "TForm1"
                                     << "Url"
                                     << "a=b=c";
    QTest::newRow("missing key") << basic << "TForm1"
                                 << "Nope"
                                 << "<default>";
    QTest::newRow("missing section") << basic << "Other"
                                     << "Name"
                                     << "<default>";
    QTest::newRow("LF line ends") << QByteArray("[S]\nk=v\nk2=w") << "S"
                                  << "k2"
                                  << "w";
    QTest::newRow("first key wins") << QByteArray("[S]\nk=1\nK=2\n") << "S"
                                    << "k"
                                    << "1";
    QTest::newRow("first section wins") << QByteArray("[S]\nk=1\n[s]\nk=2\n") << "S"
                                        << "k"
                                        << "1";
    QTest::newRow("key of other section") << QByteArray("[A]\nk=1\n[B]\nj=2\n") << "B"
                                          << "k"
                                          << "<default>";
    QTest::newRow("keys before any section ignored") << QByteArray("k=0\n[S]\nj=1\n") << "S"
                                                     << "k"
                                                     << "<default>";
    QTest::newRow("comment is no key") << QByteArray("[S]\n;k=1\n") << "S"
                                       << ";k"
                                       << "<default>";
    QTest::newRow("blanks in section name") << QByteArray(" [ My Sect ] \nk=1\n") << "my sect"
                                            << "k"
                                            << "1";
    QTest::newRow("utf8 bom and text") << QByteArray("\xEF\xBB\xBF[S]\nk=\xD0\x81\xD0\xB6\n") << "S"
                                       << "k" << QStringLiteral("Ёж");
    QTest::newRow("dotted section")
        << QByteArray("[TForm1.MRUManager1]\nItem_0=/x.lut\n") << "TForm1.MRUManager1"
        << "Item_0"
        << "/x.lut";
}

void TestIniProfile::readValue() {
    QFETCH(QByteArray, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    const IniFile ini = parsed(file.constData());
    QCOMPARE(ini.value(section, key, QStringLiteral("<default>")), expected);
    QCOMPARE(ini.contains(section, key), expected != QLatin1String("<default>"));
}

void TestIniProfile::intValue_data() {
    QTest::addColumn<QString>("value"); // "<none>": key missing
    QTest::addColumn<int>("expected");
    QTest::newRow("number") << "96" << 96;
    QTest::newRow("negative") << "-32000" << -32000;
    QTest::newRow("plus") << "+7" << 7;
    QTest::newRow("trailing text") << "12px" << 12;
    QTest::newRow("quoted") << "\"5\"" << 5;
    QTest::newRow("blanks") << "  3  " << 3;
    QTest::newRow("not a number") << "abc" << 0;
    QTest::newRow("empty gives default") << "" << -1;
    QTest::newRow("missing gives default") << "<none>" << -1;
    QTest::newRow("overflow clamps") << "99999999999" << 2147483647;
    QTest::newRow("list takes first") << "1,2,3,4" << 1;
}

void TestIniProfile::intValue() {
    QFETCH(QString, value);
    QFETCH(int, expected);
    IniFile ini;
    if (value != QLatin1String("<none>"))
        QVERIFY(ini.setValue(QStringLiteral("S"), QStringLiteral("k"), value));
    QCOMPARE(ini.intValue(QStringLiteral("S"), QStringLiteral("k"), -1), expected);
}

// Each row: the file before, one write (section, key, value), the file after.
void TestIniProfile::writeKeepsOrder_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("new file") << QByteArray() << "TForm1"
                              << "FormVersion"
                              << "0" << QByteArray("[TForm1]\nFormVersion=0\n");
    QTest::newRow("replace in place, keep spelling")
        << QByteArray("[A]\r\nx=1\r\nY=2\r\nz=3\r\n") << "a"
        << "y"
        << "20" << QByteArray("[A]\nx=1\nY=20\nz=3\n");
    QTest::newRow("append at end of its section")
        << QByteArray("[A]\nx=1\n\n[B]\ny=2\n") << "A"
        << "new"
        << "n" << QByteArray("[A]\nx=1\nnew=n\n\n[B]\ny=2\n");
    QTest::newRow("append to empty section") << QByteArray("[A]\n[B]\ny=2\n") << "A"
                                             << "k"
                                             << "v" << QByteArray("[A]\nk=v\n[B]\ny=2\n");
    QTest::newRow("new section at end") << QByteArray("[A]\nx=1\n; note\n") << "B"
                                        << "k"
                                        << "v" << QByteArray("[A]\nx=1\n; note\n[B]\nk=v\n");
    QTest::newRow("comments stay") << QByteArray("; head\n[A]\n; about x\nx=1\n") << "A"
                                   << "x"
                                   << "2" << QByteArray("; head\n[A]\n; about x\nx=2\n");
    QTest::newRow("value written as given") << QByteArray("[A]\n") << "A"
                                            << "k"
                                            << "  \"q\"  " << QByteArray("[A]\nk=  \"q\"  \n");
    QTest::newRow("names trimmed") << QByteArray() << " A "
                                   << " k "
                                   << "v" << QByteArray("[A]\nk=v\n");
    QTest::newRow("windows path untouched")
        << QByteArray() << "A"
        << "k"
        << "C:\\new\\rates.lut" << QByteArray("[A]\nk=C:\\new\\rates.lut\n");
}

void TestIniProfile::writeKeepsOrder() {
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    IniFile ini = parsed(before.constData());
    QVERIFY(ini.setValue(section, key, value));
    QCOMPARE(bytesOf(ini), after);
}

void TestIniProfile::eraseAndDelete_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key"); // "<null>": erase the section
    QTest::addColumn<bool>("existed");
    QTest::addColumn<QByteArray>("after");
    const QByteArray file = "[TForm1]\nFormVersion=0\n[TForm1.MRUManager1]\nItem_0=/a.lut\n"
                            "User_0=0\nItem_1=/b.lut\n[TForm1SpeedBar1]\nCount=2\n";
    QTest::newRow("erase middle section")
        << file << "tform1.mrumanager1"
        << "<null>" << true << QByteArray("[TForm1]\nFormVersion=0\n[TForm1SpeedBar1]\nCount=2\n");
    QTest::newRow("erase last section")
        << file << "TForm1SpeedBar1"
        << "<null>" << true
        << QByteArray("[TForm1]\nFormVersion=0\n[TForm1.MRUManager1]\nItem_0=/a.lut\n"
                      "User_0=0\nItem_1=/b.lut\n");
    QTest::newRow("erase missing section") << file << "Nope"
                                           << "<null>" << false << file;
    QTest::newRow("erase every copy") << QByteArray("[A]\nx=1\n[B]\ny=2\n[a]\nx=3\n") << "A"
                                      << "<null>" << true << QByteArray("[B]\ny=2\n");
    QTest::newRow("delete key")
        << file << "TForm1.MRUManager1"
        << "user_0" << true
        << QByteArray("[TForm1]\nFormVersion=0\n[TForm1.MRUManager1]\nItem_0=/a.lut\n"
                      "Item_1=/b.lut\n[TForm1SpeedBar1]\nCount=2\n");
    QTest::newRow("delete missing key") << file << "TForm1"
                                        << "Nope" << false << file;
    QTest::newRow("delete key of missing section") << file << "Nope"
                                                   << "Count" << false << file;
    QTest::newRow("delete duplicate keys") << QByteArray("[A]\nx=1\nX=2\ny=3\n") << "A"
                                           << "x" << true << QByteArray("[A]\ny=3\n");
}

void TestIniProfile::eraseAndDelete() {
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(bool, existed);
    QFETCH(QByteArray, after);
    IniFile ini = parsed(before.constData());
    const bool eraseSection = key == QLatin1String("<null>");
    QCOMPARE(eraseSection ? ini.eraseSection(section) : ini.removeKey(section, key), existed);
    QCOMPARE(bytesOf(ini), after);
    if (eraseSection)
        QVERIFY(!ini.hasSection(section));
    else
        QVERIFY(!ini.contains(section, key));

    // The same through the Windows-shaped call: a null key or a null value.
    IniFile again = parsed(before.constData());
    again.writeProfileString(section, eraseSection ? std::nullopt : std::optional<QString>(key),
                             std::nullopt);
    QCOMPARE(bytesOf(again), after);
}

// Values that must read back exactly as written, surviving a save and a load.
void TestIniProfile::valuesReadBack_data() {
    QTest::addColumn<QString>("value");
    QTest::newRow("plain") << "Lexanta Editor";
    QTest::newRow("caption with ampersand") << "&File";
    QTest::newRow("cyrillic") << QStringLiteral("&Файл");
    QTest::newRow("path") << "/home/user/Мои словари/words.lut";
    QTest::newRow("backslashes") << "C:\\new\\table.lut";
    QTest::newRow("LF") << "first\nsecond";
    QTest::newRow("CR LF") << "first\r\nsecond\r\n";
    QTest::newRow("lone CR") << "a\rb";
    QTest::newRow("break and backslash") << "dir\\n\nnext\\";
    QTest::newRow("break and blanks") << "  padded \n ";
    QTest::newRow("break and quotes") << "\"a\nb\"";
    QTest::newRow("looks escaped") << "\\:first\\nsecond";
    QTest::newRow("quoted, looks escaped") << "'\\:x'";
    QTest::newRow("injection attempt") << "x\n[Evil]\nkey=1";
    QTest::newRow("empty") << "";
}

void TestIniProfile::valuesReadBack() {
    QFETCH(QString, value);
    IniFile ini;
    QVERIFY(ini.setValue(QStringLiteral("TForm1"), QStringLiteral("Key"), value));
    QVERIFY(ini.setValue(QStringLiteral("TForm1"), QStringLiteral("After"), QStringLiteral("z")));
    const IniFile loaded = parsed(ini.toBytes().c_str());
    QCOMPARE(loaded.value(QStringLiteral("TForm1"), QStringLiteral("Key")), value);
    QCOMPARE(loaded.keys(QStringLiteral("TForm1")),
             QStringList({QStringLiteral("Key"), QStringLiteral("After")}));
    QCOMPARE(loaded.sections(), QStringList(QStringLiteral("TForm1")));
}

void TestIniProfile::lineBreakCannotInjectKeys() {
    IniFile ini;
    ini.setValue(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("v\nInjected=1\r\n[B]"));
    const QByteArray bytes = bytesOf(ini);
    QCOMPARE(bytes.count('\n'), 2); // the section line and the key line
    const IniFile loaded = parsed(bytes.constData());
    QVERIFY(!loaded.contains(QStringLiteral("A"), QStringLiteral("Injected")));
    QVERIFY(!loaded.hasSection(QStringLiteral("B")));
    QCOMPARE(loaded.value(QStringLiteral("A"), QStringLiteral("k")),
             QStringLiteral("v\nInjected=1\r\n[B]"));
}

void TestIniProfile::invalidNamesRejected_data() {
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::newRow("empty section") << ""
                                   << "k";
    QTest::newRow("blank section") << "  "
                                   << "k";
    QTest::newRow("empty key") << "S"
                               << "";
    QTest::newRow("key with equals") << "S"
                                     << "a=b";
    QTest::newRow("key with break") << "S"
                                    << "a\nb=c";
    QTest::newRow("key like a section") << "S"
                                        << "[T]";
    QTest::newRow("key like a comment") << "S"
                                        << ";k";
    QTest::newRow("section with bracket") << "S]x"
                                          << "k";
    QTest::newRow("section with break") << "S\n[T"
                                        << "k";
}

void TestIniProfile::invalidNamesRejected() {
    QFETCH(QString, section);
    QFETCH(QString, key);
    IniFile ini = parsed("[S]\nk=1\n");
    QVERIFY(!ini.setValue(section, key, QStringLiteral("v")));
    QCOMPARE(bytesOf(ini), QByteArray("[S]\nk=1\n"));
}

void TestIniProfile::nonUtf8FileReadInAnsiCodePage() {
    const QByteArray saved = qgetenv("LC_ALL");
    qputenv("LC_ALL", "ru_RU.UTF-8");
    const IniFile ini = parsed("[TForm1]\r\nN1_Caption=&\xD4\xE0\xE9\xEB\r\n"); // 1251 "&Файл"
    if (saved.isNull())
        qunsetenv("LC_ALL");
    else
        qputenv("LC_ALL", saved);
    QCOMPARE(ini.value(QStringLiteral("TForm1"), QStringLiteral("N1_Caption")),
             QStringLiteral("&Файл"));
    QCOMPARE(bytesOf(ini), QByteArray("[TForm1]\nN1_Caption=&\xD0\xA4\xD0\xB0\xD0\xB9\xD0\xBB\n"));
}

void TestIniProfile::saveAndLoad() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("editor.ini"));
    IniFile ini;
    QVERIFY(ini.load(path).ok);
    ini.setValue(QStringLiteral("TForm1"), QStringLiteral("FormVersion"), QStringLiteral("0"));
    ini.setValue(QStringLiteral("TForm1"), QStringLiteral("OpenDialog1_FileName"),
                 QStringLiteral("/tmp/слова.lut"));
    ini.setIntValue(QStringLiteral("TForm1"), QStringLiteral("ShowCmd"), 3);
    const IoResult saved = ini.save();
    QVERIFY2(saved.ok, qPrintable(saved.reason));
    QCOMPARE(fileContents(path), QByteArray("[TForm1]\nFormVersion=0\n"
                                            "OpenDialog1_FileName=/tmp/\xD1\x81\xD0\xBB\xD0\xBE"
                                            "\xD0\xB2\xD0\xB0.lut\nShowCmd=3\n"));
    IniFile again;
    QVERIFY(again.load(path).ok);
    QCOMPARE(again.path(), path);
    QCOMPARE(again.intValue(QStringLiteral("tform1"), QStringLiteral("showcmd"), 0), 3);
    QCOMPARE(again.value(QStringLiteral("TForm1"), QStringLiteral("OpenDialog1_FileName")),
             QStringLiteral("/tmp/слова.lut"));
}

void TestIniProfile::missingFileIsEmptyProfile() {
    QTemporaryDir dir;
    IniFile ini = parsed("[Old]\nk=1\n");
    const IoResult result = ini.load(dir.filePath(QStringLiteral("absent.ini")));
    QVERIFY(result.ok);
    QVERIFY(ini.sections().isEmpty());
    QCOMPARE(ini.value(QStringLiteral("Old"), QStringLiteral("k"), QStringLiteral("d")),
             QStringLiteral("d"));
}

void TestIniProfile::unreadableFileReported() {
    QTemporaryDir dir;
    // A folder where the file should be cannot be read as one.
    const QString path = dir.filePath(QStringLiteral("editor.ini"));
    QVERIFY(QDir().mkdir(path));
    IniFile ini;
    const IoResult result = ini.load(path);
    QVERIFY(!result.ok);
    QCOMPARE(result.path, path);
    QVERIFY(!result.reason.isEmpty());
}

void TestIniProfile::failedSaveKeepsOldFile() {
    if (::geteuid() == 0)
        QSKIP("running as root: a read-only folder does not stop root from writing");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("editor.ini"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[TForm1]\r\nFormVersion=0\r\n");
    }
    IniFile ini;
    QVERIFY(ini.load(path).ok);
    ini.setValue(QStringLiteral("TForm1"), QStringLiteral("CheckBox1_Checked"),
                 QStringLiteral("True"));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    const IoResult result = ini.save();
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(!result.ok);
    QCOMPARE(result.path, path);
    QVERIFY(!result.reason.isEmpty());
    QCOMPARE(fileContents(path), QByteArray("[TForm1]\r\nFormVersion=0\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList(QStringLiteral("editor.ini")));
}

// A write cut short (here by the file size limit, which binds root too) must
// leave the old file as it was and report the failure.
void TestIniProfile::failedWriteKeepsOldFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("editor.ini"));
    const QByteArray old = "[TForm1]\nFormVersion=0\n";
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(old);
    }
    IniFile ini;
    QVERIFY(ini.load(path).ok);
    ini.setValue(QStringLiteral("TForm1"), QStringLiteral("Long"), QString(8192, QLatin1Char('x')));

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
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList(QStringLiteral("editor.ini")));
}

QTEST_APPLESS_MAIN(TestIniProfile)
#include "test_ini_profile.moc"
