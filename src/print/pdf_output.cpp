#include "print/pdf_output.h"

#include "platform/codepage.h"

#include <QIODevice>
#include <QPdfWriter>

#include <string>

namespace lexanta {

namespace {

// The PDF writer's output, handed on to a FileWriter in large pieces. A failed write is
// kept, and painting stops at the next page.
class FileWriterDevice : public QIODevice {
public:
    explicit FileWriterDevice(FileWriter& writer) : writer_(writer) {
        buffer_.reserve(kChunk);
        open(QIODevice::WriteOnly);
    }
    bool isSequential() const override { return true; }
    bool failed() const { return !result_.ok; }
    IoResult finish() {
        flushBuffer();
        return result_;
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        if (!result_.ok)
            return -1;
        buffer_.append(data, static_cast<std::size_t>(size));
        if (buffer_.size() >= kChunk)
            flushBuffer();
        return result_.ok ? size : -1;
    }

private:
    static constexpr std::size_t kChunk = 1 << 18;
    void flushBuffer() {
        if (result_.ok && !buffer_.empty())
            result_ = writer_.write(buffer_.data(), buffer_.size());
        buffer_.clear();
    }

    FileWriter& writer_;
    std::string buffer_;
    IoResult result_;
};

} // namespace

PdfOutcome writeWorksheetPdf(const QString& path, const Vocabulary& vocabulary,
                             const std::vector<int>& entries, const PrintOptions& options,
                             const PaintLimits& limits) {
    PdfOutcome outcome;
    FileWriter file;
    outcome.io = file.open(path);
    if (!outcome.io)
        return outcome;
    FileWriterDevice device(file);
    PaintLimits checked = limits;
    checked.cancel = [&device, &limits] {
        return device.failed() || (limits.cancel && limits.cancel());
    };
    {
        QPdfWriter pdf(&device);
        pdf.setPageLayout(worksheetPageLayout(options));
        pdf.setCreator(QStringLiteral("Lexanta Editor"));
        pdf.setTitle(CodePage::get(systemAnsiCodePage()).decode(vocabulary.header.title));
        outcome.paint = paintWorksheet(pdf, vocabulary, entries, options, checked);
    }
    outcome.io = device.finish();
    if (!outcome.io)
        return outcome;
    if (!outcome.paint.complete) {
        // Cancelled: the temp file goes, the target stays.
        return outcome;
    }
    outcome.io = file.commit();
    return outcome;
}

} // namespace lexanta
