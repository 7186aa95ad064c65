#pragma once

#include <QValidator>

#include <functional>

namespace lexanta {

// Refuses text that the code page of a column cannot hold, so that a cell never receives
// a silently replaced character. The refusal is reported (with the characters) while the
// edit box has the focus, that is when the user typed or pasted them.
class CodePageValidator : public QValidator {
    Q_OBJECT

public:
    // `charset` gives the Windows character set whose code page the text must fit.
    CodePageValidator(std::function<int()> charset, QWidget* box);

    State validate(QString& input, int& pos) const override;
    int charset() const { return charset_(); }

signals:
    void refused(const QString& characters) const;

private:
    std::function<int()> charset_;
    QWidget* box_;
};

// The refused characters as a message shows them: separated by blanks, and those that show
// nothing (U+FEFF, other format and control characters, blanks) as "U+FEFF".
QString shownCharacters(const QString& characters);

} // namespace lexanta
