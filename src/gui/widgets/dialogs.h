#pragma once

#include "platform/font_description.h"

#include <QString>

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

// Every modal interaction of the window goes through here, so that the window's
// handlers run headless in tests with a scripted implementation.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    virtual MsgResult messageBox(QWidget* owner, const QString& text, const QString& caption,
                                 MsgIcon icon, MsgButtons buttons) = 0;
    // On acceptance the state's fileName (with the default extension added when none was
    // typed) and filterIndex are updated and true is returned; cancel changes nothing.
    virtual bool openFile(QWidget* owner, FileDialogState& state) = 0;
    virtual bool saveFile(QWidget* owner, FileDialogState& state) = 0;
    // Opens the field font dialog on `font`; on acceptance updates it and returns true.
    virtual bool chooseFont(QWidget* owner, FieldFont& font) = 0;
    // Shows the modeless find dialog, or brings it to the front; `onFind` runs at each press
    // of its find button with the state updated.
    virtual void showFind(QWidget* owner, FindDialogState& state, std::function<void()> onFind) = 0;
    // Shows one of the program's own modal dialogs; true when it was accepted.
    virtual bool runDialog(QDialog& dialog) = 0;
};

} // namespace lexanta
