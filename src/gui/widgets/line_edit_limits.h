#pragma once

class QLineEdit;
class QWidget;

namespace lexanta {

// Qt's line edits cut their text at 32,767 characters; boxes that show file text hold any
// length the reader can produce.
void liftLengthLimit(QLineEdit* edit);
// Every line edit under `root`, combo and spin boxes' own included.
void liftLengthLimits(QWidget* root);

} // namespace lexanta
