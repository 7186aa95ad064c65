#pragma once

// A Dialogs implementation for window tests: answers come from queues the test fills,
// and every message box shown is recorded.

#include "gui/widgets/dialogs.h"

#include <QString>
#include <QStringList>
#include <QWidget>
#include <QWindow>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace lexanta::test {

struct ShownMessage {
    QString text;
    QString caption;
    MsgIcon icon;
    MsgButtons buttons;
    bool overShownOwner = false; // the owner's window was on the screen
};

class ScriptedDialogs : public Dialogs {
public:
    // Answers for message boxes, in order; when empty, Ok/No/Cancel is not assumed:
    // the default answer below is used.
    std::deque<MsgResult> messageAnswers;
    MsgResult defaultAnswer = MsgResult::Cancel;
    // File names chosen in file dialogs, in order; an empty string cancels. When the queue
    // is empty the dialog is cancelled. A filter index may be given with the name.
    struct FileAnswer {
        QString fileName;
        int filterIndex = 0; // 0: keep the dialog's own
    };
    std::deque<FileAnswer> fileAnswers;
    // Fonts chosen in font dialogs; std::nullopt cancels; empty queue cancels.
    std::deque<std::optional<FieldFont>> fontAnswers;
    // The program's own dialogs: each answer works the dialog and says whether it is accepted;
    // an empty queue cancels.
    std::deque<std::function<bool(QDialog&)>> dialogAnswers;
    int dialogsShown = 0;

    // Buttons pressed in ask() and chooseFromList(), by index; when empty the last button.
    std::deque<int> choiceAnswers;
    // Rows selected in chooseFromList(); when empty the first row.
    std::deque<int> rowAnswers;
    struct ShownChoice {
        QString text;
        QString caption;
        QStringList buttons;
        QStringList rows; // chooseFromList() only
        bool overShownOwner = false;
    };
    std::vector<ShownChoice> choices;

    std::vector<ShownMessage> messages;
    std::vector<FileDialogState> openDialogsShown, saveDialogsShown;
    int fontDialogsShown = 0;
    int findShown = 0;
    FindDialogState* findState = nullptr;
    std::function<void()> onFind;
    int replaceShown = 0;
    ReplaceDialogState* replaceState = nullptr;
    std::function<void(ReplaceAction)> onReplace;

    MsgResult messageBox(QWidget* owner, const QString& text, const QString& caption, MsgIcon icon,
                         MsgButtons buttons) override {
        messages.push_back({text, caption, icon, buttons, shown(owner)});
        if (messageAnswers.empty())
            return buttons == MsgButtons::Ok ? MsgResult::Ok : defaultAnswer;
        const MsgResult r = messageAnswers.front();
        messageAnswers.pop_front();
        return r;
    }

    int ask(QWidget* owner, const QString& text, const QString& caption, MsgIcon,
            const QStringList& buttons) override {
        choices.push_back({text, caption, buttons, {}, shown(owner)});
        return nextChoice(buttons);
    }

    int chooseFromList(QWidget* owner, const QString& text, const QString& caption,
                       const QStringList& rows, const QStringList& buttons, int& chosen) override {
        choices.push_back({text, caption, buttons, rows, shown(owner)});
        chosen = rows.isEmpty() ? -1 : 0;
        if (!rowAnswers.empty()) {
            chosen = rowAnswers.front();
            rowAnswers.pop_front();
        }
        return nextChoice(buttons);
    }

    // Notices are recorded with the messages; each answer says whether "do not show again" is
    // ticked, an empty queue leaves it unticked.
    std::deque<bool> noticeAnswers;
    bool notice(QWidget*, const QString& text, const QString& caption, const QString&) override {
        messages.push_back({text, caption, MsgIcon::Information, MsgButtons::Ok});
        if (noticeAnswers.empty())
            return false;
        const bool ticked = noticeAnswers.front();
        noticeAnswers.pop_front();
        return ticked;
    }

    bool openFile(QWidget*, FileDialogState& state) override {
        openDialogsShown.push_back(state);
        return answerFile(state);
    }

    bool saveFile(QWidget*, FileDialogState& state) override {
        saveDialogsShown.push_back(state);
        return answerFile(state);
    }

    bool chooseFont(QWidget*, FieldFont& font) override {
        ++fontDialogsShown;
        if (fontAnswers.empty())
            return false;
        std::optional<FieldFont> answer = fontAnswers.front();
        fontAnswers.pop_front();
        if (!answer)
            return false;
        font = *answer;
        return true;
    }

    void showFind(QWidget*, FindDialogState& state, std::function<void()> find) override {
        ++findShown;
        findState = &state;
        onFind = std::move(find);
    }

    bool runDialog(QDialog& dialog) override {
        ++dialogsShown;
        if (dialogAnswers.empty())
            return false;
        const std::function<bool(QDialog&)> answer = std::move(dialogAnswers.front());
        dialogAnswers.pop_front();
        return answer(dialog);
    }

    void showReplace(QWidget*, ReplaceDialogState& state,
                     std::function<void(ReplaceAction)> action) override {
        ++replaceShown;
        replaceState = &state;
        onReplace = std::move(action);
    }

    // Presses a button of the replace dialog with what it holds now.
    void pressReplace(ReplaceAction action) { onReplace(action); }

    // Presses the find dialog's find button with the given text and options.
    void pressFind(const QString& text, bool matchCase = false, bool wholeWord = true) {
        findState->findText = text;
        findState->matchCase = matchCase;
        findState->wholeWord = wholeWord;
        onFind();
    }

    QStringList messageTexts() const {
        QStringList texts;
        for (const ShownMessage& m : messages)
            texts << m.text;
        return texts;
    }

private:
    // Whether the owner's window was on the screen when the box came up.
    static bool shown(const QWidget* owner) {
        const QWindow* window = owner ? owner->window()->windowHandle() : nullptr;
        return window && window->isVisible();
    }
    int nextChoice(const QStringList& buttons) {
        if (choiceAnswers.empty())
            return static_cast<int>(buttons.size()) - 1;
        const int answer = choiceAnswers.front();
        choiceAnswers.pop_front();
        return answer;
    }
    bool answerFile(FileDialogState& state) {
        if (fileAnswers.empty())
            return false;
        const FileAnswer answer = fileAnswers.front();
        fileAnswers.pop_front();
        if (answer.fileName.isEmpty())
            return false;
        state.fileName = answer.fileName;
        if (!state.defaultExt.isEmpty() &&
            !answer.fileName.section(QLatin1Char('/'), -1).contains(QLatin1Char('.')))
            state.fileName += QLatin1Char('.') + state.defaultExt;
        if (answer.filterIndex > 0)
            state.filterIndex = answer.filterIndex;
        return true;
    }
};

} // namespace lexanta::test
