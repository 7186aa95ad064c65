// The notice on Wayland desktops that let no program switch layouts: once a run, named setting,
// "do not show again" kept across runs in the program's own settings file.
#include "gui/desktop/layout_switch_notice.h"

#include "gui/desktop/kwin_keyboard_layouts.h"
#include "gui/desktop/sway_keyboard_layouts.h"
#include "gui/desktop/xkb_keyboard_layouts.h"

#include "platform/ini_profile.h"
#include "support/scripted_dialogs.h"

#include <QTemporaryDir>
#include <QTest>

using namespace lexanta;

class TestLayoutSwitchNotice : public QObject {
    Q_OBJECT

private slots:
    // The backend a session gets: sway's where sway runs, the notice's on other Wayland desktops.
    void backendForSession_data() {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QString>("desktop");
        QTest::addColumn<QString>("swaySocket");
        QTest::addColumn<QString>("backend");
        QTest::newRow("sway") << "wayland"
                              << "sway"
                              << "/run/user/1/sway-ipc.sock"
                              << "sway";
        QTest::newRow("Plasma") << "wayland"
                                << "KDE"
                                << ""
                                << "kwin";
        QTest::newRow("GNOME") << "wayland"
                               << "GNOME"
                               << ""
                               << "notice";
        QTest::newRow("wayland-egl") << "wayland-egl"
                                     << "Hyprland"
                                     << ""
                                     << "notice";
        QTest::newRow("offscreen") << "offscreen"
                                   << "GNOME"
                                   << ""
                                   << "memory";
    }
    void backendForSession() {
        QFETCH(QString, platform);
        QFETCH(QString, desktop);
        QFETCH(QString, swaySocket);
        QFETCH(QString, backend);
        qputenv("XDG_CURRENT_DESKTOP", desktop.toUtf8());
        qputenv("SWAYSOCK", swaySocket.toUtf8());
        const std::unique_ptr<KeyboardLayouts> layouts = createSystemKeyboardLayouts(platform);
        const KeyboardLayouts* l = layouts.get();
        const QString got = dynamic_cast<const SwayKeyboardLayouts*>(l)           ? "sway"
                            : dynamic_cast<const KWinKeyboardLayouts*>(l)         ? "kwin"
                            : dynamic_cast<const UnswitchableKeyboardLayouts*>(l) ? "notice"
                            : dynamic_cast<const MemoryKeyboardLayouts*>(l)       ? "memory"
                                                                                  : "other";
        QCOMPARE(got, backend);
        QCOMPARE(l->switchingSetting(true).isEmpty(), backend != QLatin1String("notice"));
    }

    void onceARun_data() {
        QTest::addColumn<QString>("desktop");
        QTest::addColumn<bool>("english");
        QTest::addColumn<QList<bool>>("ticks"); // per run: "do not show again" ticked
        QTest::addColumn<QList<int>>("shown");  // per run: notices shown
        QTest::addColumn<QString>("setting");   // named in the text
        QTest::newRow("GNOME, left ticked off: again next run")
            << "ubuntu:GNOME" << true << QList<bool>{false, false} << QList<int>{1, 1}
            << "Settings, Keyboard, Input Sources";
        QTest::newRow("ticked: never again")
            << "Hyprland" << true << QList<bool>{true, false, false} << QList<int>{1, 0, 0}
            << "the keyboard settings of your desktop";
        QTest::newRow("Russian interface")
            << "GNOME" << false << QList<bool>{true, false} << QList<int>{1, 0}
            << "Параметры, Клавиатура, Источники ввода";
    }
    void onceARun() {
        QFETCH(QString, desktop);
        QFETCH(bool, english);
        QFETCH(QList<bool>, ticks);
        QFETCH(QList<int>, shown);
        QFETCH(QString, setting);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("lexanta-editor/options.ini"));
        const UnswitchableKeyboardLayouts layouts(desktop);
        for (qsizetype run = 0; run < ticks.size(); ++run) {
            test::ScriptedDialogs dialogs;
            dialogs.noticeAnswers = {ticks[run]};
            LayoutSwitchNotice notice(dialogs, path);
            for (int field = 0; field < 3; ++field)
                notice.show(nullptr, layouts.switchingSetting(english), english);
            QCOMPARE(int(dialogs.messages.size()), shown[run]);
            if (shown[run])
                QVERIFY2(dialogs.messages[0].text.contains(setting + QLatin1Char('.')),
                         qPrintable(dialogs.messages[0].text));
        }
    }

    // Dismissing keeps what else the file holds; where layouts switch, nothing is shown.
    void keepsTheFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("options.ini"));
        IniFile before;
        before.setPath(path);
        before.setValue(QStringLiteral("Other"), QStringLiteral("Key"), QStringLiteral("kept"));
        QVERIFY(before.save());
        test::ScriptedDialogs dialogs;
        dialogs.noticeAnswers = {true};
        LayoutSwitchNotice(dialogs, path)
            .show(nullptr, MemoryKeyboardLayouts().switchingSetting(true), true);
        QVERIFY(dialogs.messages.empty());
        LayoutSwitchNotice(dialogs, path).show(nullptr, QStringLiteral("x"), true);
        IniFile after;
        QVERIFY(after.load(path));
        QCOMPARE(after.value(QStringLiteral("Other"), QStringLiteral("Key")),
                 QStringLiteral("kept"));
        QCOMPARE(
            after.intValue(QStringLiteral("Notices"), QStringLiteral("KeyboardLayoutSwitching"), 1),
            0);
    }
};

QTEST_MAIN(TestLayoutSwitchNotice)
#include "test_layout_switch_notice.moc"
