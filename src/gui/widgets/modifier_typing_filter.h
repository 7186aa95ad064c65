#pragma once

#include <QObject>

namespace lexanta {

// Keys held with Alt or Ctrl are commands, never text: in a line edit (input boxes, the
// grid's in-place editor, description and test boxes, dialogs) they keep their editing
// meaning (Ctrl+C, Ctrl+Left, Alt+Down, ...) but insert no character. Without this an
// unbound Alt+letter, or a Russian menu accelerator typed on a Latin layout, lands in the
// entry. Installed on the application; lives as long as its parent.
class ModifierTypingFilter : public QObject {
    Q_OBJECT

public:
    explicit ModifierTypingFilter(QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// A widget that takes typed text: a line edit, a spin box or an editable combo box (the last
// two hand their keys straight to their line edit).
bool takesText(QObject* object);

} // namespace lexanta
