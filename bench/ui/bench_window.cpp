// One step of a drag-resize of the main window at 1280 x 1024: the layout of
// every element, the skin painted anew, the window's region and the repaint.
#include "app/AlbumApp.h"
#include "shell/ui/MainWindow.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace tamsel;

namespace {

QApplication& App()
{
    static int argc = 1;
    static char name[] = "tamsel_bench_ui";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

void BM_ResizeStep(benchmark::State& st)
{
    App();
    // The build folder holds the installation's pictures beside the program.
    AlbumApp album(AppPaths::ForProgramDir(QStringLiteral(TAMSEL_BUILD_DIR)));
    MainWindow window(album);
    window.resize(1280, 1024);
    window.show();
    QApplication::processEvents();
    // The window keeps its size here, so no composition runs: what is timed
    // is what each step of a grip drag does besides the resize itself.
    for (auto _ : st) {
        window.FormResize();
        QApplication::processEvents();
    }
}

}  // namespace

BENCHMARK(BM_ResizeStep)->Unit(benchmark::kMillisecond);
