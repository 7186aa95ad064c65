// The language commands, the help command and the About box of the main window.
#include "gui/ui_language/about_box.h"
#include "support/window_fixture.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

using namespace lexanta;
using namespace lexanta::test;

namespace {

QStringList tableTexts(InterfaceLanguage language) {
    QStringList texts;
    for (const InterfaceText& row : interfaceTexts())
        texts << row.text(language);
    return texts;
}

// Everything the language commands must leave alone.
QStringList untouchedTexts(const Window& w) {
    MainWindow& form = *w.form;
    QStringList texts;
    for (QAction* a : {w.action("SpecialImport1"), w.action("FrequencyAnalysing1"),
                       w.action("English1"), w.action("RussianMenuItem"), w.action("Question1"),
                       w.action("Answer1"), w.action("comment1"), w.action("Help1")})
        texts << a->text();
    for (QToolButton* b : form.speedBar()->allButtons())
        texts << b->text();
    texts << w.label("Label8")->text() << w.label("Label12")->text() << form.windowTitleText()
          << form.language().aboutBox()->windowTitle()
          << form.language().aboutBox()->productName->text();
    return texts;
}

// Records the file URLs the window asks the desktop to open, while it lives.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    UrlRecorder() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~UrlRecorder() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

} // namespace

class TestLanguageHelp : public QObject {
    Q_OBJECT

private slots:
    void languageCommands_data() {
        QTest::addColumn<bool>("russian");
        QTest::newRow("English") << false;
        QTest::newRow("Russian") << true;
    }
    void languageCommands() {
        QFETCH(bool, russian);
        Window w(false);
        MainWindow& form = *w.form;
        const QStringList untouched = untouchedTexts(w);
        const auto language = russian ? InterfaceLanguage::Russian : InterfaceLanguage::English;
        QAction* command = russian ? w.action("RussianMenuItem") : w.action("English1");
        command->trigger();
        QCOMPARE(interfaceTexts().size(), std::size_t(69));
        QCOMPARE(w.shownTexts(), tableTexts(language));
        for (QToolButton* b : form.speedBar()->allButtons())
            QCOMPARE(b->toolTip(), shortHint(w.form->speedBar()->hint(b)));
        QCOMPARE(form.language().isEnglishInterface(), !russian);
        QCOMPARE(untouchedTexts(w), untouched);
        // the code page choice, which no stored text names, follows as well
        QCOMPARE(w.label("CodePageLabel")->text(),
                 russian ? QStringLiteral("Кодировка:") : QStringLiteral("Code page:"));
        QVERIFY(
            w.control<QComboBox>("CodePageBox")
                ->itemText(0)
                .startsWith(russian ? QStringLiteral("Системная (") : QStringLiteral("System (")));
        QVERIFY(!w.action("English1")->isChecked() && !w.action("RussianMenuItem")->isChecked());
        // the same command again changes nothing; the other brings its column back whole
        command->trigger();
        QCOMPARE(w.shownTexts(), tableTexts(language));
        (russian ? w.action("English1") : w.action("RussianMenuItem"))->trigger();
        QCOMPARE(w.shownTexts(),
                 tableTexts(russian ? InterfaceLanguage::English : InterfaceLanguage::Russian));
    }

    void firstStartTexts() {
        Window w(false);
        MainWindow& form = *w.form;
        QVERIFY(form.language().isEnglishInterface());
        int differences = 0;
        for (const DesignText& design : firstStartDifferences())
            for (const InterfaceText& row : interfaceTexts())
                if (qstrcmp(row.control, design.control) == 0 && row.kind == design.kind) {
                    QCOMPARE(w.shownText(row), QString::fromUtf8(design.text));
                    ++differences;
                }
        QCOMPARE(differences, int(firstStartDifferences().size()));
        QCOMPARE(w.button("SpeedItem4")->toolTip(), QStringLiteral("Load dictionary (Ctrl+L)"));
        form.language().applyLanguage(InterfaceLanguage::English);
        QCOMPARE(w.action("N2")->text(), QStringLiteral("&Load..."));
        QCOMPARE(w.button("SpeedItem4")->toolTip(), QStringLiteral("Load dictionary (Ctrl+O)"));
    }

    void closePromptFollowsLanguage() {
        Window w;
        w.dialogs.messageAnswers = {MsgResult::Cancel, MsgResult::Cancel};
        w.form->language().applyLanguage(InterfaceLanguage::Russian);
        w.form->close();
        w.form->language().applyLanguage(InterfaceLanguage::English);
        w.form->close();
        QCOMPARE(w.dialogs.messageTexts(),
                 (QStringList{"Сохранить перед закрытием?", "Save Before Closing?"}));
        QCOMPARE(w.dialogs.messages.front().caption, QStringLiteral("Confimation"));
        QVERIFY(w.form->isVisible());
    }

    void help_data() {
        QTest::addColumn<QString>("where"); // of the manual
        QTest::newRow("program folder") << "program";
        QTest::newRow("installed beside the program's bin folder") << "prefix";
        QTest::newRow("user data folder") << "data";
        QTest::newRow("nowhere") << "";
    }
    void help() {
        QFETCH(QString, where);
        QTemporaryDir data;
        WindowOptions options = WindowOptions::shown(false);
        options.programFolder = data.filePath(QStringLiteral("prefix/bin"));
        Window w(options);
        const QByteArray oldHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
        const QString folder =
            where == QLatin1String("program")  ? options.programFolder + QStringLiteral("/Help")
            : where == QLatin1String("prefix") ? data.filePath("prefix/share/lexanta-editor/help")
                                               : data.filePath("lexanta-editor/help");
        const QString page = folder + QStringLiteral("/editor.html");
        if (!where.isEmpty()) {
            QDir().mkpath(folder);
            QFile(page).open(QIODevice::WriteOnly);
        }
        w.form->language().applyLanguage(
            InterfaceLanguage::Russian); // the message is English in both languages
        UrlRecorder recorder;
        QCOMPARE(w.action("Help1")->shortcut(), QKeySequence(Qt::Key_F1));
        w.action("Help1")->trigger();
        qputenv("XDG_DATA_HOME", oldHome);
        if (where.isEmpty()) {
            QVERIFY(recorder.opened.isEmpty());
            QCOMPARE(w.dialogs.messageTexts(), QStringList{"Can't find Help!"});
            QCOMPARE(w.dialogs.messages.back().caption, QStringLiteral("Error"));
            QCOMPARE(w.dialogs.messages.back().buttons, MsgButtons::Ok);
        } else {
            QCOMPARE(recorder.opened, QList<QUrl>{QUrl::fromLocalFile(page)});
            QVERIFY(w.dialogs.messages.empty());
        }
    }

    void aboutBox_data() {
        QTest::addColumn<bool>("toolBar");
        QTest::addColumn<int>("key"); // 0: OK clicked
        QTest::newRow("? > About, Enter") << false << int(Qt::Key_Return);
        QTest::newRow("tool bar Help button, Enter") << true << int(Qt::Key_Enter);
        QTest::newRow("? > About, OK clicked") << false << 0;
    }
    void aboutBox() {
        QFETCH(bool, toolBar);
        QFETCH(int, key);
        Window w;
        w.form->language().applyLanguage(
            InterfaceLanguage::Russian); // the box does not follow the language
        UrlRecorder recorder;
        AboutBox* box = w.form->language().aboutBox();
        bool seen = false;
        QTimer::singleShot(0, [&] {
            seen = QApplication::activeModalWidget() == box;
            if (!seen)
                return;
            QCOMPARE(box->windowTitle(), QStringLiteral("About Lexanta Editor"));
            QCOMPARE(box->size(), QSize(262, 103));
            QCOMPARE(box->productName->text(), QStringLiteral("Lexanta Editor 1.80"));
            QVERIFY(!box->copyright->text().isEmpty());
            QVERIFY(box->okButton->isDefault());
            if (key)
                QTest::keyClick(box, static_cast<Qt::Key>(key));
            else
                QTest::mouseClick(box->okButton, Qt::LeftButton);
        });
        // a safety net: a box that does not close fails instead of hanging
        QTimer::singleShot(3000, [] {
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
        if (toolBar)
            w.button("SpeedItemHelp")->click();
        else
            w.action("N6")->trigger();
        QVERIFY(seen);
        QCOMPARE(box->result(), static_cast<int>(QDialog::Accepted));
        QVERIFY(!box->isVisible());
        QVERIFY(recorder.opened.isEmpty()); // the Help button never opens the manual
        QVERIFY(w.dialogs.messages.empty());
    }
};

QTEST_MAIN(TestLanguageHelp)
#include "test_language_help.moc"
