// lexanta-tool: the editor's file routines on the command line.
#include "cli/tool.h"

#include "app_version.h"
#include "platform/file_io.h"
#include "platform/file_names.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <csignal>
#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <unistd.h>

namespace lexanta::tool {

namespace {

char** given = nullptr; // main()'s arguments

std::map<QString, Command>& registry() {
    static std::map<QString, Command> commands;
    return commands;
}

QString optionText(const CommandOption& option) {
    const QString& name = option.names.first();
    QString text = (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
    if (!option.valueName.isEmpty())
        text += QLatin1Char(' ') + option.valueName;
    return text;
}

bool isOutput(const CommandOption& option) {
    return option.names.contains(QLatin1String("output"));
}

std::string bytes(const QString& text) {
    return fileNameToBytes(text).toStdString();
}

void printUsage() {
    std::string text = "usage: lexanta-tool COMMAND [ARGS]\n       lexanta-tool --help | "
                       "--version\n\ncommands:\n";
    for (const auto& [name, command] : registry())
        text += "  " + bytes(usageLine(command)) + "\n";
    text += "\n-o FILE names the output (- for standard output); - as an input reads standard "
            "input.\n'lexanta-tool COMMAND --help' describes a command's options.\nExit status: "
            "0 success, 1 a file could not be read or written, 2 usage error.\n";
    printOut(text);
}

void printCommandHelp(const Command& command) {
    std::string text =
        "usage: " + bytes(usageLine(command)) + "\n\n" + bytes(command.summary) + "\n\noptions:\n";
    for (const CommandOption& option : command.options) {
        QString names;
        for (const QString& name : option.names)
            names += (names.isEmpty() ? QString() : QStringLiteral(", ")) +
                     (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
        if (!option.valueName.isEmpty())
            names += QLatin1Char(' ') + option.valueName;
        text += "  " + bytes(names) + "\n      " + bytes(option.help) + "\n";
    }
    printOut(text);
}

int dispatch(const QStringList& argv) {
    if (argv.isEmpty())
        return usageError({}, QStringLiteral("no command given"));
    const QString& first = argv.first();
    if (first == QLatin1String("--help") || first == QLatin1String("-h") ||
        first == QLatin1String("help")) {
        printUsage();
        return kOk;
    }
    if (first == QLatin1String("--version")) {
        printOut(std::string("lexanta-tool ") + kVersion + "\n");
        return kOk;
    }
    const auto it = registry().find(first);
    if (it == registry().end())
        return usageError({}, QStringLiteral("unknown command '%1'").arg(first));
    const Command& command = it->second;

    QCommandLineParser parser;
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("describe the command"));
    parser.addOption(help);
    for (const CommandOption& option : command.options)
        parser.addOption(QCommandLineOption(option.names, option.help, option.valueName));
    QStringList arguments = argv;
    arguments.first() = QStringLiteral("lexanta-tool ") + command.name;
    if (!parser.parse(arguments))
        return usageError(command.name, parser.errorText());
    if (parser.isSet(help)) {
        printCommandHelp(command);
        return kOk;
    }

    Args args;
    args.positional = parser.positionalArguments();
    for (const CommandOption& option : command.options) {
        const QString& name = option.names.last();
        if (!parser.isSet(name)) {
            if (option.required)
                return usageError(
                    command.name,
                    QStringLiteral("%1 needs %2").arg(command.name, optionText(option)));
            continue;
        }
        if (isOutput(option))
            args.output = parser.value(name);
        else if (name == QLatin1String("remove-blank-lines"))
            args.removeBlankLines = true;
        else if (name == QLatin1String("old-format"))
            args.oldFormat = true;
        else
            args.values.insert(name, option.valueName.isEmpty() ? QString() : parser.value(name));
    }
    if (args.positional.size() != command.arguments.size())
        return usageError(command.name,
                          QStringLiteral("%1 takes %2")
                              .arg(command.name, command.arguments.join(QLatin1Char(' '))));
    // Standard input is read once: a second "-" would read nothing and be taken for an empty
    // file.
    qsizetype standardInputs = 0;
    for (qsizetype i = 0; i < args.positional.size(); ++i)
        if (args.positional[i] == QLatin1String("-") &&
            command.arguments[i] != QLatin1String("OUT"))
            ++standardInputs;
    for (const QString& name : {QStringLiteral("from"), QStringLiteral("append-to")})
        if (args.has(name) && args.value(name) == QLatin1String("-"))
            ++standardInputs;
    if (standardInputs > 1)
        return usageError(command.name, QStringLiteral("standard input (-) is read only once"));
    return command.run(args);
}

} // namespace

char** givenArguments() {
    return given;
}

bool paintsPages(const char* command) {
    const auto it = registry().find(QString::fromLocal8Bit(command));
    return it != registry().end() && it->second.paintsPages;
}

Registrar::Registrar(Command command) {
    const QString name = command.name;
    registry().emplace(name, std::move(command));
}

QString usageLine(const Command& command) {
    QStringList parts{QStringLiteral("lexanta-tool"), command.name};
    for (const CommandOption& option : command.options)
        if (option.required && !isOutput(option))
            parts << optionText(option);
    parts << command.arguments;
    for (const CommandOption& option : command.options)
        if (isOutput(option) && option.required)
            parts << optionText(option);
    for (const CommandOption& option : command.options)
        if (!option.required)
            parts << QLatin1Char('[') + optionText(option) + QLatin1Char(']');
    return parts.join(QLatin1Char(' '));
}

int usageError(const QString& command, const QString& message) {
    printError(message);
    const auto it = registry().find(command);
    QString text;
    if (it != registry().end()) {
        text = QStringLiteral("usage: ") + usageLine(it->second) + QLatin1Char('\n');
    } else {
        text = QStringLiteral("usage: lexanta-tool COMMAND [ARGS]; commands:");
        for (const auto& [name, c] : registry())
            text += QLatin1Char(' ') + name;
        text += QStringLiteral("\n'lexanta-tool --help' says more.\n");
    }
    const QByteArray out = fileNameToBytes(text);
    std::fwrite(out.constData(), 1, static_cast<std::size_t>(out.size()), stderr);
    return kUsageError;
}

} // namespace lexanta::tool

namespace {

// Ctrl+C, kill or a closed terminal end the tool as they would, without a half-written
// output beside its target.
void endWithoutTempFiles(int signal) {
    lexanta::removeTempFilesOfWritesUnderWay();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// A mapped input that another program shortens while the tool reads it is a read failure that
// names the file, not an unexplained bus error.
void endOnLostFileBytes(int signal, siginfo_t* info, void*) {
    if (const char* name = lexanta::mappedFileAt(info->si_addr)) {
        const auto say = [](const char* text) {
            ssize_t ignored = ::write(STDERR_FILENO, text, std::strlen(text));
            (void)ignored;
        };
        say("lexanta-tool: cannot read ");
        say(name);
        say(": shortened by another program while in use\n");
        lexanta::removeTempFilesOfWritesUnderWay();
        ::_exit(lexanta::tool::kIoError);
    }
    endWithoutTempFiles(signal);
}

void handleSignals() {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        // A signal the caller ignores (a job started in the background) stays ignored.
        struct sigaction current {};
        if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler != SIG_IGN)
            std::signal(signal, endWithoutTempFiles);
    }
    struct sigaction onBusError {};
    onBusError.sa_sigaction = endOnLostFileBytes;
    onBusError.sa_flags = SA_SIGINFO;
    sigemptyset(&onBusError.sa_mask);
    if (sigaction(SIGBUS, &onBusError, nullptr) == 0)
        lexanta::mapFilesWhenRead(); // only with the handler in place
}

} // namespace

int main(int argc, char** argv) {
    // A reader that goes away (`| head`) makes a write fail with EPIPE, which is reported and
    // ends the tool with status 1, instead of ending it unannounced.
    std::signal(SIGPIPE, SIG_IGN);
    handleSignals();
    lexanta::tool::given = argv;
    const std::unique_ptr<QCoreApplication> app = lexanta::tool::makeApplication(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("lexanta-tool"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(lexanta::kVersion));
    // QCoreApplication::arguments() would turn bytes that are not UTF-8 into U+FFFD, so
    // a file name from an old archive would name another file.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << lexanta::fileNameFromBytes(argv[i]);
    int status = lexanta::tool::kIoError;
    try {
        status = lexanta::tool::dispatch(args);
    } catch (const std::bad_alloc&) {
        // What the commands do not catch themselves (their outputs are gathered before any is
        // written, so nothing was written).
        lexanta::tool::printError(QStringLiteral("not enough memory"));
    }
    return lexanta::tool::finishStandardOutput(status);
}
