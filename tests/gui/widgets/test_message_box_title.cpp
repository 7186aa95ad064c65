// A message box is wide enough for its title and the title bar's buttons, whatever its text.
#include "gui/widgets/qt_dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace lexanta;

class TestMessageBoxTitle : public QObject {
    Q_OBJECT

private slots:
    void titleFits_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("caption");
        QTest::newRow("end of search") << "End of vocabulary reached!"
                                       << "End of document";
        QTest::newRow("short text") << "File Not Found"
                                    << "Error";
        QTest::newRow("long title") << "?"
                                    << "Character Set of the Answers Field";
    }
    void titleFits() {
        QFETCH(QString, text);
        QFETCH(QString, caption);
        int width = 0, titleWidth = 0;
        QTimer::singleShot(0, [&] {
            QWidget* box = QApplication::activeModalWidget();
            QVERIFY(box);
            QFont bold = box->font();
            bold.setBold(true);
            titleWidth = QFontMetrics(bold).horizontalAdvance(caption);
            width = box->width();
            box->close();
        });
        QtDialogs dialogs;
        dialogs.messageBox(nullptr, text, caption, MsgIcon::None, MsgButtons::Ok);
        // Room for the icon and three buttons of a title bar beside the title.
        QVERIFY2(width >= titleWidth + 100,
                 qPrintable(QString("%1 < %2").arg(width).arg(titleWidth)));
    }
};

QTEST_MAIN(TestMessageBoxTitle)
#include "test_message_box_title.moc"
