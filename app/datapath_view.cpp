// Builds the datapath view's widgets and keeps its charts in step with the
// run: which side of the embedding is shown, the zoom, and the exports.
#include "app/datapath_view.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/chart_canvas.h"
#include "app/charts/chart_export.h"

namespace velnor {
namespace {

// Each step visibly changes the chart: from Fit to readable labels in a few clicks on a large core.
constexpr double zoom_step = 1.5;
constexpr double smallest_scale = 0.02;
constexpr double largest_scale = 8;

QPushButton *tool_button(const QString &name, const QString &text, QWidget *parent) {
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    return button;
}

QScrollArea *scroll_area_for(ChartCanvas *canvas, QWidget *parent) {
    auto *area = new QScrollArea(parent);
    area->setWidget(canvas);
    area->setWidgetResizable(false);
    area->setBackgroundRole(QPalette::Base);
    return area;
}

}  // namespace

DatapathView::DatapathView(std::function<Dialogs &()> dialogs, QWidget *parent)
    : QWidget(parent), dialogs_(std::move(dialogs)) {
    side_switch_ = new QComboBox(this);
    side_switch_->setObjectName("side_switch");
    side_switch_->addItem("before embedding");
    side_switch_->addItem("after embedding");
    side_switch_->setEnabled(false);

    auto *zoom_in = tool_button("zoom_in", "Zoom in", this);
    auto *zoom_out = tool_button("zoom_out", "Zoom out", this);
    auto *fit_button = tool_button("fit", "Fit", this);
    // Labels readable at once on a large core, where Fit gives a thumbnail of the whole.
    auto *actual_size = tool_button("actual_size", "100%", this);
    auto *png = tool_button("export_png", "Export PNG...", this);
    auto *svg = tool_button("export_svg", "Export SVG...", this);

    chart_tools_ = {zoom_in, zoom_out, fit_button, actual_size, png, svg};
    auto *bar = new QHBoxLayout;
    bar->addWidget(side_switch_);
    for (QPushButton *button : chart_tools_)
        bar->addWidget(button);
    bar->addStretch();

    schedule_canvas_ = new ChartCanvas(ChartCanvas::Kind::Schedule);
    schedule_canvas_->setObjectName("schedule_canvas");
    register_canvas_ = new ChartCanvas(ChartCanvas::Kind::Registers);
    register_canvas_->setObjectName("register_canvas");
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("chart_tabs");
    schedule_area_ = scroll_area_for(schedule_canvas_, tabs_);
    register_area_ = scroll_area_for(register_canvas_, tabs_);
    tabs_->addTab(schedule_area_, "Schedule");
    tabs_->addTab(register_area_, "Registers");

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addLayout(bar);
    layout->addWidget(tabs_, 1);

    connect(side_switch_, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this] { rebuild(); });
    connect(zoom_in, &QPushButton::clicked, this, [this] { zoom_by(zoom_step); });
    connect(zoom_out, &QPushButton::clicked, this, [this] { zoom_by(1 / zoom_step); });
    connect(fit_button, &QPushButton::clicked, this, [this] { fit(); });
    connect(actual_size, &QPushButton::clicked, this, [this] { zoom_by(1 / scale_); });
    for (ChartCanvas *canvas : {schedule_canvas_, register_canvas_})
        connect(canvas, &ChartCanvas::zoom_requested, this,
                [this](double notches) { zoom_by(std::pow(zoom_step, notches)); });
    connect(png, &QPushButton::clicked, this,
            [this] { ask_and_export("export chart as PNG", ".png", &DatapathView::export_png); });
    connect(svg, &QPushButton::clicked, this,
            [this] { ask_and_export("export chart as SVG", ".svg", &DatapathView::export_svg); });
    rebuild();
}

// A new design starts at full size and then fits its dock, whatever the zoom of
// the design before it.
void DatapathView::new_design() {
    scale_ = 1;
    zoom_by(1);
    fit();
}

void DatapathView::show_unsigned(const Datapath &before) {
    before_ = before;
    show_before_only();
    new_design();
}

void DatapathView::show_before_only() {
    after_.reset();
    marks_ = {};
    const QSignalBlocker quiet(side_switch_);
    side_switch_->setCurrentIndex(static_cast<int>(Side::BeforeEmbedding));
    side_switch_->setEnabled(false);
    rebuild();
}

void DatapathView::show_signed(const Datapath &after, const charts::ChartMarks &marks) {
    after_ = after;
    marks_ = marks;
    const QSignalBlocker quiet(side_switch_);
    side_switch_->setEnabled(before_.has_value());
    side_switch_->setCurrentIndex(static_cast<int>(Side::AfterEmbedding));
    rebuild();
    new_design();
}

void DatapathView::clear() {
    before_.reset();
    show_before_only();
    new_design();
}

void DatapathView::show_side(Side side) { side_switch_->setCurrentIndex(static_cast<int>(side)); }

DatapathView::Side DatapathView::side() const { return static_cast<Side>(side_switch_->currentIndex()); }

void DatapathView::rebuild() {
    // The canvases point into the charts: detach them before the charts change.
    schedule_canvas_->set_charts(nullptr);
    register_canvas_->set_charts(nullptr);
    shown_.reset();
    for (QPushButton *tool : chart_tools_)
        tool->setEnabled(before_ || after_);
    const bool after = side() == Side::AfterEmbedding && after_;
    const std::optional<Datapath> &shown = after || !before_ ? after_ : before_;
    const std::optional<Datapath> &compared = after || !before_ ? before_ : after_;
    if (!shown)
        return;
    shown_ = charts::build_charts(*shown, marks_, compared ? &*compared : nullptr, &shown == &after_ ? "after embedding" : "before embedding");
    schedule_canvas_->set_charts(&*shown_);
    register_canvas_->set_charts(&*shown_);
}

ChartCanvas *DatapathView::current_canvas() const {
    return tabs_->currentIndex() == 0 ? schedule_canvas_ : register_canvas_;
}

void DatapathView::zoom_by(double factor) {
    scale_ = std::clamp(scale_ * factor, smallest_scale, largest_scale);
    schedule_canvas_->set_scale(scale_);
    register_canvas_->set_scale(scale_);
}

void DatapathView::fit() {
    const ChartCanvas *canvas = current_canvas();
    const QSizeF size = canvas->chart_size();
    const QScrollArea *area = tabs_->currentIndex() == 0 ? schedule_area_ : register_area_;
    const QSize room = area->maximumViewportSize();
    if (size.isEmpty() || room.isEmpty())
        return;
    zoom_by(std::min(room.width() / size.width(), room.height() / size.height()) / scale_);
}

bool DatapathView::export_png(const QString &path) const {
    const ChartCanvas *canvas = current_canvas();
    const QSizeF size = canvas->chart_size();
    return charts::write_png(path, size, [canvas, size](QPainter &painter) {
        canvas->paint_chart(painter, QRectF(QPointF(0, 0), size));
    });
}

bool DatapathView::export_svg(const QString &path) const {
    const ChartCanvas *canvas = current_canvas();
    const QSizeF size = canvas->chart_size();
    return charts::write_svg(path, size, tabs_->tabText(tabs_->currentIndex()), [canvas, size](QPainter &painter) {
        painter.fillRect(QRectF(QPointF(0, 0), size), Qt::white);
        canvas->paint_chart(painter, QRectF(QPointF(0, 0), size));
    });
}

void DatapathView::ask_and_export(const QString &caption, const QString &extension,
                                  bool (DatapathView::*write)(const QString &) const) {
    if (!shown_)
        return;
    // Proposes <core>-<chart> in the folder of the last extension dialog, and
    // adds the extension when the user typed a name without it.
    const Datapath &shown = side() == Side::AfterEmbedding && after_ ? *after_ : *before_;
    const QString core = QFileInfo(QString::fromStdString(shown.dfg)).completeBaseName();
    const QString chart = tabs_->currentIndex() == 0 ? "schedule" : "registers";
    const QString filter = extension.mid(1).toUpper() + " images (*" + extension + ")";
    QString path = dialogs_().save_file(this, caption,
                                        dialogs_().extension_folder() + "/" + core + "-" + chart + extension, filter);
    if (path.isEmpty())
        return;
    if (!path.endsWith(extension, Qt::CaseInsensitive))
        path += extension;
    dialogs_().remember_file(path);
    if (!(this->*write)(path))
        dialogs_().critical(this, "error", "could not write the chart to " + path);
}

}  // namespace velnor
