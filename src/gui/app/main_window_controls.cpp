#include "gui/app/main_window.h"
#include "gui/check/check_commands.h"
#include "gui/listops/replace_commands.h"
#include "gui/print/print_commands.h"

#include "gui/app/window_children.h"

#include "document/document.h"
#include "gui/app/form_settings.h"
#include "gui/app/layout_rule.h"
#include "gui/app/speed_bar.h"
#include "gui/app/text_room.h"
#include "gui/app/window_texts.h"
#include "gui/editing/combo_edit.h"
#include "gui/editing/entry_editor.h"
#include "gui/editing/entry_grid.h"
#include "gui/editing/entry_grid_model.h"
#include "gui/editing/font_commands.h"
#include "gui/editing/layout_commands.h"
#include "gui/editing/undo_commands.h"
#include "gui/interchange/interchange_commands.h"
#include "gui/listops/list_commands.h"
#include "gui/ui_language/language_commands.h"
#include "gui/vocab/crash_recovery.h"
#include "gui/vocab/description_editor.h"
#include "gui/vocab/file_commands.h"
#include "gui/vocab/recent_files.h"
#include "gui/widgets/deferred_style_icon.h"
#include "gui/widgets/dialogs.h"
#include "gui/widgets/glyph_icon.h"
#include "gui/widgets/keyboard_menu_access.h"
#include "gui/widgets/line_edit_limits.h"
#include "gui/widgets/modifier_typing_filter.h"
#include "gui/widgets/progress_feedback.h"
#include "gui/widgets/undo_keys_to_window.h"
#include "platform/file_names.h"
#include "platform/keyboard_layouts.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDropEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QUrl>

namespace lexanta {

void MainWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("RxMainMenu1"));
    named(bar->addMenu(QStringLiteral("&File")), "N1");
    named(bar->addMenu(QStringLiteral("&Edit")), "Edit1");
    QMenu* service = named(bar->addMenu(QStringLiteral("&Service")), "Service1");
    named(service->addMenu(QStringLiteral("S&ort")), "Sort1");
    named(bar->addMenu(QStringLiteral("&?")), "N5");
    named(new QMenu(this), "RxPopupMenu1");
}

void MainWindow::buildToolBar() {
    speedBar_ = named(new SpeedBar(panel_), "SpeedBar1");
    speedBar_->setGeometry(0, 0, 800, speedBar_->height());
    const int editing =
        speedBar_->addSection(QStringLiteral("SpeedbarSection1"), QStringLiteral("Editing"));
    const int file =
        speedBar_->addSection(QStringLiteral("SpeedbarSection2"), QStringLiteral("File"));
    const int other =
        speedBar_->addSection(QStringLiteral("SpeedbarSection3"), QStringLiteral("Other"));
    const int utilities =
        speedBar_->addSection(QStringLiteral("SpeedbarSection4"), QStringLiteral("Utilities"));
    const QColor ink(0x1f, 0x3a, 0x68);
    struct Button {
        int section;
        const char* name;
        const char* caption;
        int left;
        QIcon icon;
        const char* hint; // the design's; the part before "|" is the tooltip
    };
    const Button buttons[] = {
        {file, "SpeedItem3", "New", 3, deferredStyleIcon(this, QStyle::SP_FileIcon),
         "New dictionary|"},
        {file, "SpeedItem4", "Load", 43, deferredStyleIcon(this, QStyle::SP_DialogOpenButton),
         "Load dictionary (Ctrl+L)|"},
        {file, "SpeedItem9", "Save", 83, deferredStyleIcon(this, QStyle::SP_DialogSaveButton),
         "Save dictionary|"},
        {file, "SpeedItem5", "Save as", 123, glyphIcon(QStringLiteral("…"), ink, 0.67),
         "Save as...|"},
        {editing, "SpeedItem1", "Edit Words", 203, glyphIcon(QStringLiteral("✎"), ink, 0.67),
         "Edit words|"},
        {editing, "SpeedItem2", "Add Words", 243,
         glyphIcon(QStringLiteral("+"), QColor(0x1d, 0x7a, 0x2e), 0.83), "Add words|"},
        {editing, "SpeedItem6", "Delete words", 283,
         glyphIcon(QStringLiteral("✕"), QColor(0xb0, 0x20, 0x20), 0.67), "Delete words|"},
        {utilities, "SpeedItem10", "Sort (A-Z)", 363, glyphIcon(QStringLiteral("A↓Z"), ink, 0.33),
         "Sort (a-z)|"},
        {utilities, "SpeedItem11Random", "Random Entries", 403,
         glyphIcon(QStringLiteral("⤨"), ink, 0.75), "Shuffle entries|"},
        {utilities, "SpeedItem11Swap", "Swap Question & Answer", 443,
         glyphIcon(QStringLiteral("⇄"), ink, 0.75), "Swap questions & answers|"},
        {other, "SpeedItemHelp", "Help", 531, glyphIcon(QStringLiteral("?"), ink, 0.75), "Help|"},
        {other, "SpeedItem8", "Exit", 595,
         readableIcon(deferredStyleIcon(this, QStyle::SP_DialogCloseButton)), "Exit|"},
    };
    for (const Button& b : buttons) {
        QToolButton* button = speedBar_->addButton(b.section, QString::fromLatin1(b.name),
                                                   QString::fromUtf8(b.caption), b.left);
        button->setIcon(b.icon);
        speedBar_->setHint(button, QString::fromUtf8(b.hint));
    }
}

void MainWindow::buildTopPanel() {
    auto* sizeLabel = named(new QLabel(QStringLiteral("Font Size"), panel_), "FontSize1");
    QFont underlined = sizeLabel->font();
    underlined.setUnderline(true);
    sizeLabel->setFont(underlined);
    sizeLabel->setGeometry(8, 52, 200, 18);

    auto* size = named(new QSpinBox(panel_), "RxSpinEdit1");
    size->setRange(kMinFontSize, kMaxFontSize);
    size->setValue(10);
    size->setGeometry(8, 72, 41, 21);
    size->setButtonSymbols(QAbstractSpinBox::UpDownArrows);

    auto* total = named(new QLabel(QStringLiteral("Total words:"), panel_), "TotalWordsLabel");
    total->setGeometry(430, 52, 96, 18);
    total->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* count = named(new QLabel(QStringLiteral("1"), panel_), "Label3");
    count->setGeometry(530, 52, 110, 18);
    QFont bold = count->font();
    bold.setBold(true);
    count->setFont(bold);

    const char* names[] = {"ComboEdit1", "ComboEdit2", "ComboEdit3"};
    const char* hints[] = {"Change font for questions", "Change font for answers",
                           "Change font for comments"};
    const int lefts[] = {48, 296, 560};
    const int widths[] = {249, 265, 225};
    ComboEdit* previous = nullptr;
    for (int i = 0; i < 3; ++i) {
        auto* box = named(new ComboEdit(panel_), names[i]);
        box->setGeometry(lefts[i], 72, widths[i], 21);
        box->setButtonHint(QString::fromLatin1(hints[i]));
        if (previous)
            setTabOrder(previous, box);
        previous = box;
    }
    // A larger system font widens the size box and the total's label; the design's places
    // stand where the texts fit.
    textRoom_ = new TextRoom(this);
    textRoom_->watch(panel_);
    textRoom_->spinBox(size, child<QWidget>(this, "ComboEdit1"));
    textRoom_->growLeft(total);
    textRoom_->tallEnough({sizeLabel, count});

    progress_ = named(new QProgressBar(panel_), "ProgressBar1");
    progress_->setGeometry(128, 100, 665, 13);
    progress_->setRange(0, 1000);
    progress_->setTextVisible(false);
    progress_->hide();
    // Beside the bar while a command that can be stopped shows it.
    auto* cancel = named(new QPushButton(QStringLiteral("Cancel"), panel_), "ProgressCancel");
    cancel->setFocusPolicy(Qt::NoFocus);
    cancel->setMaximumHeight(21);
    cancel->hide();
    ProgressFeedback::setCancelButton(progress_, cancel);
}

void MainWindow::buildPages() {
    pages_ = named(new QTabWidget(panel_), "PageControl1");
    pages_->move(0, 98);
    auto* main = named(new QWidget, "TabSheet1");
    // The Preferences page scrolls when the window is smaller than its controls.
    auto* preferences = named(new QScrollArea, "TabSheet2");
    preferences->setFrameShape(QFrame::NoFrame);
    auto* page2 = new QWidget;
    page2->setFixedSize(792, 330);
    pages_->addTab(main, QStringLiteral("Main"));
    pages_->addTab(preferences, QStringLiteral("Preferences"));
    preferences->setWidget(page2);

    grid_ = named(new EntryGrid(main), "StringGrid1");
    grid_->move(4, 4);
    grid_->setEntryModel(new EntryGridModel(*document_, grid_));

    // Preferences: description, fonts, keyboard layouts.
    auto* about = named(new QGroupBox(QStringLiteral(" About vocabulary "), page2), "GroupBox1");
    about->setGeometry(8, 6, 300, 182);
    named(new QLabel(QStringLiteral("Languages:"), about), "LanguagesLabel")
        ->setGeometry(10, 24, 70, 20);
    const QStringList languages = {QString(),
                                   QStringLiteral("English"),
                                   QStringLiteral("French"),
                                   QStringLiteral("German"),
                                   QStringLiteral("Spanish"),
                                   QStringLiteral("Italian"),
                                   QStringLiteral("Russian")};
    for (const char* name : {"ComboBox1", "ComboBox2"}) {
        auto* box = named(new QComboBox(about), name);
        box->setEditable(true);
        box->addItems(languages);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setGeometry(name[8] == '1' ? 84 : 190, 22, 100, 22);
    }
    const std::pair<const char*, const char*> rows[] = {
        {"TitleLabel", "Title:"}, {"AuthorLabel", "Author:"}, {"DateLabel", "Date:"}};
    const char* edits[] = {"Edit2", "Edit3", "Edit4"};
    for (int i = 0; i < 3; ++i) {
        named(new QLabel(QString::fromLatin1(rows[i].second), about), rows[i].first)
            ->setGeometry(10, 56 + 32 * i, 70, 20);
        named(new QLineEdit(about), edits[i])->setGeometry(84, 54 + 32 * i, 206, 22);
    }
    // The code page the description (and every text in the system's code page) is read in.
    named(new QLabel(QStringLiteral("Code page:"), about), "CodePageLabel")
        ->setGeometry(10, 152, 74, 20); // room for "Кодировка:"
    named(new QComboBox(about), "CodePageBox")->setGeometry(84, 150, 206, 22);

    auto* fonts = named(new QGroupBox(QStringLiteral(" Fonts "), page2), "GroupBox2");
    fonts->setGeometry(8, 194, 300, 130);
    const char* fontButtons[] = {"ChangeFont1", "ChangeFont2", "ChangeFont3"};
    const char* fontCaptions[] = {"questions", "answers", "comments"};
    const char* samples[] = {"Label12", "Label13", "Label14"};
    for (int i = 0; i < kShownFields; ++i) {
        auto* b =
            named(new QPushButton(QString::fromLatin1(fontCaptions[i]), fonts), fontButtons[i]);
        b->setIcon(deferredStyleIcon(this, QStyle::SP_ArrowRight));
        b->setLayoutDirection(Qt::RightToLeft); // glyph at the right
        b->setGeometry(10, 24 + i * 34, 110, 26);
        auto* sample = named(new QLabel(QStringLiteral("AaBbCc АаБбВв"), fonts), samples[i]);
        sample->setGeometry(130, 24 + i * 34, 165, 26);
        QFont f(QStringLiteral("MS Sans Serif"));
        f.setPixelSize(16);
        sample->setFont(f);
    }

    auto* layouts = named(new QGroupBox(QStringLiteral(" Keyboard layouts "), page2), "GroupBox3");
    layouts->setGeometry(316, 6, 470, 318);
    autoSwitch_ =
        named(new QCheckBox(QStringLiteral("automatically switch layouts"), layouts), "CheckBox1");
    autoSwitch_->setGeometry(10, 22, 300, 20);
    const char* frameNames[] = {"GroupBox5", "GroupBox6", "GroupBox7"};
    const char* frameCaptions[] = {" Questions ", " Answers ", " Comments "};
    const char* testLabelNames[] = {"TestLabel1", "TestLabel2", "TestLabel3"};
    const char* testBoxNames[] = {"Edit5", "Edit6", "Edit7"};
    const char* updateNames[] = {"Button2", "Button3", "Button4"};
    for (int i = 0; i < kShownFields; ++i) {
        auto* frame =
            named(new QGroupBox(QString::fromLatin1(frameCaptions[i]), layouts), frameNames[i]);
        frame->setGeometry(10 + i * 152, 46, 146, 96);
        named(new QLabel(QStringLiteral("Test:"), frame), testLabelNames[i])
            ->setGeometry(8, 20, 40, 20);
        named(new QLineEdit(frame), testBoxNames[i])->setGeometry(48, 18, 90, 24);
        named(new QPushButton(QStringLiteral("update layout"), frame), updateNames[i])
            ->setGeometry(8, 56, 130, 28);
    }
    // The instructions scroll where the system font is larger than the frame allows.
    auto* instructionsArea = new QScrollArea(layouts);
    instructionsArea->setFrameShape(QFrame::NoFrame);
    instructionsArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    instructionsArea->setWidgetResizable(true);
    instructionsArea->setGeometry(10, 146, 454, 136);
    auto* instructions = named(new QLabel, "Label8");
    instructions->setWordWrap(true); // a line wider than the frame goes on below
    instructionsArea->setWidget(instructions);
    instructions->setText(
        QStringLiteral("1) Select a font with a character set supporting your target \r\n"
                       "    language. (!!!)\r\n"
                       "2) Install the layouts supporting the foreign language(s) \r\n"
                       "    you want to study onto your system, if they are not \r\n"
                       "    installed yet (see Help). \r\n"
                       "3) Select a keyboard layout for questions/answers/com-\r\n"
                       "    ments (by clicking the language icon near \r\n"
                       "    the system clock and choosing a language).\r\n"
                       "4) Type something in the box below in the chosen \r\n"
                       "    language to see if it works.\r\n"
                       "5) Click the 'update layout' button."));
    instructions->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    makeRoomOnPreferences(page2);
}

// Where a larger system font or a longer translation needs more room than the design gives, a
// column of captions widens and what stands right of it moves right; the page grows with it
// and scrolls where the window is narrower. The texts are measured while the page is in sight.
void MainWindow::makeRoomOnPreferences(QWidget* page) {
    const auto controls = [this](std::initializer_list<const char*> names) {
        QList<QWidget*> found;
        for (const char* name : names)
            found << child<QWidget>(this, name);
        return found;
    };
    const QList<QWidget*> aboutLabels =
        controls({"LanguagesLabel", "TitleLabel", "AuthorLabel", "DateLabel", "CodePageLabel"});
    const QList<QWidget*> aboutFields =
        controls({"ComboBox1", "ComboBox2", "Edit2", "Edit3", "Edit4", "CodePageBox"});
    const QList<QWidget*> fontButtons = controls({"ChangeFont1", "ChangeFont2", "ChangeFont3"});
    const QList<QWidget*> samples = controls({"Label12", "Label13", "Label14"});
    const QList<QWidget*> frames = controls({"GroupBox5", "GroupBox6", "GroupBox7"});
    const QList<QWidget*> testLabels = controls({"TestLabel1", "TestLabel2", "TestLabel3"});
    const QList<QWidget*> testBoxes = controls({"Edit5", "Edit6", "Edit7"});
    const QList<QWidget*> updateButtons = controls({"Button2", "Button3", "Button4"});
    QWidget* about = child<QWidget>(this, "GroupBox1");
    QWidget* fonts = child<QWidget>(this, "GroupBox2");
    QWidget* layouts = child<QWidget>(this, "GroupBox3");
    QWidget* instructions = child<QWidget>(this, "Label8")->parentWidget()->parentWidget();
    const auto makeRoom = [=, autoSwitch = autoSwitch_, pageSize = page->size()] {
        const int labels = std::max(0, TextRoom::extraWidth(aboutLabels));
        const int buttons = std::max(0, TextRoom::extraWidth(fontButtons));
        const int left = std::max(labels, buttons);
        for (QWidget* w : aboutLabels)
            TextRoom::place(w, 0, labels);
        for (QWidget* w : aboutFields)
            TextRoom::place(w, labels);
        for (QWidget* w : fontButtons)
            TextRoom::place(w, 0, buttons);
        for (QWidget* w : samples)
            TextRoom::place(w, buttons);
        TextRoom::place(about, 0, left);
        TextRoom::place(fonts, 0, left);

        const int test = std::max(0, TextRoom::extraWidth(testLabels));
        const int frame = std::max({test, TextRoom::extraWidth(updateButtons), 0});
        for (int i = 0; i < frames.size(); ++i) {
            TextRoom::place(frames[i], i * frame, frame);
            TextRoom::place(testLabels[i], 0, test);
            TextRoom::place(testBoxes[i], test, frame - test);
            TextRoom::place(updateButtons[i], 0, frame);
        }
        const int right = 3 * frame;
        TextRoom::place(layouts, left, right);
        TextRoom::place(instructions, 0, right);
        TextRoom::place(autoSwitch, 0,
                        std::clamp(TextRoom::extraWidth({autoSwitch}), 0, 154 + right));
        page->setFixedSize(pageSize + QSize(left + right, 0));
    };
    textRoom_->addRule(makeRoom, page);
    for (QWidget* container : {about, fonts, layouts})
        textRoom_->watch(container);
    for (QWidget* frame : frames)
        textRoom_->watch(frame);
}

// ---- commands -------------------------------------------------------------------------------

void MainWindow::fillMenus() {
    auto* exit = named(new QAction(QStringLiteral("E&xit"), this), "Exit1");
    exit->setShortcut(QKeySequence(Qt::ALT | Qt::Key_X));
    connect(exit, &QAction::triggered, this, &QWidget::close);

    QMenu* file = child<QMenu>(this, "N1");
    file->addActions(
        {files_->newAction(), files_->openAction(), files_->saveAction(), files_->saveAsAction()});
    file->addMenu(files_->recentMenu());
    file->addAction(files_->mergeAction());
    file->addSeparator();
    file->addActions({interchange_->importAction(), interchange_->specialImportAction(),
                      interchange_->exportAction()});
    file->addSeparator();
    file->addActions({print_->printAction(), print_->previewAction(), print_->exportPdfAction()});
    file->addSeparator()->setObjectName(QStringLiteral("N8"));
    file->addAction(exit);

    QMenu* edit = child<QMenu>(this, "Edit1");
    edit->addActions({undo_->undoAction(), undo_->redoAction()});
    edit->addSeparator();
    edit->addActions({lists_->findAction(), lists_->findNextAction(), lists_->replaceAction(),
                      replacing_->replaceAction()});

    QMenu* service = child<QMenu>(this, "Service1");
    QMenu* sort = child<QMenu>(this, "Sort1");
    for (int column = 1; column <= kShownFields; ++column)
        sort->addAction(lists_->sortMenuAction(column));
    service->addActions({lists_->shuffleAction(), lists_->swapAction(), lists_->frequencyAction(),
                         checks_->checkAction()});
    service->addSeparator();
    service->addAction(files_->removeBlankLinesAction());
    QMenu* language =
        named(service->addMenu(QStringLiteral("&Interface Language")), "InterfaceLanguage1");
    language->addActions({language_->englishAction(), language_->russianAction()});

    child<QMenu>(this, "N5")->addActions({language_->helpAction(), language_->aboutAction()});
    QMenu* sortButton = child<QMenu>(this, "RxPopupMenu1");
    for (int column = 1; column <= kShownFields; ++column)
        sortButton->addAction(lists_->sortButtonAction(column));
}

void MainWindow::bindToolBar() {
    const std::pair<const char*, QAction*> bindings[] = {
        {"SpeedItem3", files_->newAction()},
        {"SpeedItem4", files_->openAction()},
        {"SpeedItem9", files_->saveAction()},
        {"SpeedItem5", files_->saveAsAction()},
        {"SpeedItem1", editor_->editWordsAction()},
        {"SpeedItem2", editor_->addWordsAction()},
        {"SpeedItem6", editor_->deleteAction()},
        {"SpeedItem11Random", lists_->shuffleAction()},
        {"SpeedItem11Swap", lists_->swapAction()},
        {"SpeedItemHelp", language_->aboutAction()},
        {"SpeedItem8", child<QAction>(this, "Exit1")},
    };
    for (const auto& [name, action] : bindings)
        speedBar_->bind(speedBar_->button(QString::fromLatin1(name)), action);
    // A press on the sort button only opens its column menu; the menus run the sort.
    QToolButton* sort = speedBar_->button(QStringLiteral("SpeedItem10"));
    sort->setMenu(child<QMenu>(this, "RxPopupMenu1"));
    sort->setPopupMode(QToolButton::InstantPopup);
}

// ---- title, layout, status ------------------------------------------------------------------

} // namespace lexanta
