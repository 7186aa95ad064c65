// The language commands, the help command and the About box of the main window.
#include "app/speed_bar.h"
#include "app/tform1.h"
#include "platform/keyboard_layouts.h"
#include "support/scripted_dialogs.h"
#include "ui_language/language_tables.h"
#include "ui_language/ui/about_box.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

using namespace lexanta;
using lexanta::test::ScriptedDialogs;

namespace {

struct Fixture {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    MemoryKeyboardLayouts layouts;
    std::unique_ptr<TForm1> form;

    Fixture() {
        FormServices s;
        s.dialogs = &dialogs;
        s.keyboardLayouts = &layouts;
        s.restoreSettings = false;
        s.programFolder = dir.path();
        s.configFolder = dir.path();
        form = std::make_unique<TForm1>(s);
    }
};

QString shownText(TForm1& form, const InterfaceText& row) {
    const QString name = QString::fromLatin1(row.control);
    if (row.kind == TextKind::Hint)
        return TForm1::hint(form.SpeedBar1->button(name));
    if (row.kind == TextKind::Filter) {
        const std::pair<const char*, const FileDialogState*> dialogs[] = {
            {"OpenDialog1", &form.OpenDialog1},
            {"SaveDialog1", &form.SaveDialog1},
            {"OpenDialog2", &form.OpenDialog2},
            {"SaveDialog2", &form.SaveDialog2}};
        for (const auto& [n, d] : dialogs)
            if (name == QLatin1String(n))
                return d->filter;
        return QStringLiteral("<no dialog>");
    }
    for (const SpeedBar::Section& s : form.SpeedBar1->sections())
        if (s.objectName == name)
            return s.caption;
    QObject* control = form.findChild<QObject*>(name);
    if (auto* page = qobject_cast<QWidget*>(control); page && form.PageControl1->indexOf(page) >= 0)
        return form.PageControl1->tabText(form.PageControl1->indexOf(page));
    if (auto* m = qobject_cast<QMenu*>(control))
        return m->title();
    if (auto* a = qobject_cast<QAction*>(control))
        return a->text();
    if (auto* g = qobject_cast<QGroupBox*>(control))
        return g->title();
    if (auto* l = qobject_cast<QLabel*>(control))
        return l->text();
    if (auto* b = qobject_cast<QAbstractButton*>(control))
        return b->text();
    return QStringLiteral("<no control>");
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

class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

// Runs `check` on the modal dialog once it is shown, then presses `key` in it (0: none).
void onModal(std::function<void(QWidget*)> check, int key) {
    QTimer::singleShot(0, [check, key] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        check(modal);
        if (key)
            QTest::keyClick(modal, static_cast<Qt::Key>(key));
    });
}

} // namespace

class TestLanguageHelp : public QObject {
    Q_OBJECT

private slots:
    void languageCommands_data();
    void languageCommands();
    void firstStartTexts();
    void closePromptFollowsLanguage();
    void helpOpensTheManual();
    void helpFromTheDataFolder();
    void helpMissing();
    void aboutBox_data();
    void aboutBox();
};

void TestLanguageHelp::languageCommands_data() {
    QTest::addColumn<bool>("russian");
    QTest::newRow("English") << false;
    QTest::newRow("Russian") << true;
}

void TestLanguageHelp::languageCommands() {
    QFETCH(bool, russian);
    Fixture f;
    TForm1& form = *f.form;
    const QStringList untouched = untouchedTexts(form);
    const auto language = russian ? InterfaceLanguage::Russian : InterfaceLanguage::English;
    const auto command = [&] {
        russian ? form.RussianMenuItem->trigger() : form.English1->trigger();
    };
    command();
    int set = 0;
    for (const InterfaceText& row : interfaceTexts()) {
        QCOMPARE(shownText(form, row), row.text(language));
        ++set;
    }
    QCOMPARE(set, 69);
    for (QToolButton* b : form.SpeedBar1->allButtons())
        QCOMPARE(b->toolTip(), shortHint(TForm1::hint(b)));
    QCOMPARE(form.IsEnglishInterface(), !russian);
    QCOMPARE(untouchedTexts(form), untouched);
    QVERIFY(!form.English1->isChecked() && !form.RussianMenuItem->isChecked());
    // the same command again changes nothing
    QStringList before;
    for (const InterfaceText& row : interfaceTexts())
        before << shownText(form, row);
    command();
    QStringList after;
    for (const InterfaceText& row : interfaceTexts())
        after << shownText(form, row);
    QCOMPARE(after, before);
    // and the other language brings the other column back whole
    russian ? form.English1Click() : form.RussianMenuItemClick();
    for (const InterfaceText& row : interfaceTexts())
        QCOMPARE(shownText(form, row),
                 row.text(russian ? InterfaceLanguage::English : InterfaceLanguage::Russian));
}

void TestLanguageHelp::firstStartTexts() {
    Fixture f;
    TForm1& form = *f.form;
    QVERIFY(form.IsEnglishInterface());
    for (const DesignText& design : firstStartDifferences()) {
        for (const InterfaceText& row : interfaceTexts())
            if (qstrcmp(row.control, design.control) == 0 && row.kind == design.kind)
                QCOMPARE(shownText(form, row), QString::fromUtf8(design.text));
    }
    QCOMPARE(form.SpeedItem4->toolTip(), QStringLiteral("Load dictionary (Ctrl+L)"));
    form.English1Click();
    QCOMPARE(form.N2->text(), QStringLiteral("&Load..."));
    QCOMPARE(form.SpeedItem4->toolTip(), QStringLiteral("Load dictionary (Ctrl+O)"));
}

void TestLanguageHelp::closePromptFollowsLanguage() {
    Fixture f;
    f.form->show();
    f.dialogs.messageAnswers = {MsgResult::Cancel, MsgResult::Cancel};
    f.form->RussianMenuItemClick();
    f.form->close();
    f.form->English1Click();
    f.form->close();
    QCOMPARE(f.dialogs.messageTexts(),
             (QStringList{"Сохранить перед закрытием?", "Save Before Closing?"}));
    QCOMPARE(f.dialogs.messages.front().caption, QStringLiteral("Confimation"));
    QVERIFY(f.form->isVisible());
}

void TestLanguageHelp::helpOpensTheManual() {
    Fixture f;
    QDir(f.dir.path()).mkpath(QStringLiteral("Help"));
    const QString page = f.dir.filePath(QStringLiteral("Help/editor.html"));
    QFile file(page);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<html></html>");
    file.close();
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
    QCOMPARE(f.form->Help1->shortcut(), QKeySequence(Qt::Key_F1));
    f.form->Help1->trigger();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCOMPARE(recorder.opened, QList<QUrl>{QUrl::fromLocalFile(page)});
    QVERIFY(f.dialogs.messages.empty());
}

void TestLanguageHelp::helpFromTheDataFolder() {
    Fixture f;
    QTemporaryDir data;
    QDir(data.path()).mkpath(QStringLiteral("lexanta-editor/Help"));
    const QString page = data.filePath(QStringLiteral("lexanta-editor/Help/editor.html"));
    QFile file(page);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const QByteArray oldHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
    f.form->Help1Click();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    qputenv("XDG_DATA_HOME", oldHome);
    QCOMPARE(recorder.opened, QList<QUrl>{QUrl::fromLocalFile(page)});
}

void TestLanguageHelp::helpMissing() {
    Fixture f;
    f.form->RussianMenuItemClick(); // the message is English in both languages
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
    f.form->Help1Click();
    f.form->Help1Click();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QVERIFY(recorder.opened.isEmpty());
    QCOMPARE(f.dialogs.messageTexts(), (QStringList{"Can't find Help!", "Can't find Help!"}));
    QCOMPARE(f.dialogs.messages.back().caption, QStringLiteral("Error"));
    QCOMPARE(f.dialogs.messages.back().icon, MsgIcon::None);
    QCOMPARE(f.dialogs.messages.back().buttons, MsgButtons::Ok);
}

void TestLanguageHelp::aboutBox_data() {
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<int>("key");
    QTest::newRow("? > About, Enter") << "N6" << static_cast<int>(Qt::Key_Return);
    QTest::newRow("tool bar Help button, Enter")
        << "SpeedItemHelp" << static_cast<int>(Qt::Key_Enter);
    QTest::newRow("? > About, OK clicked") << "N6" << 0;
}

void TestLanguageHelp::aboutBox() {
    QFETCH(QString, trigger);
    QFETCH(int, key);
    Fixture f;
    f.form->show();
    f.form->RussianMenuItemClick(); // the box does not follow the language
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
    bool seen = false;
    onModal(
        [&](QWidget* modal) {
            auto* box = qobject_cast<TOKRightDlg*>(modal);
            QVERIFY(box);
            seen = true;
            QCOMPARE(box, f.form->OKRightDlg);
            QCOMPARE(box->windowTitle(), QStringLiteral("About Lexanta Editor"));
            QCOMPARE(box->size(), QSize(262, 103));
            QCOMPARE(box->RxLabel1->text(), QStringLiteral("Lexanta Editor 1.80"));
            QCOMPARE(box->RxLabel1->textColor(), QColor(Qt::red));
            QCOMPARE(box->RxLabel1->shadowOffset(), QPoint(-1, -1));
            QCOMPARE(box->RxLabel1->geometry(), QRect(16, 16, 214, 24));
            QVERIFY(!box->Label1->text().isEmpty());
            QCOMPARE(box->OKBtn->text(), QStringLiteral("OK"));
            QCOMPARE(box->OKBtn->geometry(), QRect(94, 64, 75, 25));
            QVERIFY(box->OKBtn->isDefault());
            if (!key)
                QTest::mouseClick(box->OKBtn, Qt::LeftButton);
        },
        key);
    // a safety net: a box that does not close with the key fails instead of hanging
    QTimer::singleShot(3000, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    if (trigger == QLatin1String("N6"))
        f.form->N6->trigger();
    else
        f.form->SpeedItemHelp->click();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QVERIFY(seen);
    QCOMPARE(f.form->OKRightDlg->result(), static_cast<int>(QDialog::Accepted));
    QVERIFY(!f.form->OKRightDlg->isVisible());
    QVERIFY(recorder.opened.isEmpty()); // the Help button never opens the manual
    QVERIFY(f.dialogs.messages.empty());
}

QTEST_MAIN(TestLanguageHelp)
#include "test_language_help.moc"
