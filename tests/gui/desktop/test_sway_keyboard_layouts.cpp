// Layout switching through sway's IPC client, against a stand-in swaymsg (fake_sway/) that logs
// its calls; the keyboard's layouts are us, ru(phonetic), de(nodeadkeys) and one XKB does not
// know, us active.
#include "gui/desktop/sway_keyboard_layouts.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace lexanta;

class TestSwayKeyboardLayouts : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    QStringList switches() const {
        QFile log(dir_.filePath(QStringLiteral("calls")));
        QStringList lines;
        if (log.open(QIODevice::ReadOnly))
            for (const QByteArray& line : log.readAll().split('\n'))
                if (line.contains("xkb_switch_layout"))
                    lines << QString::fromUtf8(line);
        return lines;
    }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        qputenv("PATH",
                QByteArray(LEXANTA_TEST_DATA "/../gui/desktop/fake_sway:") + qgetenv("PATH"));
        qputenv("FAKE_SWAYMSG_LOG", QFile::encodeName(dir_.filePath(QStringLiteral("calls"))));
        qputenv("FAKE_SWAYMSG_INPUTS", LEXANTA_TEST_DATA "/sway/get_inputs.json");
    }
    void init() { QFile::remove(dir_.filePath(QStringLiteral("calls"))); }

    void switchByLanguage_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("switched"); // the call made; empty: none
        QTest::addColumn<QString>("current");  // the active layout's name afterwards
        QTest::newRow("Russian, by its variant's description")
            << "00000419"
            << "input type:keyboard xkb_switch_layout 1"
            << "00000419";
        QTest::newRow("German") << "00000407"
                                << "input type:keyboard xkb_switch_layout 2"
                                << "00000407";
        QTest::newRow("English") << "00000409"
                                 << "input type:keyboard xkb_switch_layout 0"
                                 << "00000409";
        QTest::newRow("Japanese: not configured") << "00000411"
                                                  << ""
                                                  << "00000409";
        QTest::newRow("malformed") << "419"
                                   << ""
                                   << "00000409";
    }
    void switchByLanguage() {
        QFETCH(QString, name);
        QFETCH(QString, switched);
        QFETCH(QString, current);
        SwayKeyboardLayouts layouts;
        QCOMPARE(layouts.state().layouts.size(), std::size_t(4));
        layouts.activate(layouts.loadLayout(name));
        QCOMPARE(switches(), switched.isEmpty() ? QStringList() : QStringList{switched});
        QCOMPARE(layouts.currentLayoutName(), current);
    }

    // Without sway's client every answer is the fallback.
    void noClient() {
        SwayKeyboardLayouts layouts(dir_.filePath(QStringLiteral("no-swaymsg")));
        QCOMPARE(layouts.currentLayoutName(), QStringLiteral("00000409"));
        QVERIFY(!layouts.loadLayout(QStringLiteral("00000419")).isValid());
    }
};

QTEST_MAIN(TestSwayKeyboardLayouts)
#include "test_sway_keyboard_layouts.moc"
