// Per-field keyboard layouts with the in-memory backend: switching on focus entry and cell
// selection, the capture buttons, the check box and its nine controls, and what keeps
// the layout names.
#include "support/window_fixture.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

using namespace lexanta;
using lexanta::test::Window;

namespace {

void useNames(TForm1& f) {
    f.FieldLayoutNames() = {"00000409", "00000419", "00000407"};
}

QString lastActivated(const Window& w) {
    const QStringList& h = w.layouts.activationHistory();
    return h.isEmpty() ? QString() : h.last();
}

// Moves the focus to one of the targets the switching rule names.
void enter(Window& w, const QString& target) {
    TForm1& f = *w.form;
    if (target.startsWith(QLatin1String("box"))) {
        w.clickBox(target.back().digitValue() - 1);
    } else if (target.startsWith(QLatin1String("test"))) {
        f.PageControl1->setCurrentIndex(1);
        QLineEdit* const tests[] = {f.Edit5, f.Edit6, f.Edit7};
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
        TForm1& f = *w.form;
        useNames(f);
        w.setRows({QStringLiteral("a|b|c"), QStringLiteral("d|e|f")});
        for (const char* target : {"box1", "box2", "box3", "cell1", "cell2", "cell3"})
            enter(w, QString::fromLatin1(target));
        QVERIFY(w.layouts.activationHistory().isEmpty());
        QCOMPARE(w.layouts.currentLayoutName(), QStringLiteral("00000409"));
        // The update buttons cannot be pressed.
        f.PageControl1->setCurrentIndex(1);
        w.layouts.setCurrentLayoutName(QStringLiteral("00000407"));
        for (QPushButton* b : {f.Button2, f.Button3, f.Button4}) {
            QVERIFY(!b->isEnabled());
            QTest::mouseClick(b, Qt::LeftButton);
        }
        QCOMPARE(f.FieldLayoutNames(),
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
        TForm1& f = *w.form;
        useNames(f);
        w.setRows({QStringLiteral("a|b|c"), QStringLiteral("d|e|f")});
        f.CheckBox1->setChecked(true);
        // Start from a layout none of the fields uses.
        w.layouts.setCurrentLayoutName(QStringLiteral("0000040C"));
        w.layouts.clearActivationHistory();
        enter(w, target);
        // Switched on entry, before any key of the field is typed.
        QCOMPARE(lastActivated(w), layout);
        QCOMPARE(w.layouts.currentLayoutName(), layout);
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
        TForm1& f = *w.form;
        f.CheckBox1->setChecked(true);
        f.PageControl1->setCurrentIndex(1);
        // The user picks German with the system's switcher and presses "update layout".
        w.layouts.setCurrentLayoutName(QStringLiteral("00000407"));
        QPushButton* const buttons[] = {f.Button2, f.Button3, f.Button4};
        QTest::mouseClick(buttons[field], Qt::LeftButton);
        std::array<std::string, 3> expected{"00000409", "00000409", "00000409"};
        expected[field] = "00000407";
        QCOMPARE(f.FieldLayoutNames(), expected);
        QVERIFY(w.dialogs.messages.empty());

        // Saved with the vocabulary and restored by a load.
        const QString path = w.dir.filePath(QStringLiteral("layouts.lut"));
        f.SaveDialog1.fileName = path;
        QVERIFY(f.SaveDictionary());
        f.FieldLayoutNames() = {"00000409", "00000409", "00000409"};
        f.LoadDictionary(path);
        QCOMPARE(f.FieldLayoutNames(), expected);
    }

    void checkBoxEnablesTheTestControls() {
        Window w;
        TForm1& f = *w.form;
        const QList<QWidget*> nine{f.Button2, f.Button3,    f.Button4,    f.Edit5,     f.Edit6,
                                   f.Edit7,   f.TestLabel1, f.TestLabel2, f.TestLabel3};
        for (QWidget* c : nine)
            QVERIFY(!c->isEnabled());
        f.PageControl1->setCurrentIndex(1);
        QTest::mouseClick(f.CheckBox1, Qt::LeftButton, {}, QPoint(5, f.CheckBox1->height() / 2));
        QVERIFY(f.CheckBox1->isChecked());
        for (QWidget* c : nine)
            QVERIFY2(c->isEnabled(), qPrintable(c->objectName()));
        QTest::mouseClick(f.CheckBox1, Qt::LeftButton, {}, QPoint(5, f.CheckBox1->height() / 2));
        for (QWidget* c : nine)
            QVERIFY2(!c->isEnabled(), qPrintable(c->objectName()));
        for (QGroupBox* group : {f.GroupBox5, f.GroupBox6, f.GroupBox7})
            QVERIFY(group->isEnabled());
    }

    void addingReturnsToTheQuestionLayout() {
        Window w;
        TForm1& f = *w.form;
        useNames(f);
        f.CheckBox1->setChecked(true);
        QTest::mouseClick(f.SpeedItem2, Qt::LeftButton);
        Window::type(QStringLiteral("cat"));
        Window::key(Qt::Key_Tab);
        QCOMPARE(lastActivated(w), QStringLiteral("00000419"));
        Window::type(QStringLiteral("kot"));
        Window::key(Qt::Key_Tab);
        QCOMPARE(lastActivated(w), QStringLiteral("00000407"));
        Window::key(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), f.ComboEdit1);
        QCOMPARE(lastActivated(w), QStringLiteral("00000409"));
        QCOMPARE(w.row(1), QStringLiteral("cat|kot||0|0"));
    }

    void movedColumnTakesItsPositionsLayout() {
        Window w;
        TForm1& f = *w.form;
        useNames(f);
        w.setRows({QStringLiteral("a|b|c")});
        f.CheckBox1->setChecked(true);
        w.clickCell(1, 1);
        f.StringGrid1->moveEntryColumn(1, 2);
        QCOMPARE(w.row(1), QStringLiteral("b|a|c||"));
        QCOMPARE(f.StringGrid1->Col(), 2);
        QCOMPARE(lastActivated(w), QStringLiteral("00000419"));
    }
};

QTEST_MAIN(TestFieldLayouts)
#include "test_field_layouts.moc"
