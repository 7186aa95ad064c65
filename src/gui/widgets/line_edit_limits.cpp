#include "gui/widgets/line_edit_limits.h"

#include <QLineEdit>

#include <limits>

namespace lexanta {

void liftLengthLimit(QLineEdit* edit) {
    edit->setMaxLength(std::numeric_limits<int>::max());
}

void liftLengthLimits(QWidget* root) {
    const QList<QLineEdit*> edits = root->findChildren<QLineEdit*>();
    for (QLineEdit* edit : edits)
        liftLengthLimit(edit);
}

} // namespace lexanta
