#pragma once

#include "gui/widgets/dialogs.h"

#include <QPointer>

class QDialog;

namespace lexanta {

class FindDialog;
class ReplaceDialog;

// Qt's message boxes and file dialogs, our field font dialog and a modeless find dialog.
class QtDialogs : public Dialogs {
public:
    MsgResult messageBox(QWidget* owner, const QString& text, const QString& caption, MsgIcon icon,
                         MsgButtons buttons) override;
    int ask(QWidget* owner, const QString& text, const QString& caption, MsgIcon icon,
            const QStringList& buttons) override;
    int chooseFromList(QWidget* owner, const QString& text, const QString& caption,
                       const QStringList& rows, const QStringList& buttons, int& chosen) override;
    bool notice(QWidget* owner, const QString& text, const QString& caption,
                const QString& checkLabel) override;
    bool openFile(QWidget* owner, FileDialogState& state) override;
    bool saveFile(QWidget* owner, FileDialogState& state) override;
    bool chooseFont(QWidget* owner, FieldFont& font) override;
    void showFind(QWidget* owner, FindDialogState& state, std::function<void()> onFind) override;
    bool runDialog(QDialog& dialog) override;
    void showReplace(QWidget* owner, ReplaceDialogState& state,
                     std::function<void(ReplaceAction)> onAction) override;

    // "label|pattern|label|pattern" to Qt's "label (pattern);;..." name filters.
    static QStringList nameFilters(const QString& filter);

private:
    QPointer<FindDialog> find_;
    QPointer<ReplaceDialog> replace_;
};

} // namespace lexanta
