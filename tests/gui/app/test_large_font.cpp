// The window on a desktop whose font is larger than the design's (a larger system font, a
// higher font DPI), in both interface languages: no caption, box or button text is cut or
// covered by the control beside it, and at the design font every control keeps its place.
#include "support/window_fixture.h"

#include <QAbstractButton>
#include <QScrollArea>
#include <QStyle>

using namespace lexanta;
using namespace lexanta::test;

namespace {

// Where `control`'s text is drawn; empty for a control that shows no text of its own.
QRect textArea(const QWidget* control) {
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        if (label->wordWrap() || label->text().isEmpty())
            return {};
        const QSize text = label->fontMetrics().size(Qt::TextShowMnemonic, label->text());
        return QStyle::alignedRect(Qt::LeftToRight, label->alignment(), text, label->geometry());
    }
    if (qobject_cast<const QAbstractButton*>(control))
        return QRect(control->pos(), QSize(control->sizeHint().width(), control->height()));
    return {};
}

// Each shown text of `page`'s controls lies whole inside its control and no sibling covers it.
QStringList cutTexts(const QWidget* page) {
    QStringList cut;
    for (const QWidget* control : page->findChildren<QWidget*>()) {
        if (const auto* box = qobject_cast<const QSpinBox*>(control)) {
            // the largest value inside the line edit's margins of 2 pixels a side
            const int text = box->fontMetrics().horizontalAdvance(QString::number(box->maximum()));
            if (box->findChild<QLineEdit*>()->width() < text + 4)
                cut << box->objectName() + QStringLiteral(" is cut");
            continue;
        }
        const QRect text = textArea(control);
        if (text.isEmpty() || control->objectName().isEmpty() || !control->isVisibleTo(page))
            continue;
        if (!control->geometry().contains(text))
            cut << control->objectName() + QString::fromLatin1(control->metaObject()->className()) +
                       QStringLiteral(" is cut");
        for (const QObject* o : control->parentWidget()->children()) {
            const auto* sibling = qobject_cast<const QWidget*>(o);
            if (sibling && sibling != control && sibling->isVisibleTo(page) &&
                sibling->geometry().intersects(text))
                cut << control->objectName() + QStringLiteral(" under ") + sibling->objectName();
        }
    }
    return cut;
}

} // namespace

class TestLargeFont : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { design_ = QApplication::font(); }
    void cleanup() { QApplication::setFont(design_); }

    void everyTextWhole_data() {
        QTest::addColumn<qreal>("scale"); // of the design font's size
        QTest::addColumn<bool>("russian");
        for (const qreal scale : {1.0, 1.25, 1.5})
            for (const bool russian : {false, true})
                QTest::addRow("%d%% %s", int(scale * 100), russian ? "Russian" : "English")
                    << scale << russian;
    }
    void everyTextWhole() {
        QFETCH(qreal, scale);
        QFETCH(bool, russian);
        QFont font = QApplication::font();
        font.setPointSizeF(font.pointSizeF() * scale);
        QApplication::setFont(font);
        Window w;
        if (russian)
            w.action("RussianMenuItem")->trigger();
        w.form->pages()->setCurrentIndex(1);
        QApplication::processEvents();
        QStringList cut = cutTexts(w.control("Panel1"));
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral(", "))));
        // the keyboard layout steps wrap rather than run out of their frame
        const QLabel* steps = w.label("Label8");
        QVERIFY(steps->height() >= steps->heightForWidth(steps->width()));
    }

    // The Preferences page is measured when it comes into sight: a font enlarged while another
    // page was shown widens it then.
    void pageOutOfSightFollowsFont() {
        Window w;
        QFont font = QApplication::font();
        font.setPointSizeF(font.pointSizeF() * 1.5);
        QApplication::setFont(font);
        QApplication::processEvents();
        w.form->pages()->setCurrentIndex(1);
        QApplication::processEvents();
        const QStringList cut = cutTexts(w.control("Panel1"));
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral(", "))));
        QVERIFY(w.control<QScrollArea>("TabSheet2")->widget()->width() > 792);
    }

    // At the design font the design's geometry holds, also after a larger font came and went
    // while the window ran.
    void designFontKeepsDesignPlaces() {
        const QFont design = design_;
        QFont larger = design;
        larger.setPointSizeF(design.pointSizeF() * 1.5);
        Window w;
        w.form->pages()->setCurrentIndex(1);
        const std::pair<const char*, QRect> places[] = {
            {"RxSpinEdit1", QRect(8, 72, 41, 21)},
            {"ComboEdit1", QRect(48, 72, 249, 21)},
            {"TotalWordsLabel", QRect(430, 52, 96, 18)},
            {"LanguagesLabel", QRect(10, 24, 70, 20)},
            {"ComboBox1", QRect(84, 22, 100, 22)},
            {"CodePageBox", QRect(84, 150, 206, 22)},
            {"GroupBox1", QRect(8, 6, 300, 182)},
            {"ChangeFont3", QRect(10, 92, 110, 26)},
            {"GroupBox3", QRect(316, 6, 470, 318)},
            {"GroupBox7", QRect(314, 46, 146, 96)},
            {"Edit7", QRect(48, 18, 90, 24)},
            {"Button4", QRect(8, 56, 130, 28)},
            {"CheckBox1", QRect(10, 22, 300, 20)},
        };
        for (const QFont& font : {design, larger, design}) {
            QApplication::setFont(font);
            QApplication::processEvents();
            const bool atDesign = font == design;
            for (const auto& [name, place] : places)
                if (atDesign)
                    QVERIFY2(w.control(name)->geometry() == place, name);
            const QSize page = w.control<QScrollArea>("TabSheet2")->widget()->size();
            QCOMPARE(page == QSize(792, 330), atDesign);
            QCOMPARE(w.control("LanguagesLabel")->width() == 70, atDesign);
        }
    }

private:
    QFont design_;
};

QTEST_MAIN(TestLargeFont)
#include "test_large_font.moc"
