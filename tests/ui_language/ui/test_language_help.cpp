// The language commands, the help command and the About box of the main window.
#include "support/window_fixture.h"
#include "ui_language/ui/about_box.h"

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
QStringList untouchedTexts(TForm1& form) {
    QStringList texts;
    for (QAction* a :
         {form.SpecialImport1, form.FrequencyAnalysing1, form.English1, form.RussianMenuItem,
          form.Question1, form.Answer1, form.comment1, form.Help1})
        texts << a->text();
    for (QToolButton* b : form.SpeedBar1->allButtons())
        texts << b->text();
    texts << form.Label8->text() << form.Label12->text() << form.windowTitleText()
          << form.OKRightDlg->windowTitle() << form.OKRightDlg->RxLabel1->text();
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
        TForm1& form = *w.form;
        const QStringList untouched = untouchedTexts(form);
        const auto language = russian ? InterfaceLanguage::Russian : InterfaceLanguage::English;
        QAction* command = russian ? form.RussianMenuItem : form.English1;
        command->trigger();
        QCOMPARE(interfaceTexts().size(), std::size_t(69));
        QCOMPARE(w.shownTexts(), tableTexts(language));
        for (QToolButton* b : form.SpeedBar1->allButtons())
            QCOMPARE(b->toolTip(), shortHint(TForm1::hint(b)));
        QCOMPARE(form.IsEnglishInterface(), !russian);
        QCOMPARE(untouchedTexts(form), untouched);
        QVERIFY(!form.English1->isChecked() && !form.RussianMenuItem->isChecked());
        // the same command again changes nothing; the other brings its column back whole
        command->trigger();
        QCOMPARE(w.shownTexts(), tableTexts(language));
        (russian ? form.English1 : form.RussianMenuItem)->trigger();
        QCOMPARE(w.shownTexts(),
                 tableTexts(russian ? InterfaceLanguage::English : InterfaceLanguage::Russian));
    }

    void firstStartTexts() {
        Window w(false);
        TForm1& form = *w.form;
        QVERIFY(form.IsEnglishInterface());
        int differences = 0;
        for (const DesignText& design : firstStartDifferences())
            for (const InterfaceText& row : interfaceTexts())
                if (qstrcmp(row.control, design.control) == 0 && row.kind == design.kind) {
                    QCOMPARE(w.shownText(row), QString::fromUtf8(design.text));
                    ++differences;
                }
        QCOMPARE(differences, int(firstStartDifferences().size()));
        QCOMPARE(form.SpeedItem4->toolTip(), QStringLiteral("Load dictionary (Ctrl+L)"));
        form.English1Click();
        QCOMPARE(form.N2->text(), QStringLiteral("&Load..."));
        QCOMPARE(form.SpeedItem4->toolTip(), QStringLiteral("Load dictionary (Ctrl+O)"));
    }

    void closePromptFollowsLanguage() {
        Window w;
        w.dialogs.messageAnswers = {MsgResult::Cancel, MsgResult::Cancel};
        w.form->RussianMenuItemClick();
        w.form->close();
        w.form->English1Click();
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
        w.form->RussianMenuItemClick(); // the message is English in both languages
        UrlRecorder recorder;
        QCOMPARE(w.form->Help1->shortcut(), QKeySequence(Qt::Key_F1));
        w.form->Help1->trigger();
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
        w.form->RussianMenuItemClick(); // the box does not follow the language
        UrlRecorder recorder;
        TOKRightDlg* box = w.form->OKRightDlg;
        bool seen = false;
        QTimer::singleShot(0, [&] {
            seen = QApplication::activeModalWidget() == box;
            if (!seen)
                return;
            QCOMPARE(box->windowTitle(), QStringLiteral("About Lexanta Editor"));
            QCOMPARE(box->size(), QSize(262, 103));
            QCOMPARE(box->RxLabel1->text(), QStringLiteral("Lexanta Editor 1.80"));
            QVERIFY(!box->Label1->text().isEmpty());
            QVERIFY(box->OKBtn->isDefault());
            if (key)
                QTest::keyClick(box, static_cast<Qt::Key>(key));
            else
                QTest::mouseClick(box->OKBtn, Qt::LeftButton);
        });
        // a safety net: a box that does not close fails instead of hanging
        QTimer::singleShot(3000, [] {
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
        if (toolBar)
            w.form->SpeedItemHelp->click();
        else
            w.form->N6->trigger();
        QVERIFY(seen);
        QCOMPARE(box->result(), static_cast<int>(QDialog::Accepted));
        QVERIFY(!box->isVisible());
        QVERIFY(recorder.opened.isEmpty()); // the Help button never opens the manual
        QVERIFY(w.dialogs.messages.empty());
    }
};

QTEST_MAIN(TestLanguageHelp)
#include "test_language_help.moc"
