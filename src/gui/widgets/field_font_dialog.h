#pragma once

#include "platform/font_description.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;

namespace lexanta {

// The font dialog of a field: face, size, style, effects, colour (basic and system colours
// or any other) and script (the Windows character set that decides the column's code page).
// A face this machine lacks is still offered and kept by name.
class FieldFontDialog : public QDialog {
    Q_OBJECT

public:
    explicit FieldFontDialog(const FieldFont& font, QWidget* parent = nullptr);

    // The font as chosen so far; attributes the user left alone keep their stored values.
    FieldFont font() const;

    // Runs the dialog on `font`; on OK updates it and returns true.
    static bool choose(QWidget* parent, FieldFont& font);

    QComboBox* faceBox() const { return face_; }
    QComboBox* styleBox() const { return style_; }
    QComboBox* sizeBox() const { return size_; }
    QCheckBox* underlineBox() const { return underline_; }
    QComboBox* colorBox() const { return color_; }
    QComboBox* scriptBox() const { return script_; }
    QLabel* sampleLabel() const { return sample_; }

private:
    void addColor(std::int32_t value, const QString& name);
    void selectColor(std::int32_t value);
    void colorActivated(int index);
    void updateSample();

    FieldFont initial_;
    QComboBox* face_;
    QComboBox* style_;
    QComboBox* size_;
    QCheckBox* underline_;
    QCheckBox* strikeOut_;
    QComboBox* color_;
    QComboBox* script_;
    QLabel* sample_;
    QLabel* warning_;
    QDialogButtonBox* buttons_;
    int customColorIndex_ = -1;
};

} // namespace lexanta
