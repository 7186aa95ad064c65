#include "cli/tool.h"

#include "platform/file_names.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace lexanta::tool {

namespace {

int stdoutError = 0; // errno of the first write to standard output that failed

} // namespace

CommandOption outputOption(const QString& valueName) {
    return {{QStringLiteral("o"), QStringLiteral("output")},
            valueName,
            QStringLiteral("the file to write; - writes standard output"),
            true};
}

CommandOption removeBlankLinesOption() {
    return {{QStringLiteral("remove-blank-lines")},
            {},
            QStringLiteral("drop entries whose question, answer and comment are empty"),
            false};
}

CommandOption oldFormatOption() {
    return {{QStringLiteral("old-format")},
            {},
            QStringLiteral("write an old-format input in the old format (no header)"),
            false};
}

void printError(const QString& message) {
    const QByteArray text = "lexanta-tool: " + fileNameToBytes(message) + '\n';
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stderr);
}

void printOut(std::string_view text) {
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() && stdoutError == 0)
        stdoutError = errno != 0 ? errno : EIO;
}

int finishStandardOutput(int status) {
    if (std::fflush(stdout) != 0 && stdoutError == 0)
        stdoutError = errno != 0 ? errno : EIO;
    if (std::ferror(stdout) && stdoutError == 0)
        stdoutError = EIO;
    // A command that failed has said why; its output may have failed for the same reason.
    if (status != kOk || stdoutError == 0)
        return status;
    printError(QStringLiteral("cannot write standard output: %1")
                   .arg(QString::fromLocal8Bit(std::strerror(stdoutError))));
    return kIoError;
}

int writeFailure(const QString& path, const QString& reason) {
    const QString target = path == QLatin1String("-") ? QStringLiteral("standard output") : path;
    printError(QStringLiteral("cannot write %1: %2").arg(target, reason));
    return kIoError;
}

bool loadVocabulary(const QString& path, Document& doc) {
    return report(doc.load(path)) == kOk;
}

int saveVocabulary(Document& doc, const Args& args) {
    SaveOptions options;
    options.removeBlankLines = args.removeBlankLines;
    options.chooseFormat = [&args] {
        return args.oldFormat ? FormatChoice::Old : FormatChoice::Current;
    };
    return report(doc.saveAs(args.output, options));
}

int report(const FileOutcome& outcome) {
    if (outcome.ok())
        return kOk;
    if (outcome.kind == FileOutcome::Kind::Unwritable)
        return writeFailure(outcome.path, outcome.reason);
    printError(outcome.message());
    return kIoError;
}

int notEnoughMemory(const QString& verb, const QString& path) {
    printError(QStringLiteral("not enough memory to %1 %2").arg(verb, path));
    return kIoError;
}

} // namespace lexanta::tool
