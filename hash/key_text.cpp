// Key field texts into numbers, through QString exactly as the window converts them.
#include "hash/key_text.h"

namespace velnor {

// A space ends the token before it even when that token is empty, so a
// leading space yields a 0; only a non-empty token is left at the line's end,
// so trailing spaces add nothing.
std::vector<int> tokenize_numbers(const QString &line) {
    std::vector<int> values;
    QString token;
    for (int i = 0; i < line.size(); ++i) {
        if (line[i] != QLatin1Char(' ')) {
            token += line[i];
            continue;
        }
        values.push_back(token.toInt(nullptr, 10));
        token.clear();
        while (i + 1 < line.size() && line[i + 1] == QLatin1Char(' '))
            ++i;
    }
    if (!token.isEmpty())
        values.push_back(token.toInt(nullptr, 10));
    return values;
}


NumberLine number_line(const QString &line) { return {line.toStdString(), tokenize_numbers(line)}; }

int text_to_int(const QString &text) { return text.toInt(nullptr, 10); }

}  // namespace velnor
