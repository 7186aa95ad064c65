#include "gui/listops/list_commands.h"

#include "document/document.h"
#include "gui/editing/entry_grid.h"
#include "platform/codepage.h"
#include "platform/collation.h"

#include "gui/widgets/named_action.h"
#include "gui/widgets/progress_feedback.h"

#include <QAction>
#include <QDateTime>

#include <QProgressBar>
#include <algorithm>

namespace lexanta {

namespace {

const KeyCollator& userCollator() {
    static const KeyCollator collator;
    return collator;
}

} // namespace

ListCommands::ListCommands(Document& document, Dialogs& dialogs, QWidget* owner, EntryGrid* grid,
                           QProgressBar* progress, std::function<bool()> isEnglish, QObject* parent)
    : QObject(parent), document_(document), dialogs_(dialogs), owner_(owner), grid_(grid),
      progress_(progress), isEnglish_(std::move(isEnglish)) {
    const char* menuNames[] = {"questions1", "answers1", "comments1"};
    const char* menuTexts[] = {"&questions", "&answers", "&comments"};
    const char* buttonNames[] = {"Question1", "Answer1", "comment1"};
    const char* buttonTexts[] = {"questions", "answers", "comments"};
    for (int i = 0; i < kShownFields; ++i) {
        sortMenu_[i] = namedAction(this, menuNames[i], QString::fromLatin1(menuTexts[i]));
        sortButton_[i] = namedAction(this, buttonNames[i], QString::fromLatin1(buttonTexts[i]));
        for (QAction* a : {sortMenu_[i], sortButton_[i]})
            connect(a, &QAction::triggered, this, [this, i] { sortBy(i); });
    }
    shuffle_ = namedAction(this, "RandomizeEntries1", QStringLiteral("S&huffle entries"));
    swap_ = namedAction(this, "Swap1", QStringLiteral("&Question <-> Answer"));
    frequency_ = namedAction(this, "FrequencyAnalysing1", QStringLiteral("Frequency Analysing"));
    find_ = namedAction(this, "Find1", QStringLiteral("&Find..."), QKeySequence(Qt::Key_F4));
    findNext_ =
        namedAction(this, "Findnext1", QStringLiteral("Find &next"), QKeySequence(Qt::Key_F3));
    findNext_->setEnabled(false);
    replace_ = namedAction(this, "Replace1", QStringLiteral("&Replace"), QKeySequence(Qt::Key_F5));
    replace_->setEnabled(false);
    replace_->setVisible(false);
    connect(shuffle_, &QAction::triggered, this, &ListCommands::shuffle);
    connect(swap_, &QAction::triggered, this, &ListCommands::swapQuestionAnswer);
    connect(frequency_, &QAction::triggered, this, &ListCommands::frequencyAnalysis);
    connect(find_, &QAction::triggered, this, &ListCommands::find);
    connect(findNext_, &QAction::triggered, this, &ListCommands::findNext);
}

// ---- sorting ----------------------------------------------------------------------------------

void ListCommands::sortBy(int field) {
    sortField_ = field;
    sortByLastField();
}

void ListCommands::sortByLastField() {
    if (sortField_ < kQuestion || sortField_ > kComment)
        return;
    // The bar shows at once (the keys are being made: the sort reports 0 calls meanwhile), over
    // as many steps as the grid has rows, and moves by three at each call of the partition step.
    ProgressFeedback feedback(progress_, 0, true);
    const long long rows = grid_->rowCount();
    try {
        document_.sortBy(sortField_, userCollator(), [&](long long calls) {
            feedback.report(std::min(calls * 3, rows), rows);
        });
    } catch (const OperationCancelled&) {
        // Esc: the order was not applied, the list is as it was.
    }
}

// ---- shuffle, swap, frequency -----------------------------------------------------------------

void ListCommands::shuffle() {
    document_.shuffle(static_cast<unsigned>(QDateTime::currentSecsSinceEpoch()));
}

void ListCommands::swapQuestionAnswer() {
    document_.swapQuestionAnswer();
}

void ListCommands::frequencyAnalysis() {
    ProgressFeedback feedback(progress_, 500, true);
    try {
        document_.frequencyAnalysis(userCollator(), feedback.callback());
    } catch (const OperationCancelled&) {
        // Esc: the runs were being counted, nothing was changed yet.
    }
}

// ---- find -------------------------------------------------------------------------------------

void ListCommands::find() {
    findNext_->setEnabled(true);
    dialogs_.showFind(owner_, findDialog_, [this] { searchNext(); });
}

void ListCommands::findNext() {
    if (!findDialog_.findText.isEmpty())
        searchNext();
}

void ListCommands::searchNext() {
    const int field = grid_->currentField();
    FindOptions options;
    options.matchCase = findDialog_.matchCase;
    options.wholeWord = findDialog_.wholeWord;
    const SearchOutcome found =
        lexanta::searchNext(search_, document_.entries(), field, grid_->currentEntry(),
                            findDialog_.findText, options, document_.codePageOf(field));
    if (found.endOfList) {
        const bool english = isEnglish_();
        dialogs_.messageBox(owner_,
                            english ? QStringLiteral("End of vocabulary reached!")
                                    : QStringLiteral("Достигнут конец словаря!"),
                            english ? QStringLiteral("End of document")
                                    : QStringLiteral("Конец документа"),
                            MsgIcon::None, MsgButtons::Ok);
    }
    if (found.found >= 0) {
        const int row = EntryGrid::rowOfEntry(found.found);
        grid_->setTopRow(row);
        grid_->setCurrentCell(EntryGrid::columnOfField(field), row);
    }
    search_.lastFound = grid_->currentEntry();
    grid_->setFocus();
}

} // namespace lexanta
