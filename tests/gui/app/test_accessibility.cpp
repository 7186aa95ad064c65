// The window for screen readers and the keyboard alone: every control a name in both interface
// languages, cells read with their field and entry, a way into and out of every part.
#include "support/window_fixture.h"

#include <QAccessible>
#include <QDockWidget>
#include <QMenuBar>

using namespace lexanta;
using namespace lexanta::test;

namespace {

bool interactive(QAccessible::Role role) {
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::SpinBox:
    case QAccessible::Table:
    case QAccessible::ProgressBar:
    case QAccessible::PageTab:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::MenuItem:
        return true;
    default:
        return false;
    }
}

// Every interactive control below `node` (table cells aside: they are checked by their own
// test), as "role name" keyed by a path of object names.
void collect(QAccessibleInterface* node, const QString& path, QMap<QString, QString>& out) {
    if (!node || node->role() == QAccessible::Cell || node->role() == QAccessible::ColumnHeader ||
        node->role() == QAccessible::RowHeader)
        return;
    QObject* object = node->object();
    const QString here =
        path + QLatin1Char('/') +
        (object && !object->objectName().isEmpty() ? object->objectName()
                                                   : QString::number(int(node->role()), 16));
    if (interactive(node->role())) {
        // Qt on Linux reports a combo box's value as its name and the name it was given
        // through the accessible object's own property.
        auto* widget = qobject_cast<QWidget*>(object);
        const QString name = node->role() == QAccessible::ComboBox && widget
                                 ? widget->accessibleName()
                                 : node->text(QAccessible::Name);
        out.insert(here + QLatin1Char('#') + QString::number(out.size()), name.trimmed());
    }
    for (int i = 0; i < node->childCount(); ++i)
        collect(node->child(i), here, out);
}

QMap<QString, QString> namesIn(QWidget* window) {
    QMap<QString, QString> names;
    collect(QAccessible::queryAccessibleInterface(window), QString(), names);
    return names;
}

void chooseLanguage(Window& w, bool english) {
    w.action(english ? "English1" : "RussianMenuItem")->trigger();
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

private slots:
    void everyControlNamed_data() {
        QTest::addColumn<bool>("english");
        QTest::newRow("English") << true;
        QTest::newRow("Russian") << false;
    }
    // Named, and no two alike (the description boxes once all read as their frame's title).
    void everyControlNamed() {
        QFETCH(bool, english);
        Window w;
        w.form->pages()->setCurrentIndex(1); // the Preferences page's controls too
        chooseLanguage(w, english);
        const QMap<QString, QString> names = namesIn(w.form.get());
        QVERIFY(names.size() > 40);
        QHash<QString, QString> seen;
        for (auto it = names.cbegin(); it != names.cend(); ++it) {
            QVERIFY2(!it.value().isEmpty(), qPrintable(it.key() + QStringLiteral(" has no name")));
            if (it.key().contains(QLatin1String("RxMainMenu1")))
                continue; // menu items repeat tool buttons
            // a part may bear its control's name (a combo box's text field)
            const QString owner = seen.value(it.value()).section(QLatin1Char('#'), 0, 0);
            if (!owner.isEmpty() && it.key().startsWith(owner + QLatin1Char('/')))
                continue;
            QVERIFY2(!seen.contains(it.value()),
                     qPrintable(it.key() + QStringLiteral(" and ") + seen.value(it.value()) +
                                QStringLiteral(": ") + it.value()));
            seen.insert(it.value(), it.key());
        }
        // The names this window gives follow the interface language.
        chooseLanguage(w, !english);
        const QStringList named = {"ComboEdit1", "RxSpinEdit1", "StringGrid1",
                                   "Edit2",      "Button2",     "ProgressBar1"};
        for (const QString& name : named) {
            const QWidget* control = w.control(name.toLatin1().constData());
            QVERIFY2(!names.values().contains(control->accessibleName()), qPrintable(name));
        }
    }

    void cellsReadAsFieldAndEntry_data() {
        QTest::addColumn<bool>("english");
        QTest::addColumn<int>("entry");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("expected");
        QTest::newRow("question 3") << true << 2 << 0 << "Question 3: cat";
        QTest::newRow("answer 1") << true << 0 << 1 << "Answer 1: Hund";
        QTest::newRow("empty comment") << true << 1 << 2 << "Comment 2: ";
        QTest::newRow("Russian question") << false << 2 << 0 << "Вопрос 3: cat";
        QTest::newRow("Russian comment") << false << 0 << 2 << "Комментарий 1: pet";
    }
    void cellsReadAsFieldAndEntry() {
        QFETCH(bool, english);
        QFETCH(int, entry);
        QFETCH(int, field);
        QFETCH(QString, expected);
        Window w;
        w.setRows({"dog|Hund|pet", "bird|Vogel|", "cat|Katze|"});
        chooseLanguage(w, english);
        auto* table = QAccessible::queryAccessibleInterface(w.grid())->tableInterface();
        QVERIFY(table);
        QCOMPARE(table->cellAt(entry, field)->text(QAccessible::Name), expected);
        // the cell editor the focus stands in is named after its cell
        w.grid()->setCurrentCell(EntryGrid::columnOfField(field), EntryGrid::rowOfEntry(entry));
        QCOMPARE(w.editor()->accessibleName(), expected.section(QLatin1Char(':'), 0, 0));
    }

    // From the window's start, Tab reaches the input boxes before any tool bar button.
    void tabReachesBoxesFirst() {
        Window w;
        w.form->setFocus();
        QStringList order;
        for (int i = 0; i < 40; ++i) {
            Window::key(Qt::Key_Tab);
            const QWidget* focus = QApplication::focusWidget();
            order << (focus ? focus->objectName() : QString());
        }
        const qsizetype box = order.indexOf(QStringLiteral("ComboEdit1"));
        QVERIFY2(box >= 0, qPrintable(order.join(QLatin1Char(' '))));
        for (qsizetype i = 0; i < box; ++i)
            QVERIFY2(!order[i].startsWith(QLatin1String("SpeedItem")),
                     qPrintable(order.join(QLatin1Char(' '))));
    }

    void leaveGrid_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("leaves");
        const int none = Qt::NoModifier, ctrl = Qt::ControlModifier;
        QTest::newRow("Tab between cells") << 1 << 1 << int(Qt::Key_Tab) << none << false;
        QTest::newRow("Ctrl+Tab") << 2 << 1 << int(Qt::Key_Tab) << ctrl << true;
        QTest::newRow("Tab at the last cell") << 3 << 2 << int(Qt::Key_Tab) << none << true;
        QTest::newRow("Shift+Tab at the first cell")
            << 1 << 1 << int(Qt::Key_Backtab) << int(Qt::ShiftModifier) << true;
        QTest::newRow("Tab at the end of a row") << 3 << 1 << int(Qt::Key_Tab) << none << false;
    }
    void leaveGrid() {
        QFETCH(int, column);
        QFETCH(int, row);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, leaves);
        Window w;
        w.setRows({"a|b|c", "d|e|f"});
        w.clickCell(column, row);
        QCOMPARE(QApplication::focusWidget(), w.editor());
        Window::key(Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus);
        const bool inGrid = focus == w.grid() || w.grid()->isAncestorOf(focus);
        QCOMPARE(!inGrid, leaves);
        QCOMPARE(w.form->pages()->currentIndex(), 0); // no page switch on the way
    }

    // With the check list open, Tab from the grid's last cell goes on to the list's controls,
    // not round to the top of the window past them.
    void tabFromGridReachesCheckList() {
        Window w;
        w.setRows({"a|b|c", "a|e|f"});
        w.action("CheckList1")->trigger();
        QWidget* dock = w.control<QWidget>("CheckFindings");
        while (dock && !qobject_cast<QDockWidget*>(dock))
            dock = dock->parentWidget();
        QVERIFY(dock && dock->isVisible());
        w.clickCell(3, 2);
        Window::key(Qt::Key_Tab);
        QWidget* focus = QApplication::focusWidget();
        QVERIFY2(focus && dock->isAncestorOf(focus),
                 focus ? focus->metaObject()->className() : "no focus");
    }

    // Alt with each menu's underlined character opens the menu, "?" included (typed with
    // Shift on most layouts), in both languages.
    void menusByAccelerator_data() {
        QTest::addColumn<bool>("english");
        QTest::newRow("English") << true;
        QTest::newRow("Russian") << false;
    }
    void menusByAccelerator() {
        QFETCH(bool, english);
        Window w;
        chooseLanguage(w, english);
        const QList<QAction*> menus = w.form->menuBar()->actions();
        QCOMPARE(menus.size(), 4);
        for (QAction* action : menus) {
            const QString title = action->menu()->title();
            const qsizetype amp = title.indexOf(QLatin1Char('&'));
            QVERIFY2(amp >= 0 && amp + 1 < title.size(), qPrintable(title));
            const QChar c = title[amp + 1];
            const bool shifted = c == QLatin1Char('?');
            QWidget* focus = QApplication::focusWidget();
            QTest::sendKeyEvent(QTest::Press, focus, Qt::Key(c.toUpper().unicode()), QString(c),
                                shifted ? Qt::AltModifier | Qt::ShiftModifier : Qt::AltModifier);
            QTRY_VERIFY2(action->menu()->isVisible(), qPrintable(title));
            action->menu()->close();
            QTRY_VERIFY(!action->menu()->isVisible());
            w.box(0)->setFocus();
        }
    }
};

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
