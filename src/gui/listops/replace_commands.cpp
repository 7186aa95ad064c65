#include "gui/listops/replace_commands.h"

#include "core/listops/replace.h"
#include "document/document.h"
#include "gui/editing/entry_grid.h"
#include "gui/widgets/named_action.h"
#include "gui/widgets/progress_feedback.h"
#include "platform/codepage.h"

#include <QAction>

namespace lexanta {

namespace {

QString fieldName(int field, bool english) {
    static const char* en[] = {"question", "answer", "comment"};
    static const char* ru[] = {"вопрос", "ответ", "комментарий"};
    return QString::fromUtf8(english ? en[field] : ru[field]);
}

} // namespace

ReplaceCommands::ReplaceCommands(Document& document, Dialogs& dialogs, QWidget* owner,
                                 EntryGrid* grid, QProgressBar* progress,
                                 std::function<bool()> isEnglish, QObject* parent)
    : QObject(parent), document_(document), dialogs_(dialogs), owner_(owner), grid_(grid),
      progress_(progress), isEnglish_(std::move(isEnglish)) {
    replace_ = namedAction(this, "FindReplace1", QStringLiteral("R&eplace..."),
                           QKeySequence(Qt::CTRL | Qt::Key_H));
    connect(replace_, &QAction::triggered, this, &ReplaceCommands::showDialog);
}

void ReplaceCommands::showDialog() {
    state_.english = isEnglish_();
    dialogs_.showReplace(owner_, state_, [this](ReplaceAction action) {
        switch (action) {
        case ReplaceAction::FindNext:
            findNext();
            break;
        case ReplaceAction::Replace:
            replaceOne();
            break;
        case ReplaceAction::ReplaceAll:
            replaceAll();
            break;
        }
    });
}

ReplaceOptions ReplaceCommands::options() const {
    ReplaceOptions o;
    o.find = state_.findText;
    o.with = state_.replaceText;
    o.fields = state_.fields;
    o.matchCase = state_.matchCase;
    o.wholeWords = state_.wholeWords;
    o.regex = state_.regex;
    return o;
}

void ReplaceCommands::tell(const QString& english, const QString& russian) {
    const bool en = isEnglish_();
    dialogs_.messageBox(owner_, en ? english : russian,
                        en ? QStringLiteral("Replace") : QStringLiteral("Замена"),
                        MsgIcon::Information, MsgButtons::Ok);
}

bool ReplaceCommands::selectNext(bool includeCurrent) {
    QString error;
    const ReplaceOptions o = options();
    if (!replacePattern(o, &error).isValid() || !error.isEmpty()) {
        tell(QStringLiteral("Cannot search: %1.").arg(error),
             QStringLiteral("Поиск невозможен: %1.").arg(error));
        return false;
    }
    const std::array<const CodePage*, 3> pages{&document_.codePageOf(kQuestion),
                                               &document_.codePageOf(kAnswer),
                                               &document_.codePageOf(kComment)};
    int entry = std::max(grid_->currentEntry(), 0);
    int field = std::clamp(grid_->currentField(), 0, 2);
    if (!includeCurrent && ++field > kComment) {
        field = kQuestion;
        entry = (entry + 1) % document_.entries().entryCount();
    }
    const auto found = findReplaceable(document_.entries(), o, pages, entry, field);
    if (!found) {
        tell(QStringLiteral("“%1” was not found.").arg(o.find),
             QStringLiteral("«%1» не найдено.").arg(o.find));
        return false;
    }
    const int row = EntryGrid::rowOfEntry(found->first);
    grid_->setCurrentCell(EntryGrid::columnOfField(found->second), row);
    return true;
}

void ReplaceCommands::findNext() {
    selectNext(false);
}

void ReplaceCommands::replaceOne() {
    // The current cell is replaced when it holds a match; then the next one is selected.
    const int entry = grid_->currentEntry();
    const int field = grid_->currentField();
    ReplaceOptions o = options();
    if (field >= kQuestion && field <= kComment && o.fields[static_cast<std::size_t>(field)]) {
        o.fields = {false, false, false};
        o.fields[static_cast<std::size_t>(field)] = true;
        const std::array<const CodePage*, 3> pages{&document_.codePageOf(kQuestion),
                                                   &document_.codePageOf(kAnswer),
                                                   &document_.codePageOf(kComment)};
        ReplacePlan plan = planReplace(document_.entries(), o, pages, entry, entry);
        if (plan.refusedEntry >= 0) {
            replaceAll(); // says why, naming the character
            return;
        }
        if (plan.replacements > 0)
            document_.applyListEdit(QStringLiteral("Replace"), {std::move(plan.changes), {}, {}});
    }
    selectNext(false);
}

void ReplaceCommands::replaceAll() {
    const ReplaceOptions o = options();
    const std::array<const CodePage*, 3> pages{&document_.codePageOf(kQuestion),
                                               &document_.codePageOf(kAnswer),
                                               &document_.codePageOf(kComment)};
    ReplacePlan plan;
    {
        ProgressFeedback feedback(progress_);
        plan = planReplace(document_.entries(), o, pages, 0, -1, feedback.callback());
    }
    if (!plan.error.isEmpty()) {
        tell(QStringLiteral("Nothing was replaced: %1.").arg(plan.error),
             QStringLiteral("Ничего не заменено: %1.").arg(plan.error));
        return;
    }
    if (plan.refusedEntry >= 0) {
        const int page = pages[static_cast<std::size_t>(plan.refusedField)]->number();
        tell(QStringLiteral("Nothing was replaced: the code page of the %1 field (%2) cannot hold "
                            "“%3” (entry %4).")
                 .arg(fieldName(plan.refusedField, true))
                 .arg(page)
                 .arg(plan.refusedCharacters)
                 .arg(plan.refusedEntry + 1),
             QStringLiteral("Ничего не заменено: кодовая страница поля «%1» (%2) не содержит "
                            "«%3» (запись %4).")
                 .arg(fieldName(plan.refusedField, false))
                 .arg(page)
                 .arg(plan.refusedCharacters)
                 .arg(plan.refusedEntry + 1));
        return;
    }
    const int count = plan.replacements;
    const int cells = static_cast<int>(plan.changes.size());
    document_.applyListEdit(QStringLiteral("Replace all"), {std::move(plan.changes), {}, {}});
    tell(QStringLiteral("%1 replaced in %2 cells.").arg(count).arg(cells),
         QStringLiteral("Заменено: %1, в ячейках: %2.").arg(count).arg(cells));
}

} // namespace lexanta
