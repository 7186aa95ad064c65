// lexanta-tool's side of the commands that paint pages: it starts without Qt Gui and hands
// such a command, unchanged, to the page painter.
#include "cli/tool.h"

#include "platform/file_names.h"

#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace lexanta::tool {

namespace {

// Installed, the page painter lies in the private program folder (LEXANTA_PAGE_PAINTER, from
// the program folder); in a build tree, beside the tool.
QString pagePainter() {
    const QString here = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    for (const QString& candidate :
         {here + QStringLiteral(LEXANTA_PAGE_PAINTER), here + QStringLiteral("lexanta-tool-print")})
        if (QFileInfo(candidate).isExecutable())
            return QFileInfo(candidate).canonicalFilePath();
    return {};
}

} // namespace

std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv) {
    return std::make_unique<QCoreApplication>(argc, argv);
}

int runPrint(const Args& /*args: parsed again by the page painter*/) {
    const QString painter = pagePainter();
    if (painter.isEmpty()) {
        printError(QStringLiteral("cannot print: the page painter lexanta-tool-print is not "
                                  "installed with lexanta-tool"));
        return kIoError;
    }
    const QByteArray path = fileNameToBytes(painter);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(path.constData()));
    for (char** given = givenArguments() + 1; *given; ++given)
        argv.push_back(*given);
    argv.push_back(nullptr);
    std::fflush(nullptr);
    ::execv(path.constData(), argv.data());
    printError(QStringLiteral("cannot start %1: %2")
                   .arg(painter, QString::fromLocal8Bit(std::strerror(errno))));
    return kIoError;
}

} // namespace lexanta::tool
