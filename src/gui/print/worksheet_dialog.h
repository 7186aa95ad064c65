#pragma once

// The dialog of File > Print, Print Preview and Export as PDF: the layout and its choices
// beside a live preview of the first pages.

#include "print/print_options.h"

#include <QDialog>
#include <QPrinter>

#include <array>
#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFormLayout;
class QLabel;
class QListWidget;
class QPrintPreviewWidget;
class QPushButton;
class QSpinBox;
class QTimer;

namespace lexanta {

struct Vocabulary;

class WorksheetDialog : public QDialog {
    Q_OBJECT

public:
    enum class Action { None, Print, SavePdf };
    // The preview shows at most this many pages.
    static constexpr int kPreviewPages = 12;

    // `selected`: the entries of the grid's selected rows (none: no selection). `confirm`
    // runs with the choices when Print or Save as PDF is pressed (the printer or file
    // dialog); the dialog closes when it returns true.
    WorksheetDialog(const Vocabulary& vocabulary, std::vector<int> selected,
                    const PrintOptions& options, Action primary, bool english,
                    std::function<bool(Action, const PrintOptions&, QWidget*)> confirm,
                    QWidget* parent = nullptr);

    PrintOptions options() const;
    Action action() const { return action_; }
    bool selectionOnly() const;
    // The entries to print, as the choices stand.
    std::vector<int> entries() const;
    QPrintPreviewWidget* preview() const { return preview_; }

private:
    void buildControls(bool english);
    void showOptions(const PrintOptions& options);
    void followLayout();
    void schedulePreview();
    void paintPreview(QPrinter* printer);
    void press(Action action);

    const Vocabulary& vocabulary_;
    std::vector<int> all_, selected_;
    InterfaceLanguage language_;
    std::function<bool(Action, const PrintOptions&, QWidget*)> confirm_;
    Action action_ = Action::None;
    QPrinter previewPrinter_{QPrinter::HighResolution};

    QFormLayout* form_;
    QComboBox *layout_, *direction_, *flip_, *paper_;
    QListWidget* fields_;
    QCheckBox *shuffle_, *answerKey_, *selectionOnly_;
    QSpinBox *seed_, *variants_, *columns_, *rows_;
    QDoubleSpinBox *margin_, *fontScale_;
    QWidget *listGroup_, *testGroup_, *cardsGroup_;
    std::array<QString, 3> fieldNames_;
    QLabel* previewNote_;
    QPrintPreviewWidget* preview_;
    QPushButton *printButton_, *pdfButton_;
    QTimer* previewTimer_;
};

} // namespace lexanta
