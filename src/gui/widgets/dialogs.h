#pragma once

#include "platform/font_description.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>

class QDialog;
class QWidget;

namespace lexanta {

enum class MsgIcon { None, Question, Information, Warning, Error };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgResult { Ok, Cancel, Yes, No };

// The state of a common file dialog component (OpenDialog1, SaveDialog1, ...).
struct FileDialogState {
    QString fileName;
    QString filter;      // "label|pattern|label|pattern..."
    int filterIndex = 1; // counted from 1
    QString defaultExt;  // without the dot
    bool mustExist = false;
    bool overwritePrompt = false;
};

// The state of the find dialog component (FindDialog1).
struct FindDialogState {
    QString findText;
    bool matchCase = false;
    bool wholeWord = true;
};

// The state of the replace dialog, kept while the window lives; `english` picks its captions.
struct ReplaceDialogState {
    QString findText;
    QString replaceText;
    std::array<bool, 3> fields{true, true, true}; // questions, answers, comments
    bool matchCase = false;
    bool wholeWords = false;
    bool regex = false;
    bool english = true;
};
enum class ReplaceAction { FindNext, Replace, ReplaceAll };

// Every modal interaction of the window goes through here, so that the window's
// handlers run headless in tests with a scripted implementation.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    virtual MsgResult messageBox(QWidget* owner, const QString& text, const QString& caption,
                                 MsgIcon icon, MsgButtons buttons) = 0;
    // A message with buttons of its own captions. Returns the index of the button pressed;
    // closing the box any other way (Esc) presses the last one.
    virtual int ask(QWidget* owner, const QString& text, const QString& caption, MsgIcon icon,
                    const QStringList& buttons) = 0;
    // A list of rows to choose from, with buttons of their own captions: returns the index of
    // the button pressed (the last one when the dialog is closed otherwise) and sets `chosen`
    // to the row selected then (-1 for none). The first row starts selected.
    virtual int chooseFromList(QWidget* owner, const QString& text, const QString& caption,
                               const QStringList& rows, const QStringList& buttons,
                               int& chosen) = 0;
    // On acceptance the state's fileName (with the default extension added when none was
    // typed) and filterIndex are updated and true is returned; cancel changes nothing.
    virtual bool openFile(QWidget* owner, FileDialogState& state) = 0;
    virtual bool saveFile(QWidget* owner, FileDialogState& state) = 0;
    // An information message with a "do not show again" check box labelled `checkLabel`;
    // true when it was ticked.
    virtual bool notice(QWidget* owner, const QString& text, const QString& caption,
                        const QString& checkLabel) = 0;
    // Opens the field font dialog on `font`; on acceptance updates it and returns true.
    virtual bool chooseFont(QWidget* owner, FieldFont& font) = 0;
    // Shows the modeless find dialog, or brings it to the front; `onFind` runs at each press
    // of its find button with the state updated.
    virtual void showFind(QWidget* owner, FindDialogState& state, std::function<void()> onFind) = 0;
    // Shows one of the program's own modal dialogs; true when it was accepted.
    virtual bool runDialog(QDialog& dialog) = 0;
    // Shows the modeless replace dialog, or brings it to the front; `onAction` runs at each
    // press of its buttons with the state updated. A Dialogs without one shows nothing.
    virtual void showReplace(QWidget* owner, ReplaceDialogState& state,
                             std::function<void(ReplaceAction)> onAction) {
        (void)owner, (void)state, (void)onAction;
    }
};

} // namespace lexanta
