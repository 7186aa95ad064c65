#pragma once

#include "document/document.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace lexanta::tool {

// Exit statuses of lexanta-tool.
inline constexpr int kOk = 0;
inline constexpr int kIoError = 1;
inline constexpr int kUsageError = 2;

// Arguments of one command after its name, with the options every writing command shares.
struct Args {
    QStringList positional;
    QString output;                // -o / --output
    bool removeBlankLines = false; // --remove-blank-lines
    bool oldFormat = false;        // --old-format
    QStringList options; // every other "--name" or "--name=value" / "--name value" pair, raw
    // Value of an option given as --name VALUE or --name=VALUE; empty when absent.
    QString value(const QString& name) const;
    bool has(const QString& name) const;
};

struct Command {
    QString name;
    QString usage;            // one line, after "lexanta-tool "
    QStringList valueOptions; // options that take a value, e.g. {"--by", "--seed"}
    std::function<int(const Args&)> run;
};

// Commands register themselves from their own source files.
struct Registrar {
    explicit Registrar(Command command);
};

// Prints "lexanta-tool: <message>" on standard error.
void printError(const QString& message);
// Prints the message and the usage of `command` on standard error; returns kUsageError.
int usageError(const QString& command, const QString& message);

// Loads a .lut file as File > Load does, into a document in the window's reset state.
// On failure prints the file and reason and returns false.
bool loadVocabulary(const QString& path, Document& doc);

// Writes args.output as File > Save does: RemoveBlankLines when args.removeBlankLines,
// NormalizeCells, then the writer (an old-format document is written in the current format
// unless args.oldFormat). On failure prints the file and reason and returns kIoError.
int saveVocabulary(Document& doc, const Args& args);
// Prints a failed outcome's message; returns kOk for a success, kIoError otherwise.
int report(const FileOutcome& outcome);

} // namespace lexanta::tool
