#include "app/console.h"

#include <QFontDatabase>
#include <QTextCursor>
#include <QTextEdit>

#include "app/console_table.h"

namespace velnor {

namespace {

// The grid's lines below "-> ", in the message's colour and a fixed-pitch font so its columns line up.
void append_grid(QTextEdit &console, const QStringList &lines) {
    console.append("-> ");
    const QTextCharFormat message_format = console.currentCharFormat();
    QTextCharFormat format = message_format;
    format.setFontFamily(QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
    format.setFontFixedPitch(true);
    QTextCursor cursor(console.document());
    cursor.beginEditBlock();
    cursor.movePosition(QTextCursor::End);
    for (const QString &line : lines) {
        cursor.insertBlock();
        cursor.insertText(line, format);
    }
    cursor.endEditBlock();
    // The console's own cursor now sits after the grid's text and would pass its font on to the next message.
    console.setCurrentCharFormat(message_format);
}

}  // namespace

void prepare_console(QTextEdit &console) {
    console.setLineWrapMode(QTextEdit::NoWrap);
}

void append_to_console(QTextEdit &console, const QString &color, const QString &message) {
    console.setFontPointSize(10);
    if (color == "red")
        console.setTextColor(Qt::red);
    else if (color == "blue")
        console.setTextColor(Qt::blue);
    if (const auto rows = table_rows(message))
        append_grid(console, grid_lines(*rows));
    else
        console.append("-> " + message);
}

}  // namespace velnor
