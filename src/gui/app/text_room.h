#pragma once

#include <QList>
#include <QObject>

#include <functional>
#include <vector>

class QSpinBox;
class QWidget;

namespace lexanta {

// Room for texts the design's places no longer hold: a larger system font, a longer
// translation. The rules start from each control's design geometry, so where every text fits
// every control keeps it; where one does not, its control grows and the controls after it
// make way. The rules run again whenever a watched container is shown, changes font or has a
// child's text changed; a rule for a page out of sight waits until the page is shown.
class TextRoom : public QObject {
public:
    explicit TextRoom(QObject* parent) : QObject(parent) {}

    // How many pixels the widest text of `controls` needs beyond its control's design width.
    static int extraWidth(const QList<QWidget*>& controls);
    // `control` at its design geometry moved right by `dx` and widened by `dw`; a label also
    // as tall as its text.
    static void place(QWidget* control, int dx, int dw = 0);

    // A rule given a `page` runs only while that page is visible, and when it is shown.
    void addRule(std::function<void()> rule, QWidget* page = nullptr);
    // Labels as tall as their texts.
    void tallEnough(const QList<QWidget*>& labels);
    // A right-aligned label grows to its left.
    void growLeft(QWidget* label);
    // A spin box widens until its largest value fits; `next` makes way and keeps its right edge.
    void spinBox(QSpinBox* box, QWidget* next);

    void watch(QWidget* container);
    void apply();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Rule {
        std::function<void()> run;
        QWidget* page = nullptr;
    };
    std::vector<Rule> rules_;
};

} // namespace lexanta
