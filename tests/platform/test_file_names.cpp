#include "platform/file_io.h"
#include "platform/file_names.h"

#include <QTemporaryDir>
#include <QTest>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

using namespace lexanta;

namespace {

bool createFile(const QByteArray& path, const char* text = "x") {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, text, std::strlen(text)) == ssize_t(std::strlen(text));
    return ::close(fd) == 0 && ok;
}

// Qt lists these names with U+FFFD and so cannot find them again: list and remove by bytes.
QList<QByteArray> entries(const QByteArray& folder) {
    QList<QByteArray> names;
    if (DIR* dir = ::opendir(folder.constData())) {
        while (const dirent* entry = ::readdir(dir))
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, ".."))
                names << QByteArray(entry->d_name);
        ::closedir(dir);
    }
    return names;
}

void removeTree(const QByteArray& path) {
    for (const QByteArray& name : entries(path))
        removeTree(path + '/' + name);
    if (::unlink(path.constData()) != 0)
        ::rmdir(path.constData());
}

} // namespace

class TestFileNames : public QObject {
    Q_OBJECT

private slots:
    void bytesSurviveTheRoundTrip_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("raw");
        QTest::newRow("ascii") << QByteArray("/tmp/words.lut") << false;
        QTest::newRow("utf-8, two to four bytes")
            << QByteArray("w\xc3\xb6rter-\xe2\x82\xac-\xf0\x9f\x98\x80") << false;
        QTest::newRow("latin-1 byte") << QByteArray("w\xf6rter.lut") << true;
        QTest::newRow("cut-off sequence at the end") << QByteArray("a\xe2\x82") << true;
        QTest::newRow("overlong slash") << QByteArray("a\xc0\xaf") << true;
        QTest::newRow("encoded surrogate") << QByteArray("\xed\xa0\x80") << true;
        QTest::newRow("past U+10FFFF") << QByteArray("\xf4\x90\x80\x80") << true;
        QTest::newRow("every high byte") << QByteArray("\x80\x9f\xa0\xbf\xc0\xc1\xf5\xff") << true;
    }
    void bytesSurviveTheRoundTrip() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, raw);
        const QString name = fileNameFromBytes(bytes);
        QCOMPARE(fileNameToBytes(name), bytes);
        QCOMPARE(hasRawBytes(name), raw);
        if (!raw)
            QCOMPARE(name, QString::fromUtf8(bytes));
        // Shown to a user, the carried bytes read as Qt would have read them.
        QVERIFY(!hasRawBytes(displayFileName(name)));
        QCOMPARE(displayFileName(name).contains(QChar(0xFFFD)), raw);
    }

    void rawNamesAreReadAndWrittenAsThoseBytes() {
        QTemporaryDir dir;
        const QByteArray folder = QFile::encodeName(dir.path());
        QVERIFY(createFile(folder + "/w\xf6rter.lut", "old"));
        std::string bytes;
        QVERIFY(readWholeFile(fileNameFromBytes(folder + "/w\xf6rter.lut"), bytes));
        QCOMPARE(bytes, std::string("old"));
        // Written under the same bytes, not under the U+FFFD spelling.
        QVERIFY(writeWholeFile(fileNameFromBytes(folder + "/w\xf6rter.lut"), "new"));
        QVERIFY(readWholeFile(fileNameFromBytes(folder + "/w\xf6rter.lut"), bytes));
        QCOMPARE(bytes, std::string("new"));
        QVERIFY(writeWholeFile(fileNameFromBytes(folder + "/neu\xfc.lut"), "made"));
        QCOMPARE(::access((folder + "/neu\xfc.lut").constData(), F_OK), 0);
        QCOMPARE(entries(folder).size(), 2); // no temp file left
        const IoResult missing = readWholeFile(fileNameFromBytes(folder + "/\xff.lut"), bytes);
        QVERIFY(!missing);
        QCOMPARE(missing.reason, QStringLiteral("No such file or directory"));
        const IoResult noFolder = writeWholeFile(fileNameFromBytes(folder + "/\xff/x.lut"), "x");
        QVERIFY(!noFolder);
        removeTree(folder);
    }

    void dialogNamesFindTheirEntry() {
        QTemporaryDir dir;
        const QByteArray folder = QFile::encodeName(dir.path());
        QVERIFY(::mkdir((folder + "/Alt\xe4").constData(), 0755) == 0);
        QVERIFY(createFile(folder + "/Alt\xe4/w\xf6rter.lut"));
        QVERIFY(createFile(folder + "/a\xe4.lut"));
        QVERIFY(createFile(folder + "/a\xfc.lut")); // reads as the same name through Qt
        const QString base = dir.path();
        const QString listed = base + QStringLiteral("/Alt\uFFFD/w\uFFFDrter.lut");
        QCOMPARE(fileNameToBytes(resolveListedFileName(listed)), folder + "/Alt\xe4/w\xf6rter.lut");
        // Two entries match: nothing tells which one was meant.
        const QString ambiguous = base + QStringLiteral("/a\uFFFD.lut");
        QCOMPARE(resolveListedFileName(ambiguous), ambiguous);
        // A name typed for a new file, and a plain name, stay as they are.
        const QString typed = base + QStringLiteral("/neu\uFFFD.lut");
        QCOMPARE(resolveListedFileName(typed), typed);
        QCOMPARE(resolveListedFileName(base + QStringLiteral("/plain.lut")),
                 base + QStringLiteral("/plain.lut"));
        removeTree(folder);
    }
};

QTEST_APPLESS_MAIN(TestFileNames)
#include "test_file_names.moc"
