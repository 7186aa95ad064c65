#include "gui/app/text_room.h"

#include <QEvent>
#include <QLabel>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionSpinBox>

#include <algorithm>

namespace lexanta {

namespace {

// The geometry a control was placed at, kept at its first rule.
QRect designGeometry(QWidget* control) {
    constexpr const char* kKey = "lexantaDesignGeometry";
    const QVariant kept = control->property(kKey);
    if (kept.isValid())
        return kept.toRect();
    control->setProperty(kKey, control->geometry());
    return control->geometry();
}

} // namespace

int TextRoom::extraWidth(const QList<QWidget*>& controls) {
    int extra = 0;
    for (QWidget* c : controls)
        extra = std::max(extra, c->sizeHint().width() - designGeometry(c).width());
    return extra;
}

void TextRoom::place(QWidget* control, int dx, int dw) {
    QRect r = designGeometry(control).translated(dx, 0).adjusted(0, 0, dw, 0);
    // A caption taller than its line grows evenly up and down, so it stays centred on it.
    if (qobject_cast<QLabel*>(control)) {
        const int taller = std::max(0, control->sizeHint().height() - r.height());
        r.adjust(0, -taller / 2, 0, taller - taller / 2);
    }
    control->setGeometry(r);
}

void TextRoom::tallEnough(const QList<QWidget*>& labels) {
    addRule([labels] {
        for (QWidget* label : labels)
            place(label, 0);
    });
}

void TextRoom::growLeft(QWidget* label) {
    addRule([label] {
        const int extra = std::min(extraWidth({label}), designGeometry(label).left());
        place(label, -extra, extra);
    });
}

void TextRoom::spinBox(QSpinBox* box, QWidget* next) {
    addRule([box, next] {
        const QRect design = designGeometry(box);
        QStyleOptionSpinBox option;
        option.initFrom(box);
        option.rect = QRect(QPoint(0, 0), design.size());
        option.subControls = QStyle::SC_SpinBoxEditField;
        option.buttonSymbols = box->buttonSymbols();
        option.frame = box->hasFrame();
        const QRect field = box->style()->subControlRect(QStyle::CC_SpinBox, &option,
                                                         QStyle::SC_SpinBoxEditField, box);
        const QFontMetrics metrics = box->fontMetrics();
        const int text = metrics.horizontalAdvance(QString::number(box->maximum())) +
                         2 * metrics.averageCharWidth() / 3; // the line edit's own margins
        const int extra = std::max(0, text - field.width());
        place(box, 0, extra);
        place(next, extra, -extra);
    });
}

void TextRoom::addRule(std::function<void()> rule, QWidget* page) {
    rules_.push_back({std::move(rule), page});
    if (page)
        watch(page);
}

void TextRoom::watch(QWidget* container) {
    container->installEventFilter(this);
}

void TextRoom::apply() {
    // Measuring the texts of a page out of sight would load its fonts before they are shown.
    for (const Rule& rule : rules_)
        if (!rule.page || rule.page->isVisible())
            rule.run();
}

bool TextRoom::eventFilter(QObject*, QEvent* event) {
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::FontChange:
    case QEvent::LayoutRequest: // a child's text or font changed
        apply();
        break;
    default:
        break;
    }
    return false;
}

} // namespace lexanta
