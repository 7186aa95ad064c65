#include "app/tform1.h"

#include "app/speed_bar.h"
#include "editing/ui/code_page_validator.h"
#include "editing/ui/combo_edit.h"
#include "editing/ui/entry_grid.h"
#include "editing/ui/entry_grid_model.h"
#include "platform/codepage.h"
#include "platform/keyboard_layouts.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QToolTip>

namespace lexanta {

namespace {

constexpr int kDesignWidth = 646;
constexpr int kDesignHeight = 510;
const char kDefaultAuthor[] = "Lexanta Team";

QString todayText() {
    return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
}

// A tool bar glyph drawn from text, for buttons that have no standard icon.
QIcon glyphIcon(const QString& text, const QColor& color, int pointSize = 13) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSize(pointSize);
    f.setBold(true);
    p.setFont(f);
    p.setPen(color);
    p.drawText(pixmap.rect(), Qt::AlignCenter, text);
    return QIcon(pixmap);
}

template <typename W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QAction* action(QMenu* menu, const char* name, const QString& caption,
                const QKeySequence& shortcut = {}) {
    auto* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty())
        a->setShortcut(shortcut);
    return a;
}

} // namespace

TForm1::TForm1(const FormServices& services, QWidget* parent)
    : QMainWindow(parent), dialogs_(services.dialogs), keyboardLayouts_(services.keyboardLayouts),
      configFolder_(services.configFolder), restoreSettings_(services.restoreSettings),
      fileToOpen_(services.fileToOpen) {
    setObjectName(QStringLiteral("Form1"));
    if (!keyboardLayouts_) {
        ownedLayouts_ = std::make_unique<MemoryKeyboardLayouts>();
        keyboardLayouts_ = ownedLayouts_.get();
    }
    ProgramFolder = services.programFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                                     : services.programFolder;
    if (!ProgramFolder.endsWith(QLatin1Char('/')))
        ProgramFolder += QLatin1Char('/');

    OpenDialog1 = {QString(), QStringLiteral("Lexanta vocabularies (*.lut)|*.lut"),
                   1,         QStringLiteral("lut"),
                   true,      false,
                   0};
    SaveDialog1 = {QString(), QStringLiteral("Lexanta vocabularies (*.lut)|*.lut"),
                   1,         QStringLiteral("lut"),
                   false,     true,
                   0};
    OpenDialog2 = {QString(),
                   QStringLiteral("Text Files (*.txt)|*.txt|Tab delimited *.txt files (2 "
                                  "fields)|*.txt|Tab delimited *.txt files (3 fields)|*.txt"),
                   1,
                   QString(),
                   false,
                   false,
                   0};
    SaveDialog2 = {QString(),
                   QStringLiteral("Tab delimited *.txt files|*.txt|HTML files "
                                  "(*html)|*.html; *htm"),
                   1,
                   QStringLiteral("txt"),
                   false,
                   true,
                   0};

    buildMenus();
    auto* central = named(new QWidget(this), "Panel1");
    Panel1 = central;
    setCentralWidget(central);
    buildToolBar();
    buildTopPanel();
    buildPages();
    statusBar()->setSizeGripEnabled(false);
    setAcceptDrops(true);
    connectHandlers();
    connectEditing();
    connectListops();
    connectInterchange();
    connectLanguage();
    connectSettings();

    resize(kDesignWidth, kDesignHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("RxMainMenu1"));

    N1 = named(bar->addMenu(QStringLiteral("&File")), "N1");
    New1 = action(N1, "New1", QStringLiteral("&New"), QKeySequence(Qt::CTRL | Qt::Key_N));
    N2 = action(N1, "N2", QStringLiteral("&Load.."), QKeySequence(Qt::CTRL | Qt::Key_O));
    N4 = action(N1, "N4", QStringLiteral("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S));
    N3 = action(N1, "N3", QStringLiteral("Save &as..."));
    Reload1 = named(N1->addMenu(QStringLiteral("Reload")), "Reload1");
    Merge1 = action(N1, "Merge1", QStringLiteral("&Merge..."));
    N1->addSeparator();
    Import1 = action(N1, "Import1", QStringLiteral("&Import..."));
    SpecialImport1 = action(N1, "SpecialImport1", QStringLiteral("S&pecial Import..."));
    Export1 = action(N1, "Export1", QStringLiteral("&Export..."));
    N8 = N1->addSeparator();
    N8->setObjectName(QStringLiteral("N8"));
    N8->setProperty("caption", QStringLiteral("-"));
    Exit1 = action(N1, "Exit1", QStringLiteral("E&xit"), QKeySequence(Qt::ALT | Qt::Key_X));

    Edit1 = named(bar->addMenu(QStringLiteral("&Edit")), "Edit1");
    Find1 = action(Edit1, "Find1", QStringLiteral("&Find..."), QKeySequence(Qt::Key_F4));
    Findnext1 = action(Edit1, "Findnext1", QStringLiteral("Find &next"), QKeySequence(Qt::Key_F3));
    Findnext1->setEnabled(false);
    Replace1 = action(Edit1, "Replace1", QStringLiteral("&Replace"), QKeySequence(Qt::Key_F5));
    Replace1->setEnabled(false);
    Replace1->setVisible(false);

    Service1 = named(bar->addMenu(QStringLiteral("&Service")), "Service1");
    Sort1 = named(Service1->addMenu(QStringLiteral("S&ort")), "Sort1");
    questions1 = action(Sort1, "questions1", QStringLiteral("&questions"));
    answers1 = action(Sort1, "answers1", QStringLiteral("&answers"));
    comments1 = action(Sort1, "comments1", QStringLiteral("&comments"));
    RandomizeEntries1 = action(Service1, "RandomizeEntries1", QStringLiteral("S&huffle entries"));
    Swap1 = action(Service1, "Swap1", QStringLiteral("&Question <-> Answer"));
    FrequencyAnalysing1 =
        action(Service1, "FrequencyAnalysing1", QStringLiteral("Frequency Analysing"));
    Service1->addSeparator();
    Removeblanklines1 =
        action(Service1, "Removeblanklines1", QStringLiteral("&Remove blank lines"));
    Removeblanklines1->setCheckable(true);
    InterfaceLanguage1 =
        named(Service1->addMenu(QStringLiteral("&Interface Language")), "InterfaceLanguage1");
    English1 = action(InterfaceLanguage1, "English1", QStringLiteral("English"));
    RussianMenuItem = action(InterfaceLanguage1, "RussianMenuItem", QStringLiteral("Русский"));

    N5 = named(bar->addMenu(QStringLiteral("&?")), "N5");
    Help1 = action(N5, "Help1", QStringLiteral("&Help"), QKeySequence(Qt::Key_F1));
    N6 = action(N5, "N6", QStringLiteral("&About..."));

    RxPopupMenu1 = named(new QMenu(this), "RxPopupMenu1");
    Question1 = action(RxPopupMenu1, "Question1", QStringLiteral("questions"));
    Answer1 = action(RxPopupMenu1, "Answer1", QStringLiteral("answers"));
    comment1 = action(RxPopupMenu1, "comment1", QStringLiteral("comments"));
}

void TForm1::buildToolBar() {
    SpeedBar1 = named(new SpeedBar(Panel1), "SpeedBar1");
    SpeedBar1->setGeometry(0, 0, 800, SpeedBar1->height());
    const int editing =
        SpeedBar1->addSection(QStringLiteral("SpeedbarSection1"), QStringLiteral("Editing"));
    const int file =
        SpeedBar1->addSection(QStringLiteral("SpeedbarSection2"), QStringLiteral("File"));
    const int other =
        SpeedBar1->addSection(QStringLiteral("SpeedbarSection3"), QStringLiteral("Other"));
    const int utilities =
        SpeedBar1->addSection(QStringLiteral("SpeedbarSection4"), QStringLiteral("Utilities"));
    QStyle* st = style();
    const QColor ink(0x1f, 0x3a, 0x68);

    SpeedItem3 = SpeedBar1->addButton(file, QStringLiteral("SpeedItem3"), QStringLiteral("New"), 3);
    SpeedItem3->setIcon(st->standardIcon(QStyle::SP_FileIcon));
    SpeedItem4 =
        SpeedBar1->addButton(file, QStringLiteral("SpeedItem4"), QStringLiteral("Load"), 43);
    SpeedItem4->setIcon(st->standardIcon(QStyle::SP_DialogOpenButton));
    SpeedItem9 =
        SpeedBar1->addButton(file, QStringLiteral("SpeedItem9"), QStringLiteral("Save"), 83);
    SpeedItem9->setIcon(st->standardIcon(QStyle::SP_DialogSaveButton));
    SpeedItem5 =
        SpeedBar1->addButton(file, QStringLiteral("SpeedItem5"), QStringLiteral("Save as"), 123);
    SpeedItem5->setIcon(glyphIcon(QStringLiteral("…"), ink, 16));

    SpeedItem1 = SpeedBar1->addButton(editing, QStringLiteral("SpeedItem1"),
                                      QStringLiteral("Edit Words"), 203);
    SpeedItem1->setIcon(glyphIcon(QStringLiteral("✎"), ink, 16));
    SpeedItem2 = SpeedBar1->addButton(editing, QStringLiteral("SpeedItem2"),
                                      QStringLiteral("Add Words"), 243);
    SpeedItem2->setIcon(glyphIcon(QStringLiteral("+"), QColor(0x1d, 0x7a, 0x2e), 20));
    SpeedItem6 = SpeedBar1->addButton(editing, QStringLiteral("SpeedItem6"),
                                      QStringLiteral("Delete words"), 283);
    SpeedItem6->setIcon(glyphIcon(QStringLiteral("✕"), QColor(0xb0, 0x20, 0x20), 16));
    for (QToolButton* b : {SpeedItem1, SpeedItem2}) {
        b->setCheckable(true);
        b->setAutoExclusive(true);
    }
    SpeedItem2->setChecked(true);

    SpeedItem10 = SpeedBar1->addButton(utilities, QStringLiteral("SpeedItem10"),
                                       QStringLiteral("Sort (A-Z)"), 363);
    SpeedItem10->setIcon(glyphIcon(QStringLiteral("A↓Z"), ink, 8));
    SpeedItem11Random = SpeedBar1->addButton(utilities, QStringLiteral("SpeedItem11Random"),
                                             QStringLiteral("Random Entries"), 403);
    SpeedItem11Random->setIcon(glyphIcon(QStringLiteral("⤨"), ink, 18));
    SpeedItem11Swap = SpeedBar1->addButton(utilities, QStringLiteral("SpeedItem11Swap"),
                                           QStringLiteral("Swap Question & Answer"), 443);
    SpeedItem11Swap->setIcon(glyphIcon(QStringLiteral("⇄"), ink, 18));

    SpeedItemHelp =
        SpeedBar1->addButton(other, QStringLiteral("SpeedItemHelp"), QStringLiteral("Help"), 531);
    SpeedItemHelp->setIcon(glyphIcon(QStringLiteral("?"), ink, 18));
    SpeedItem8 =
        SpeedBar1->addButton(other, QStringLiteral("SpeedItem8"), QStringLiteral("Exit"), 595);
    SpeedItem8->setIcon(st->standardIcon(QStyle::SP_DialogCloseButton));

    // Design hints (the part before "|" is the tooltip).
    const std::pair<QToolButton*, const char*> hints[] = {
        {SpeedItem1, "Edit words|"},
        {SpeedItem10, "Sort (a-z)|"},
        {SpeedItem11Random, "Shuffle entries|"},
        {SpeedItem11Swap, "Swap questions & answers|"},
        {SpeedItem2, "Add words|"},
        {SpeedItem3, "New dictionary|"},
        {SpeedItem4, "Load dictionary (Ctrl+L)|"},
        {SpeedItem5, "Save as...|"},
        {SpeedItem6, "Delete words|"},
        {SpeedItem8, "Exit|"},
        {SpeedItem9, "Save dictionary|"},
        {SpeedItemHelp, "Help|"}};
    for (const auto& [button, hint] : hints)
        setHint(button, QString::fromUtf8(hint));
}

void TForm1::setHint(QToolButton* button, const QString& hint) {
    button->setProperty("hint", hint);
    button->setToolTip(hint.section(QLatin1Char('|'), 0, 0));
}

QString TForm1::hint(const QToolButton* button) {
    return button->property("hint").toString();
}

void TForm1::buildTopPanel() {
    FontSize1 = named(new QLabel(QStringLiteral("Font Size"), Panel1), "FontSize1");
    QFont underlined = FontSize1->font();
    underlined.setUnderline(true);
    FontSize1->setFont(underlined);
    FontSize1->setGeometry(8, 52, 200, 18);

    RxSpinEdit1 = named(new QSpinBox(Panel1), "RxSpinEdit1");
    RxSpinEdit1->setRange(kMinFontSize, kMaxFontSize);
    RxSpinEdit1->setValue(10);
    RxSpinEdit1->setGeometry(8, 72, 41, 21);
    RxSpinEdit1->setButtonSymbols(QAbstractSpinBox::UpDownArrows);

    TotalWordsLabel = named(new QLabel(QStringLiteral("Total words:"), Panel1), "TotalWordsLabel");
    TotalWordsLabel->setGeometry(430, 52, 96, 18);
    TotalWordsLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label3 = named(new QLabel(QStringLiteral("1"), Panel1), "Label3");
    Label3->setGeometry(530, 52, 110, 18);
    QFont bold = Label3->font();
    bold.setBold(true);
    Label3->setFont(bold);

    ComboEdit1 = named(new ComboEdit(Panel1), "ComboEdit1");
    ComboEdit1->setGeometry(48, 72, 249, 21);
    ComboEdit1->setButtonHint(QStringLiteral("Change font for questions"));
    ComboEdit2 = named(new ComboEdit(Panel1), "ComboEdit2");
    ComboEdit2->setGeometry(296, 72, 265, 21);
    ComboEdit2->setButtonHint(QStringLiteral("Change font for answers"));
    ComboEdit3 = named(new ComboEdit(Panel1), "ComboEdit3");
    ComboEdit3->setGeometry(560, 72, 225, 21);
    ComboEdit3->setButtonHint(QStringLiteral("Change font for comments"));
    setTabOrder(ComboEdit1, ComboEdit2);
    setTabOrder(ComboEdit2, ComboEdit3);

    ProgressBar1 = named(new QProgressBar(Panel1), "ProgressBar1");
    ProgressBar1->setGeometry(128, 100, 665, 13);
    ProgressBar1->setRange(0, 1000);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->hide();
}

void TForm1::buildPages() {
    PageControl1 = named(new QTabWidget(Panel1), "PageControl1");
    PageControl1->move(0, 98);
    TabSheet1 = named(new QWidget, "TabSheet1");
    // The Preferences page scrolls when the window is smaller than its controls.
    auto* preferences = new QScrollArea;
    preferences->setFrameShape(QFrame::NoFrame);
    TabSheet2 = named(preferences, "TabSheet2");
    auto* page2 = new QWidget;
    page2->setFixedSize(792, 298);
    PageControl1->addTab(TabSheet1, QStringLiteral("Main"));
    PageControl1->addTab(TabSheet2, QStringLiteral("Preferences"));
    preferences->setWidget(page2);

    StringGrid1 = named(new EntryGrid(TabSheet1), "StringGrid1");
    StringGrid1->move(4, 4);
    StringGrid1->setEntryModel(new EntryGridModel(doc.entries, doc.header.fonts, StringGrid1));

    // Preferences: description, fonts, keyboard layouts.
    GroupBox1 = named(new QGroupBox(QStringLiteral(" About vocabulary "), page2), "GroupBox1");
    GroupBox1->setGeometry(8, 6, 300, 150);
    LanguagesLabel = named(new QLabel(QStringLiteral("Languages:"), GroupBox1), "LanguagesLabel");
    LanguagesLabel->setGeometry(10, 24, 70, 20);
    const QStringList languages = {QString(),
                                   QStringLiteral("English"),
                                   QStringLiteral("French"),
                                   QStringLiteral("German"),
                                   QStringLiteral("Spanish"),
                                   QStringLiteral("Italian"),
                                   QStringLiteral("Russian")};
    ComboBox1 = named(new QComboBox(GroupBox1), "ComboBox1");
    ComboBox2 = named(new QComboBox(GroupBox1), "ComboBox2");
    for (QComboBox* box : {ComboBox1, ComboBox2}) {
        box->setEditable(true);
        box->addItems(languages);
        box->setInsertPolicy(QComboBox::NoInsert);
    }
    ComboBox1->setGeometry(84, 22, 100, 22);
    ComboBox2->setGeometry(190, 22, 100, 22);
    TitleLabel = named(new QLabel(QStringLiteral("Title:"), GroupBox1), "TitleLabel");
    TitleLabel->setGeometry(10, 56, 70, 20);
    Edit2 = named(new QLineEdit(GroupBox1), "Edit2");
    Edit2->setGeometry(84, 54, 206, 22);
    AuthorLabel = named(new QLabel(QStringLiteral("Author:"), GroupBox1), "AuthorLabel");
    AuthorLabel->setGeometry(10, 88, 70, 20);
    Edit3 = named(new QLineEdit(QString::fromLatin1(kDefaultAuthor), GroupBox1), "Edit3");
    Edit3->setGeometry(84, 86, 206, 22);
    DateLabel = named(new QLabel(QStringLiteral("Date:"), GroupBox1), "DateLabel");
    DateLabel->setGeometry(10, 120, 70, 20);
    Edit4 = named(new QLineEdit(GroupBox1), "Edit4");
    Edit4->setGeometry(84, 118, 206, 22);

    GroupBox2 = named(new QGroupBox(QStringLiteral(" Fonts "), page2), "GroupBox2");
    GroupBox2->setGeometry(8, 162, 300, 130);
    const char* fontButtons[] = {"ChangeFont1", "ChangeFont2", "ChangeFont3"};
    const char* fontCaptions[] = {"questions", "answers", "comments"};
    const char* samples[] = {"Label12", "Label13", "Label14"};
    QPushButton** buttons[] = {&ChangeFont1, &ChangeFont2, &ChangeFont3};
    QLabel** sampleLabels[] = {&Label12, &Label13, &Label14};
    for (int i = 0; i < 3; ++i) {
        auto* b =
            named(new QPushButton(QString::fromLatin1(fontCaptions[i]), GroupBox2), fontButtons[i]);
        b->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
        b->setLayoutDirection(Qt::RightToLeft); // glyph at the right
        b->setGeometry(10, 24 + i * 34, 110, 26);
        *buttons[i] = b;
        auto* sample = named(new QLabel(QStringLiteral("AaBbCc АаБбВв"), GroupBox2), samples[i]);
        sample->setGeometry(130, 24 + i * 34, 165, 26);
        QFont f(QStringLiteral("MS Sans Serif"));
        f.setPixelSize(16);
        sample->setFont(f);
        *sampleLabels[i] = sample;
    }

    GroupBox3 = named(new QGroupBox(QStringLiteral(" Keyboard layouts "), page2), "GroupBox3");
    GroupBox3->setGeometry(316, 6, 470, 286);
    CheckBox1 = named(new QCheckBox(QStringLiteral("automatically switch layouts"), GroupBox3),
                      "CheckBox1");
    CheckBox1->setGeometry(10, 22, 300, 20);
    QGroupBox** frames[] = {&GroupBox5, &GroupBox6, &GroupBox7};
    const char* frameNames[] = {"GroupBox5", "GroupBox6", "GroupBox7"};
    const char* frameCaptions[] = {" Questions ", " Answers ", " Comments "};
    QLabel** testLabels[] = {&TestLabel1, &TestLabel2, &TestLabel3};
    const char* testLabelNames[] = {"TestLabel1", "TestLabel2", "TestLabel3"};
    QLineEdit** testBoxes[] = {&Edit5, &Edit6, &Edit7};
    const char* testBoxNames[] = {"Edit5", "Edit6", "Edit7"};
    QPushButton** updateButtons[] = {&Button2, &Button3, &Button4};
    const char* updateNames[] = {"Button2", "Button3", "Button4"};
    for (int i = 0; i < 3; ++i) {
        auto* frame =
            named(new QGroupBox(QString::fromLatin1(frameCaptions[i]), GroupBox3), frameNames[i]);
        frame->setGeometry(10 + i * 152, 46, 146, 96);
        *frames[i] = frame;
        *testLabels[i] = named(new QLabel(QStringLiteral("Test:"), frame), testLabelNames[i]);
        (*testLabels[i])->setGeometry(8, 20, 40, 20);
        *testBoxes[i] = named(new QLineEdit(frame), testBoxNames[i]);
        (*testBoxes[i])->setGeometry(48, 18, 90, 24);
        *updateButtons[i] =
            named(new QPushButton(QStringLiteral("update layout"), frame), updateNames[i]);
        (*updateButtons[i])->setGeometry(8, 56, 130, 28);
        (*testLabels[i])->setEnabled(false);
        (*testBoxes[i])->setEnabled(false);
        (*updateButtons[i])->setEnabled(false);
    }
    Label8 = named(new QLabel(GroupBox3), "Label8");
    Label8->setText(
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
    Label8->setGeometry(10, 146, 450, 136);

    // The description is stored in the system code page: what it cannot hold is refused
    // with a message, never replaced.
    for (QLineEdit* edit : {ComboBox1->lineEdit(), ComboBox2->lineEdit(), Edit2, Edit3, Edit4}) {
        auto* validator = new CodePageValidator([] { return kCharsetDefault; }, edit);
        edit->setValidator(validator);
        connect(validator, &CodePageValidator::refused, this, [this, edit](const QString& chars) {
            QStringList shown;
            for (const char32_t c : chars.toUcs4())
                shown << QString::fromUcs4(&c, 1);
            const QString message =
                QStringLiteral("The vocabulary description is kept in code page %1, which cannot "
                               "hold %2; the text was not changed.")
                    .arg(systemAnsiCodePage())
                    .arg(shown.join(QLatin1Char(' ')));
            statusBar()->showMessage(message, 10000);
            if (edit->isVisible())
                QToolTip::showText(edit->mapToGlobal(QPoint(0, edit->height())), message, edit);
        });
    }
    Label8->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void TForm1::connectHandlers() {
    connect(Exit1, &QAction::triggered, this, [this] { Exit1Click(); });
    connect(SpeedItem8, &QToolButton::clicked, this, [this] { Exit1Click(); });
    connect(New1, &QAction::triggered, this, [this] { SpeedItem3Click(); });
    connect(SpeedItem3, &QToolButton::clicked, this, [this] { SpeedItem3Click(); });
    connect(N2, &QAction::triggered, this, [this] { N2Click(); });
    connect(SpeedItem4, &QToolButton::clicked, this, [this] { N2Click(); });
    connect(N4, &QAction::triggered, this, [this] { N4Click(); });
    connect(SpeedItem9, &QToolButton::clicked, this, [this] { N4Click(); });
    connect(N3, &QAction::triggered, this, [this] { N3Click(); });
    connect(SpeedItem5, &QToolButton::clicked, this, [this] { N3Click(); });
    connect(Removeblanklines1, &QAction::triggered, this, [this] { Removeblanklines1Click(); });
    connect(Merge1, &QAction::triggered, this, [this] { Merge1Click(); });
    setSaveEnabled(false);
    Merge1->setEnabled(false);
    Reload1->setEnabled(false);
}

// ---- document state -----------------------------------------------------------------

void TForm1::FormCreate() {
    // The marker that tells other processes an editor runs is held by main().
    {
        // No cell has been selected yet: the input mode stays Add Words.
        const QSignalBlocker quiet(StringGrid1);
        StringGrid1->setCurrentCell(1, 1);
    }
    Edit4->setText(todayText());
    FormResize();
    doc.counterLine = kDefaultCounterLine;
    setWindowTitleText(QStringLiteral("Lexanta Editor"));
}

void TForm1::FormResize() {
    const QSize outer = frameGeometry().size();
    const int w = outer.width();
    const int h = outer.height();
    StringGrid1->resize(w - 12, h - 170);
    PageControl1->resize(w, h - 142);
    SpeedBar1->resize(std::max(w, 640), SpeedBar1->height());
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (StringGrid1)
        FormResize();
}

void TForm1::setWindowTitleText(const QString& title) {
    title_ = title;
    setWindowTitle(title);
}

bool TForm1::IsEnglishInterface() const {
    return N1->title() == QLatin1String("&File");
}

void TForm1::setSaveEnabled(bool on) {
    N4->setEnabled(on);
    SpeedItem9->setEnabled(on);
}

bool TForm1::saveEnabled() const {
    return N4->isEnabled();
}

void TForm1::ClearGrid() {
    doc.entries.reset();
    StringGrid1->setCurrentCell(1, 1);
    setWindowTitleText(QStringLiteral("Lexanta Editor"));
    ComboEdit1->clear();
    ComboEdit2->clear();
    ComboEdit3->clear();
    ComboBox1->setEditText(QString());
    ComboBox2->setEditText(QString());
    Edit2->clear();
    Edit3->clear();
    Edit4->setText(todayText());
    doc.currentFormat = true;
    doc.counterLine = kDefaultCounterLine;
    Merge1->setEnabled(false);
}

namespace {

// Description boxes show the file's bytes in the system code page and keep them exactly
// while the text is not changed.
void setBytesText(QWidget* box, const std::string& bytes) {
    const QString text = CodePage::get(systemAnsiCodePage()).decode(bytes);
    box->setProperty("lexantaBytes", QByteArray::fromStdString(bytes));
    box->setProperty("lexantaText", text);
    if (auto* edit = qobject_cast<QLineEdit*>(box))
        edit->setText(text);
    else if (auto* combo = qobject_cast<QComboBox*>(box))
        combo->setEditText(text);
}

std::string bytesText(const QWidget* box) {
    QString text;
    if (auto* edit = qobject_cast<const QLineEdit*>(box))
        text = edit->text();
    else if (auto* combo = qobject_cast<const QComboBox*>(box))
        text = combo->currentText();
    if (box->property("lexantaText").toString() == text && !text.isEmpty())
        return box->property("lexantaBytes").toByteArray().toStdString();
    // Characters the code page cannot hold are refused while typing (see the validator);
    // what remains here is encodable.
    return CodePage::get(systemAnsiCodePage()).encode(text).bytes;
}

} // namespace

void TForm1::collectDescription(VocabularyHeader& header) const {
    header.questionsLanguage = bytesText(ComboBox1);
    header.answersLanguage = bytesText(ComboBox2);
    header.title = bytesText(Edit2);
    header.author = bytesText(Edit3);
    header.date = bytesText(Edit4);
    header.fontSize = RxSpinEdit1->value();
}

void TForm1::applyDescription(const VocabularyHeader& header) {
    setBytesText(ComboBox1, header.questionsLanguage);
    setBytesText(ComboBox2, header.answersLanguage);
    setBytesText(Edit2, header.title);
    setBytesText(Edit3, header.author);
    setBytesText(Edit4, header.date);
}

// ---- closing --------------------------------------------------------------------------

void TForm1::Exit1Click() {
    close();
}

bool TForm1::AskSaveBeforeClosing() {
    if (SaveDialog1.tag != 0)
        return true;
    const QString question = IsEnglishInterface() ? QStringLiteral("Save Before Closing?")
                                                  : QStringLiteral("Сохранить перед закрытием?");
    const MsgResult answer = dialogs_->messageBox(this, question, QStringLiteral("Confimation"),
                                                  MsgIcon::Question, MsgButtons::YesNoCancel);
    if (answer == MsgResult::Cancel)
        return false;
    if (answer == MsgResult::No)
        return true;
    // Yes: the close goes ahead only when the document was really written.
    const bool saved = saveEnabled() ? saveOrOfferSaveAs() : N3Click();
    if (!saved)
        return false;
    SaveDialog1.tag = 1;
    return true;
}

void TForm1::closeEvent(QCloseEvent* event) {
    bool allowed = false;
    try {
        allowed = AskSaveBeforeClosing();
    } catch (...) {
        allowed = false;
    }
    if (!allowed) {
        event->ignore();
        return;
    }
    saveSettingsOnClose();
    event->accept();
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!firstShowDone_) {
        firstShowDone_ = true;
        if (restoreSettings_)
            restoreSettingsOnFirstShow();
    }
}

bool TForm1::reportWriteFailure(const QString& path, const QString& reason, bool offerSaveAs) {
    const QString text =
        QStringLiteral("The vocabulary could not be saved to\n%1\n\n%2\n\nThe file "
                       "on disk was not changed.")
            .arg(QDir::toNativeSeparators(path), reason);
    if (!offerSaveAs) {
        dialogs_->messageBox(this, text, QStringLiteral("Error"), MsgIcon::Error, MsgButtons::Ok);
        return false;
    }
    const MsgResult answer =
        dialogs_->messageBox(this, text + QStringLiteral("\n\nSave it under another name?"),
                             QStringLiteral("Error"), MsgIcon::Error, MsgButtons::YesNo);
    return answer == MsgResult::Yes && N3Click();
}

} // namespace lexanta
