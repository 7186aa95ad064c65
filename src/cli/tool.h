#pragma once

#include "document/document.h"

#include <QCoreApplication>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <string_view>

namespace lexanta::tool {

// Exit statuses of lexanta-tool.
inline constexpr int kOk = 0;
inline constexpr int kIoError = 1;
inline constexpr int kUsageError = 2;

// One option a command takes. Options without a value name are switches.
struct CommandOption {
    QStringList names; // "o", "output": -o and --output
    QString valueName; // "OUT.lut", "question|answer|comment"; empty for a switch
    QString help;
    bool required = false;
};

// The options every command that writes a vocabulary may take.
CommandOption outputOption(const QString& valueName);
CommandOption removeBlankLinesOption();
CommandOption oldFormatOption();

// Arguments of one command after its name, parsed against the command's options.
struct Args {
    QStringList positional;
    QString output;                // -o / --output
    bool removeBlankLines = false; // --remove-blank-lines
    bool oldFormat = false;        // --old-format
    QMap<QString, QString> values; // every other option given, by its long name ("" for switches)
    // Value of an option; empty when absent.
    QString value(const QString& name) const { return values.value(name); }
    bool has(const QString& name) const { return values.contains(name); }
};

struct Command {
    QString name;
    QString summary;       // one line for --help
    QStringList arguments; // the positional arguments, e.g. {"IN.lut"}
    QList<CommandOption> options;
    std::function<int(const Args&)> run;
    // The command paints pages (fonts, PDF), which needs a QGuiApplication; without a
    // display it runs on the offscreen platform.
    bool paintsPages = false;
};

// True for a registered command that paints pages.
bool paintsPages(const char* command);
// lexanta-tool runs on Qt Core alone and starts faster for it; the commands that paint pages
// run in the page painter (lexanta-tool-print), the same tool with Qt Gui, which makes a
// QGuiApplication for them.
std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv);
// The arguments the program was started with, as bytes.
char** givenArguments();
// print: lexanta-tool hands its command line to the page painter, which paints.
int runPrint(const Args& args);

// Commands register themselves from their own source files.
struct Registrar {
    explicit Registrar(Command command);
};

// "sort --by question|answer|comment IN.lut -o OUT.lut [--remove-blank-lines] ..."
QString usageLine(const Command& command);

// Prints "lexanta-tool: <message>" on standard error; names that carry bytes that are not
// UTF-8 are printed as those bytes.
void printError(const QString& message);
// Prints the message and the usage of `command` on standard error; returns kUsageError.
int usageError(const QString& command, const QString& message);
// Writes to standard output. A failed write is remembered and reported at the end.
void printOut(std::string_view text);
// The exit status after a command: kIoError, naming standard output, when what the command
// wrote there did not all get out.
int finishStandardOutput(int status);
// Reports a failed write of `path` ("-" is standard output); returns kIoError.
int writeFailure(const QString& path, const QString& reason);

// Loads a .lut file as File > Load does, into a document in the window's reset state.
// On failure prints the file and reason and returns false.
bool loadVocabulary(const QString& path, Document& doc);

// Writes args.output as File > Save does: RemoveBlankLines when args.removeBlankLines,
// NormalizeCells, then the writer (an old-format document is written in the current format
// unless args.oldFormat). On failure prints the file and reason and returns kIoError.
int saveVocabulary(Document& doc, const Args& args);
// Prints a failed outcome's message; returns kOk for a success, kIoError otherwise.
int report(const FileOutcome& outcome);
// "not enough memory to VERB FILE"; returns kIoError. The document is as it was loaded.
int notEnoughMemory(const QString& verb, const QString& path);

} // namespace lexanta::tool
