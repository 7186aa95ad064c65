#include "gui/interchange/import_list_dialog.h"

#include "core/interchange/anki_package.h"
#include "platform/charset_coverage.h"
#include "platform/codepage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace lexanta {

namespace {

constexpr int kPreviewRows = 50;
// Column choosers list at most this many columns (a sheet may claim thousands).
constexpr int kListedColumns = 200;

struct CharsetName {
    int charset;
    const char* english;
    const char* russian;
};

const CharsetName kCharsetNames[] = {
    {0, "Western", "Западная"},     {238, "Central European", "Центральноевропейская"},
    {204, "Cyrillic", "Кириллица"}, {161, "Greek", "Греческая"},
    {162, "Turkish", "Турецкая"},   {186, "Baltic", "Балтийская"},
    {177, "Hebrew", "Иврит"},       {178, "Arabic", "Арабская"},
    {222, "Thai", "Тайская"},       {163, "Vietnamese", "Вьетнамская"},
    {128, "Japanese", "Японская"},  {134, "Chinese (simplified)", "Китайская (упрощённая)"},
    {129, "Korean", "Корейская"},   {136, "Chinese (traditional)", "Китайская (традиционная)"},
};

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

template <typename W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

ImportListDialog::ImportListDialog(std::string bytes, const ImportListSetup& setup, QWidget* parent)
    : QDialog(parent), bytes_(std::move(bytes)), setup_(setup) {
    setObjectName(QStringLiteral("ImportListDialog"));
    setWindowTitle(text("Import %1", "Импорт %1").arg(QFileInfo(setup_.fileName).fileName()));
    buildControls();
    reread();
    resize(760, 620);
}

QString ImportListDialog::text(const char* english, const char* russian) const {
    return QString::fromUtf8(setup_.english ? english : russian);
}

void ImportListDialog::buildControls() {
    auto* layout = new QVBoxLayout(this);
    auto* details = new QGroupBox(text("File", "Файл"), this);
    auto* form = new QFormLayout(details);
    const ListFormat f = setup_.format;
    const bool delimited = f == ListFormat::Csv || (f == ListFormat::Anki && !ankiPackage()) ||
                           f == ListFormat::Quizlet;
    if (delimited) {
        delimiter_ = named(new QComboBox(details), "delimiterBox");
        delimiter_->setEditable(true);
        if (f != ListFormat::Quizlet)
            delimiter_->addItem(text("detect", "определить"), QString());
        delimiter_->addItem(text("tab", "табуляция"), QStringLiteral("\t"));
        delimiter_->addItem(text("comma", "запятая"), QStringLiteral(","));
        delimiter_->addItem(text("semicolon", "точка с запятой"), QStringLiteral(";"));
        form->addRow(f == ListFormat::Quizlet
                         ? text("Between term and definition:", "Между термином и определением:")
                         : text("Delimiter:", "Разделитель:"),
                     delimiter_);
        connect(delimiter_, &QComboBox::currentTextChanged, this, &ImportListDialog::reread);
    }
    if (f == ListFormat::Quizlet) {
        rowSeparator_ = named(new QComboBox(details), "rowSeparatorBox");
        rowSeparator_->setEditable(true);
        rowSeparator_->addItem(text("new line", "новая строка"), QString());
        rowSeparator_->addItem(text("semicolon", "точка с запятой"), QStringLiteral(";"));
        form->addRow(text("Between rows:", "Между строками:"), rowSeparator_);
        connect(rowSeparator_, &QComboBox::currentTextChanged, this, &ImportListDialog::reread);
    }
    if (f == ListFormat::Csv || f == ListFormat::Quizlet) {
        encoding_ = named(new QComboBox(details), "encodingBox");
        encoding_->addItem(text("UTF-8 (or as its byte-order mark says)",
                                "UTF-8 (или как указывает метка порядка байтов)"),
                           QStringLiteral("auto"));
        encoding_->addItem(QStringLiteral("UTF-16"), QStringLiteral("utf-16le"));
        for (const int page :
             {1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258, 874, 932, 936, 949, 950})
            encoding_->addItem(QStringLiteral("Windows-%1").arg(page),
                               QStringLiteral("windows-%1").arg(page));
        form->addRow(text("Character set of the file:", "Кодировка файла:"), encoding_);
        connect(encoding_, &QComboBox::currentIndexChanged, this, &ImportListDialog::reread);
    }
    if (f == ListFormat::Csv || f == ListFormat::Ods || f == ListFormat::Xlsx) {
        header_ = named(new QCheckBox(text("The first row names the columns",
                                           "Первая строка — названия столбцов"),
                                      details),
                        "headerBox");
        form->addRow(header_);
        connect(header_, &QCheckBox::toggled, this, &ImportListDialog::reread);
    }
    if (f == ListFormat::Ods || f == ListFormat::Xlsx) {
        sheet_ = named(new QComboBox(details), "sheetBox");
        form->addRow(text("Sheet:", "Лист:"), sheet_);
        connect(sheet_, &QComboBox::currentIndexChanged, this, &ImportListDialog::reread);
    }
    if (f == ListFormat::Kvtml) {
        questionLanguage_ = named(new QComboBox(details), "questionLanguageBox");
        answerLanguage_ = named(new QComboBox(details), "answerLanguageBox");
        form->addRow(text("Questions in:", "Вопросы на языке:"), questionLanguage_);
        form->addRow(text("Answers in:", "Ответы на языке:"), answerLanguage_);
        for (QComboBox* box : {questionLanguage_, answerLanguage_})
            connect(box, &QComboBox::currentIndexChanged, this, &ImportListDialog::reread);
    }
    status_ = named(new QLabel(details), "statusLabel");
    status_->setWordWrap(true);
    form->addRow(status_);
    layout->addWidget(details);

    auto* fields = new QGroupBox(text("Fields", "Поля"), this);
    auto* grid = new QFormLayout(fields);
    const char* columnNames[] = {"questionColumnBox", "answerColumnBox", "commentColumnBox"};
    const char* charsetNames[] = {"questionCharsetBox", "answerCharsetBox", "commentCharsetBox"};
    const QString labels[] = {text("Questions:", "Вопросы:"), text("Answers:", "Ответы:"),
                              text("Comments:", "Комментарии:")};
    for (int i = 0; i < 3; ++i) {
        auto* row = new QHBoxLayout;
        columns_[i] = named(new QComboBox(fields), columnNames[i]);
        charsets_[i] = named(new QComboBox(fields), charsetNames[i]);
        for (const CharsetName& c : kCharsetNames)
            charsets_[i]->addItem(QString::fromUtf8(setup_.english ? c.english : c.russian),
                                  c.charset);
        const int current = setup_.charsets[i];
        if (charsets_[i]->findData(current) < 0)
            charsets_[i]->addItem(
                text("the system's (%1)", "системная (%1)").arg(codePageForCharset(current)),
                current);
        charsets_[i]->setCurrentIndex(charsets_[i]->findData(current));
        row->addWidget(new QLabel(text("column", "столбец"), fields));
        row->addWidget(columns_[i], 1);
        row->addWidget(new QLabel(text("character set", "кодировка"), fields));
        row->addWidget(charsets_[i], 1);
        grid->addRow(labels[i], row);
        connect(columns_[i], &QComboBox::currentIndexChanged, this, &ImportListDialog::remap);
        connect(charsets_[i], &QComboBox::currentIndexChanged, this, &ImportListDialog::remap);
    }
    pickCharsets_ = named(
        new QPushButton(
            text("Pick the character sets from the text", "Подобрать кодировки по тексту"), fields),
        "pickCharsetsButton");
    connect(pickCharsets_, &QPushButton::clicked, this, &ImportListDialog::pickCharsetsFromText);
    grid->addRow(pickCharsets_);
    newVocabulary_ =
        named(new QRadioButton(text("Start a new vocabulary", "Создать новый словарь"), fields),
              "newVocabularyButton");
    appendTo_ = named(new QRadioButton(text("Add the entries to the open vocabulary",
                                            "Добавить записи в открытый словарь"),
                                       fields),
                      "appendButton");
    newVocabulary_->setChecked(true);
    grid->addRow(newVocabulary_);
    grid->addRow(appendTo_);
    for (QRadioButton* b : {newVocabulary_, appendTo_})
        connect(b, &QRadioButton::toggled, this, &ImportListDialog::remap);
    layout->addWidget(fields);

    preview_ = named(new QTableWidget(this), "previewTable");
    preview_->setColumnCount(3);
    preview_->setHorizontalHeaderLabels(
        {text("Questions", "Вопросы"), text("Answers", "Ответы"), text("Comments", "Комментарии")});
    preview_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(preview_, 1);
    problems_ = named(new QLabel(this), "problemsLabel");
    problems_->setWordWrap(true);
    problems_->setTextFormat(Qt::PlainText);
    problems_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(problems_);
    leaveOut_ = named(new QCheckBox(text("Leave these lines out", "Пропустить эти строки"), this),
                      "leaveOutBox");
    connect(leaveOut_, &QCheckBox::toggled, this, &ImportListDialog::remap);
    layout->addWidget(leaveOut_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setText(text("Cancel", "Отмена"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

bool ImportListDialog::ankiPackage() const {
    return setup_.format == ListFormat::Anki &&
           (isAnkiPackageName(setup_.fileName) || isZipArchive(bytes_));
}

ListReadOptions ImportListDialog::readOptions() const {
    ListReadOptions o;
    o.ankiPackage = ankiPackage();
    const auto chosen = [](const QComboBox* box) {
        // A typed delimiter, or the one an item stands for.
        const int i = box->findText(box->currentText());
        return i >= 0 ? box->itemData(i).toString() : box->currentText();
    };
    if (delimiter_)
        o.delimiter = chosen(delimiter_);
    if (rowSeparator_)
        o.rowSeparator = chosen(rowSeparator_);
    if (encoding_)
        o.encoding =
            parseTextEncoding(encoding_->currentData().toString()).value_or(TextEncoding{});
    if (header_ && !firstRead_)
        o.header = header_->isChecked() ? HeaderChoice::Yes : HeaderChoice::No;
    if (sheet_ && sheet_->currentIndex() >= 0)
        o.sheet = QString::number(sheet_->currentIndex() + 1);
    if (questionLanguage_ && questionLanguage_->currentIndex() >= 0)
        o.languages =
            std::array<int, 2>{questionLanguage_->currentIndex(), answerLanguage_->currentIndex()};
    return o;
}

void ImportListDialog::reread() {
    if (filling_)
        return;
    const ReadError e = readList(setup_.format, bytes_, readOptions(), list_);
    readError_ = e.isError() ? e.message(QFileInfo(setup_.fileName).fileName()) : QString();
    filling_ = true;
    if (!e.isError()) {
        if (header_)
            header_->setChecked(list_.firstRowIsHeader);
        if (sheet_ && sheet_->count() != list_.sheetNames.size()) {
            sheet_->clear();
            sheet_->addItems(list_.sheetNames);
            sheet_->setCurrentIndex(list_.sheetIndex);
        }
        if (questionLanguage_ && questionLanguage_->count() == 0) {
            QStringList names;
            for (qsizetype i = 0; i < list_.languages.size(); ++i)
                names << QStringLiteral("%1: %2").arg(i).arg(list_.languages[i]);
            questionLanguage_->addItems(names);
            answerLanguage_->addItems(names);
            questionLanguage_->setCurrentIndex(0);
            answerLanguage_->setCurrentIndex(list_.languages.size() > 1 ? 1 : 0);
        }
        fillColumnBoxes();
    }
    firstRead_ = false;
    filling_ = false;
    status_->setText(readError_);
    if (!e.isError() && !list_.notes.other.isEmpty())
        status_->setText(list_.notes.other.join(QStringLiteral("; ")));
    else if (!e.isError() && ankiPackage()) // a package has no details to choose
        status_->setText(text("An Anki package of %1 notes", "Пакет Anki, заметок: %1")
                             .arg(list_.sheet.rowCount()));
    remap();
}

void ImportListDialog::fillColumnBoxes() {
    const ColumnChoice suggested = defaultColumns(list_);
    const int count = std::min(list_.sheet.columnCount(), kListedColumns);
    for (int f = 0; f < 3; ++f) {
        QComboBox* box = columns_[f];
        const int keep = box->count() > 0 ? box->currentData().toInt() : suggested[f];
        box->clear();
        box->addItem(text("(none)", "(нет)"), -1);
        for (int c = 0; c < count; ++c) {
            QString name = QString::number(c + 1);
            if (c < list_.columnNames.size() && !list_.columnNames[c].isEmpty())
                name += QStringLiteral(": ") + list_.columnNames[c];
            else if (setup_.format == ListFormat::Ods || setup_.format == ListFormat::Xlsx)
                name = columnLetters(c);
            box->addItem(name, c);
        }
        box->setCurrentIndex(std::max(0, box->findData(keep < count ? keep : -1)));
    }
}

MappingChoices ImportListDialog::choices() const {
    MappingChoices c;
    for (int f = 0; f < 3; ++f) {
        c.columns[f] = columns_[f]->currentData().toInt();
        c.charsets[f] = charsets_[f]->currentData().toInt();
    }
    c.skipFirstRow = list_.firstRowIsHeader;
    c.leaveOutUnheldRows = leaveOut_->isChecked();
    return c;
}

bool ImportListDialog::append() const {
    return appendTo_->isChecked();
}

void ImportListDialog::pickCharsetsFromText() {
    MappingChoices c = choices();
    const std::array<CharsetCoverage, 3> coverage =
        fieldCoverage(list_.sheet, c.columns, c.skipFirstRow);
    for (int f = 0; f < 3; ++f) {
        if (append() && !setup_.fieldIsAscii[f])
            continue;
        if (const std::optional<int> set = coverage[f].choose(c.charsets[f]))
            charsets_[f]->setCurrentIndex(std::max(0, charsets_[f]->findData(*set)));
    }
}

void ImportListDialog::remap() {
    if (filling_)
        return;
    // Appending keeps the sets of fields that hold other than ASCII.
    for (int f = 0; f < 3; ++f) {
        const bool fixed = append() && !setup_.fieldIsAscii[f];
        if (fixed)
            charsets_[f]->setCurrentIndex(charsets_[f]->findData(setup_.charsets[f]));
        charsets_[f]->setEnabled(!fixed);
    }
    preview_->setRowCount(0);
    problems_->clear();
    if (!readError_.isEmpty()) {
        ok_->setEnabled(false);
        leaveOut_->setVisible(false);
        return;
    }
    const MappingChoices c = choices();
    const int first = c.skipFirstRow ? 1 : 0;
    const int rows = std::min(list_.sheet.rowCount() - first, kPreviewRows);
    preview_->setRowCount(std::max(rows, 0));
    std::vector<std::string_view> cells;
    QStringList places;
    for (int r = 0; r < rows; ++r) {
        list_.sheet.cells(r + first, cells);
        places << list_.sheet.where(r + first).section(QLatin1Char(' '), -1);
        for (int f = 0; f < 3; ++f) {
            const int column = c.columns[f];
            const QString cell = column >= 0 && static_cast<std::size_t>(column) < cells.size()
                                     ? fromUtf8(cells[static_cast<std::size_t>(column)])
                                     : QString();
            // As it will land: line breaks become blanks.
            QString shown = cell;
            shown.replace(QLatin1String("\r\n"), QLatin1String(" "));
            shown.replace(QLatin1Char('\n'), QLatin1Char(' '))
                .replace(QLatin1Char('\r'), QLatin1Char(' '));
            auto* item = new QTableWidgetItem(shown);
            const EncodeResult e = CodePage::forCharset(c.charsets[f]).encode(shown);
            if (!e.ok()) {
                item->setBackground(QColor(0xff, 0xd6, 0xd6));
                item->setToolTip(describeCharacters(e.unencodable));
            }
            preview_->setItem(r, f, item);
        }
    }
    preview_->setVerticalHeaderLabels(places);

    // Every row is checked, not only those shown.
    MappingChoices strict = c;
    strict.leaveOutUnheldRows = false;
    const MappedList mapped = mapToEntries(list_.sheet, strict);
    const bool unheld = mapped.unheldCount > 0;
    leaveOut_->setVisible(unheld);
    if (unheld)
        problems_->setText(text("Characters the field's character set cannot hold (nothing is "
                                "replaced: choose another set, or leave these lines out):",
                                "Символы, которых нет в кодировке поля (ничего не заменяется: "
                                "выберите другую кодировку или пропустите эти строки):") +
                           QLatin1Char('\n') + describeUnheld(mapped, list_.sheet, 8));
    ok_->setEnabled(mapped.error.isEmpty() && (!unheld || leaveOut_->isChecked()));
}

} // namespace lexanta
