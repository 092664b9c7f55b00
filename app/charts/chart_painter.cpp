// The drawing of the schedule and register charts: grid, titles, legend,
// operation boxes and variable bars, with the embedding's marks.
#include "app/charts/chart_painter.h"

#include <algorithm>

#include <QFont>
#include <QPainter>
#include <QString>

namespace velnor::charts {
namespace {

// Texts are sized in pixels so that every device draws the same picture.
constexpr int cell_text_pixels = 11;
constexpr int title_text_pixels = 15;
// Below this many device pixels a cell's text is unreadable and only costs time.
constexpr double smallest_readable_pixels = 5;
constexpr std::size_t most_partner_lines = 6;

const QColor grid_line(200, 200, 215);
const QColor header_fill(236, 238, 248);
const QColor one_constraint_edge(224, 112, 0);
const QColor pair_edge(192, 40, 40);
const QColor together_edge(30, 140, 60);
const QColor moved_fill(255, 204, 102);
const QColor bar_fill(207, 227, 255);
const QColor hovered_fill(255, 241, 118);
const QColor partner_fill(248, 180, 192);

QColor operator_fill(char type, ModuleVariant variant) {
    QColor fill;
    switch (type) {
    case '+': fill = QColor(219, 232, 255); break;
    case '-': fill = QColor(227, 245, 216); break;
    case '*': fill = QColor(255, 227, 209); break;
    case '/': fill = QColor(236, 224, 255); break;
    default: fill = QColor(240, 240, 200); break;
    }
    return variant == 2 ? fill.darker(112) : fill;
}

QFont pixel_font(int pixels, bool bold = false) {
    QFont font;
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

bool texts_readable(const QPainter &painter) {
    return cell_text_pixels * painter.transform().m22() >= smallest_readable_pixels;
}

void paint_title(QPainter &painter, const Label &title) {
    painter.setFont(pixel_font(title_text_pixels, true));
    painter.setPen(Qt::black);
    painter.drawText(to_rect(title.box), Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(title.text));
}

// The fill and edge each legend mark stands for, as the boxes and bars are drawn.
std::pair<QBrush, QPen> legend_look(const LegendEntry &entry) {
    switch (entry.mark) {
    case LegendMark::Unit: return {operator_fill(entry.type, entry.variant), QPen(Qt::gray, 0)};
    case LegendMark::OneConstraint: return {Qt::white, QPen(one_constraint_edge, 3)};
    case LegendMark::VariantChanged: return {Qt::white, QPen(Qt::black, 1, Qt::DashLine)};
    case LegendMark::Variable: return {bar_fill, QPen(Qt::darkGray, 0)};
    case LegendMark::KeptApart: return {bar_fill, QPen(pair_edge, 2)};
    case LegendMark::HeldTogether: return {bar_fill, QPen(together_edge, 2)};
    case LegendMark::Moved: return {moved_fill, QPen(Qt::darkGray, 0)};
    case LegendMark::PointedAt: return {hovered_fill, QPen(Qt::black, 2)};
    case LegendMark::Partner: return {partner_fill, QPen(Qt::darkGray, 0)};
    }
    return {Qt::white, QPen(Qt::black, 0)};
}

void paint_legend(QPainter &painter, const std::vector<LegendEntry> &entries) {
    painter.setFont(pixel_font(cell_text_pixels));
    for (const LegendEntry &entry : entries) {
        const auto [fill, edge] = legend_look(entry);
        painter.setBrush(fill);
        painter.setPen(edge);
        painter.drawRect(to_rect(entry.swatch));
        painter.setPen(Qt::black);
        painter.drawText(to_rect(entry.label.box), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip,
                         QString::fromStdString(entry.label.text));
    }
}

void paint_grid(QPainter &painter, const Grid &grid, const QRectF &visible, bool with_texts) {
    const QRectF cells = to_rect(grid.cells);
    painter.setPen(Qt::NoPen);
    painter.setBrush(header_fill);
    painter.drawRect(QRectF(cells.left(), cells.top() - (grid.column_titles.empty() ? 0 : grid.column_titles[0].box.height),
                            cells.width(), grid.column_titles.empty() ? 0 : grid.column_titles[0].box.height));
    painter.drawRect(QRectF(cells.left() - (grid.row_titles.empty() ? 0 : grid.row_titles[0].box.width), cells.top(),
                            grid.row_titles.empty() ? 0 : grid.row_titles[0].box.width, cells.height()));

    painter.setPen(QPen(grid_line, 0));
    for (int32_t row = 0; row <= grid.rows; ++row) {
        const double y = cells.top() + row * grid.row_height;
        if (y >= visible.top() - 1 && y <= visible.bottom() + 1)
            painter.drawLine(QPointF(cells.left(), y), QPointF(cells.right(), y));
    }
    for (int32_t column = 0; column <= grid.columns; ++column) {
        const double x = cells.left() + column * grid.column_width;
        if (x >= visible.left() - 1 && x <= visible.right() + 1)
            painter.drawLine(QPointF(x, cells.top()), QPointF(x, cells.bottom()));
    }
    if (!with_texts)
        return;
    painter.setFont(pixel_font(cell_text_pixels, true));
    painter.setPen(Qt::black);
    for (const auto *titles : {&grid.column_titles, &grid.row_titles})
        for (const Label &title : *titles)
            if (to_rect(title.box).intersects(visible))
                painter.drawText(to_rect(title.box), Qt::AlignCenter, QString::fromStdString(title.text));
}

}  // namespace

void paint_schedule(QPainter &painter, const ScheduleChart &chart, const QRectF &visible) {
    const bool with_texts = texts_readable(painter);
    paint_title(painter, chart.title);
    paint_legend(painter, chart.legend_entries);
    paint_grid(painter, chart.grid, visible, with_texts);

    painter.setFont(pixel_font(cell_text_pixels));
    for (const OperationBox &operation : chart.operations) {
        const QRectF box = to_rect(operation.box);
        if (!box.intersects(visible))
            continue;
        painter.setBrush(operator_fill(operation.type, operation.variant));
        if (operation.one_constraint)
            painter.setPen(QPen(one_constraint_edge, 3));
        else if (operation.variant_changed)
            painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
        else
            painter.setPen(QPen(Qt::darkGray, 0));
        painter.drawRect(box);
        if (with_texts) {
            painter.setPen(Qt::black);
            painter.drawText(box, Qt::AlignCenter, QString::fromStdString(operation.text));
        }
    }
}

void paint_registers(QPainter &painter, const RegisterChart &chart, const QRectF &visible,
                     std::optional<std::size_t> hovered) {
    const bool with_texts = texts_readable(painter);
    paint_title(painter, chart.title);
    paint_legend(painter, chart.legend_entries);
    paint_grid(painter, chart.grid, visible, with_texts);

    std::vector<bool> partner(chart.bars.size(), false);
    if (hovered && *hovered < chart.bars.size()) {
        for (std::size_t index : chart.bars[*hovered].partners)
            partner[index] = true;
        for (std::size_t index : chart.bars[*hovered].together)
            partner[index] = true;
    }

    painter.setFont(pixel_font(cell_text_pixels));
    for (std::size_t index = 0; index < chart.bars.size(); ++index) {
        const VariableBar &bar = chart.bars[index];
        const QRectF box = to_rect(bar.box);
        if (box.isEmpty() || !box.intersects(visible))
            continue;
        QColor fill = bar.moved ? moved_fill : bar_fill;
        if (hovered == index)
            fill = hovered_fill;
        else if (partner[index])
            fill = partner_fill;
        painter.setBrush(fill);
        if (hovered == index)
            painter.setPen(QPen(Qt::black, 2));
        else if (bar.zero_pair)
            painter.setPen(QPen(pair_edge, 2));
        else if (!bar.together.empty())
            painter.setPen(QPen(together_edge, 2));
        else
            painter.setPen(QPen(Qt::darkGray, 0));
        painter.drawRect(box);
        if (with_texts) {
            painter.setPen(Qt::black);
            painter.drawText(QRectF(box.left(), box.top(), box.width(), chart.grid.row_height - 4), Qt::AlignCenter,
                             QString::fromStdString(bar.name));
        }
    }
    // Lines from the pointed variable to each partner it must stay apart from;
    // a fan of many would hide the chart, and the partners' colour says enough.
    if (hovered && *hovered < chart.bars.size() && chart.bars[*hovered].partners.size() <= most_partner_lines) {
        const QRectF from = to_rect(chart.bars[*hovered].box);
        painter.setPen(QPen(pair_edge, 2, Qt::DashLine));
        for (std::size_t index : chart.bars[*hovered].partners)
            painter.drawLine(from.center(), to_rect(chart.bars[index].box).center());
    }
    if (hovered && *hovered < chart.bars.size()) {
        const QRectF from = to_rect(chart.bars[*hovered].box);
        painter.setPen(QPen(together_edge, 2, Qt::DashLine));
        for (std::size_t index : chart.bars[*hovered].together)
            painter.drawLine(from.center(), to_rect(chart.bars[index].box).center());
    }
}

void paint_page(QPainter &painter, const DatapathCharts &charts) {
    const QRectF page = to_rect(charts.page);
    painter.fillRect(page, Qt::white);
    paint_schedule(painter, charts.schedule, page);
    paint_registers(painter, charts.registers, page);
}

}  // namespace velnor::charts
