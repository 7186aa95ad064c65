#include "gui/print/worksheet_dialog.h"

#include "core/vocab/vocabulary.h"
#include "gui/print/print_commands.h"
#include "print/worksheet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace lexanta {

namespace {

struct DialogText {
    const char* key;
    const char* english;
    const char* russian; // UTF-8
};

const DialogText kTexts[] = {
    {"layout", "Layout:", "Вид:"},
    {"list", "Word list", "Список слов"},
    {"test", "Test", "Тест"},
    {"foldover", "Fold-over sheet", "Лист со сгибом"},
    {"cards", "Flash cards", "Карточки"},
    {"columns", "Columns:", "Столбцы:"},
    {"questions", "Questions", "Вопросы"},
    {"answers", "Answers", "Ответы"},
    {"comments", "Comments", "Комментарии"},
    {"up", "Up", "Выше"},
    {"down", "Down", "Ниже"},
    {"direction", "Direction:", "Направление:"},
    {"q2a", "Questions → answers", "Вопросы → ответы"},
    {"a2q", "Answers → questions", "Ответы → вопросы"},
    {"shuffle", "Shuffle, seed:", "Перемешать, ключ:"},
    {"variants", "Variants:", "Варианты:"},
    {"key", "Answer key", "Страница ответов"},
    {"perPage", "Cards per page:", "Карточек на странице:"},
    {"flip", "Turned over:", "Переворот:"},
    {"long", "on the long edge", "по длинному краю"},
    {"short", "on the short edge", "по короткому краю"},
    {"paper", "Paper:", "Бумага:"},
    {"auto", "As the locale's (%1)", "По языку системы (%1)"},
    {"margins", "Margins:", "Поля:"},
    {"mm", " mm", " мм"},
    {"scale", "Font size ×", "Размер шрифта ×"},
    {"selection", "Selected entries only (%1)", "Только выделенные записи (%1)"},
    {"truncated", "The preview shows the first %1 pages.",
     "Просмотр показывает первые %1 страниц."},
    {"print", "&Print...", "&Печать..."},
    {"pdf", "Save as P&DF...", "Сохранить как P&DF..."},
    {"close", "Close", "Закрыть"},
};

QString text(const char* key, bool english) {
    for (const DialogText& t : kTexts)
        if (qstrcmp(t.key, key) == 0)
            return QString::fromUtf8(english ? t.english : t.russian);
    return QString::fromLatin1(key);
}

template <typename W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

WorksheetDialog::WorksheetDialog(const Vocabulary& vocabulary, std::vector<int> selected,
                                 const PrintOptions& options, Action primary, bool english,
                                 std::function<bool(Action, const PrintOptions&, QWidget*)> confirm,
                                 QWidget* parent)
    : QDialog(parent), vocabulary_(vocabulary),
      language_(english ? InterfaceLanguage::English : InterfaceLanguage::Russian),
      confirm_(std::move(confirm)) {
    setObjectName(QStringLiteral("WorksheetDialog"));
    all_ = printableEntries(vocabulary.entries);
    if (!selected.empty())
        selected_ = printableEntries(vocabulary.entries, selected);
    buildControls(english);
    showOptions(options);
    (primary == Action::SavePdf ? pdfButton_ : printButton_)->setDefault(true);
    followLayout();
    resize(1000, 700);
}

void WorksheetDialog::buildControls(bool english) {
    const auto t = [english](const char* key) { return text(key, english); };
    auto* form = new QFormLayout;
    form_ = form;

    layout_ = named(new QComboBox, "LayoutBox");
    layout_->addItem(t("list"), int(SheetLayout::List));
    layout_->addItem(t("test"), int(SheetLayout::Test));
    layout_->addItem(t("foldover"), int(SheetLayout::FoldOver));
    layout_->addItem(t("cards"), int(SheetLayout::Cards));
    form->addRow(t("layout"), layout_);

    // The list's columns: ticked ones print, in the order shown.
    listGroup_ = new QWidget;
    auto* listRow = new QHBoxLayout(listGroup_);
    listRow->setContentsMargins(0, 0, 0, 0);
    fields_ = named(new QListWidget, "FieldList");
    fields_->setDragDropMode(QAbstractItemView::InternalMove);
    fields_->setFixedHeight(fields_->fontMetrics().height() * 4);
    listRow->addWidget(fields_, 0, Qt::AlignTop);
    auto* moves = new QVBoxLayout;
    auto* up = named(new QPushButton(t("up")), "FieldUp");
    auto* down = named(new QPushButton(t("down")), "FieldDown");
    moves->addWidget(up);
    moves->addWidget(down);
    moves->addStretch();
    listRow->addLayout(moves);
    form->addRow(t("columns"), listGroup_);
    const auto move = [this](int by) {
        const int row = fields_->currentRow();
        if (row < 0 || row + by < 0 || row + by >= fields_->count())
            return;
        QListWidgetItem* item = fields_->takeItem(row);
        fields_->insertItem(row + by, item);
        fields_->setCurrentRow(row + by);
        schedulePreview();
    };
    connect(up, &QPushButton::clicked, this, [move] { move(-1); });
    connect(down, &QPushButton::clicked, this, [move] { move(1); });

    direction_ = named(new QComboBox, "DirectionBox");
    direction_->addItem(t("q2a"), int(Direction::QuestionToAnswer));
    direction_->addItem(t("a2q"), int(Direction::AnswerToQuestion));
    form->addRow(t("direction"), direction_);

    testGroup_ = new QWidget;
    auto* testForm = new QFormLayout(testGroup_);
    testForm->setContentsMargins(0, 0, 0, 0);
    auto* shuffleRow = new QHBoxLayout;
    shuffle_ = named(new QCheckBox(t("shuffle")), "ShuffleBox");
    seed_ = named(new QSpinBox, "SeedBox");
    seed_->setRange(0, 999999999);
    shuffleRow->addWidget(shuffle_);
    shuffleRow->addWidget(seed_, 1);
    testForm->addRow(shuffleRow);
    variants_ = named(new QSpinBox, "VariantsBox");
    variants_->setRange(1, kMaxVariants);
    testForm->addRow(t("variants"), variants_);
    answerKey_ = named(new QCheckBox(t("key")), "AnswerKeyBox");
    testForm->addRow(answerKey_);
    form->addRow(testGroup_);

    cardsGroup_ = new QWidget;
    auto* cardsForm = new QFormLayout(cardsGroup_);
    cardsForm->setContentsMargins(0, 0, 0, 0);
    auto* grid = new QHBoxLayout;
    columns_ = named(new QSpinBox, "ColumnsBox");
    columns_->setRange(kMinCardColumns, kMaxCardColumns);
    rows_ = named(new QSpinBox, "RowsBox");
    rows_->setRange(kMinCardRows, kMaxCardRows);
    grid->addWidget(columns_);
    grid->addWidget(new QLabel(QStringLiteral("×")));
    grid->addWidget(rows_);
    grid->addStretch();
    cardsForm->addRow(t("perPage"), grid);
    flip_ = named(new QComboBox, "FlipBox");
    flip_->addItem(t("long"), int(Flip::LongEdge));
    flip_->addItem(t("short"), int(Flip::ShortEdge));
    cardsForm->addRow(t("flip"), flip_);
    form->addRow(cardsGroup_);

    paper_ = named(new QComboBox, "PaperBox");
    const bool localeLetter = paperForLocale(paperLocaleName()) == PaperChoice::Letter;
    paper_->addItem(t("auto").arg(localeLetter ? QStringLiteral("Letter") : QStringLiteral("A4")),
                    int(PaperChoice::FromLocale));
    paper_->addItem(QStringLiteral("A4"), int(PaperChoice::A4));
    paper_->addItem(QStringLiteral("Letter"), int(PaperChoice::Letter));
    form->addRow(t("paper"), paper_);
    margin_ = named(new QDoubleSpinBox, "MarginBox");
    margin_->setRange(kMinMarginMm, kMaxMarginMm);
    margin_->setDecimals(0);
    margin_->setSuffix(t("mm"));
    form->addRow(t("margins"), margin_);
    fontScale_ = named(new QDoubleSpinBox, "FontScaleBox");
    fontScale_->setRange(kMinFontScale, kMaxFontScale);
    fontScale_->setSingleStep(0.1);
    fontScale_->setDecimals(1);
    form->addRow(t("scale"), fontScale_);

    selectionOnly_ =
        named(new QCheckBox(t("selection").arg(static_cast<qulonglong>(selected_.size()))),
              "SelectionOnlyBox");
    selectionOnly_->setChecked(!selected_.empty());
    selectionOnly_->setVisible(!selected_.empty());
    form->addRow(selectionOnly_);
    previewNote_ = named(new QLabel, "PreviewNote");
    previewNote_->setWordWrap(true);
    form->addRow(previewNote_);

    preview_ = named(new QPrintPreviewWidget(&previewPrinter_), "PreviewWidget");
    preview_->setZoomMode(QPrintPreviewWidget::FitInView);
    connect(preview_, &QPrintPreviewWidget::paintRequested, this, &WorksheetDialog::paintPreview);

    auto* buttons = new QDialogButtonBox;
    printButton_ =
        named(buttons->addButton(t("print"), QDialogButtonBox::ActionRole), "PrintButton");
    pdfButton_ = named(buttons->addButton(t("pdf"), QDialogButtonBox::ActionRole), "SavePdfButton");
    named(buttons->addButton(t("close"), QDialogButtonBox::RejectRole), "CloseButton");
    connect(printButton_, &QPushButton::clicked, this, [this] { press(Action::Print); });
    connect(pdfButton_, &QPushButton::clicked, this, [this] { press(Action::SavePdf); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* left = new QVBoxLayout;
    left->addLayout(form);
    left->addStretch();
    auto* columns = new QHBoxLayout;
    auto* leftPanel = new QWidget;
    leftPanel->setLayout(left);
    leftPanel->setFixedWidth(330);
    columns->addWidget(leftPanel);
    columns->addWidget(preview_, 1);
    auto* whole = new QVBoxLayout(this);
    whole->addLayout(columns, 1);
    whole->addWidget(buttons);

    previewTimer_ = new QTimer(this);
    previewTimer_->setSingleShot(true);
    previewTimer_->setInterval(150);
    connect(previewTimer_, &QTimer::timeout, this, [this] {
        const PrintOptions o = options();
        const bool valid = checkOptions(o).isEmpty();
        printButton_->setEnabled(valid);
        pdfButton_->setEnabled(valid);
        preparePrinter(previewPrinter_, o);
        preview_->updatePreview();
    });
    for (QComboBox* box : {layout_, direction_, flip_, paper_})
        connect(box, &QComboBox::currentIndexChanged, this, &WorksheetDialog::followLayout);
    for (QSpinBox* box : {seed_, variants_, columns_, rows_})
        connect(box, &QSpinBox::valueChanged, this, &WorksheetDialog::followLayout);
    for (QDoubleSpinBox* box : {margin_, fontScale_})
        connect(box, &QDoubleSpinBox::valueChanged, this, &WorksheetDialog::followLayout);
    for (QCheckBox* box : {shuffle_, answerKey_, selectionOnly_})
        connect(box, &QCheckBox::toggled, this, &WorksheetDialog::followLayout);
    connect(fields_, &QListWidget::itemChanged, this, &WorksheetDialog::schedulePreview);
    connect(fields_->model(), &QAbstractItemModel::rowsMoved, this,
            &WorksheetDialog::schedulePreview);
    fieldNames_ = {t("questions"), t("answers"), t("comments")};
}

void WorksheetDialog::showOptions(const PrintOptions& o) {
    const auto select = [](QComboBox* box, int value) {
        box->setCurrentIndex(std::max(0, box->findData(value)));
    };
    select(layout_, int(o.layout));
    select(direction_, int(o.direction));
    select(flip_, int(o.flip));
    select(paper_, int(o.paper));
    fields_->clear();
    std::vector<int> order = o.fields;
    for (int field = 0; field < 3; ++field)
        if (std::find(order.begin(), order.end(), field) == order.end())
            order.push_back(field);
    for (int field : order) {
        auto* item = new QListWidgetItem(fieldNames_[static_cast<std::size_t>(field)], fields_);
        item->setData(Qt::UserRole, field);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable |
                       Qt::ItemIsDragEnabled);
        const bool shown = std::find(o.fields.begin(), o.fields.end(), field) != o.fields.end();
        item->setCheckState(shown ? Qt::Checked : Qt::Unchecked);
    }
    shuffle_->setChecked(o.shuffle);
    seed_->setValue(static_cast<int>(std::min<unsigned>(o.seed, 999999999)));
    variants_->setValue(o.variants);
    answerKey_->setChecked(o.answerKey);
    columns_->setValue(o.cardColumns);
    rows_->setValue(o.cardRows);
    margin_->setValue(o.marginMm);
    fontScale_->setValue(o.fontScale);
}

PrintOptions WorksheetDialog::options() const {
    PrintOptions o;
    o.layout = static_cast<SheetLayout>(layout_->currentData().toInt());
    o.fields.clear();
    for (int i = 0; i < fields_->count(); ++i)
        if (fields_->item(i)->checkState() == Qt::Checked)
            o.fields.push_back(fields_->item(i)->data(Qt::UserRole).toInt());
    o.direction = static_cast<Direction>(direction_->currentData().toInt());
    o.shuffle = shuffle_->isChecked();
    o.seed = static_cast<unsigned>(seed_->value());
    o.variants = variants_->value();
    o.answerKey = answerKey_->isChecked();
    o.cardColumns = columns_->value();
    o.cardRows = rows_->value();
    o.flip = static_cast<Flip>(flip_->currentData().toInt());
    o.paper = static_cast<PaperChoice>(paper_->currentData().toInt());
    o.marginMm = margin_->value();
    o.fontScale = fontScale_->value();
    o.language = language_;
    return o;
}

bool WorksheetDialog::selectionOnly() const {
    return !selected_.empty() && selectionOnly_->isChecked();
}

std::vector<int> WorksheetDialog::entries() const {
    return selectionOnly() ? selected_ : all_;
}

void WorksheetDialog::followLayout() {
    const auto layout = static_cast<SheetLayout>(layout_->currentData().toInt());
    form_->setRowVisible(listGroup_, layout == SheetLayout::List);
    form_->setRowVisible(direction_, layout != SheetLayout::List);
    form_->setRowVisible(testGroup_, layout == SheetLayout::Test);
    form_->setRowVisible(cardsGroup_, layout == SheetLayout::Cards);
    // Several variants are always shuffled, each its own way.
    shuffle_->setEnabled(variants_->value() == 1);
    if (variants_->value() > 1)
        shuffle_->setChecked(true);
    seed_->setEnabled(shuffle_->isChecked());
    schedulePreview();
}

void WorksheetDialog::schedulePreview() {
    previewTimer_->start();
}

void WorksheetDialog::paintPreview(QPrinter* printer) {
    const PrintOptions o = options();
    if (const QString wrong = checkOptions(o); !wrong.isEmpty()) {
        previewNote_->setText(wrong);
        return;
    }
    PaintLimits limits;
    limits.maxPages = kPreviewPages;
    const PaintResult result = paintWorksheet(*printer, vocabulary_, entries(), o, limits);
    previewNote_->setText(
        result.complete
            ? QString()
            : text("truncated", language_ == InterfaceLanguage::English).arg(kPreviewPages));
}

void WorksheetDialog::press(Action action) {
    const PrintOptions o = options();
    if (!checkOptions(o).isEmpty())
        return;
    if (confirm_ && !confirm_(action, o, this))
        return;
    action_ = action;
    accept();
}

} // namespace lexanta
