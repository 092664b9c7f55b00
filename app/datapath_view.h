// The datapath view beside the console: the schedule and the register
// allocation as charts in two tabs, a switch between the design before and
// after the embedding, zoom, fit, full size, and export of the shown chart as PNG or SVG.
// The window fills it after each stage that produces its data.
#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "app/charts/chart_model.h"
#include "app/dialogs.h"
#include "core/datapath.h"

class QComboBox;
class QPushButton;
class QScrollArea;
class QTabWidget;

namespace velnor {

class ChartCanvas;

class DatapathView : public QWidget {
    Q_OBJECT

public:
    enum class Side { BeforeEmbedding = 0, AfterEmbedding = 1 };

    // dialogs: the window's boxes and file dialogs, asked for when exporting.
    DatapathView(std::function<Dialogs &()> dialogs, QWidget *parent = nullptr);

    // The scheduled and allocated design, before any embedding.
    void show_unsigned(const Datapath &before);
    // The same design after the embedding, with the constraints it placed.
    void show_signed(const Datapath &after, const charts::ChartMarks &marks);
    // Nothing to show (a new run begins).
    void clear();

    void show_side(Side side);
    Side side() const;
    // The charts shown now, or null when there is nothing to show.
    const charts::DatapathCharts *charts() const { return shown_ ? &*shown_ : nullptr; }

    void zoom_by(double factor);
    // Scales the shown chart to fit its tab.
    void fit();
    double scale() const { return scale_; }

    // Writes the chart of the current tab; false when the file cannot be written.
    bool export_png(const QString &path) const;
    bool export_svg(const QString &path) const;

private:
    // No signed design (yet): the unsigned one, or nothing, with the switch closed.
    void show_before_only();
    void rebuild();
    void ask_and_export(const QString &caption, const QString &extension, bool (DatapathView::*write)(const QString &) const);
    void new_design();
    ChartCanvas *current_canvas() const;

    std::function<Dialogs &()> dialogs_;
    std::optional<Datapath> before_;
    std::optional<Datapath> after_;
    charts::ChartMarks marks_;
    std::optional<charts::DatapathCharts> shown_;
    double scale_ = 1;

    QComboBox *side_switch_;
    QTabWidget *tabs_;
    QScrollArea *schedule_area_;
    QScrollArea *register_area_;
    ChartCanvas *schedule_canvas_;
    ChartCanvas *register_canvas_;
    std::vector<QPushButton *> chart_tools_;  // zoom, fit and export: of no use on an empty chart
};

}  // namespace velnor
