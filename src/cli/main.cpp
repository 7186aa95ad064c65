// lexanta-tool: the editor's file routines on the command line.
#include "cli/tool.h"

#include <QCoreApplication>

#include <cstdio>
#include <map>

namespace lexanta::tool {

namespace {

std::map<QString, Command>& registry() {
    static std::map<QString, Command> commands;
    return commands;
}

void printUsage(FILE* to) {
    std::fprintf(to, "usage: lexanta-tool COMMAND [ARGS]\n\ncommands:\n");
    for (const auto& [name, command] : registry())
        std::fprintf(to, "  lexanta-tool %s\n", command.usage.toLocal8Bit().constData());
    std::fprintf(to, "\n-o FILE names the output (- for standard output); - as an input "
                     "reads standard input.\nExit status: 0 success, 1 a file could not be "
                     "read or written, 2 usage error.\n");
}

} // namespace

Registrar::Registrar(Command command) {
    const QString name = command.name;
    registry().emplace(name, std::move(command));
}

int usageError(const QString& command, const QString& message) {
    printError(message);
    const auto it = registry().find(command);
    if (it != registry().end())
        std::fprintf(stderr, "usage: lexanta-tool %s\n",
                     it->second.usage.toLocal8Bit().constData());
    else
        printUsage(stderr);
    return kUsageError;
}

namespace {

int dispatch(const QStringList& argv) {
    if (argv.isEmpty()) {
        printUsage(stderr);
        return kUsageError;
    }
    if (argv.first() == QLatin1String("--help") || argv.first() == QLatin1String("-h") ||
        argv.first() == QLatin1String("help")) {
        printUsage(stdout);
        return kOk;
    }
    const auto it = registry().find(argv.first());
    if (it == registry().end())
        return usageError({}, QStringLiteral("unknown command '%1'").arg(argv.first()));
    const Command& command = it->second;
    Args args;
    for (int i = 1; i < argv.size(); ++i) {
        const QString& a = argv[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            std::printf("usage: lexanta-tool %s\n", command.usage.toLocal8Bit().constData());
            return kOk;
        }
        if (a == QLatin1String("-o") || a == QLatin1String("--output")) {
            if (i + 1 >= argv.size())
                return usageError(command.name, QStringLiteral("%1 needs a file name").arg(a));
            args.output = argv[++i];
        } else if (a == QLatin1String("--remove-blank-lines")) {
            args.removeBlankLines = true;
        } else if (a == QLatin1String("--old-format")) {
            args.oldFormat = true;
        } else if (a.startsWith(QLatin1String("--"))) {
            const QString name = a.section(QLatin1Char('='), 0, 0);
            if (!command.valueOptions.contains(name) && name != a)
                return usageError(command.name, QStringLiteral("unknown option %1").arg(name));
            if (command.valueOptions.contains(name) && name == a) {
                if (i + 1 >= argv.size())
                    return usageError(command.name, QStringLiteral("%1 needs a value").arg(a));
                args.options << a << argv[++i];
            } else {
                args.options << a;
            }
        } else {
            args.positional << a;
        }
    }
    return command.run(args);
}

} // namespace
} // namespace lexanta::tool

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return lexanta::tool::dispatch(args);
}
