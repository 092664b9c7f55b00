// Draws the run's charts without a display: painting text needs a Qt GUI
// application, so one is made on the offscreen platform for the SVG only (and
// for the plots of explore and attack).
#include "cli/pictures.h"

#include <QGuiApplication>
#include <QSaveFile>
#include <cstdio>
#include <memory>

#include "app/charts/chart_export.h"
#include "app/charts/chart_model.h"
#include "app/charts/schedule_dot.h"
#include "core/datapath.h"

namespace velnor::cli {
namespace {

bool write_text(const QString &path, const std::string &text) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = QByteArray::fromStdString(text);
    return file.write(bytes) == bytes.size() && file.commit();
}

std::string cannot_write(const char *option, const QString &path) {
    return std::string("--") + option + ": cannot write " + path.toStdString();
}

// Qt's notes while it starts without a display (no runtime folder and the
// like) say nothing about the run; standard error stays for the tool's own.
void drop_qt_notes(QtMsgType type, const QMessageLogContext &, const QString &message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "velnor-cli: %s\n", qPrintable(message));
}

}  // namespace

std::unique_ptr<QGuiApplication> offscreen_application() {
    if (QCoreApplication::instance())
        return nullptr;
    static int argc = 3;
    static char name[] = "velnor-cli", option[] = "-platform", platform[] = "offscreen";
    static char *argv[] = {name, option, platform, nullptr};
    const QtMessageHandler previous = qInstallMessageHandler(drop_qt_notes);
    auto application = std::make_unique<QGuiApplication>(argc, argv);
    qInstallMessageHandler(previous);
    return application;
}

bool paint_offscreen(const std::function<bool()> &paint) {
    const std::unique_ptr<QGuiApplication> application = offscreen_application();
    const QtMessageHandler previous = qInstallMessageHandler(drop_qt_notes);
    const bool painted = paint();
    qInstallMessageHandler(previous);
    return painted;
}

std::vector<std::string> write_pictures(const FlowRun &run, const std::optional<QString> &svg,
                                        const std::optional<QString> &dot) {
    std::vector<std::string> failures;
    if (!svg && !dot)
        return failures;
    const Datapath datapath = datapath_of(run.design);
    const charts::ChartMarks marks =
        charts::chart_marks(datapath, run.embedding.constraints.zero_pairs, run.embedding.constraints.one_operations,
                            run.embedding.constraints.together_pairs);
    if (dot && !write_text(*dot, charts::schedule_dot(datapath, marks)))
        failures.push_back(cannot_write("dot", *dot));
    if (svg) {
        const std::unique_ptr<QGuiApplication> application = offscreen_application();
        // Variables the embedding moved are shown against the unsigned design of the same run.
        const Datapath unsigned_datapath = datapath_of(run.unsigned_design);
        const charts::DatapathCharts drawn = charts::build_charts(
            datapath, marks, unsigned_datapath.variables.empty() ? nullptr : &unsigned_datapath, "after embedding");
        if (!charts::write_page_svg(*svg, drawn))
            failures.push_back(cannot_write("svg", *svg));
    }
    return failures;
}

}  // namespace velnor::cli
