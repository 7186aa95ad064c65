// Dialogs for the window benchmarks: nothing is shown; a message box gives `answer` and is
// remembered, a save dialog names `saveAs` when set, every other dialog is cancelled.
#pragma once

#include "gui/widgets/dialogs.h"

#include <QStringList>

namespace lexanta::bench {

class QuietDialogs : public Dialogs {
public:
    MsgResult answer = MsgResult::Cancel;
    QString saveAs;
    QStringList messages;

    MsgResult messageBox(QWidget*, const QString& text, const QString&, MsgIcon,
                         MsgButtons) override {
        messages << text;
        return answer;
    }
    int ask(QWidget*, const QString&, const QString&, MsgIcon, const QStringList& b) override {
        return static_cast<int>(b.size()) - 1;
    }
    int chooseFromList(QWidget*, const QString&, const QString&, const QStringList&,
                       const QStringList& b, int& chosen) override {
        chosen = -1;
        return static_cast<int>(b.size()) - 1;
    }
    bool notice(QWidget*, const QString&, const QString&, const QString&) override { return false; }
    bool openFile(QWidget*, FileDialogState&) override { return false; }
    bool saveFile(QWidget*, FileDialogState& state) override {
        if (saveAs.isEmpty())
            return false;
        state.fileName = saveAs;
        return true;
    }
    bool chooseFont(QWidget*, FieldFont&) override { return false; }
    void showFind(QWidget*, FindDialogState&, std::function<void()>) override {}
    bool runDialog(QDialog&) override { return false; }
};

} // namespace lexanta::bench
