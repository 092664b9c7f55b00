#include "app/console_table.h"

#include <QXmlStreamReader>
#include <algorithm>

namespace velnor {

std::optional<std::vector<QStringList>> table_rows(const QString &text) {
    if (!text.startsWith("<table"))
        return std::nullopt;
    QXmlStreamReader reader(text);
    std::vector<QStringList> rows;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (reader.name() == QLatin1String("tr"))
            rows.emplace_back();
        else if ((reader.name() == QLatin1String("td") || reader.name() == QLatin1String("th")) && !rows.empty())
            rows.back() << reader.readElementText();
    }
    if (reader.hasError() || rows.empty())
        return std::nullopt;
    return rows;
}

QStringList grid_lines(const std::vector<QStringList> &rows) {
    std::vector<int> widths;
    for (const QStringList &row : rows) {
        if (widths.size() < static_cast<std::size_t>(row.size()))
            widths.resize(row.size(), 0);
        for (int c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], row[c].size());
    }
    const auto line_of = [&widths](const QStringList &row) {
        QString line;
        for (int c = 0; c < row.size(); ++c) {
            if (c > 0)
                line += " | ";
            line += row[c].leftJustified(widths[c]);
        }
        return line;
    };
    QStringList lines;
    for (const QStringList &row : rows) {
        lines << line_of(row);
        if (lines.size() == 1) {
            QString rule;
            for (std::size_t c = 0; c < widths.size(); ++c)
                rule += (c > 0 ? "-+-" : "") + QString(widths[c], '-');
            lines << rule;
        }
    }
    return lines;
}

}  // namespace velnor
