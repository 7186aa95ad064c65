#include "platform/named_marker.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <cstring>
#include <memory>

using namespace lexanta;

namespace {

// Helper mode of this binary: hold a marker until standard input closes.
int holdMarker(const char* name) {
    const NamedMarker marker(QString::fromUtf8(name));
    std::printf(marker.isValid() ? "held\n" : "failed\n");
    std::fflush(stdout);
    char line[64];
    while (std::fgets(line, sizeof line, stdin)) {
    }
    return 0;
}

// A child process holding a marker of the given name.
std::unique_ptr<QProcess> startHolder(const QString& name) {
    auto process = std::make_unique<QProcess>();
    process->start(QCoreApplication::applicationFilePath(),
                   {QStringLiteral("--hold-marker"), name});
    if (!process->waitForStarted() || !process->waitForReadyRead(10000))
        return nullptr;
    if (process->readLine().trimmed() != "held")
        return nullptr;
    return process;
}

void stopHolder(QProcess& process) {
    process.closeWriteChannel();
    if (!process.waitForFinished(10000))
        process.kill();
    process.waitForFinished();
}

} // namespace

class TestNamedMarker : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void markerSeenWhileItLives();
    void markerInAnotherProcessSeen();
    void secondMarkerOfSameNameSucceeds();
    void namesStayInsideTheRuntimeFolder_data();
    void namesStayInsideTheRuntimeFolder();

private:
    QString uniqueName(const char* tag) const {
        return QStringLiteral("LexantaEditorsMutexName-%1-%2")
            .arg(QCoreApplication::applicationPid())
            .arg(QLatin1String(tag));
    }
    QTemporaryDir runtimeDir_;
};

void TestNamedMarker::initTestCase() {
    QVERIFY(runtimeDir_.isValid());
    // Children inherit it, so both sides look in the same folder.
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir_.path()));
}

void TestNamedMarker::markerSeenWhileItLives() {
    const QString name = uniqueName("local");
    QVERIFY(!NamedMarker::isHeld(name));
    {
        const NamedMarker marker(name);
        QVERIFY(marker.isValid());
        QVERIFY(NamedMarker::isHeld(name));
        QVERIFY(!NamedMarker::isHeld(uniqueName("other")));
    }
    QVERIFY(!NamedMarker::isHeld(name));
}

// Seen from here while the other process holds it, however that process ends.
void TestNamedMarker::markerInAnotherProcessSeen() {
    const QString name = uniqueName("child");
    const auto holder = startHolder(name);
    QVERIFY(holder);
    QVERIFY(NamedMarker::isHeld(name));
    QVERIFY(NamedMarker::isHeld(name)); // asking does not take it from its holder
    holder->kill();
    QVERIFY(holder->waitForFinished(10000));
    QVERIFY(!NamedMarker::isHeld(name));
}

void TestNamedMarker::secondMarkerOfSameNameSucceeds() {
    const QString name = uniqueName("shared");
    const auto holder = startHolder(name);
    QVERIFY(holder);
    {
        const NamedMarker second(name);
        QVERIFY(second.isValid());
        stopHolder(*holder);
        QVERIFY(NamedMarker::isHeld(name)); // ours still stands
    }
    QVERIFY(!NamedMarker::isHeld(name));
}

void TestNamedMarker::namesStayInsideTheRuntimeFolder_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("plain") << QString("LexantaEditorsMutexName")
                           << QString("LexantaEditorsMutexName.marker");
    QTest::newRow("parent folder") << QString("../../etc/x") << QString(".._.._etc_x.marker");
    QTest::newRow("absolute") << QString("/tmp/x") << QString("_tmp_x.marker");
    QTest::newRow("non-ascii") << QStringLiteral("Мьютекс") << QString("_______.marker");
}

void TestNamedMarker::namesStayInsideTheRuntimeFolder() {
    QFETCH(QString, name);
    QFETCH(QString, fileName);
    const QFileInfo info(NamedMarker::markerPath(name));
    QCOMPARE(info.fileName(), fileName);
    QCOMPARE(info.absolutePath(), runtimeDir_.path());
}

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--hold-marker") == 0)
        return holdMarker(argv[2]);
    QCoreApplication app(argc, argv);
    TestNamedMarker test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_named_marker.moc"
