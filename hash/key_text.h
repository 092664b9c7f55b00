// Converting the text of a key field into numbers exactly as the window does:
// tokens cut at blanks, each read by QString::toInt. The one part of the stego
// key's rules that needs Qt Core.
#pragma once

#include <vector>

#include <QString>

#include "hash/stego_key.h"

namespace velnor {

// Cuts at runs of U+0020; each token through QString::toInt (non-numbers give 0).
std::vector<int> tokenize_numbers(const QString &line);

// The line's UTF-8 text and its tokens.
NumberLine number_line(const QString &line);

// QString::toInt(base 10) of a field's text; 0 for a non-number.
int text_to_int(const QString &text);

}  // namespace velnor
