#pragma once

#include <QHash>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <vector>

#include "gui/app/speed_bar_customize_dialog.h"

class QAction;
class QToolButton;

namespace lexanta {

class IniFile;

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
    // A button on the bar at its place, as the layout store records it.
    struct ButtonPlace {
        QString name;
        int left = 0;
        int top = 0;
        bool operator==(const ButtonPlace&) const = default;
    };

    int addSection(const QString& objectName, const QString& caption);
    void setSectionCaption(int section, const QString& caption);
    QToolButton* addButton(int section, const QString& objectName, const QString& caption,
                           int left);
    const std::vector<Section>& sections() const { return sections_; }
    QToolButton* button(const QString& objectName) const;
    std::vector<QToolButton*> allButtons() const;
    // The button runs the action, and shows its enabled and checked state.
    void bind(QToolButton* button, QAction* action);
    // Tool button hints ("tooltip|long hint"); the tooltip shows the part before "|".
    void setHint(QToolButton* button, const QString& hint);
    QString hint(const QToolButton* button) const;

    // Takes a button off the bar or puts it back at its design place.
    void setButtonShown(QToolButton* button, bool shown);
    static bool isButtonShown(const QToolButton* button);
    // The buttons on the bar, section by section, with their places.
    std::vector<ButtonPlace> layout() const;
    // Shows exactly the listed buttons at the listed places; unknown names are skipped.
    void applyLayout(const std::vector<ButtonPlace>& places);

    // Layout store: Position, Width, Version, PixelsPerInch, BtnWidth, BtnHeight,
    // Button1..Buttonn ("name,left,top") and Count, in a section erased and rewritten.
    void saveLayout(IniFile& ini, const QString& section, int pixelsPerInch) const;
    // Restores a stored layout when it was stored at the same pixels per inch and by this
    // layout version; false (the bar unchanged) otherwise.
    bool restoreLayout(const IniFile& ini, const QString& section, int pixelsPerInch);

    // Opens the customisation window (one at a time, not modal).
    SpeedBarCustomizeDialog* customize();

    static constexpr int kButtonSize = 40;
    static constexpr int kTop = 3;
    static constexpr int kLayoutVersion = 0;
    static constexpr int kAlignTop = 1; // the bar's alignment as the layout store writes it

signals:
    void doubleClicked();
    void layoutChanged();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    std::vector<Section> sections_;
    QHash<const QToolButton*, int> designLeft_;
    QHash<const QToolButton*, QString> hints_;
    QPointer<SpeedBarCustomizeDialog> customizeDialog_;
};

} // namespace lexanta
