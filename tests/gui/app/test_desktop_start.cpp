// The window as a desktop starts it: a file named on the command line, a file dropped on it.
#include "gui/editing/entry_grid_model.h"
#include "gui/vocab/recent_files.h"
#include "platform/file_names.h"
#include "support/window_fixture.h"

#include <QMimeData>
#include <QUrl>

#include <fcntl.h>
#include <unistd.h>

using namespace lexanta;
using namespace lexanta::test;

namespace {

const QString kExampleRussian =
    QStringLiteral(LEXANTA_TEST_DATA "/../../examples/english-russian.lut");

} // namespace

class TestDesktopStart : public QObject {
    Q_OBJECT

private slots:
    void fileArgument_data() {
        QTest::addColumn<bool>("exists");
        QTest::newRow("opened in place of the last file") << true;
        QTest::newRow("missing: File Not Found, then the open dialog") << false;
    }
    void fileArgument() {
        QFETCH(bool, exists);
        Window w(WindowOptions::withSettings());
        w.load(w.copy(kAnimals, QStringLiteral("last.lut")));
        w.quit(); // the settings now name last.lut as the last file
        const QString named = exists ? w.copy(kExampleRussian, QStringLiteral("named.lut"))
                                     : w.path(QStringLiteral("missing.lut"));
        w.options.fileToOpen = named;
        w.dialogs = ScriptedDialogs{};
        w.start();
        if (!exists) {
            QCOMPARE(w.dialogs.messageTexts(), QStringList{"File Not Found\n" + named});
            QVERIFY(w.dialogs.messages.front().overShownOwner);
            QCOMPARE(w.dialogs.openDialogsShown.size(), std::size_t(1));
            QCOMPARE(w.rows(), QStringList{"||||"}); // not the last file either
            return;
        }
        QVERIFY(w.dialogs.messages.empty());
        QCOMPARE(w.rowCount(), 13);
        QCOMPARE(w.form->windowTitleText(), QStringLiteral("Lexanta Editor: ") + named);
        QCOMPARE(w.form->files().recentFiles().items().first(), named);
        // The answers are Windows-1251 bytes under a Cyrillic font: shown as Russian text.
        const QAbstractItemModel* model = w.grid()->model();
        QCOMPARE(model->data(model->index(0, 0)).toString(), QStringLiteral("cat"));
        QCOMPARE(model->data(model->index(0, 1)).toString(), QStringLiteral("кошка"));
        QCOMPARE(model->data(model->index(11, 1)).toString(), QStringLiteral("спасибо"));
    }

    void drop_data() {
        QTest::addColumn<QByteArray>("name"); // in the window's folder, as bytes
        QTest::addColumn<QString>("scheme");
        QTest::addColumn<bool>("loads");
        QTest::newRow(".lut file") << QByteArray("dropped.lut") << "file" << true;
        QTest::newRow("upper-case extension") << QByteArray("DROPPED.LUT") << "file" << true;
        QTest::newRow("name that is not UTF-8") << QByteArray("w\xf6rter.lut") << "file" << true;
        QTest::newRow("text file") << QByteArray("words.txt") << "file" << false;
        QTest::newRow("remote file") << QByteArray("dropped.lut") << "https" << false;
    }
    void drop() {
        QFETCH(QByteArray, name);
        QFETCH(QString, scheme);
        QFETCH(bool, loads);
        Window w;
        const QByteArray path = QFile::encodeName(w.dir.path()) + '/' + name;
        const QByteArray bytes = Window::read(kAnimals);
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, bytes.constData(), bytes.size()), ssize_t(bytes.size()));
        ::close(fd);
        QMimeData mime;
        mime.setUrls({QUrl::fromEncoded(scheme.toLatin1() + "://" +
                                        (scheme == QLatin1String("file") ? "" : "example.org") +
                                        path.toPercentEncoding("/"))});
        const QPoint where = w.form->rect().center();
        QDragEnterEvent enter(where, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w.form.get(), &enter);
        QCOMPARE(enter.isAccepted(), loads);
        QDropEvent drop(where, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w.form.get(), &drop);
        ::unlink(path.constData());
        QVERIFY(w.dialogs.messages.empty());
        if (!loads) {
            QCOMPARE(w.rows(), QStringList{"||||"});
            return;
        }
        QCOMPARE(w.rows(), (QStringList{"cat|Katze|kat|0|0", "dog|Hund||0|0"}));
        QCOMPARE(fileNameToBytes(w.form->files().openDialog().fileName), path);
        QVERIFY(w.action("N4")->isEnabled());
    }
};

QTEST_MAIN(TestDesktopStart)
#include "test_desktop_start.moc"
