#include "print/worksheet.h"

#include "core/listops/shuffle_swap.h"
#include "print/sheet.h"
#include "print/sheet_texts.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>

#include <malloc.h>
#include <mutex>

namespace lexanta {

namespace {

// Progress is told every this many entries.
constexpr int kProgressStep = 128;

// The column caption of a field: the language the description gives it, else its name.
QString fieldCaption(const VocabularyHeader& header, int field, InterfaceLanguage language,
                     const FieldStyle& style) {
    const std::string* named = field == kQuestion ? &header.questionsLanguage
                               : field == kAnswer ? &header.answersLanguage
                                                  : nullptr;
    if (named) {
        const QString text = style.text(*named).trimmed();
        if (!text.isEmpty())
            return text;
    }
    const SheetText names[] = {SheetText::Question, SheetText::Answer, SheetText::Comment};
    return sheetText(names[field], language);
}

int promptField(const PrintOptions& options) {
    return options.direction == Direction::QuestionToAnswer ? kQuestion : kAnswer;
}

int replyField(const PrintOptions& options) {
    return options.direction == Direction::QuestionToAnswer ? kAnswer : kQuestion;
}

QString variantLetter(int variant) {
    return QString(QLatin1Char(static_cast<char>('A' + variant)));
}

// Qt's PDF writer compresses every page through two fresh 16 MB buffers. With the C library's
// defaults those are mapped and unmapped, or taken from the heap top and trimmed back, for
// each page, and their pages fault in again: a million cards spent more time in the kernel
// than painting. Kept in the heap instead, they are reused page after page.
void keepPageBuffers() {
    static std::once_flag once;
    std::call_once(once, [] {
        mallopt(M_MMAP_THRESHOLD, 32 << 20);
        mallopt(M_TRIM_THRESHOLD, 128 << 20);
    });
}

} // namespace

std::vector<int> printableEntries(const EntryTable& table, const std::vector<int>& chosen) {
    std::vector<int> entries;
    const auto take = [&](int entry) {
        if (entry >= 0 && entry < table.entryCount() && !table.isBlank(entry))
            entries.push_back(entry);
    };
    if (chosen.empty()) {
        entries.reserve(static_cast<std::size_t>(table.entryCount()));
        for (int i = 0; i < table.entryCount(); ++i)
            take(i);
    } else {
        for (int entry : chosen)
            take(entry);
    }
    return entries;
}

QPageLayout worksheetPageLayout(const PrintOptions& options) {
    PaperChoice paper = options.paper;
    if (paper == PaperChoice::FromLocale)
        paper = paperForLocale(paperLocaleName());
    const QPageSize size(paper == PaperChoice::Letter ? QPageSize::Letter : QPageSize::A4);
    return QPageLayout(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

std::vector<int> variantOrder(const std::vector<int>& entries, const PrintOptions& options,
                              int variant) {
    if (!options.shuffle && options.variants <= 1)
        return entries;
    const std::vector<int> order = shuffleOrder(static_cast<int>(entries.size()),
                                                options.seed + static_cast<unsigned>(variant));
    std::vector<int> shuffled;
    shuffled.reserve(entries.size());
    for (int i : order)
        shuffled.push_back(entries[static_cast<std::size_t>(i)]);
    return shuffled;
}

PaintResult paintWorksheet(QPagedPaintDevice& device, const Vocabulary& vocabulary,
                           const std::vector<int>& entries, const PrintOptions& options,
                           const PaintLimits& limits) {
    if (!checkOptions(options).isEmpty())
        return {0, false};
    keepPageBuffers();
    PagePainter sheet(device, options, limits);
    if (!sheet.painting())
        return {0, false};
    const double base = vocabulary.header.fontSize * options.fontScale;
    const FieldStyles styles = fieldStyles(vocabulary.header, base);
    switch (options.layout) {
    case SheetLayout::List:
        paintList(sheet, vocabulary.header, vocabulary.entries, entries, styles);
        break;
    case SheetLayout::FoldOver:
        paintFoldOver(sheet, vocabulary.header, vocabulary.entries, entries, styles);
        break;
    case SheetLayout::Test:
        paintTest(sheet, vocabulary.header, vocabulary.entries, entries, styles);
        break;
    case SheetLayout::Cards:
        paintCards(sheet, vocabulary.header, vocabulary.entries, entries, styles);
        break;
    }
    return sheet.finish();
}

// ---- list and fold-over ---------------------------------------------------------------------

void paintList(PagePainter& sheet, const VocabularyHeader& header, const EntryTable& table,
               const std::vector<int>& entries, const FieldStyles& styles) {
    const PrintOptions& o = sheet.options();
    const FieldStyle caption = captionStyle(styles[0].font.pointSizeF(), true);
    // Comments are usually shorter than the words they explain.
    const double weights[] = {1.0, 1.0, 0.8};
    double total = 0;
    for (int field : o.fields)
        total += weights[field];
    std::vector<TableColumn> columns;
    std::vector<Cell> captions;
    double x = 0;
    for (int field : o.fields) {
        const double width = sheet.body().width() * weights[field] / total;
        columns.push_back({x, width, Qt::AlignLeft});
        captions.push_back({{fieldCaption(header, field, o.language, caption), &caption, 1.0}});
        x += width;
    }
    TableWriter writer(sheet, columns, captions);
    writer.begin(paintHeading(sheet, header, {}));
    std::vector<Cell> cells(o.fields.size());
    const auto count = static_cast<long long>(entries.size());
    for (long long i = 0; i < count; ++i) {
        const EntryView e = table.entry(entries[static_cast<std::size_t>(i)]);
        for (std::size_t c = 0; c < o.fields.size(); ++c) {
            const FieldStyle& style = styles[static_cast<std::size_t>(o.fields[c])];
            cells[c] = {{style.text(e[o.fields[c]]), &style, 1.0}};
        }
        if (!writer.addRow(cells))
            return;
        if (i % kProgressStep == 0)
            sheet.progress(i, count);
    }
    sheet.progress(count, count);
}

void paintFoldOver(PagePainter& sheet, const VocabularyHeader& header, const EntryTable& table,
                   const std::vector<int>& entries, const FieldStyles& styles) {
    const PrintOptions& o = sheet.options();
    const FieldStyle caption = captionStyle(styles[0].font.pointSizeF(), true);
    const int prompt = promptField(o), reply = replyField(o);
    // The halves meet at the middle of the paper, where it is folded.
    const QRectF body = sheet.body();
    const double fold = sheet.page().center().x() - body.left();
    const double gap = sheet.mm(3);
    const std::vector<TableColumn> columns = {
        {0, fold - gap, Qt::AlignLeft}, {fold + gap, body.width() - fold - gap, Qt::AlignLeft}};
    const std::vector<Cell> captions = {
        {{fieldCaption(header, prompt, o.language, caption), &caption, 1.0}},
        {{fieldCaption(header, reply, o.language, caption), &caption, 1.0}}};
    TableWriter writer(sheet, columns, captions);
    writer.setFoldLine(true);
    writer.begin(paintHeading(sheet, header, {}));
    const auto count = static_cast<long long>(entries.size());
    for (long long i = 0; i < count; ++i) {
        const EntryView e = table.entry(entries[static_cast<std::size_t>(i)]);
        const std::vector<Cell> cells = {
            {{styles[prompt].text(e[prompt]), &styles[prompt], 1.0}},
            {{styles[reply].text(e[reply]), &styles[reply], 1.0},
             {styles[kComment].text(e[kComment]), &styles[kComment], 0.8}}};
        if (!writer.addRow(cells))
            return;
        if (i % kProgressStep == 0)
            sheet.progress(i, count);
    }
    sheet.progress(count, count);
}

// ---- test -----------------------------------------------------------------------------------

namespace {

// One variant's questions (or its answer key): numbered rows.
bool paintTestPart(PagePainter& sheet, const VocabularyHeader& header, const EntryTable& table,
                   const std::vector<int>& order, const FieldStyles& styles, bool key,
                   const QString& title, long long& done, long long total) {
    const PrintOptions& o = sheet.options();
    const FieldStyle caption = captionStyle(styles[0].font.pointSizeF(), true);
    const FieldStyle number = captionStyle(styles[0].font.pointSizeF());
    const int prompt = promptField(o), reply = replyField(o);
    const QRectF body = sheet.body();
    const double numberWidth =
        QFontMetricsF(number.font, sheet.device())
            .horizontalAdvance(QString::number(std::max<std::size_t>(order.size(), 1)) +
                               QStringLiteral(".")) +
        sheet.mm(3);
    const double promptWidth = (body.width() - numberWidth) * 0.45;
    const std::vector<TableColumn> columns = {
        {0, numberWidth, Qt::AlignRight},
        {numberWidth, promptWidth, Qt::AlignLeft},
        {numberWidth + promptWidth, body.width() - numberWidth - promptWidth, Qt::AlignLeft}};
    const std::vector<Cell> captions = {
        {},
        {{fieldCaption(header, prompt, o.language, caption), &caption, 1.0}},
        {{fieldCaption(header, reply, o.language, caption), &caption, 1.0}}};
    TableWriter writer(sheet, columns, captions);
    QStringList lines{title};
    if (!key) {
        // Room to write: two lines a question, the answer on a ruled line.
        writer.setMinimumRowHeight(QFontMetricsF(styles[reply].font, sheet.device()).height() *
                                   2.2);
        writer.setRowRules(false);
        writer.setBottomAligned(true);
        const double inset = sheet.mm(1.5);
        const QColor ruleInk(0x55, 0x5a, 0x64);
        const double ruleWidth = sheet.pt(0.6);
        const TableColumn answer = columns[2];
        writer.setDecoration([=](QPainter& p, const QRectF& row, const std::vector<CellBlock>&) {
            p.setPen(QPen(ruleInk, ruleWidth));
            const double y = row.bottom() - inset;
            p.drawLine(QPointF(row.left() + answer.x + inset, y),
                       QPointF(row.left() + answer.x + answer.width - inset, y));
        });
        lines << sheetText(SheetText::Name, o.language) + QStringLiteral(" ") +
                     QString(28, QLatin1Char('_')) + QStringLiteral("     ") +
                     sheetText(SheetText::Date, o.language) + QStringLiteral(" ") +
                     QString(14, QLatin1Char('_'));
    }
    writer.begin(paintHeading(sheet, header, lines));
    for (std::size_t i = 0; i < order.size(); ++i) {
        const EntryView e = table.entry(order[i]);
        std::vector<Cell> cells = {{{QString::number(i + 1) + QLatin1Char('.'), &number, 1.0}},
                                   {{styles[prompt].text(e[prompt]), &styles[prompt], 1.0}},
                                   {}};
        if (key)
            cells[2] = {{styles[reply].text(e[reply]), &styles[reply], 1.0}};
        if (!writer.addRow(cells))
            return false;
        if (++done % kProgressStep == 0)
            sheet.progress(done, total);
    }
    return true;
}

} // namespace

void paintTest(PagePainter& sheet, const VocabularyHeader& header, const EntryTable& table,
               const std::vector<int>& entries, const FieldStyles& styles) {
    const PrintOptions& o = sheet.options();
    const InterfaceLanguage language = o.language;
    const QString page = sheetText(SheetText::Page, language);
    const long long total =
        static_cast<long long>(entries.size()) * o.variants * (o.answerKey ? 2 : 1);
    long long done = 0;
    const auto variantName = [&](int v) {
        return sheetText(SheetText::Variant, language).arg(variantLetter(v));
    };
    for (int v = 0; v < o.variants; ++v) {
        if (!sheet.beginPartPage())
            return;
        QString title = sheetText(SheetText::Test, language);
        if (o.variants > 1) {
            title += QStringLiteral(" – ") + variantName(v);
            sheet.startPart(variantName(v) + QStringLiteral(" · ") + page);
        } else {
            sheet.startPart(page);
        }
        if (!paintTestPart(sheet, header, table, variantOrder(entries, o, v), styles, false, title,
                           done, total))
            return;
    }
    for (int v = 0; o.answerKey && v < o.variants; ++v) {
        if (!sheet.beginPartPage())
            return;
        QString title = sheetText(SheetText::AnswerKey, language);
        if (o.variants > 1)
            title += QStringLiteral(" – ") + variantName(v);
        sheet.startPart(title + QStringLiteral(" · ") + page);
        if (!paintTestPart(sheet, header, table, variantOrder(entries, o, v), styles, true, title,
                           done, total))
            return;
    }
    sheet.progress(total, total);
}

} // namespace lexanta
