#include "gui/app/main_window.h"

#include "gui/app/window_children.h"

#include "document/document.h"
#include "gui/app/accessible_texts.h"
#include "gui/app/form_settings.h"
#include "gui/app/layout_rule.h"
#include "gui/app/program_options.h"
#include "gui/app/speed_bar.h"
#include "gui/app/window_texts.h"
#include "gui/check/check_commands.h"
#include "gui/desktop/layout_switch_notice.h"
#include "gui/editing/combo_edit.h"
#include "gui/editing/entry_editor.h"
#include "gui/editing/entry_grid.h"
#include "gui/editing/entry_grid_model.h"
#include "gui/editing/font_commands.h"
#include "gui/editing/layout_commands.h"
#include "gui/editing/undo_commands.h"
#include "gui/interchange/interchange_commands.h"
#include "gui/listops/list_commands.h"
#include "gui/listops/replace_commands.h"
#include "gui/print/print_commands.h"
#include "gui/ui_language/language_commands.h"
#include "gui/vocab/crash_recovery.h"
#include "gui/vocab/description_editor.h"
#include "gui/vocab/file_commands.h"
#include "gui/vocab/recent_files.h"
#include "gui/widgets/dialogs.h"
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
#include <QDir>
#include <QDropEvent>
#include <QGroupBox>
#include <QItemSelectionModel>
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
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QUrl>

#include <algorithm>

namespace lexanta {

namespace {

// The first-start size: room for the three input boxes and the grid's three columns whole,
// and well inside a 1280 x 800 screen.
constexpr int kDesignWidth = 808;
constexpr int kDesignHeight = 600;

} // namespace

MainWindow::MainWindow(const WindowServices& services, QWidget* parent)
    : QMainWindow(parent), document_(std::make_unique<Document>(Document::Start::FirstStart)),
      dialogs_(services.dialogs), keyboardLayouts_(services.keyboardLayouts),
      configFolder_(services.configFolder), restoreSettings_(services.restoreSettings),
      fileToOpen_(services.fileToOpen) {
    setObjectName(QStringLiteral("Form1"));
    setAcceptDrops(true);
    if (!keyboardLayouts_) {
        ownedLayouts_ = std::make_unique<MemoryKeyboardLayouts>();
        keyboardLayouts_ = ownedLayouts_.get();
    }
    programFolder_ = services.programFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                                      : services.programFolder;
    if (!programFolder_.endsWith(QLatin1Char('/')))
        programFolder_ += QLatin1Char('/');

    panel_ = named(new QWidget(this), "Panel1");
    setCentralWidget(panel_);
    buildMenus();
    buildToolBar();
    buildTopPanel();
    buildPages();
    statusBar()->setSizeGripEnabled(false);
    buildCommands(services);
    fillMenus();
    bindToolBar();
    orderTabStops();
    // Alt and Ctrl never type text; Alt alone and F10 reach the menus; Ctrl+Z undoes in the
    // document, not in one box. Every line edit holds any length a file can bring.
    new ModifierTypingFilter(this);
    new UndoKeysToWindow(this);
    enableKeyboardMenuAccess(menuBar());
    liftLengthLimits(this);
    applyAccessibleTexts(*this, true);

    resize(kDesignWidth, kDesignHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        // Centred, and whole on a screen smaller than the design size (a small laptop, a large
        // scale factor): its title bar in sight. The frame is not known before the window is
        // shown; a title bar's height stands in for it.
        const QRect area = screen->availableGeometry();
        const int titleBar = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
        resize(size().boundedTo(area.size() - QSize(0, titleBar)));
        const QPoint corner = area.center() - rect().center();
        move(std::max(corner.x(), area.left()), std::max(corner.y(), area.top()));
    }
    applyLayoutRule();
    // The window starts in Add Words mode: the first keys typed go into the question box, not
    // into the font size box that leads the Tab order.
    child<ComboEdit>(this, "ComboEdit1")->setFocus();
    connect(document_.get(), &Document::fileStateChanged, this, &MainWindow::showTitle);
    connect(document_.get(), &Document::modifiedChanged, this, &MainWindow::showTitle);
    showTitle();
}

MainWindow::~MainWindow() {
    // Hiding moves the focus out of the input boxes, whose validators ask the document for
    // their code page; that happens while the document is still there. The grid's model
    // follows the document's entries; it goes before the document too.
    hide();
    delete grid_->entryModel();
}

// ---- controls -------------------------------------------------------------------------------

void MainWindow::orderTabStops() {
    // Tab reaches the input line and the pages before the tool bar, whose commands all have
    // menu items and keys of their own.
    QWidgetList chain, buttons;
    for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain()) {
        // Only the stops themselves: moving a container moves all it holds.
        const bool inStop = std::any_of(chain.cbegin(), chain.cend(),
                                        [w](const QWidget* s) { return s->isAncestorOf(w); });
        if (!(w->focusPolicy() & Qt::TabFocus) || w->focusProxy() || inStop)
            continue;
        (speedBar_->isAncestorOf(w) ? buttons : chain) << w;
    }
    chain << buttons;
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void MainWindow::buildCommands(const WindowServices& services) {
    Document& doc = *document_;
    Dialogs& dialogs = *dialogs_;
    const auto status = [this](const QString& message) { showStatus(message); };
    const std::array<ComboEdit*, kShownFields> boxes{child<ComboEdit>(this, "ComboEdit1"),
                                                     child<ComboEdit>(this, "ComboEdit2"),
                                                     child<ComboEdit>(this, "ComboEdit3")};
    const std::array<QLineEdit*, kShownFields> testBoxes{child<QLineEdit>(this, "Edit5"),
                                                         child<QLineEdit>(this, "Edit6"),
                                                         child<QLineEdit>(this, "Edit7")};

    texts_ = std::make_unique<WindowTexts>(*this);
    files_ = new FileCommands(doc, dialogs, this, this);
    files_->setProgressBar(progress_);
    connect(files_, &FileCommands::showText, this, [this](int entry, int field) {
        grid_->setCurrentCell(EntryGrid::columnOfField(field < kShownFields ? field : kQuestion),
                              EntryGrid::rowOfEntry(entry));
        grid_->setFocus();
    });
    connect(files_, &FileCommands::showDescription, this,
            [this] { child<QLineEdit>(this, "Edit2")->setFocus(); });
    editor_ = new EntryEditor(doc, grid_, boxes, status, this);
    undo_ = new UndoCommands(doc, this);

    FontControls fontControls;
    fontControls.grid = grid_;
    fontControls.boxes = boxes;
    fontControls.testBoxes = testBoxes;
    fontControls.samples = {child<QLabel>(this, "Label12"), child<QLabel>(this, "Label13"),
                            child<QLabel>(this, "Label14")};
    fontControls.sizeBox = child<QSpinBox>(this, "RxSpinEdit1");
    fonts_ = new FontCommands(doc, dialogs, this, fontControls, this);
    const char* fontButtons[] = {"ChangeFont1", "ChangeFont2", "ChangeFont3"};
    for (int field = 0; field < kShownFields; ++field)
        connect(child<QPushButton>(this, fontButtons[field]), &QPushButton::clicked, fonts_,
                [this, field] { fonts_->chooseFont(field); });

    LayoutControls layoutControls;
    layoutControls.autoSwitch = autoSwitch_;
    layoutControls.boxes = boxes;
    layoutControls.testBoxes = testBoxes;
    layoutControls.captureButtons = {child<QPushButton>(this, "Button2"),
                                     child<QPushButton>(this, "Button3"),
                                     child<QPushButton>(this, "Button4")};
    layoutControls.testLabels = {child<QLabel>(this, "TestLabel1"),
                                 child<QLabel>(this, "TestLabel2"),
                                 child<QLabel>(this, "TestLabel3")};
    layouts_ = new LayoutCommands(doc, *keyboardLayouts_, layoutControls, this);
    // Selecting a cell gives the grid the column's font, then activates its layout.
    connect(editor_, &EntryEditor::fieldSelected, fonts_, &FontCommands::selectField);
    connect(editor_, &EntryEditor::fieldSelected, layouts_, &LayoutCommands::activateFieldLayout);

    description_ =
        new DescriptionEditor(doc,
                              {child<QComboBox>(this, "ComboBox1"),
                               child<QComboBox>(this, "ComboBox2"), child<QLineEdit>(this, "Edit2"),
                               child<QLineEdit>(this, "Edit3"), child<QLineEdit>(this, "Edit4")},
                              status, this);

    language_ = new LanguageCommands(*texts_, dialogs, this, programFolder_, this);
    lists_ = new ListCommands(
        doc, dialogs, this, grid_, progress_, [this] { return language_->isEnglishInterface(); },
        this);
    const auto isEnglish = [this] { return language_->isEnglishInterface(); };
    replacing_ = new ReplaceCommands(doc, dialogs, this, grid_, progress_, isEnglish, this);
    checks_ = new CheckCommands(doc, dialogs, this, grid_, progress_, isEnglish, this);
    connect(language_, &LanguageCommands::unstoredTextsApplied, checks_, &CheckCommands::showTexts);
    connect(checks_, &CheckCommands::panelBuilt, this, &MainWindow::orderTabStops);
    connect(language_, &LanguageCommands::unstoredTextsApplied, this, [this](bool english) {
        applyAccessibleTexts(*this, english);
        if (auto* cancel = findChild<QPushButton*>(QStringLiteral("ProgressCancel")))
            cancel->setText(english ? QStringLiteral("Cancel") : QStringLiteral("Отмена"));
    });
    interchange_ = new InterchangeCommands(doc, dialogs, this, files_->openDialog(), this);
    interchange_->setProgressBar(progress_);
    const QString configFolder =
        configFolder_.isEmpty()
            ? QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
            : configFolder_;
    print_ = new PrintCommands(
        doc, dialogs, this, QDir(configFolder).filePath(QStringLiteral("lexanta-editor/print.ini")),
        [this] { return language_->isEnglishInterface(); }, [this] { return selectedEntries(); },
        this);
    print_->setProgressBar(progress_);
    layoutNotice_ = std::make_unique<LayoutSwitchNotice>(
        dialogs, QDir(configFolder).filePath(QStringLiteral("lexanta-editor/options.ini")));
    connect(layouts_, &LayoutCommands::switchingUnavailable, this, [this] {
        const bool english = language_->isEnglishInterface();
        layoutNotice_->show(this, keyboardLayouts_->switchingSetting(english), english);
    });
    interchange_->setLanguageTest([this] { return language_->isEnglishInterface(); });
    options_ = new ProgramOptions(
        QDir(configFolder).filePath(QStringLiteral("lexanta-editor/options.ini")),
        child<QComboBox>(this, "CodePageBox"), status, this);
    connect(options_, &ProgramOptions::systemCodePageChanged, this, [this] {
        description_->showDocument();
        grid_->viewport()->update();
    });
    options_->load();
    connect(language_, &LanguageCommands::unstoredTextsApplied, options_,
            &ProgramOptions::showTexts);
    settings_ = new FormSettings(*this, configFolder_, this);
    recovery_ = new CrashRecovery(doc, dialogs, this, services.dataFolder, this);
    recovery_->setLanguageTest([this] { return language_->isEnglishInterface(); });
    // Said once, and in sight until copies can be kept again.
    auto* trouble = new QLabel(this);
    trouble->setObjectName(QStringLiteral("RecoveryTrouble"));
    trouble->hide();
    statusBar()->addPermanentWidget(trouble);
    connect(recovery_, &CrashRecovery::copyTrouble, trouble, [trouble](const QString& message) {
        trouble->setText(message);
        trouble->setVisible(!message.isEmpty());
    });
    connect(language_, &LanguageCommands::unstoredTextsApplied, recovery_,
            &CrashRecovery::retellTrouble);
    connect(files_, &FileCommands::notice, this,
            [this](const QString& message) { statusBar()->showMessage(message); });
    // A change refused for want of memory is told once the command has returned.
    connect(
        &doc, &Document::outOfMemory, this,
        [this](const QString& step) {
            dialogs_->messageBox(this,
                                 QStringLiteral("Not enough memory for %1. The vocabulary is as "
                                                "it was.")
                                     .arg(step),
                                 QStringLiteral("Error"), MsgIcon::Error, MsgButtons::Ok);
        },
        Qt::QueuedConnection);
    settings_->setObjectName(QStringLiteral("FormStorage1"));

    // The counter follows every repaint of the grid, whatever changed the row count.
    auto* count = child<QLabel>(this, "Label3");
    connect(grid_, &EntryGrid::cellsPainted, this, [this, count] {
        const QString text = QString::number(document_->entries().entryCount());
        if (count->text() != text)
            count->setText(text);
    });
    connect(speedBar_, &SpeedBar::doubleClicked, speedBar_, &SpeedBar::customize);
    // A window that goes away without an allowed close (the application quitting under it)
    // still keeps its settings, marked as saved while being destroyed.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (settings_->restored() && !settings_->saved())
            settings_->save(true);
    });
}

std::vector<int> MainWindow::selectedEntries() const {
    // A selection of one cell is only where the cursor stands; more cells select their rows.
    const QItemSelection selection = grid_->selectionModel()->selection();
    std::vector<int> entries;
    qsizetype cells = 0;
    for (const QItemSelectionRange& range : selection)
        cells += static_cast<qsizetype>(range.width()) * range.height();
    if (cells < 2)
        return entries;
    for (const QItemSelectionRange& range : selection)
        for (int row = range.top(); row <= range.bottom(); ++row)
            entries.push_back(row); // model rows are entries
    std::sort(entries.begin(), entries.end());
    entries.erase(std::unique(entries.begin(), entries.end()), entries.end());
    return entries;
}

// ---- title, layout, status ------------------------------------------------------------------

void MainWindow::showTitle() {
    const FileState& f = document_->fileState();
    switch (f.origin) {
    case DocumentOrigin::Untitled:
        title_ = QStringLiteral("Lexanta Editor");
        break;
    case DocumentOrigin::Loaded:
        title_ = QStringLiteral("Lexanta Editor: ") + f.fileName;
        break;
    case DocumentOrigin::SavedAs:
        title_ = f.fileName;
        break;
    }
    // "[*]" marks where the window shows that the document has unsaved changes.
    setWindowTitle(QString(title_).replace(QStringLiteral("[*]"), QStringLiteral("[*][*]")) +
                   QStringLiteral("[*]"));
    setWindowModified(document_->isModified());
}

void MainWindow::showStatus(const QString& message) {
    statusBar()->showMessage(message, 10000);
}

void MainWindow::applyLayoutRule() {
    // The window's own size: a window manager's frame and title bar give no room.
    lexanta::applyLayoutRule(size(), pages_, grid_);
    speedBar_->resize(std::max(width(), 640), speedBar_->height());
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (grid_)
        applyLayoutRule();
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    // The window manager framed the window: the design size or a stored placement, guessed
    // without the frame, is brought whole onto the screen once the frame is known.
    if (!framePending_ || frameGeometry() == geometry())
        return;
    framePending_ = false;
    if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized))
        return;
    if (const std::optional<QRect> fitted = fittedOnScreen(geometry(), frameMargins(*this));
        fitted && *fitted != geometry())
        setGeometry(*fitted);
}

// ---- closing and settings -------------------------------------------------------------------

bool MainWindow::askSaveBeforeClosing() {
    if (closeConfirmed_)
        return true;
    const QString question = language_->isEnglishInterface()
                                 ? QStringLiteral("Save Before Closing?")
                                 : QStringLiteral("Сохранить перед закрытием?");
    const MsgResult answer = dialogs_->messageBox(this, question, QStringLiteral("Confimation"),
                                                  MsgIcon::Question, MsgButtons::YesNoCancel);
    if (answer == MsgResult::Cancel)
        return false;
    if (answer == MsgResult::No)
        return true;
    // Yes: the close goes ahead only when the document was really written.
    if (!files_->saveBeforeClosing())
        return false;
    closeConfirmed_ = true;
    return true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // A long operation paints the window as it goes; it finishes before the window closes.
    if (ProgressFeedback::isBusy()) {
        event->ignore();
        return;
    }
    bool allowed = false;
    try {
        allowed = askSaveBeforeClosing();
    } catch (...) {
        allowed = false;
    }
    if (!allowed) {
        event->ignore();
        return;
    }
    saveSettingsOnClose();
    recovery_->finish();
    event->accept();
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!firstShowDone_) {
        firstShowDone_ = true;
        if (restoreSettings_)
            restoreSettingsOnFirstShow();
        // Opening the file may ask or warn: its boxes belong over the window on the screen,
        // which it is only once this event has been handled.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (restoreSettings_)
                    openFileAtStart();
                recovery_->offerLeftCopies();
                // The start puts the focus in the question box, as a move into it would: with
                // automatic switching on, its layout (where the desktop lets the program switch;
                // elsewhere the notice waits for a field entered by the user).
                if (focusWidget() == editor_->box(kQuestion) &&
                    keyboardLayouts_->switchingSetting(true).isEmpty())
                    layouts_->activateFieldLayout(kQuestion);
            },
            Qt::QueuedConnection);
    }
}

void MainWindow::restoreSettingsOnFirstShow() {
    settings_->restoreStorage();
    language_->followStoredLanguage();
    settings_->restorePlacement();
}

void MainWindow::openFileAtStart() {
    // The last file chosen for opening, or the one named on the command line, is opened
    // exactly as Load opens it.
    if (!fileToOpen_.isEmpty())
        files_->openDialog().fileName = fileToOpen_;
    if (files_->openDialog().fileName.isEmpty())
        return;
    // Reopening the last file leaves the stored recent list as it was; a file named on the
    // command line joins it like any load.
    const QStringList recent = files_->recentFiles().items();
    files_->loadFile(files_->openDialog().fileName, fileToOpen_.isEmpty());
    if (fileToOpen_.isEmpty())
        files_->recentFiles().setItems(recent);
}

namespace {

// The first local .lut file a drag carries, or list (.csv, .ods, .xlsx, .kvtml, an Anki package)
// to import; empty when it carries none.
QString draggedVocabulary(const QMimeData* data) {
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        // toLocalFile() would read the name's bytes as UTF-8; the URL keeps them encoded.
        const QString path = fileNameFromBytes(
            QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
        if (path.endsWith(QLatin1String(".lut"), Qt::CaseInsensitive) || listFormatOfFile(path))
            return path;
    }
    return {};
}

} // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!draggedVocabulary(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QString path = draggedVocabulary(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // The import dialog is modal: it opens after the drop has ended.
    if (const std::optional<ListFormat> list = listFormatOfFile(path))
        QMetaObject::invokeMethod(
            interchange_, [this, path, f = *list] { interchange_->importListFile(path, f); },
            Qt::QueuedConnection);
    else
        files_->openRecent(path); // the file chosen for opening, loaded as Load does
}

void MainWindow::saveSettingsOnClose() {
    // A window that never read its settings must not overwrite them with design values.
    if (!settings_->restored() || settings_->saved())
        return;
    const QString failures = settings_->save();
    if (!failures.isEmpty())
        dialogs_->messageBox(this,
                             QStringLiteral("The settings could not be saved.\n\n") + failures,
                             QStringLiteral("Error"), MsgIcon::Error, MsgButtons::Ok);
}

} // namespace lexanta
