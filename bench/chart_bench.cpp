// The datapath charts on the largest DSP core the hash chain takes (895
// operations): laying them out, and redrawing what the window shows of them,
// a viewport at zoom 1 (scrolling, pointing at a variable) and the whole chart
// fitted into the viewport.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "app/charts/chart_model.h"
#include "app/charts/chart_painter.h"
#include "bench/largest_run.h"
#include "core/datapath.h"

namespace {

using namespace velnor;

// The window's datapath dock at a large window size.
const QSize viewport(1400, 800);

struct Largest {
    Datapath datapath;
    charts::ChartMarks marks;
    charts::DatapathCharts charts;
};

const Largest &largest() {
    static const Largest run = [] {
        const FlowRun &flow = bench::largest_run();
        Largest made;
        made.datapath = datapath_of(flow.design);
        made.marks = charts::chart_marks(made.datapath, flow.embedding.constraints.zero_pairs,
                                         flow.embedding.constraints.one_operations);
        made.charts = charts::build_charts(made.datapath, made.marks, nullptr, "after embedding");
        return made;
    }();
    return run;
}

void BuildCharts895(benchmark::State &state) {
    const Largest &run = largest();
    for (auto _ : state)
        benchmark::DoNotOptimize(charts::build_charts(run.datapath, run.marks, nullptr, "after embedding"));
}
BENCHMARK(BuildCharts895)->Unit(benchmark::kMillisecond);

// Paints one chart into a viewport-sized image: at zoom 1 from the chart's
// middle (argument 1), or fitted whole (argument 0).
void paint(benchmark::State &state, bool registers) {
    const Largest &run = largest();
    const charts::Box frame = registers ? run.charts.registers.frame : run.charts.schedule.frame;
    const bool fitted = state.range(0) == 0;
    const double scale = fitted ? std::min(viewport.width() / frame.width, viewport.height() / frame.height) : 1;
    const QRectF visible = fitted ? QRectF(frame.x, frame.y, frame.width, frame.height)
                                  : QRectF(frame.x + frame.width / 2, frame.y + frame.height / 2, viewport.width(),
                                           viewport.height());
    QImage image(viewport, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        painter.fillRect(image.rect(), Qt::white);
        painter.scale(scale, scale);
        painter.translate(-visible.x(), -visible.y());
        if (registers)
            charts::paint_registers(painter, run.charts.registers, visible, std::size_t{0});
        else
            charts::paint_schedule(painter, run.charts.schedule, visible);
    }
    state.counters["chart_width"] = frame.width;
    state.counters["chart_height"] = frame.height;
}

void RedrawSchedule895(benchmark::State &state) { paint(state, false); }
void RedrawRegisters895(benchmark::State &state) { paint(state, true); }
BENCHMARK(RedrawSchedule895)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(RedrawRegisters895)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv) {
    // Text needs a GUI application; no display is needed to paint into images.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
