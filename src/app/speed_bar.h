#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include <vector>

class QToolButton;

namespace lexanta {

// SpeedBar1: a tool bar of 40 x 40 buttons placed at design positions, grouped in
// named sections (the customisation window lists them by section).
class SpeedBar : public QWidget {
    Q_OBJECT

public:
    explicit SpeedBar(QWidget* parent = nullptr);

    struct Section {
        QString objectName; // SpeedbarSection1..4
        QString caption;
        std::vector<QToolButton*> buttons;
    };

    int addSection(const QString& objectName, const QString& caption);
    void setSectionCaption(int section, const QString& caption);
    QToolButton* addButton(int section, const QString& objectName, const QString& caption,
                           int left);
    const std::vector<Section>& sections() const { return sections_; }
    QToolButton* button(const QString& objectName) const;
    std::vector<QToolButton*> allButtons() const;

    static constexpr int kButtonSize = 40;
    static constexpr int kTop = 3;

signals:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    std::vector<Section> sections_;
};

} // namespace lexanta
