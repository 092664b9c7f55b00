// The 17 result views of the window on the largest DSP core the hash chain
// takes (895 operations): each view's messages made and appended to a console
// set up as the window's, its document laid out and the newest part painted,
// which is what the user waits for after pressing the view's button.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QTextEdit>

#include "app/console.h"
#include "app/views.h"
#include "bench/largest_run.h"

namespace {

using namespace velnor;

// The console dock of a large window.
const QSize console_size(1400, 300);

void ResultView895(benchmark::State &state) {
    const FlowRun &run = bench::largest_run();
    const auto view = static_cast<ResultView>(state.range(0));
    QImage image(console_size, QImage::Format_RGB32);
    double width = 0, height = 0;
    for (auto _ : state) {
        QTextEdit console;
        console.resize(console_size);
        console.show();
        prepare_console(console);
        for (const QString &message : view_messages(run, view))
            append_to_console(console, "blue", message);
        const QSizeF size = console.document()->size();
        console.verticalScrollBar()->setValue(console.verticalScrollBar()->maximum());
        console.viewport()->render(&image);
        width = size.width();
        height = size.height();
    }
    state.counters["document_width"] = width;
    state.counters["document_height"] = height;
}
BENCHMARK(ResultView895)->DenseRange(0, result_view_count - 1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv) {
    // Widgets without a display: the offscreen platform lays out and paints alike.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
