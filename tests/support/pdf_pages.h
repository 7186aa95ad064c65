#pragma once

// What a PDF shows, as poppler-utils read it: the pages with their words and word boxes
// (pdftotext -bbox, in points from the page's top left), the page count (pdfinfo) and the
// fonts that are not embedded (pdffonts).

#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

#include <vector>

namespace lexanta::test {

struct PdfWord {
    QString text;
    QRectF box;
};

struct PdfPage {
    QSizeF size;
    std::vector<PdfWord> words;

    // The page's words in reading order, joined by blanks.
    QString text() const {
        QStringList all;
        for (const PdfWord& w : words)
            all << w.text;
        return all.join(QLatin1Char(' '));
    }
    bool has(const QString& word) const {
        for (const PdfWord& w : words)
            if (w.text == word)
                return true;
        return false;
    }
    const PdfWord* find(const QString& word) const {
        for (const PdfWord& w : words)
            if (w.text == word)
                return &w;
        return nullptr;
    }
};

inline QByteArray runTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        qWarning("%s failed: %s", qPrintable(program), process.readAllStandardError().constData());
    return process.readAllStandardOutput();
}

inline std::vector<PdfPage> pdfPages(const QString& path) {
    std::vector<PdfPage> pages;
    QXmlStreamReader xml(
        runTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")}));
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto a = xml.attributes();
        if (xml.name() == QLatin1String("page")) {
            pages.push_back({QSizeF(a.value(QLatin1String("width")).toDouble(),
                                    a.value(QLatin1String("height")).toDouble()),
                             {}});
        } else if (xml.name() == QLatin1String("word") && !pages.empty()) {
            const QPointF topLeft(a.value(QLatin1String("xMin")).toDouble(),
                                  a.value(QLatin1String("yMin")).toDouble());
            const QPointF bottomRight(a.value(QLatin1String("xMax")).toDouble(),
                                      a.value(QLatin1String("yMax")).toDouble());
            pages.back().words.push_back({xml.readElementText(), QRectF(topLeft, bottomRight)});
        }
    }
    return pages;
}

inline int pdfPageCount(const QString& path) {
    const QString info = QString::fromUtf8(runTool(QStringLiteral("pdfinfo"), {path}));
    const auto match = QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)$"),
                                          QRegularExpression::MultilineOption)
                           .match(info);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// The names of the fonts the file uses without embedding them; the first entry is
// "no fonts" when the file names none at all.
inline QStringList pdfFontsNotEmbedded(const QString& path) {
    const QStringList lines = QString::fromUtf8(runTool(QStringLiteral("pdffonts"), {path}))
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (lines.size() < 3)
        return {QStringLiteral("no fonts")};
    QStringList missing;
    // name, type (may hold blanks), encoding, emb, sub, uni, object, generation
    const QRegularExpression row(QStringLiteral("^(\\S+)\\s.*\\s(yes|no)\\s+(yes|no)\\s+(yes|no)"
                                                "\\s+\\d+\\s+\\d+\\s*$"));
    for (const QString& line : lines.mid(2)) {
        const auto m = row.match(line);
        if (!m.hasMatch() || m.captured(2) != QLatin1String("yes"))
            missing << line;
    }
    return missing;
}

} // namespace lexanta::test
