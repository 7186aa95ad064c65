// Per-field keyboard layouts with the in-memory backend: switching on focus entry and cell
// selection, the capture buttons, the check box and its nine controls, and what keeps
// the layout names.
#include "gui/desktop/layout_switch_notice.h"
#include "support/window_fixture.h"

#include <QCheckBox>
#include <QDirIterator>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

using namespace lexanta;
using lexanta::test::Window;
using lexanta::test::WindowOptions;

namespace {

void useNames(const Window& w) {
    w.setLayoutNames({"00000409", "00000419", "00000407"});
}

QString lastActivated(const Window& w) {
    const QStringList& h = w.layouts.activationHistory();
    return h.isEmpty() ? QString() : h.last();
}

// Moves the focus to one of the targets the switching rule names.
void enter(Window& w, const QString& target) {
    MainWindow& f = *w.form;
    if (target.startsWith(QLatin1String("box"))) {
        // from another control: the question box has the focus at start
        w.control<QWidget>("RxSpinEdit1")->setFocus();
        w.clickBox(target.back().digitValue() - 1);
    } else if (target.startsWith(QLatin1String("test"))) {
        f.pages()->setCurrentIndex(1);
        QLineEdit* const tests[] = {w.edit("Edit5"), w.edit("Edit6"), w.edit("Edit7")};
        QLineEdit* box = tests[target.back().digitValue() - 1];
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
    } else {
        w.clickCell(target.back().digitValue(), 2);
    }
}

} // namespace

class TestFieldLayouts : public QObject {
    Q_OBJECT

private slots:
    void switchingOffChangesNothing() {
        Window w;
        MainWindow& f = *w.form;
        useNames(w);
        w.setRows({QStringLiteral("a|b|c"), QStringLiteral("d|e|f")});
        for (const char* target : {"box1", "box2", "box3", "cell1", "cell2", "cell3"})
            enter(w, QString::fromLatin1(target));
        QVERIFY(w.layouts.activationHistory().isEmpty());
        QCOMPARE(w.layouts.currentLayoutName(), QStringLiteral("00000409"));
        // The update buttons cannot be pressed.
        f.pages()->setCurrentIndex(1);
        w.layouts.setCurrentLayoutName(QStringLiteral("00000407"));
        for (QPushButton* b : {w.control<QPushButton>("Button2"), w.control<QPushButton>("Button3"),
                               w.control<QPushButton>("Button4")}) {
            QVERIFY(!b->isEnabled());
            QTest::mouseClick(b, Qt::LeftButton);
        }
        QCOMPARE(w.doc().header().layoutNames,
                 (std::array<std::string, 3>{"00000409", "00000419", "00000407"}));
    }

    void enteringAFieldActivatesItsLayout_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("layout");
        const char* const layouts[] = {"00000409", "00000419", "00000407"};
        for (const char* kind : {"box", "test", "cell"})
            for (int field = 1; field <= 3; ++field)
                QTest::addRow("%s%d", kind, field)
                    << QStringLiteral("%1%2").arg(QLatin1String(kind)).arg(field)
                    << QString::fromLatin1(layouts[field - 1]);
    }

    void enteringAFieldActivatesItsLayout() {
        QFETCH(QString, target);
        QFETCH(QString, layout);
        Window w;
        MainWindow& f = *w.form;
        useNames(w);
        w.setRows({QStringLiteral("a|b|c"), QStringLiteral("d|e|f")});
        f.autoSwitch()->setChecked(true);
        // Start from a layout none of the fields uses.
        w.layouts.setCurrentLayoutName(QStringLiteral("0000040C"));
        w.layouts.clearActivationHistory();
        enter(w, target);
        // Switched on entry, before any key of the field is typed.
        QCOMPARE(lastActivated(w), layout);
        QCOMPARE(w.layouts.currentLayoutName(), layout);
    }

    // Where the desktop lets no program switch layouts, entering fields says so once a run,
    // until it is dismissed for good; only the program's own settings file remembers that.
    void unswitchableDesktopSaysSoOnce() {
        UnswitchableKeyboardLayouts layouts(QStringLiteral("GNOME"));
        WindowOptions o;
        o.layouts = &layouts;
        o.restore = true;
        Window w(o);
        const bool ticks[] = {false, true, false};
        const int shown[] = {1, 1, 0};
        for (int run = 0; run < 3; ++run) {
            if (run > 0)
                w.restart();
            w.form->autoSwitch()->setChecked(true);
            w.dialogs.noticeAnswers = {ticks[run]};
            for (const char* target : {"box1", "box2", "test3", "box1"})
                enter(w, QString::fromLatin1(target));
            QCOMPARE(int(w.dialogs.messages.size()), shown[run]);
        }
        QVERIFY(layouts.activationHistory().isEmpty());
        w.quit();
        QDirIterator files(w.dir.path(), QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString path = files.next();
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll().contains("KeyboardLayoutSwitching"),
                     path.endsWith(QLatin1String("lexanta-editor/options.ini")));
        }
    }

    void captureStoresTheActiveLayout_data() {
        QTest::addColumn<int>("field");
        QTest::newRow("questions") << 0;
        QTest::newRow("answers") << 1;
        QTest::newRow("comments") << 2;
    }

    void captureStoresTheActiveLayout() {
        QFETCH(int, field);
        Window w;
        MainWindow& f = *w.form;
        f.autoSwitch()->setChecked(true);
        f.pages()->setCurrentIndex(1);
        // The user picks German with the system's switcher and presses "update layout".
        w.layouts.setCurrentLayoutName(QStringLiteral("00000407"));
        QPushButton* const buttons[] = {w.control<QPushButton>("Button2"),
                                        w.control<QPushButton>("Button3"),
                                        w.control<QPushButton>("Button4")};
        QTest::mouseClick(buttons[field], Qt::LeftButton);
        std::array<std::string, 3> expected{"00000409", "00000409", "00000409"};
        expected[field] = "00000407";
        QCOMPARE(w.doc().header().layoutNames, expected);
        QVERIFY(w.dialogs.messages.empty());

        // Saved with the vocabulary and restored by a load.
        const QString path = w.dir.filePath(QStringLiteral("layouts.lut"));
        w.dialogs.fileAnswers.push_back({path});
        QVERIFY(f.files().saveAs());
        w.setLayoutNames({"00000409", "00000409", "00000409"});
        f.files().loadFile(path);
        QCOMPARE(w.doc().header().layoutNames, expected);
    }

    void checkBoxEnablesTheTestControls() {
        Window w;
        MainWindow& f = *w.form;
        const QList<QWidget*> nine{w.control<QPushButton>("Button2"),
                                   w.control<QPushButton>("Button3"),
                                   w.control<QPushButton>("Button4"),
                                   w.edit("Edit5"),
                                   w.edit("Edit6"),
                                   w.edit("Edit7"),
                                   w.label("TestLabel1"),
                                   w.label("TestLabel2"),
                                   w.label("TestLabel3")};
        for (QWidget* c : nine)
            QVERIFY(!c->isEnabled());
        f.pages()->setCurrentIndex(1);
        QTest::mouseClick(f.autoSwitch(), Qt::LeftButton, {},
                          QPoint(5, f.autoSwitch()->height() / 2));
        QVERIFY(f.autoSwitch()->isChecked());
        for (QWidget* c : nine)
            QVERIFY2(c->isEnabled(), qPrintable(c->objectName()));
        QTest::mouseClick(f.autoSwitch(), Qt::LeftButton, {},
                          QPoint(5, f.autoSwitch()->height() / 2));
        for (QWidget* c : nine)
            QVERIFY2(!c->isEnabled(), qPrintable(c->objectName()));
        for (QGroupBox* group :
             {w.control<QGroupBox>("GroupBox5"), w.control<QGroupBox>("GroupBox6"),
              w.control<QGroupBox>("GroupBox7")})
            QVERIFY(group->isEnabled());
    }

    // The focus starts in the question box; with switching on, so does its layout.
    void startActivatesTheQuestionLayout() {
        Window w(WindowOptions::withSettings());
        w.form->autoSwitch()->setChecked(true);
        w.layouts.setCurrentLayoutName(QStringLiteral("0000040C"));
        w.restart();
        QCOMPARE(QApplication::focusWidget(), w.box(0));
        QTRY_COMPARE(w.layouts.currentLayoutName(), QStringLiteral("00000409"));
    }

    void addingReturnsToTheQuestionLayout() {
        Window w;
        MainWindow& f = *w.form;
        useNames(w);
        f.autoSwitch()->setChecked(true);
        QTest::mouseClick(w.button("SpeedItem2"), Qt::LeftButton);
        Window::type(QStringLiteral("cat"));
        Window::key(Qt::Key_Tab);
        QCOMPARE(lastActivated(w), QStringLiteral("00000419"));
        Window::type(QStringLiteral("kot"));
        Window::key(Qt::Key_Tab);
        QCOMPARE(lastActivated(w), QStringLiteral("00000407"));
        Window::key(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), w.box(0));
        QCOMPARE(lastActivated(w), QStringLiteral("00000409"));
        QCOMPARE(w.row(1), QStringLiteral("cat|kot||0|0"));
    }

    void movedColumnTakesItsPositionsLayout() {
        Window w;
        MainWindow& f = *w.form;
        useNames(w);
        w.setRows({QStringLiteral("a|b|c")});
        f.autoSwitch()->setChecked(true);
        w.clickCell(1, 1);
        f.grid()->moveEntryColumn(1, 2);
        QCOMPARE(w.row(1), QStringLiteral("b|a|c||"));
        QCOMPARE(f.grid()->column(), 2);
        QCOMPARE(lastActivated(w), QStringLiteral("00000419"));
    }
};

QTEST_MAIN(TestFieldLayouts)
#include "test_field_layouts.moc"
