// How the desktop knows the editor: the window class and app id match the desktop entry, so
// docks group the window with its launcher and show its icon.
#include "gui/app/desktop_identity.h"
#include "support/window_fixture.h"

#include <QSettings>

using namespace lexanta;
using namespace lexanta::test;

class TestDesktopIdentity : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { nameDesktopApplication(); }

    void matchesTheDesktopEntry() {
        const QString entry = QStringLiteral(LEXANTA_TEST_DATA "/../../desktop/") +
                              QGuiApplication::desktopFileName() + QStringLiteral(".desktop");
        QVERIFY2(QFileInfo::exists(entry), qPrintable(entry));
        QSettings desktop(entry, QSettings::IniFormat);
        desktop.beginGroup(QStringLiteral("Desktop Entry"));
        // X11 takes the window class from the application name
        const QString name = QCoreApplication::applicationName();
        QVERIFY(!name.isEmpty());
        for (const QChar c : name)
            QVERIFY2(c.unicode() < 0x80, qPrintable(name));
        QCOMPARE(desktop.value(QStringLiteral("StartupWMClass")).toString(), name);
        QCOMPARE(desktop.value(QStringLiteral("Icon")).toString(), name);
        // no program name is appended to the window's own title
        QCOMPARE(QGuiApplication::applicationDisplayName(), QString());
    }

    // Without an icon theme that has it, the bundled icon, sharp at every size.
    void windowIcon() {
        Window w;
        const QIcon icon = w.form->windowIcon();
        QVERIFY(!icon.isNull());
        for (const int size : {16, 48, 128})
            QCOMPARE(icon.pixmap(size).width(), size);
    }

    // The editor's own start sets the icon once the window is painted, so that looking it up
    // does not hold the window back.
    void iconAfterTheFirstPaint() {
        const QIcon named = QApplication::windowIcon();
        QApplication::setWindowIcon(QIcon());
        Window w(false);
        w.form->show();
        setApplicationIconAfterFirstPaint(w.form.get());
        QVERIFY(w.form->windowIcon().isNull());
        QTRY_VERIFY(!w.form->windowIcon().isNull());
        QCOMPARE(w.form->windowIcon().availableSizes(), named.availableSizes());
    }
};

QTEST_MAIN(TestDesktopIdentity)
#include "test_desktop_identity.moc"
