// Word-list commands of the main window: sort, shuffle, swap, frequency analysis, find.
#include "app/tform1.h"

#include "editing/ui/combo_edit.h"
#include "editing/ui/entry_grid.h"
#include "listops/frequency.h"
#include "listops/search.h"
#include "listops/shuffle_swap.h"
#include "listops/sorting.h"
#include "platform/codepage.h"
#include "platform/collation.h"
#include "platform/ui/field_fonts.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QMenu>
#include <QProgressBar>
#include <QToolButton>

namespace lexanta {

namespace {

const KeyCollator& userCollator() {
    static const KeyCollator collator;
    return collator;
}

} // namespace

void TForm1::connectListops() {
    // A press on the sort button only opens its column menu; the menus run the sort.
    SpeedItem10->setMenu(RxPopupMenu1);
    SpeedItem10->setPopupMode(QToolButton::InstantPopup);
    connect(Question1, &QAction::triggered, this, [this] { Question1Click(); });
    connect(Answer1, &QAction::triggered, this, [this] { Answer1Click(); });
    connect(comment1, &QAction::triggered, this, [this] { comment1Click(); });
    connect(questions1, &QAction::triggered, this, [this] { Question1Click(); });
    connect(answers1, &QAction::triggered, this, [this] { Answer1Click(); });
    connect(comments1, &QAction::triggered, this, [this] { comment1Click(); });
    connect(SpeedItem11Random, &QToolButton::clicked, this, [this] { SpeedItem11RandomClick(); });
    connect(RandomizeEntries1, &QAction::triggered, this, [this] { SpeedItem11RandomClick(); });
    connect(SpeedItem11Swap, &QToolButton::clicked, this, [this] { SpeedItem11SwapClick(); });
    connect(Swap1, &QAction::triggered, this, [this] { SpeedItem11SwapClick(); });
    connect(FrequencyAnalysing1, &QAction::triggered, this, [this] { FrequencyAnalysing1Click(); });
    connect(Find1, &QAction::triggered, this, [this] { Find1Click(); });
    connect(Findnext1, &QAction::triggered, this, [this] { Findnext1Click(); });
}

// ---- sorting ----------------------------------------------------------------------------

void TForm1::Question1Click() {
    SpeedItem10->setProperty("Tag", 1);
    SpeedItem10Click();
}

void TForm1::Answer1Click() {
    SpeedItem10->setProperty("Tag", 2);
    SpeedItem10Click();
}

void TForm1::comment1Click() {
    SpeedItem10->setProperty("Tag", 3);
    SpeedItem10Click();
}

void TForm1::SpeedItem10Click() {
    const int column = SpeedItem10->property("Tag").toInt();
    if (column < 1 || column > 3)
        return;
    ProgressBar1->setVisible(true);
    ProgressBar1->setMaximum(RowCount());
    ProgressBar1->setValue(0);
    // The bar steps by 3 at each call of the partition step; repaint now and then only,
    // so that a million entries are not slowed down by painting.
    long long shown = 0;
    const SortProgress progress = [this, &shown](long long calls) {
        const long long value = std::min<long long>(calls * 3, ProgressBar1->maximum());
        if (value - shown >= ProgressBar1->maximum() / 100 + 1 ||
            value == ProgressBar1->maximum()) {
            shown = value;
            ProgressBar1->setValue(static_cast<int>(value));
            ProgressBar1->repaint();
        }
    };
    sortEntries(doc.entries, column, CodePage::forCharset(doc.header.fonts[column - 1].charset),
                userCollator(), progress);
    ProgressBar1->setVisible(false);
    ProgressBar1->setValue(0);
    refreshBoxesAfterRewrite();
}

// ---- shuffle and swap -------------------------------------------------------------------

void TForm1::SpeedItem11RandomClick() {
    RandomizeEntries();
}

void TForm1::SpeedItem11SwapClick() {
    SwapQuestionAnswer();
}

void TForm1::RandomizeEntries() {
    randomizeEntries(doc.entries, static_cast<unsigned>(QDateTime::currentSecsSinceEpoch()));
    refreshBoxesAfterRewrite();
}

void TForm1::SwapQuestionAnswer() {
    swapQuestionAnswerCells(doc.entries);
    std::swap(doc.header.layoutNames[kQuestionField], doc.header.layoutNames[kAnswerField]);
    std::swap(doc.header.fonts[kQuestionField], doc.header.fonts[kAnswerField]);
    // The input boxes take the swapped fonts whole, at the fonts' own sizes.
    const FieldFont& question = doc.header.fonts[kQuestionField];
    const FieldFont& answer = doc.header.fonts[kAnswerField];
    setWidgetFont(ComboEdit1, toQFont(question), toQColor(question.color, palette()));
    setWidgetFont(ComboEdit2, toQFont(answer), toQColor(answer.color, palette()));
    refreshBoxesAfterRewrite();
}

// ---- frequency analysis -----------------------------------------------------------------

void TForm1::FrequencyAnalysing1Click() {
    frequencyAnalysis(doc.entries, CodePage::forCharset(doc.header.fonts[kQuestionField].charset),
                      userCollator());
    refreshBoxesAfterRewrite();
}

// ---- find ---------------------------------------------------------------------------------

void TForm1::Find1Click() {
    Findnext1->setEnabled(true);
    dialogs_->showFind(this, FindDialog1, [this] { FindDialog1Find(); });
}

void TForm1::FindDialog1Find() {
    SearchNext();
}

void TForm1::Findnext1Click() {
    if (!FindDialog1.findText.isEmpty())
        SearchNext();
}

void TForm1::SearchNext() {
    const int column = StringGrid1->Col();
    SearchState state{LastFoundRow, EndReached};
    FindOptions options;
    options.matchCase = FindDialog1.matchCase;
    options.wholeWord = FindDialog1.wholeWord;
    const SearchOutcome found =
        searchNext(state, doc.entries, column, StringGrid1->Row(), FindDialog1.findText, options,
                   CodePage::forCharset(doc.header.fonts[column - 1].charset));
    EndReached = state.endReached;
    if (found.endOfList) {
        const bool english = IsEnglishInterface();
        dialogs_->messageBox(this,
                             english ? QStringLiteral("End of vocabulary reached!")
                                     : QStringLiteral("Достигнут конец словаря!"),
                             english ? QStringLiteral("End of document")
                                     : QStringLiteral("Конец документа"),
                             MsgIcon::None, MsgButtons::Ok);
    }
    if (found.foundRow > 0) {
        StringGrid1->setTopRow(found.foundRow);
        StringGrid1->setCurrentCell(column, found.foundRow);
    }
    LastFoundRow = StringGrid1->Row();
    StringGrid1->setFocus();
}

} // namespace lexanta
