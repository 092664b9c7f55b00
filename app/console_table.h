// The console shows a result view's HTML table as a grid of text: every
// column as wide as its widest cell, one line per row. Qt's own table layout
// takes seconds on the largest cores (tens of thousands of cells) and squeezes
// its cells to the console's width; lines of text lay out at once and scroll
// sideways.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace velnor {

// The rows of cell texts of one well-formed table ("<table …><tr><th>…</th>…
// </tr><tr><td>…</td>…</tr></table>", read with Qt's XML reader), the header
// row first; none for any other text.
std::optional<std::vector<QStringList>> table_rows(const QString &text);

// The rows as lines: cells padded to their column's width and joined by
// " | ", the first row underlined.
QStringList grid_lines(const std::vector<QStringList> &rows);

}  // namespace velnor
