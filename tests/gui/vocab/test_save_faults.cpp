// Save, Save as and Export of the main window against targets that cannot be written: the
// message names the file and the reason, the target stays as it was (a device or FIFO is
// not replaced) and no temp file is left beside it.
#include "core/interchange/text_export.h"
#include "support/window_fixture.h"

#include <QDir>

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace lexanta;
using namespace lexanta::test;

namespace {

enum class Command { SaveAs, Export };

// As root, permissions bind nobody: the read-only cases run with nobody's file rights.
struct AsUnprivilegedUser {
    const bool root = ::geteuid() == 0;
    AsUnprivilegedUser() {
        if (root && ::setegid(65534) == 0 && ::seteuid(65534) != 0)
            qFatal("cannot take nobody's rights");
    }
    ~AsUnprivilegedUser() {
        if (root && (::seteuid(0) != 0 || ::setegid(0) != 0))
            qFatal("cannot take root's rights back");
    }
};

struct FileSizeLimit {
    rlimit saved{};
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small = saved;
        small.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &saved); }
};

QString snapshot(const QString& path) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return QStringLiteral("absent");
    const QString shape =
        QStringLiteral("%1 %2 %3 ").arg(st.st_mode).arg(st.st_ino).arg(st.st_size);
    return S_ISREG(st.st_mode) ? shape + QString::fromLatin1(Window::read(path).toHex()) : shape;
}

bool chmodPath(const QString& path, mode_t mode) {
    return ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}

} // namespace

class TestSaveFaults : public QObject {
    Q_OBJECT

private slots:
    void failedWritesNameFileAndReason_data() {
        QTest::addColumn<QString>("target"); // in the test's folder
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("unprivileged");
        QTest::addColumn<int>("sizeLimit"); // 0: none
        QTest::newRow("read-only folder") << "ro/a.lut"
                                          << "Permission denied" << true << 0;
        QTest::newRow("read-only file") << "locked.lut"
                                        << "Permission denied" << true << 0;
        QTest::newRow("missing folder") << "missing/a.lut"
                                        << "No such file or directory" << false << 0;
        QTest::newRow("folder") << "dir.lut"
                                << "Is a directory" << false << 0;
        QTest::newRow("full device") << "device.lut"
                                     << "No space left on device" << false << 0;
        QTest::newRow("FIFO nobody reads") << "pipe.lut"
                                           << "No program is reading from this pipe" << false << 0;
        QTest::newRow("full disk") << "tmpfs/a.lut"
                                   << "No space left on device" << false << 0;
        QTest::newRow("file size limit") << "limited.lut"
                                         << "File too large" << false << 8;
    }

    void failedWritesNameFileAndReason() {
        QFETCH(QString, target);
        QFETCH(QString, reason);
        QFETCH(bool, unprivileged);
        QFETCH(int, sizeLimit);
        Window w(false);
        QVERIFY(chmodPath(w.dir.path(), 0777));
        const QString path = w.path(target);
        const QString folder = QFileInfo(path).absolutePath();
        bool mounted = false;
        if (target.startsWith(QLatin1String("ro/"))) {
            QDir().mkdir(w.path("ro"));
            w.copy(kAnimals, "ro/a.lut");
            QVERIFY(chmodPath(w.path("ro"), 0555));
        } else if (target == QLatin1String("locked.lut")) {
            w.copy(kAnimals, target);
            QVERIFY(chmodPath(path, 0444));
        } else if (target == QLatin1String("dir.lut")) {
            QVERIFY(QDir().mkdir(path));
        } else if (target == QLatin1String("device.lut")) {
            // As root, a faulty writer would replace the system's device: root uses its own.
            if (::geteuid() == 0)
                QCOMPARE(
                    ::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, 7)), 0);
            else
                QVERIFY(QFile::link(QStringLiteral("/dev/full"), path));
        } else if (target == QLatin1String("pipe.lut")) {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0666), 0);
        } else if (target.startsWith(QLatin1String("tmpfs/"))) {
            QDir().mkdir(folder);
            const QByteArray native = QFile::encodeName(folder);
            mounted = ::geteuid() == 0 &&
                      ::mount("tmpfs", native.constData(), "tmpfs", 0, "size=64k") == 0;
            if (!mounted)
                QSKIP("a full disk needs root and mount (the tool's test uses a write shim)");
            w.copy(kAnimals, target);
            QFile filler(w.path("tmpfs/filler"));
            QVERIFY(filler.open(QIODevice::WriteOnly));
            while (filler.write(QByteArray(4096, 'x')) > 0 && filler.flush()) {
            }
        } else if (target == QLatin1String("limited.lut")) {
            w.write(target, "small");
        }

        // Save writes as Save as does (its own failure path is a document test).
        for (const Command command : {Command::SaveAs, Command::Export}) {
            w.dialogs = ScriptedDialogs{};
            w.load(kAnimals);
            const QString before = snapshot(path);
            bool done = false;
            {
                std::optional<AsUnprivilegedUser> user;
                if (unprivileged)
                    user.emplace();
                std::optional<FileSizeLimit> limit;
                if (sizeLimit > 0)
                    limit.emplace(rlim_t(sizeLimit));
                switch (command) {
                case Command::SaveAs:
                    w.dialogs.fileAnswers.push_back({path});
                    done = w.form->files().saveAs();
                    break;
                case Command::Export:
                    w.dialogs.fileAnswers.push_back({path, int(ExportFormat::TabDelimited)});
                    w.form->interchange().exportList();
                    break;
                }
            }
            const QString what = QStringLiteral("command %1").arg(int(command));
            QVERIFY2(!done, qPrintable(what));
            QCOMPARE(w.dialogs.messages.size(), std::size_t(1));
            const QString& text = w.dialogs.messages.front().text;
            QVERIFY2(text.contains(path) && text.contains(reason), qPrintable(what + ": " + text));
            QCOMPARE(snapshot(path), before);
            const QStringList temps =
                QDir(folder).entryList({QStringLiteral("*.lexanta-*")}, QDir::Files | QDir::Hidden);
            QVERIFY2(temps.isEmpty(), qPrintable(temps.join(' ')));
        }
        if (mounted)
            QCOMPARE(::umount(QFile::encodeName(folder).constData()), 0);
        chmodPath(w.path("ro"), 0755);
    }
};

QTEST_MAIN(TestSaveFaults)
#include "test_save_faults.moc"
