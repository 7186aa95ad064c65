#pragma once

#include "gui/widgets/shadow_label.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QWidget;

namespace lexanta {

// OKRightDlg: the About box, created once with the main window.
class AboutBox : public QDialog {
    Q_OBJECT

public:
    explicit AboutBox(QWidget* parent = nullptr);

    QWidget* panel = nullptr;
    ShadowLabel* productName = nullptr;
    QLabel* copyright = nullptr;
    QPushButton* okButton = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace lexanta
