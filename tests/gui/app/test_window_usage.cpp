// The window as a new user meets it: keys held with Alt or Ctrl, the menu bar from the
// keyboard, very long texts, the find dialog, keyboard layouts when the window gets the focus
// back, sizing the fixed cells, the field font dialog's face name and the system's language
// in the platform's dialogs.
#include "gui/widgets/field_font_dialog.h"
#include "gui/widgets/find_dialog.h"
#include "gui/widgets/system_translations.h"
#include "support/window_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QMenuBar>
#include <QPushButton>
#include <QTranslator>

#include <tuple>

using namespace lexanta;
using lexanta::test::Window;

namespace {

QWidget* target(const Window& w, const QString& name) {
    if (name == QLatin1String("input box"))
        return w.box(1);
    if (name == QLatin1String("in-place editor"))
        return w.editor();
    if (name == QLatin1String("title"))
        return w.edit("Edit2");
    if (name == QLatin1String("language"))
        return w.control<QComboBox>("ComboBox1");
    return w.edit("Edit5"); // test box
}

void closePopups() {
    while (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
}

} // namespace

class TestWindowUsage : public QObject {
    Q_OBJECT

private slots:
    void modifierKeysNeverType_data() {
        QTest::addColumn<QString>("where");
        QTest::addColumn<bool>("russian");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<char>("letter");
        const int alt = Qt::AltModifier, ctrl = Qt::ControlModifier;
        QTest::newRow("unbound Alt+W, input box") << "input box" << false << alt << 'w';
        QTest::newRow("Latin Alt+F, Russian menus") << "input box" << true << alt << 'f';
        QTest::newRow("Alt+W, in-place editor") << "in-place editor" << false << alt << 'w';
        QTest::newRow("Alt+Shift+W, title")
            << "title" << false << (alt | int(Qt::ShiftModifier)) << 'W';
        QTest::newRow("Ctrl+Alt+W, language") << "language" << false << (alt | ctrl) << 'w';
        QTest::newRow("Alt+Q, test box") << "test box" << false << alt << 'q';
    }
    // Edit Words mode: a key release writes the boxes into the row, so a typed letter would
    // reach the file.
    void modifierKeysNeverType() {
        QFETCH(QString, where);
        QFETCH(bool, russian);
        QFETCH(int, modifiers);
        QFETCH(char, letter);
        Window w;
        MainWindow& f = *w.form;
        if (russian)
            f.language().applyLanguage(InterfaceLanguage::Russian);
        f.autoSwitch()->setChecked(true);
        w.setRows({"Katze|cat|"});
        w.clickCell(2, 1);
        QWidget* widget = target(w, where);
        if (where == QLatin1String("title") || where == QLatin1String("language") ||
            where == QLatin1String("test box"))
            f.pages()->setCurrentWidget(w.control("TabSheet2"));
        widget->setFocus();
        auto* combo = qobject_cast<QComboBox*>(widget);
        QLineEdit* edit = combo ? combo->lineEdit() : qobject_cast<QLineEdit*>(widget);
        if (edit->text().isEmpty())
            edit->setText(QStringLiteral("cat"));
        edit->end(false);
        QTest::keyClick(QApplication::focusWidget(), letter, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(edit->text(), QStringLiteral("cat"));
        QCOMPARE(w.row(1), QStringLiteral("Katze|cat|||"));
        QVERIFY(!QApplication::activePopupWidget());
    }

    // Alt and Ctrl keep their editing meaning; plain typing is untouched.
    void editingKeysStillWork() {
        Window w;
        w.setRows({"Katze|cat|"});
        w.clickCell(2, 1);
        ComboEdit* box = w.box(1);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_End);
        QTest::keyClicks(box, QStringLiteral("s"));
        QCOMPARE(w.row(1), QStringLiteral("Katze|cats|||"));
        QTest::keyClick(box, 'a', Qt::ControlModifier);
        QCOMPARE(box->selectedText(), QStringLiteral("cats"));
        QTest::keyClick(box, Qt::Key_Down, Qt::AltModifier); // the font button
        QCOMPARE(w.dialogs.fontDialogsShown, 1);
    }

    // A fresh start is in Add Words mode: a word typed at once, then Enter, is an entry, also
    // when the start reopens a file.
    void typingAtStartAddsAnEntry_data() {
        QTest::addColumn<bool>("withFile");
        QTest::newRow("empty") << false;
        QTest::newRow("file reopened") << true;
    }
    void typingAtStartAddsAnEntry() {
        QFETCH(bool, withFile);
        test::WindowOptions options;
        if (withFile) {
            options.restore = true;
            options.fileToOpen = test::kAnimals;
        }
        Window w(options);
        QTRY_VERIFY(!withFile || w.cells().entryCount() == 2);
        Window::type(QStringLiteral("cow"));
        Window::key(Qt::Key_Return);
        QCOMPARE(w.row(1), QStringLiteral("cow|||0|0"));
        QCOMPARE(QApplication::focusWidget(), w.box(0));
    }

    // Alt alone and F10 enter the menu bar; in the Russian interface Alt with the Cyrillic
    // accelerator letter opens its menu.
    void menusFromTheKeyboard() {
        Window w;
        MainWindow& f = *w.form;
        QMenuBar* bar = f.menuBar();
        w.box(0)->setFocus();
        QTest::keyClick(w.box(0), Qt::Key_Alt, Qt::AltModifier);
        QCOMPARE(bar->activeAction(), w.menu("N1")->menuAction());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(bar));
        QTest::keyClick(bar, Qt::Key_Escape);
        QCOMPARE(QApplication::focusWidget(), w.box(0));

        QTest::keyClick(w.box(0), Qt::Key_F10);
        QTRY_COMPARE(QApplication::activePopupWidget(), static_cast<QWidget*>(w.menu("N1")));
        closePopups();

        f.language().applyLanguage(InterfaceLanguage::Russian);
        w.box(0)->setFocus();
        // Alt+С, "&Сервис", with the Russian layout active
        QTest::sendKeyEvent(QTest::Press, w.box(0), Qt::Key(0x0421), QStringLiteral("с"),
                            Qt::AltModifier);
        QTRY_COMPARE(QApplication::activePopupWidget(), static_cast<QWidget*>(w.menu("Service1")));
        closePopups();
        QCOMPARE(w.box(0)->text(), QString());
    }

    // A cell and a title of 100,000 characters pass through the boxes and come back byte for
    // byte (Qt's line edits would cut them at 32,767).
    void longTextsKeptWhole() {
        Window w;
        const QByteArray title(100000, 'T');
        const QByteArray answer = QByteArray("Katze ") + QByteArray(99994, 'z');
        QByteArray file = Window::read(test::kAnimals);
        file.replace("\r\nAnimals\r\n", "\r\n" + title + "\r\n");
        file.replace("\r\nKatze\r\n", "\r\n" + answer + "\r\n");
        const QString path = w.write(QStringLiteral("long.lut"), file);
        w.load(path);
        QCOMPARE(w.edit("Edit2")->text().size(), 100000);
        w.clickCell(1, 1);
        QCOMPARE(w.box(1)->text().toLatin1(), answer);
        w.box(0)->setFocus();
        Window::key(Qt::Key_Down);
        Window::key(Qt::Key_Up);
        QCOMPARE(w.grid()->row(), 1);
        w.dialogs.messageAnswers.push_back(MsgResult::Yes); // the long-text warning: save anyway
        QVERIFY(w.form->files().save());
        QVERIFY(w.dialogs.messageTexts().last().startsWith("2 texts are longer"));
        QCOMPARE(Window::read(path), file);
    }

    // Find Next leaves the main window active with the grid focused, so F3 works at once;
    // text and options stay as the user set them, Cancel included; Alt+N reaches the field.
    void findDialog() {
        Window w;
        MainWindow& f = *w.form;
        w.setRows({"cat", "dog", "cat", "bird"});
        f.lists().find();
        FindDialog dialog(&f);
        dialog.bind(*w.dialogs.findState, w.dialogs.onFind);
        dialog.show();
        dialog.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(&dialog));
        auto* text = dialog.findChild<QLineEdit*>();
        const QList<QCheckBox*> options = dialog.findChildren<QCheckBox*>();
        QCOMPARE(options.size(), 2);
        options[0]->setFocus();
        QTest::keyClick(&dialog, 'n', Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(text));
        QTest::keyClicks(text, QStringLiteral("cat"));
        QTest::keyClick(text, Qt::Key_Return); // Find Next, the default button
        QCOMPARE(f.grid()->row(), 1);
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(&f));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.editor()));
        Window::key(Qt::Key_F3);
        QCOMPARE(f.grid()->row(), 3);

        dialog.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(&dialog));
        text->selectAll();
        QTest::keyClicks(text, QStringLiteral("dog"));
        for (QCheckBox* option : options) // whole word off, match case on
            QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(6, option->height() / 2));
        QTest::mouseClick(dialog.findChildren<QPushButton*>().last(), Qt::LeftButton); // Cancel
        QVERIFY(!dialog.isVisible());
        const FindDialogState& kept = f.lists().findDialog();
        QCOMPARE(std::tuple(kept.findText, kept.wholeWord, kept.matchCase),
                 std::tuple(QStringLiteral("dog"), false, true));
        dialog.bind(f.lists().findDialog(), w.dialogs.onFind); // opened again
        QCOMPARE(std::tuple(text->text(), options[0]->isChecked(), options[1]->isChecked()),
                 std::tuple(QStringLiteral("dog"), false, true));
    }

    // A layout chosen with the system's switcher stays when the window merely gets the focus
    // back (from another window, from a menu); moving into a field still switches.
    void layoutOnlyOnFocusMoves() {
        Window w;
        MainWindow& f = *w.form;
        w.setLayoutNames({"00000409", "00000419", "00000407"});
        f.autoSwitch()->setChecked(true);
        w.clickBox(1);
        QCOMPARE(w.layouts.activationHistory(), QStringList{QStringLiteral("00000419")});
        w.layouts.setCurrentLayoutName(QStringLiteral("00000415")); // the user's own choice
        w.layouts.clearActivationHistory();

        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QCOMPARE(QApplication::focusWidget(), w.box(1));
        w.menu("Edit1")->popup(f.mapToGlobal(QPoint(10, 10)));
        QTRY_COMPARE(QApplication::activePopupWidget(), static_cast<QWidget*>(w.menu("Edit1")));
        QTest::keyClick(w.menu("Edit1"), Qt::Key_Escape);
        QTRY_COMPARE(QApplication::focusWidget(), w.box(1));
        f.pages()->setCurrentWidget(w.control("TabSheet2"));
        w.edit("Edit6")->setFocus(Qt::ActiveWindowFocusReason);
        QCOMPARE(w.layouts.activationHistory(), QStringList());
        QCOMPARE(w.layouts.currentLayoutName(), QStringLiteral("00000415"));

        w.edit("Edit7")->setFocus(Qt::TabFocusReason);
        QCOMPARE(w.layouts.activationHistory(), QStringList{QStringLiteral("00000407")});
        f.pages()->setCurrentWidget(w.control("TabSheet1"));
        w.clickBox(0);
        QCOMPARE(w.layouts.activationHistory().last(), QStringLiteral("00000409"));
    }

    // The header row's height and the handle column's width follow a drag of their inner line.
    void fixedCellsCanBeSized() {
        Window w;
        EntryGrid* grid = w.grid();
        QHeaderView* top = grid->horizontalHeader();
        QHeaderView* side = grid->verticalHeader();
        QCOMPARE(top->height(), 20);
        QCOMPARE(side->width(), EntryGrid::kHandleWidth);
        QTest::mousePress(top->viewport(), Qt::LeftButton, {}, QPoint(100, 19));
        QTest::mouseMove(top->viewport(), QPoint(100, 45));
        QTest::mouseRelease(top->viewport(), Qt::LeftButton, {}, QPoint(100, 45));
        QCOMPARE(top->height(), 46);
        QTest::mousePress(side->viewport(), Qt::LeftButton, {}, QPoint(20, 5));
        QTest::mouseMove(side->viewport(), QPoint(60, 5));
        QTest::mouseRelease(side->viewport(), Qt::LeftButton, {}, QPoint(60, 5));
        QCOMPARE(side->width(), 61);
        QCOMPARE(grid->viewport()->geometry().topLeft(),
                 QPoint(61, 46) + QPoint(grid->frameWidth(), grid->frameWidth()));
        QCOMPARE(grid->rowHeight(1), 20); // the entry rows keep theirs
    }

    // The file carries 31 characters of the face name back; the dialog holds it to that.
    void fontDialogHoldsTheFaceName() {
        FieldFont font;
        font.face = "Arial";
        FieldFontDialog dialog(font);
        QLineEdit* face = dialog.faceBox()->lineEdit();
        face->selectAll();
        QTest::keyClicks(face, QString(40, QLatin1Char('F')));
        QCOMPARE(dialog.font().face, std::string(31, 'F'));
        for (int i = 0; i < dialog.faceBox()->count(); ++i)
            QVERIFY(dialog.faceBox()->itemText(i).size() <= 31);
    }

    // Qt's own buttons and the stand-in find and font dialogs follow the system's language;
    // the program's own texts do not.
    void systemLanguageInDialogs() {
        QCOMPARE(installSystemTranslations(QLocale(QLocale::English)).size(), 0);
        const QList<QTranslator*> russian = installSystemTranslations(QLocale(QLocale::Russian));
        QCOMPARE(russian.size(), 2);
        QDialogButtonBox buttons(QDialogButtonBox::Yes | QDialogButtonBox::No |
                                 QDialogButtonBox::Cancel | QDialogButtonBox::Ok);
        QCOMPARE(buttons.button(QDialogButtonBox::Yes)->text(), QStringLiteral("&Да"));
        QCOMPARE(buttons.button(QDialogButtonBox::No)->text(), QStringLiteral("&Нет"));
        QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Отмена"));
        QCOMPARE(FindDialog().windowTitle(), QStringLiteral("Найти"));
        QCOMPARE(FieldFontDialog(FieldFont{}).windowTitle(), QStringLiteral("Шрифт"));
        QCOMPARE(Window(false).menu("N1")->title(), QStringLiteral("&File"));
        qDeleteAll(russian);
        QDialogButtonBox english(QDialogButtonBox::Cancel);
        QCOMPARE(english.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Cancel"));
    }
};

QTEST_MAIN(TestWindowUsage)
#include "test_window_usage.moc"
