// Times File > Export as PDF in the window over a large vocabulary: the dialog's first preview,
// then the whole PDF, with the progress bar the window shows meanwhile.
//   bench_window_print [entries] [list|test|foldover|cards]   (default 1000000 list; run with
//   QT_QPA_PLATFORM=offscreen or on a display)
#include "document/document.h"
#include "gui/app/main_window.h"
#include "gui/print/print_commands.h"
#include "gui/print/worksheet_dialog.h"
#include "gui/vocab/file_commands.h"
#include "platform/codepage.h"
#include "platform/file_io.h"

#include "quiet_dialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>
#include <ctime>
#include <functional>

using namespace lexanta;

namespace {

std::string vocabulary(int entries) {
    std::string out = "Vocabulary Format 1\r\nEnglish\r\nRussian\r\nBench\r\nBench\r\n"
                      "01.01.2024\r\n00000409\r\n00000419\r\n00000409\r\n10\r\n"
                      "Arial\r\n-2147483640\r\n0\r\n0\r\n0\r\n0\r\n0\r\n"
                      "Arial\r\n0\r\n1\r\n0\r\n0\r\n0\r\n204\r\n"
                      "Arial\r\n-2147483640\r\n0\r\n1\r\n0\r\n0\r\n0\r\n0\r\n";
    const std::string answer = CodePage::get(1251).encode(QStringLiteral("слово")).bytes;
    for (int i = 0; i < entries; ++i) {
        const std::string n = std::to_string(i);
        out += "word" + n + "\r\n[w" + n + "]\r\n" + answer + n + "\r\n0\r\n0";
        if (i + 1 < entries)
            out += "\r\n";
    }
    return out;
}

double cpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int entries = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const QString layoutName = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("list");
    const auto layout = parseLayout(layoutName);
    if (entries < 1 || !layout) {
        std::fprintf(stderr, "usage: bench_window_print [entries] [list|test|foldover|cards]\n");
        return 2;
    }
    QTemporaryDir dir(QStringLiteral("/dev/shm/bench_print-XXXXXX"));
    const QString lut = dir.filePath(QStringLiteral("big.lut"));
    if (!writeWholeFile(lut, vocabulary(entries)))
        return 1;
    bench::QuietDialogs dialogs;
    dialogs.saveAs = dir.filePath(QStringLiteral("out.pdf"));
    WindowServices services;
    services.dialogs = &dialogs;
    services.programFolder = dir.path();
    services.configFolder = dir.path();
    services.dataFolder = dir.filePath(QStringLiteral("data"));
    services.restoreSettings = false;
    MainWindow window(services);
    window.show();
    window.files().loadFile(lut);

    bool barShown = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout,
                     [&] { barShown = barShown || window.progressBar()->isVisible(); });
    watch.start(50);

    QElapsedTimer clock;
    double previewMs = 0, exportWall = 0, exportCpu = 0;
    std::function<void()> poll = [&] {
        auto* dialog = qobject_cast<WorksheetDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            QTimer::singleShot(10, poll);
            return;
        }
        auto* box = dialog->findChild<QComboBox*>(QStringLiteral("LayoutBox"));
        box->setCurrentIndex(box->findData(int(*layout)));
        QElapsedTimer preview;
        preview.start();
        bool painted = false;
        QObject::connect(dialog->preview(), &QPrintPreviewWidget::previewChanged,
                         [&] { painted = true; });
        while (!painted && preview.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        previewMs = static_cast<double>(preview.elapsed());
        clock.start();
        exportCpu = cpuSeconds();
        dialog->findChild<QPushButton*>(QStringLiteral("SavePdfButton"))->click();
    };
    QTimer::singleShot(0, poll);
    window.printing().exportPdfAction()->trigger();
    exportWall = static_cast<double>(clock.elapsed()) / 1000;
    exportCpu = cpuSeconds() - exportCpu;

    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {dialogs.saveAs});
    info.waitForFinished();
    const QString pages = QString::fromUtf8(info.readAllStandardOutput())
                              .section(QStringLiteral("Pages:"), 1)
                              .section(QLatin1Char('\n'), 0, 0)
                              .trimmed();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf(
        "%d entries, %s: first preview %.0f ms (from the choice of layout); PDF %.2f s wall "
        "%.2f s CPU, %s pages; progress bar %s; peak %.0f MB%s\n",
        entries, qPrintable(layoutName), previewMs, exportWall, exportCpu, qPrintable(pages),
        barShown ? "shown" : "not shown", static_cast<double>(usage.ru_maxrss) / 1024,
        dialogs.messages.isEmpty()
            ? ""
            : qPrintable(QStringLiteral("; said: ") + dialogs.messages.join(' ')));
    window.hide();
    return dialogs.messages.isEmpty() ? 0 : 1;
}
