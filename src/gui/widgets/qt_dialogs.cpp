#include "gui/widgets/qt_dialogs.h"

#include <QDialog>

#include "gui/widgets/field_font_dialog.h"
#include "gui/widgets/find_dialog.h"
#include "gui/widgets/replace_dialog.h"
#include "platform/file_names.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpacerItem>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <algorithm>

namespace lexanta {

namespace {

void setIcon(QMessageBox& box, MsgIcon icon) {
    switch (icon) {
    case MsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    }
}

} // namespace

MsgResult QtDialogs::messageBox(QWidget* owner, const QString& text, const QString& caption,
                                MsgIcon icon, MsgButtons buttons) {
    QMessageBox box(owner);
    box.setWindowTitle(caption);
    box.setText(text);
    setIcon(box, icon);
    switch (buttons) {
    case MsgButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MsgButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    // A window manager cuts a title wider than the box; a short text must not make it so.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        QFont titleFont = box.font();
        titleFont.setBold(true);
        constexpr int kTitleBarButtons = 140; // close, maximise, minimise and the frame
        const int width = QFontMetrics(titleFont).horizontalAdvance(caption) + kTitleBarButtons;
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MsgResult::Yes;
    case QMessageBox::No:
        return MsgResult::No;
    case QMessageBox::Ok:
        return MsgResult::Ok;
    default:
        return MsgResult::Cancel;
    }
}

int QtDialogs::ask(QWidget* owner, const QString& text, const QString& caption, MsgIcon icon,
                   const QStringList& buttons) {
    QMessageBox box(owner);
    box.setWindowTitle(caption);
    box.setText(text);
    setIcon(box, icon);
    QList<QPushButton*> pushed;
    for (int i = 0; i < buttons.size(); ++i)
        pushed << box.addButton(buttons[i], i == 0                    ? QMessageBox::AcceptRole
                                            : i + 1 == buttons.size() ? QMessageBox::RejectRole
                                                                      : QMessageBox::ActionRole);
    if (!pushed.isEmpty()) {
        box.setDefaultButton(pushed.front());
        box.setEscapeButton(pushed.back());
    }
    box.exec();
    const auto pressed = std::find(pushed.begin(), pushed.end(), box.clickedButton());
    return pressed == pushed.end() ? static_cast<int>(buttons.size()) - 1
                                   : static_cast<int>(pressed - pushed.begin());
}

int QtDialogs::chooseFromList(QWidget* owner, const QString& text, const QString& caption,
                              const QStringList& rows, const QStringList& buttons, int& chosen) {
    QDialog dialog(owner);
    dialog.setWindowTitle(caption);
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(text, &dialog);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    auto* list = new QListWidget(&dialog);
    list->addItems(rows);
    list->setCurrentRow(rows.isEmpty() ? -1 : 0);
    // A row names a file and more after it: shown whole where the screen has room.
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    const int room = screen ? screen->availableGeometry().width() * 4 / 5 : QWIDGETSIZE_MAX;
    list->setMinimumWidth(std::min(room, list->sizeHintForColumn(0) + 2 * list->frameWidth() +
                                             list->verticalScrollBar()->sizeHint().width()));
    auto* box = new QDialogButtonBox(&dialog);
    int pressed = static_cast<int>(buttons.size()) - 1;
    for (int i = 0; i < buttons.size(); ++i) {
        QPushButton* button = box->addButton(buttons[i], QDialogButtonBox::ActionRole);
        button->setDefault(i == 0);
        QObject::connect(button, &QPushButton::clicked, &dialog, [&dialog, &pressed, i] {
            pressed = i;
            dialog.accept();
        });
    }
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, [&dialog, &pressed] {
        pressed = 0;
        dialog.accept();
    });
    layout->addWidget(label);
    layout->addWidget(list);
    layout->addWidget(box);
    list->setFocus();
    if (dialog.exec() != QDialog::Accepted)
        pressed = static_cast<int>(buttons.size()) - 1;
    chosen = list->currentRow();
    return pressed;
}

bool QtDialogs::notice(QWidget* owner, const QString& text, const QString& caption,
                       const QString& checkLabel) {
    QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok, owner);
    auto* check = new QCheckBox(checkLabel, &box);
    box.setCheckBox(check);
    box.exec();
    return check->isChecked();
}

QStringList QtDialogs::nameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        patterns = patterns.simplified();
        // "Lexanta vocabularies (*.lut)" already names its pattern
        const QString own = QStringLiteral("(%1)").arg(patterns);
        filters << (parts[i].endsWith(own) ? parts[i] : QStringLiteral("%1 %2").arg(parts[i], own));
    }
    return filters;
}

namespace {

// "HTML files (*.html *htm)" -> "html"; empty for "*" or "*.*".
QString filterSuffix(const QString& filter) {
    const int open = filter.lastIndexOf(QLatin1Char('('));
    const QString first = filter.mid(open + 1).section(QLatin1Char(' '), 0, 0);
    const QString suffix = first.section(QLatin1Char('.'), 1).remove(QLatin1Char(')'));
    return suffix.contains(QLatin1Char('*')) ? QString() : suffix;
}

bool runFileDialog(QWidget* owner, FileDialogState& state, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(owner);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen && state.mustExist
                           ? QFileDialog::ExistingFile
                           : QFileDialog::AnyFile);
    const QStringList filters = QtDialogs::nameFilters(state.filter);
    dialog.setNameFilters(filters);
    if (state.filterIndex >= 1 && state.filterIndex <= filters.size())
        dialog.selectNameFilter(filters[state.filterIndex - 1]);
    if (!state.defaultExt.isEmpty()) {
        const QString initial = state.filterIndex >= 1 && state.filterIndex <= filters.size()
                                    ? filterSuffix(filters[state.filterIndex - 1])
                                    : QString();
        dialog.setDefaultSuffix(initial.isEmpty() ? state.defaultExt : initial);
        // A name typed without an extension takes the chosen filter's, e.g. ".html".
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog, &state](const QString& filter) {
                             const QString suffix = filterSuffix(filter);
                             dialog.setDefaultSuffix(suffix.isEmpty() ? state.defaultExt : suffix);
                         });
    }
    if (!state.overwritePrompt)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!state.fileName.isEmpty()) {
        const QFileInfo info(state.fileName);
        dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.fileName());
    } else {
        // Nothing chosen yet: start where a user keeps documents, not in the program's folder.
        const QString documents =
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        dialog.setDirectory(QDir(documents).exists() ? documents : QDir::homePath());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    // The dialog lists names through Qt, which reads bytes that are not UTF-8 as U+FFFD.
    state.fileName = resolveListedFileName(dialog.selectedFiles().first());
    const int index = filters.indexOf(dialog.selectedNameFilter());
    if (index >= 0)
        state.filterIndex = index + 1;
    return true;
}

} // namespace

bool QtDialogs::openFile(QWidget* owner, FileDialogState& state) {
    return runFileDialog(owner, state, QFileDialog::AcceptOpen);
}

bool QtDialogs::saveFile(QWidget* owner, FileDialogState& state) {
    return runFileDialog(owner, state, QFileDialog::AcceptSave);
}

bool QtDialogs::runDialog(QDialog& dialog) {
    return dialog.exec() == QDialog::Accepted;
}

bool QtDialogs::chooseFont(QWidget* owner, FieldFont& font) {
    // Qt's font dialog has neither colour nor script; the field font dialog has both.
    return FieldFontDialog::choose(owner, font);
}

void QtDialogs::showFind(QWidget* owner, FindDialogState& state, std::function<void()> onFind) {
    if (!find_)
        find_ = new FindDialog(owner);
    find_->bind(state, std::move(onFind));
    find_->show();
    find_->raise();
    find_->activateWindow();
}

void QtDialogs::showReplace(QWidget* owner, ReplaceDialogState& state,
                            std::function<void(ReplaceAction)> onAction) {
    if (!replace_)
        replace_ = new ReplaceDialog(owner);
    replace_->bind(state, std::move(onAction));
    replace_->show();
    replace_->raise();
    replace_->activateWindow();
}

} // namespace lexanta
