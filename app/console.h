// The console's text edit: how it is set up and how one message is appended
// to it. The window writes through these, and the benchmark of the result
// views lays out the same document the same way.
#pragma once

#include <QString>

class QTextEdit;

namespace velnor {

// Lines never wrap: a wide table scrolls sideways instead of squeezing its
// cells, so a cell never breaks a number across lines.
void prepare_console(QTextEdit &console);

// Appends "-> " and message as a new paragraph in the colour named ("red",
// "blue"; any other keeps the previous message's colour), at 10 points. A
// result view's table is shown as a grid of text below "-> " (console_table.h).
void append_to_console(QTextEdit &console, const QString &color, const QString &message);

}  // namespace velnor
