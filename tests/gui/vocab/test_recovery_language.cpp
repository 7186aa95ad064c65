// The offer of unsaved work left by a crash, its question before a copy is discarded and the
// notice that no copy can be kept speak the language of the interface, and no two buttons of a
// box share an Alt letter.
#include "document/recovery_copy.h"
#include "gui/vocab/crash_recovery.h"
#include "gui/widgets/qt_dialogs.h"
#include "support/mnemonics.h"
#include "support/window_fixture.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

using namespace lexanta;
using lexanta::test::WindowOptions;

namespace {

// tests/data/recovery_texts/LANGUAGE.txt: "key<TAB>text" lines, "\n" standing for a line break.
QMap<QString, QString> expectedTexts(const QString& language) {
    QFile file(QStringLiteral(LEXANTA_TEST_DATA "/recovery_texts/") + language +
               QStringLiteral(".txt"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(file.fileName()));
    QMap<QString, QString> texts;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n')))
        if (line.contains(QLatin1Char('\t')))
            texts.insert(line.section(QLatin1Char('\t'), 0, 0),
                         line.section(QLatin1Char('\t'), 1)
                             .replace(QStringLiteral("\\n"), QStringLiteral("\n")));
    return texts;
}

// What a modal box showed.
struct Shown {
    QString title, text;
    QStringList buttons, rows, clashes;
};

Shown inspect(QWidget* box) {
    Shown shown{box->windowTitle(), {}, {}, {}, test::clashes(box)};
    if (auto* message = qobject_cast<QMessageBox*>(box))
        shown.text = message->text();
    else if (auto* label = box->findChild<QLabel*>())
        shown.text = label->text();
    for (const QPushButton* button : box->findChildren<QPushButton*>())
        if (button->isVisibleTo(box))
            shown.buttons << button->text();
    if (auto* list = box->findChild<QListWidget*>())
        for (int i = 0; i < list->count(); ++i)
            shown.rows << list->item(i)->text();
    return shown;
}

} // namespace

class TestRecoveryLanguage : public QObject {
    Q_OBJECT

private slots:
    void offer_data() {
        QTest::addColumn<QString>("language");
        QTest::newRow("Russian") << "russian";
        QTest::newRow("English") << "english";
    }

    // Discard asks first, No keeps the copy, and Later ends the offer.
    void offer() {
        QFETCH(QString, language);
        const QMap<QString, QString> texts = expectedTexts(language);
        QTemporaryDir folder;
        DocumentSnapshot left;
        left.vocabulary.entries.setEntryCount(3);
        const QString copy = folder.filePath(QStringLiteral("0b1c-1.lexanta-recovery"));
        QFile file(copy);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            QByteArray::fromStdString(recoveryCopyBytes(left, QDateTime::currentDateTimeUtc())));
        file.close();

        Document document;
        QtDialogs dialogs;
        QWidget owner;
        CrashRecovery recovery(document, dialogs, &owner, folder.path());
        recovery.setLanguageTest([&] { return language == QLatin1String("english"); });
        const QStringList buttons = texts[QStringLiteral("buttons")].split(QLatin1Char('|'));
        const QStringList answers = texts[QStringLiteral("answers")].split(QLatin1Char('|'));
        const QStringList presses = {buttons.value(1), answers.value(1), buttons.value(2)};
        std::vector<Shown> shown;
        QPointer<QWidget> last;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            QWidget* box = QApplication::activeModalWidget();
            if (!box || box == last || !box->isVisible())
                return;
            last = box;
            shown.push_back(inspect(box));
            // A box without the button expected is closed, which ends the offer too.
            const QString press = presses.value(static_cast<qsizetype>(shown.size()) - 1);
            QPushButton* next = nullptr;
            for (QPushButton* b : box->findChildren<QPushButton*>())
                if (b->text() == press)
                    next = b;
            if (next)
                next->click();
            else
                box->close();
        });
        poll.start(20);
        recovery.offerLeftCopies();
        poll.stop();

        QCOMPARE(shown.size(), std::size_t(3));
        QVERIFY(QFile::exists(copy));
        for (const Shown& offer : {shown[0], shown[2]}) {
            QCOMPARE(offer.title, texts[QStringLiteral("caption")]);
            QCOMPARE(offer.text, texts[QStringLiteral("offer")]);
            QCOMPARE(offer.buttons, buttons);
            QCOMPARE(offer.clashes, QStringList());
            QCOMPARE(offer.rows.size(), 1);
            QVERIFY2(offer.rows[0].startsWith(texts[QStringLiteral("never saved")]) &&
                         offer.rows[0].endsWith(texts[QStringLiteral("entries")]),
                     qPrintable(offer.rows[0]));
        }
        QCOMPARE(shown[1].title, texts[QStringLiteral("caption")]);
        QCOMPARE(shown[1].text, texts[QStringLiteral("discard")].arg(shown[0].rows.value(0)));
        QCOMPARE(shown[1].buttons, answers);
        QCOMPARE(shown[1].clashes, QStringList());
    }

    // Said in the status bar in the language of the moment, and again when it changes.
    void troubleFollowsTheLanguage() {
        QTemporaryDir dir;
        QFile blocker(dir.filePath(QStringLiteral("file")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        WindowOptions options = WindowOptions::shown(false);
        options.dataFolder = blocker.fileName() + QStringLiteral("/recovery");
        test::Window w(options);
        auto* notice = w.form->findChild<QLabel*>(QStringLiteral("RecoveryTrouble"));
        QVERIFY(notice);
        QTRY_VERIFY(!notice->text().isEmpty());
        for (const char* language : {"russian", "english"}) {
            w.form->language().applyLanguage(*language == 'r' ? InterfaceLanguage::Russian
                                                              : InterfaceLanguage::English);
            QCOMPARE(notice->text(),
                     expectedTexts(QLatin1String(language))[QStringLiteral("trouble")].arg(
                         options.dataFolder));
        }
    }
};

QTEST_MAIN(TestRecoveryLanguage)
#include "test_recovery_language.moc"
