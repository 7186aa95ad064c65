// Field fonts and the font size: the font commands and where each font shows, the size
// box, the field font dialog, colours, and a Cyrillic column whose file keeps its bytes.
#include "gui/widgets/field_font_dialog.h"
#include "gui/widgets/field_fonts.h"
#include "platform/codepage.h"
#include "support/window_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFontInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolButton>

using namespace lexanta;
using namespace lexanta::test;

namespace {

// Width of the ink in a grid cell, in pixels (the row clips a tall font's height).
int inkWidth(EntryGrid* grid, int column, int row) {
    const QImage shot = grid->viewport()->grab().toImage();
    const QRect cell = grid->visualRect(grid->model()->index(row - 1, column - 1));
    int left = -1, right = -1;
    for (int x = cell.left(); x <= cell.right(); ++x)
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            if (shot.pixelColor(x, y).lightness() < 128) {
                if (left < 0)
                    left = x;
                right = x;
                break;
            }
    return left < 0 ? 0 : right - left + 1;
}

FieldFont arial16Bold() {
    FieldFont f;
    f.face = "Arial";
    f.pointSize = 16;
    f.color = kColorBlack;
    f.bold = true;
    return f;
}

} // namespace

class TestFieldFonts : public QObject {
    Q_OBJECT

private slots:
    void answerFontShowsEverywhere_data() {
        QTest::addColumn<QString>("via");
        QTest::newRow("Preferences button") << "preferences";
        QTest::newRow("box button") << "box button";
        QTest::newRow("Alt+Down in the box") << "alt down";
    }

    void answerFontShowsEverywhere() {
        QFETCH(QString, via);
        Window w;
        MainWindow& f = *w.form;
        w.setRows({QStringLiteral("Hg|Hg|Hg"), QStringLiteral("Hg|Hg|Hg")});
        w.clickCell(1, 1); // Edit Words, where Up and Down walk
        w.dialogs.fontAnswers.push_back(arial16Bold());
        if (via == QLatin1String("preferences")) {
            QTest::mouseClick(w.control<QPushButton>("ChangeFont2"), Qt::LeftButton);
        } else if (via == QLatin1String("box button")) {
            w.box(1)->button()->trigger();
        } else {
            w.clickBox(1);
            Window::key(Qt::Key_Down, Qt::AltModifier);
            // The key that opened the dialog does not walk the entries.
            QCOMPARE(f.grid()->row(), 1);
        }
        QCOMPARE(w.dialogs.fontDialogsShown, 1);
        QVERIFY(w.doc().font(kAnswer) == arial16Bold());

        // the box at 10 points, the sample at 12, the test box at the font's own 16
        const QFont box = w.box(1)->font();
        QCOMPARE(box.family(), QStringLiteral("Arial"));
        for (const auto& [font, size] : {std::pair{box, 10},
                                         {w.label("Label13")->font(), 12},
                                         {w.edit("Edit6")->font(), 16}}) {
            QCOMPARE(font.pointSize(), size);
            QVERIFY(font.bold());
        }
        // Arial is shown by its metric-compatible stand-in; the font keeps its name.
        QCOMPARE(QFontInfo(box).family(), QStringLiteral("Liberation Sans"));
        // The rows keep the height the size box gave them.
        QCOMPARE(f.grid()->rowHeight(1), 20);
        // The answer column paints at 16 points, the question column still at 10 (row 2 is
        // not under the editor).
        const int answer = inkWidth(f.grid(), 2, 2), question = inkWidth(f.grid(), 1, 2);
        QVERIFY2(answer > question * 14 / 10,
                 qPrintable(QStringLiteral("%1 vs %2").arg(answer).arg(question)));
        // The grid's own font follows at the next selection of an answer cell.
        w.clickCell(2, 1);
        QCOMPARE(f.grid()->font().pointSize(), 16);
        QVERIFY(w.editor()->font().bold());
    }

    // The header row keeps its fixed regular font whatever the selected column's font.
    void headerRowFontIsFixed() {
        Window w;
        w.setRows({QStringLiteral("a|b|c")});
        const std::array<std::pair<bool FieldFont::*, int>, 3> styles{
            {{&FieldFont::bold, kQuestion},
             {&FieldFont::italic, kAnswer},
             {&FieldFont::underline, kComment}}};
        for (const auto& [style, field] : styles) {
            FieldFont font = w.doc().font(field);
            font.*style = true;
            font.strikeOut = true;
            w.doc().setFont(field, font);
        }
        for (int column = 1; column <= 3; ++column) {
            w.clickCell(column, 1);
            QVERIFY(w.editor()->font().strikeOut()); // the field font reached the cell
            const QFont header = w.grid()->horizontalHeader()->font();
            QCOMPARE(header.family(), QStringLiteral("MS Sans Serif"));
            QCOMPARE(header.pointSize(), 10);
            QVERIFY2(!header.bold() && !header.italic() && !header.underline() &&
                         !header.strikeOut(),
                     qPrintable(header.toString()));
        }
    }

    // After Swap the current cell shows its column's new font at once.
    void swapGivesTheCellItsNewFont() {
        Window w;
        w.setRows({QStringLiteral("cat|Katze|"), QStringLiteral("dog|Hund|")});
        FieldFont answer = w.doc().font(kAnswer);
        answer.face = "Courier New";
        answer.italic = true;
        w.doc().setFont(kAnswer, answer);
        w.clickCell(1, 2);
        QVERIFY(!w.editor()->font().italic());
        w.form->lists().swapQuestionAnswer();
        QCOMPARE(w.editor()->text(), QStringLiteral("Hund"));
        QCOMPARE(w.grid()->font().family(), QStringLiteral("Courier New"));
        QVERIFY(w.editor()->font().italic());
    }

    // Each face is offered once, as the font database names it; typing it keeps that name.
    void facesOfferedOnce() {
        FieldFontDialog dialog(FieldFont{});
        QStringList folded;
        for (int i = 0; i < dialog.faceBox()->count(); ++i)
            folded << dialog.faceBox()->itemText(i).toCaseFolded();
        const qsizetype offered = folded.size();
        folded.removeDuplicates();
        QCOMPARE(folded.size(), offered);
        QVERIFY(dialog.faceBox()->findText(QStringLiteral("Courier New")) >= 0);
        for (const char* typed : {"Arial", "Courier New"}) {
            dialog.faceBox()->lineEdit()->clear();
            QTest::keyClicks(dialog.faceBox()->lineEdit(), QString::fromLatin1(typed));
            QCOMPARE(QString::fromStdString(dialog.font().face), QString::fromLatin1(typed));
        }
    }

    void sizeBoxSetsFontsAndRows() {
        Window w;
        MainWindow& f = *w.form;
        w.setRows({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        f.grid()->setRowHeight(1, 45); // grid row 2, sized by hand
        const QFont sample = w.label("Label12")->font();
        w.control<QSpinBox>("RxSpinEdit1")->setFocus();
        w.control<QSpinBox>("RxSpinEdit1")->selectAll();
        Window::type(QStringLiteral("14"));
        QCOMPARE(w.control<QSpinBox>("RxSpinEdit1")->value(), 14);
        for (int row = 0; row < w.rowCount(); ++row)
            QCOMPARE(f.grid()->rowHeight(row), 28);
        for (int field = 0; field < 3; ++field) {
            QCOMPARE(w.doc().font(field).pointSize, 14);
            QCOMPARE(w.box(field)->font().pointSize(), 10);
        }
        QCOMPARE(f.grid()->font().pointSize(), 14);
        QCOMPARE(w.label("Label12")->font(), sample);
        // The arrow keys step the box.
        Window::key(Qt::Key_Up);
        QCOMPARE(f.grid()->rowHeight(2), 30);
    }

    void cancelChangesNothing() {
        Window w;
        const std::array<FieldFont, 3> fonts = w.doc().header().fonts;
        const QFont box = w.box(0)->font(), test = w.edit("Edit5")->font(),
                    sample = w.label("Label12")->font();
        w.dialogs.fontAnswers.push_back(std::nullopt);
        QTest::mouseClick(w.control<QPushButton>("ChangeFont1"), Qt::LeftButton);
        QCOMPARE(w.dialogs.fontDialogsShown, 1);
        QVERIFY(w.doc().header().fonts == fonts);
        QCOMPARE(w.box(0)->font(), box);
        QCOMPARE(w.edit("Edit5")->font(), test);
        QCOMPARE(w.label("Label12")->font(), sample);
    }

    void storedSize_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("shown");
        QTest::addColumn<int>("fontSize"); // of the field fonts afterwards
        QTest::newRow("30 shows as 24") << QByteArray("30") << 24 << 24;
        QTest::newRow("3 shows as 6") << QByteArray("3") << 6 << 6;
        QTest::newRow("the value already shown runs no size rule") << QByteArray("10") << 10 << 16;
    }

    void storedSize() {
        QFETCH(QByteArray, stored);
        QFETCH(int, shown);
        QFETCH(int, fontSize);
        Window w;
        MainWindow& f = *w.form;
        // The fonts carry 16 points from an earlier font choice.
        for (int field = 0; field < 3; ++field) {
            FieldFont font = w.doc().font(field);
            font.pointSize = 16;
            w.doc().setFont(field, font);
        }
        QByteArray bytes = Window::read(kRussian);
        QVERIFY(bytes.contains("00000409\r\n10\r\nArial"));
        bytes.replace("00000409\r\n10\r\nArial", "00000409\r\n" + stored + "\r\nArial");
        f.files().loadFile(w.write(QStringLiteral("sized.lut"), bytes));
        QCOMPARE(w.control<QSpinBox>("RxSpinEdit1")->value(), shown);
        for (int field = 0; field < 3; ++field)
            QCOMPARE(w.doc().font(field).pointSize, fontSize);
        QCOMPARE(f.grid()->rowHeight(1), 2 * shown);
    }

    void dialogKeepsWhatIsNotChanged() {
        FieldFont font;
        font.face = "MS Sans Serif"; // not installed here
        font.pointSize = 13;
        font.color = static_cast<std::int32_t>(0x80000012u); // button text
        font.italic = true;
        font.strikeOut = true;
        font.charset = 77; // a set the list does not name
        FieldFontDialog dialog(font);
        QCOMPARE(dialog.faceBox()->currentText(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(dialog.scriptBox()->currentText(), QStringLiteral("Script 77"));
        QVERIFY(dialog.font() == font);

        FieldFont custom;
        custom.color = 0x123456;
        FieldFontDialog second(custom);
        QCOMPARE(second.colorBox()->currentText(), QStringLiteral("#563412"));
        QVERIFY(second.font() == custom);
    }

    void dialogReadsItsControls() {
        FieldFont font;
        FieldFontDialog dialog(font);
        dialog.faceBox()->setCurrentText(QStringLiteral("Times New Roman"));
        dialog.styleBox()->setCurrentIndex(3); // bold italic
        dialog.sizeBox()->setCurrentText(QStringLiteral("18"));
        dialog.underlineBox()->setChecked(true);
        dialog.colorBox()->setCurrentIndex(dialog.colorBox()->findText(QStringLiteral("Navy")));
        dialog.scriptBox()->setCurrentIndex(dialog.scriptBox()->findText(QStringLiteral("Greek")));
        const FieldFont chosen = dialog.font();
        QCOMPARE(QString::fromStdString(chosen.face), QStringLiteral("Times New Roman"));
        QVERIFY(chosen.bold && chosen.italic && chosen.underline && !chosen.strikeOut);
        QCOMPARE(chosen.pointSize, 18);
        QCOMPARE(chosen.color, kColorNavy);
        QCOMPARE(chosen.charset, 161);
        // The sample shows the script's letters in the chosen font.
        QVERIFY(dialog.sampleLabel()->text().contains(QStringLiteral("Ωω")));
        QCOMPARE(dialog.sampleLabel()->font().pointSize(), 18);
        QCOMPARE(QFontInfo(dialog.sampleLabel()->font()).family(),
                 QStringLiteral("Liberation Serif"));
        // A size that is no size cannot be accepted.
        QPushButton* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        QVERIFY(ok->isEnabled());
        for (const char* size : {"", "0"}) {
            dialog.sizeBox()->setCurrentText(QString::fromLatin1(size));
            QVERIFY2(!ok->isEnabled(), size);
        }
    }

    void cyrillicColumnKeepsItsBytes() {
        Window w;
        MainWindow& f = *w.form;
        f.files().loadFile(kRussian);
        QCOMPARE(w.doc().font(kAnswer).charset, 204);
        const QAbstractItemModel* model = f.grid()->model();
        QCOMPARE(model->index(0, 1).data().toString(), QStringLiteral("кошка"));

        // In place: Russian typed into the answer cell is stored in Windows-1251.
        w.clickCell(2, 1);
        Window::key(Qt::Key_End);
        Window::type(QStringLiteral("ми"));
        QCOMPARE(w.cells().text(0, kAnswer), std::string("\xEA\xEE\xF8\xEA\xE0\xEC\xE8"));
        QCOMPARE(w.box(1)->text(), QStringLiteral("кошками"));

        // In the answer box, in Edit Words mode.
        w.clickCell(1, 2);
        w.clickBox(1);
        Window::key(Qt::Key_End);
        Window::type(QStringLiteral("ёЖ"));
        QCOMPARE(w.cells().text(1, kAnswer), std::string("\xF1\xEE\xE1\xE0\xEA\xE0\xB8\xC6"));

        // A new entry in Add Words mode.
        QTest::mouseClick(w.button("SpeedItem2"), Qt::LeftButton);
        Window::type(QStringLiteral("mouse"));
        Window::key(Qt::Key_Tab);
        Window::type(QStringLiteral("мышь"));
        Window::key(Qt::Key_Return);
        QCOMPARE(w.cells().text(1, kAnswer), std::string("\xEC\xFB\xF8\xFC"));

        // The file keeps the Windows-1251 bytes.
        const QString saved = w.dir.filePath(QStringLiteral("saved.lut"));
        w.dialogs.fileAnswers.push_back({saved});
        QVERIFY(f.files().saveAs());
        const QByteArray bytes = Window::read(saved);
        QVERIFY(bytes.contains("\r\n\xEA\xEE\xF8\xEA\xE0\xEC\xE8\r\n"));
        QVERIFY(bytes.contains("\r\n\xEC\xFB\xF8\xFC\r\n"));
    }

    void unencodableTextIsRefused() {
        Window w;
        MainWindow& f = *w.form;
        f.files().loadFile(kRussian);
        const std::string before(w.cells().text(0, kAnswer));
        w.clickCell(2, 1);
        Window::key(Qt::Key_End);
        f.statusBar()->clearMessage();
        Window::type(QStringLiteral("ü"));
        QCOMPARE(w.cells().text(0, kAnswer), before);
        QCOMPARE(w.editor()->text(), QStringLiteral("кошка"));
        QVERIFY(f.statusBar()->currentMessage().contains(QStringLiteral("Cyrillic")));
        QVERIFY(f.statusBar()->currentMessage().contains(QStringLiteral("ü")));

        // The same in the answer box.
        w.clickBox(1);
        Window::key(Qt::Key_End);
        f.statusBar()->clearMessage();
        Window::type(QStringLiteral("ß"));
        QCOMPARE(w.box(1)->text(), QStringLiteral("кошка"));
        QCOMPARE(w.cells().text(0, kAnswer), before);
        QVERIFY(f.statusBar()->currentMessage().contains(QStringLiteral("ß")));
    }

    // Russian answers that a Western page cannot hold: the question names them; converting or
    // keeping leaves their bytes, Cancel leaves the script.
    void changingTheScriptAsks_data() {
        QTest::addColumn<MsgResult>("answer");
        QTest::addColumn<int>("charset");
        QTest::newRow("convert") << MsgResult::Yes << 0;
        QTest::newRow("keep the bytes") << MsgResult::No << 0;
        QTest::newRow("cancel") << MsgResult::Cancel << 204;
    }
    void changingTheScriptAsks() {
        QFETCH(MsgResult, answer);
        QFETCH(int, charset);
        Window w;
        MainWindow& f = *w.form;
        f.files().loadFile(kRussian);
        w.clickCell(2, 1);
        const std::string before(w.cells().text(0, kAnswer));
        FieldFont western = w.doc().font(kAnswer);
        western.charset = 0;
        w.dialogs.fontAnswers.push_back(western);
        w.dialogs.messageAnswers.push_back(answer);
        QTest::mouseClick(w.control<QPushButton>("ChangeFont2"), Qt::LeftButton);
        QCOMPARE(w.dialogs.messages.size(), std::size_t(1));
        QVERIFY(w.dialogs.messages[0].text.contains("entries 1, 2 would keep their bytes"));
        QCOMPARE(w.doc().font(kAnswer).charset, charset);
        QCOMPARE(w.cells().text(0, kAnswer), before);
        if (answer == MsgResult::Cancel)
            return;
        const QString shown = CodePage::get(1252).decode(before);
        QCOMPARE(f.grid()->model()->index(0, 1).data().toString(), shown);
        QCOMPARE(w.box(1)->text(), shown);
        QCOMPARE(w.editor()->text(), shown);
        // A key in the box writes nothing new: the row is still in step with the box.
        w.clickBox(1);
        Window::key(Qt::Key_End);
        QCOMPARE(w.cells().text(0, kAnswer), before);
    }
};

QTEST_MAIN(TestFieldFonts)
#include "test_field_fonts.moc"
