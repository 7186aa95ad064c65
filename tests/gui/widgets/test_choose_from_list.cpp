// The rows of a list to choose from (the unsaved work to recover: a path, a time, a count)
// are shown whole, without scrolling sideways.
#include "gui/widgets/qt_dialogs.h"

#include <QApplication>
#include <QListWidget>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

using namespace lexanta;

class TestChooseFromList : public QObject {
    Q_OBJECT

private slots:
    void rowsShownWhole() {
        const QString row =
            QStringLiteral("/home/teacher/Vocabularies/Lektion 12.lut — 11 Dec 2026 07:00, 1204 "
                           "entries");
        bool sideways = true;
        int rowWidth = 0, shown = 0;
        QTimer::singleShot(0, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            auto* list = dialog->findChild<QListWidget*>();
            QVERIFY(list);
            rowWidth = list->fontMetrics().horizontalAdvance(row);
            shown = list->viewport()->width();
            sideways = list->horizontalScrollBar()->maximum() > 0;
            dialog->close();
        });
        QtDialogs dialogs;
        int chosen = -1;
        dialogs.chooseFromList(nullptr, QStringLiteral("Choose what to recover."),
                               QStringLiteral("Recover unsaved work"), {row, row},
                               {QStringLiteral("Recover"), QStringLiteral("Later")}, chosen);
        QVERIFY2(shown >= rowWidth, qPrintable(QStringLiteral("%1 < %2").arg(shown).arg(rowWidth)));
        QVERIFY(!sideways);
    }
};

QTEST_MAIN(TestChooseFromList)
#include "test_choose_from_list.moc"
