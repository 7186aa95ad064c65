#include "gui/check/check_commands.h"

#include "core/check/check_text.h"
#include "core/check/field_languages.h"
#include "document/document.h"
#include "gui/check/check_panel.h"
#include "gui/check/findings_model.h"
#include "gui/editing/entry_grid.h"
#include "gui/widgets/dialogs.h"
#include "gui/widgets/named_action.h"
#include "gui/widgets/progress_feedback.h"
#include "platform/spelling.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

namespace lexanta {

namespace {

// The document has settled after a change once the events of that change are handled.
constexpr int kUpdateDelayMs = 0;
// Typing a language into the description changes the setup at each key: wait for a pause.
constexpr int kSetupDelayMs = 700;

} // namespace

CheckCommands::CheckCommands(Document& document, Dialogs& dialogs, QMainWindow* window,
                             EntryGrid* grid, QProgressBar* progress,
                             std::function<bool()> isEnglish, QObject* parent)
    : QObject(parent), document_(document), dialogs_(dialogs), window_(window), grid_(grid),
      progress_(progress), isEnglish_(std::move(isEnglish)) {
    check_ =
        namedAction(this, "CheckList1", QStringLiteral("&Check list..."), QKeySequence(Qt::Key_F7));
    connect(check_, &QAction::triggered, this, &CheckCommands::runCheck);

    updateTimer_ = new QTimer(this);
    updateTimer_->setSingleShot(true);
    updateTimer_->setInterval(kUpdateDelayMs);
    connect(updateTimer_, &QTimer::timeout, this, &CheckCommands::updateNow);
    setupTimer_ = new QTimer(this);
    setupTimer_->setSingleShot(true);
    setupTimer_->setInterval(kSetupDelayMs);
    connect(setupTimer_, &QTimer::timeout, this, [this] {
        if (hasRun() && panel_->isVisible() &&
            checkSetup(document_.header(), options_) != headerSetup_)
            runCheck();
    });

    follower_.onTableReplaced = [this] { tableReplaced(); };
    document_.addEntryFollower(&follower_);
    followed_ = &document_;
    connect(&document_, &Document::entriesChanged, this, [this] {
        if (hasRun() || replaced_)
            updateTimer_->start();
    });
    connect(&document_, &Document::headerChanged, this, &CheckCommands::headerChanged);
}

CheckCommands::~CheckCommands() {
    // A window's document may go before the window's children do.
    if (followed_)
        followed_->removeEntryFollower(&follower_);
}

CheckPanel* CheckCommands::panel() {
    if (panel_)
        return panel_;
    panel_ = new CheckPanel(window_);
    window_->addDockWidget(Qt::BottomDockWidgetArea, panel_);
    panel_->hide();
    connect(panel_->checkAgainButton(), &QPushButton::clicked, this, &CheckCommands::runCheck);
    connect(panel_->view(), &QTreeView::activated, this, &CheckCommands::activate);
    connect(panel_->view()->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &CheckCommands::currentChanged);
    connect(panel_->fixButton(), &QToolButton::clicked, this, [this] {
        const std::vector<Fix> fixes = currentFixes();
        if (const Finding* f = panel_->model()->finding(panel_->view()->currentIndex());
            f && !fixes.empty())
            fix(*f, fixes.front());
    });
    connect(panel_->fixAllButton(), &QPushButton::clicked, this, [this] {
        if (panel_->view()->currentIndex().isValid())
            fixAll(panel_->model()->kindOf(panel_->view()->currentIndex()));
    });
    for (int field = 0; field < 3; ++field)
        connect(panel_->dictionaryBox(field), &QComboBox::currentIndexChanged, this,
                [this, field] { dictionaryChosen(field); });

    fillDictionaryBoxes();
    showTexts(english_);
    emit panelBuilt();
    return panel_;
}

void CheckCommands::showTexts(bool english) {
    english_ = english;
    if (!panel_)
        return;
    panel_->showTexts(english);
    filling_ = true;
    for (int field = 0; field < 3; ++field) {
        QComboBox* box = panel_->dictionaryBox(field);
        box->setItemText(0,
                         english ? QStringLiteral("automatic") : QStringLiteral("автоматически"));
        box->setItemText(box->count() - 1,
                         english ? QStringLiteral("none") : QStringLiteral("нет"));
    }
    filling_ = false;
    if (hasRun())
        showFindings();
}

void CheckCommands::fillDictionaryBoxes() {
    filling_ = true;
    const QStringList installed = installedDictionaries();
    for (int field = 0; field < 3; ++field) {
        QComboBox* box = panel_->dictionaryBox(field);
        box->clear();
        box->addItem(QString(), QVariant()); // automatic
        for (const QString& name : installed)
            box->addItem(name, name);
        box->addItem(QString(), QString()); // none
    }
    filling_ = false;
}

void CheckCommands::dictionaryChosen(int field) {
    if (filling_)
        return;
    const QVariant data = panel_->dictionaryBox(field)->currentData();
    if (data.isNull())
        options_.dictionaries[field].reset();
    else
        options_.dictionaries[field] = data.toString();
    if (hasRun())
        runCheck();
}

void CheckCommands::runCheck() {
    // The progress bar lets timers run meanwhile; they wait for this run.
    if (busy_)
        return;
    panel()->show();
    panel_->raise();
    if (!list_) {
        list_ = std::make_unique<ListCheck>();
        follower_.follow(list_.get());
    }
    {
        const QScopedValueRollback<bool> busy(busy_, true);
        ProgressFeedback feedback(progress_);
        list_->run(document_.vocabulary(), options_, feedback.callback());
    }
    headerSetup_ = checkSetup(document_.header(), options_);
    replaced_ = false;
    freshRun_ = true;
    showFindings();
}

void CheckCommands::updateNow() {
    if (busy_) {
        updateTimer_->start();
        return;
    }
    if (replaced_) {
        replaced_ = false;
        if (panel_ && panel_->isVisible())
            runCheck();
        return;
    }
    if (!hasRun() || !list_->isPending())
        return;
    list_->update(document_.vocabulary());
    showFindings();
}

void CheckCommands::showFindings() {
    QTreeView* view = panel_->view();
    FindingsModel* model = panel_->model();
    // The kinds open and the finding current stay so across the refresh.
    std::vector<bool> expanded(kCheckKindCount);
    for (int k = 0; k < kCheckKindCount; ++k)
        expanded[static_cast<std::size_t>(k)] =
            view->isExpanded(model->kindIndex(static_cast<CheckKind>(k)));
    const QModelIndex current = view->currentIndex();
    std::optional<Finding> was;
    std::optional<CheckKind> wasKind;
    if (current.isValid()) {
        wasKind = model->kindOf(current);
        if (const Finding* f = model->finding(current))
            was = *f;
    }
    const bool english = isEnglish_();
    model->show(list_.get(), english);
    for (int k = 0; k < kCheckKindCount; ++k) {
        const auto kind = static_cast<CheckKind>(k);
        // A kind's heading takes the whole width; after a new run the kinds with findings open.
        view->setFirstColumnSpanned(k, QModelIndex(), true);
        view->setExpanded(model->kindIndex(kind), freshRun_
                                                      ? model->count(kind) > 0
                                                      : expanded[static_cast<std::size_t>(k)]);
    }
    freshRun_ = false;
    QModelIndex again;
    if (was)
        again = model->indexOf(was->kind, was->entry, was->field);
    if (!again.isValid() && wasKind)
        again = model->kindIndex(*wasKind);
    if (again.isValid())
        view->setCurrentIndex(again);
    const QStringList notes = setupNotes(list_->setup(), english);
    panel_->notes()->setText(notes.join(QLatin1Char('\n')));
    panel_->notes()->setVisible(!notes.isEmpty());
    currentChanged();
}

void CheckCommands::currentChanged() {
    const QModelIndex current = panel_->view()->currentIndex();
    const Finding* finding = panel_->model()->finding(current);
    const std::vector<Fix> fixes = currentFixes();
    QMenu* menu = panel_->fixButton()->menu();
    menu->clear();
    const bool english = isEnglish_();
    for (const Fix& f : fixes) {
        QAction* a = menu->addAction(fixTitle(f, *finding, english));
        connect(a, &QAction::triggered, this, [this, f, one = *finding] { fix(one, f); });
    }
    panel_->fixButton()->setEnabled(!fixes.empty());
    panel_->fixButton()->setToolTip(fixes.empty() ? QString()
                                                  : fixTitle(fixes.front(), *finding, english));
    panel_->fixAllButton()->setEnabled(
        current.isValid() && panel_->model()->count(panel_->model()->kindOf(current)) > 0);
}

std::vector<Fix> CheckCommands::currentFixes() const {
    if (!panel_ || !list_)
        return {};
    const Finding* f = panel_->model()->finding(panel_->view()->currentIndex());
    return f ? fixesFor(*f, *list_) : std::vector<Fix>();
}

void CheckCommands::activate(const QModelIndex& index) {
    const Finding* f = panel_->model()->finding(index);
    if (!f || f->entry >= document_.entries().entryCount())
        return;
    // The grid is on the first page.
    for (QWidget* w = grid_->parentWidget(); w; w = w->parentWidget())
        if (auto* pages = qobject_cast<QTabWidget*>(w)) {
            pages->setCurrentIndex(0);
            break;
        }
    grid_->setCurrentCell(EntryGrid::columnOfField(f->field), EntryGrid::rowOfEntry(f->entry));
    grid_->setFocus();
}

void CheckCommands::fix(const Finding& finding, const Fix& fix) {
    updateNow(); // the plan is made on the list as the check last saw it
    ListEdit edit = planFix(document_.vocabulary(), *list_, finding, fix);
    if (edit.isEmpty())
        return;
    document_.applyListEdit(fixTitle(fix, finding, true), std::move(edit));
    updateNow();
}

void CheckCommands::fixAll(CheckKind kind) {
    if (busy_)
        return;
    updateNow();
    ListEdit edit;
    {
        const QScopedValueRollback<bool> busy(busy_, true);
        ProgressFeedback feedback(progress_);
        edit = planFixAll(document_.vocabulary(), *list_, kind, feedback.callback());
    }
    if (edit.isEmpty())
        return;
    document_.applyListEdit(QStringLiteral("Fix all: ") + kindTitle(kind, true), std::move(edit));
    updateNow();
}

void CheckCommands::headerChanged() {
    if (hasRun())
        setupTimer_->start();
}

// ---- following the list ------------------------------------------------------------------

void CheckCommands::tableReplaced() {
    // Another list: what the check knew is of the old one.
    if (hasRun()) {
        list_->clear();
        panel_->model()->show(nullptr, isEnglish_());
        replaced_ = true;
    }
}

} // namespace lexanta
