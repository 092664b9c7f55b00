// Parsing a keys file line by line: shell words, then the four options of a
// key, each at most once.
#include "cli/keys_file.h"

#include <QFile>

#include "cli/message_text.h"
#include "core/refusal.h"
#include "hash/key_text.h"

namespace velnor::cli {
namespace {

// A keys file is small text; a larger one is not one.
constexpr qint64 keys_file_limit = 64LL * 1024 * 1024;

[[noreturn]] void refuse(const std::string &message) { throw Refusal(Refusal::Reason::CommandLine, message); }

ExplorationKey key_of(const std::vector<std::string> &words) {
    ExplorationKey key;
    bool has_encodings = false, has_rounds = false, has_order = false;
    for (std::size_t i = 0; i < words.size(); i += 2) {
        const std::string &option = words[i];
        if (option != "--count" && option != "--encodings" && option != "--order" && option != "--rounds")
            refuse(quoted(option) + " is not one of --count, --encodings, --order, --rounds");
        if (i + 1 >= words.size())
            refuse(option + " has no value");
        const std::string &value = words[i + 1];
        const bool repeated = (option == "--count" && key.count) || (option == "--encodings" && has_encodings) ||
                              (option == "--order" && has_order) || (option == "--rounds" && has_rounds);
        if (repeated)
            refuse(option + " given more than once");
        if (option == "--count") {
            key.count = parse_typed_integer(value);
            if (!key.count)
                refuse("--count: " + quoted(value) + " is not a whole number");
        } else if (option == "--encodings") {
            key.encodings = number_line(QString::fromStdString(value));
            has_encodings = true;
        } else if (option == "--order") {
            key.order = value;
            has_order = true;
        } else {
            key.rounds = number_line(QString::fromStdString(value));
            has_rounds = true;
        }
    }
    if (!has_encodings)
        refuse("--encodings missing");
    if (!has_rounds)
        refuse("--rounds missing");
    return key;
}

}  // namespace

std::vector<std::string> shell_words(const std::string &line) {
    std::vector<std::string> words;
    std::string word;
    bool in_word = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            if (in_word)
                words.push_back(word);
            word.clear();
            in_word = false;
            continue;
        }
        in_word = true;
        if (c == '\'') {
            const std::size_t end = line.find('\'', i + 1);
            if (end == std::string::npos)
                refuse("a ' quote is not closed");
            word += line.substr(i + 1, end - i - 1);
            i = end;
        } else if (c == '"') {
            std::size_t j = i + 1;
            for (; j < line.size() && line[j] != '"'; ++j) {
                if (line[j] == '\\' && j + 1 < line.size() && (line[j + 1] == '"' || line[j + 1] == '\\'))
                    ++j;
                word += line[j];
            }
            if (j >= line.size())
                refuse("a \" quote is not closed");
            i = j;
        } else if (c == '\\' && i + 1 < line.size()) {
            word += line[++i];
        } else {
            word += c;
        }
    }
    if (in_word)
        words.push_back(word);
    return words;
}

std::vector<ExplorationKey> parse_keys(const QString &text) {
    std::vector<ExplorationKey> keys;
    const QStringList lines = text.split('\n');
    for (int n = 0; n < lines.size(); ++n) {
        const std::string line = lines[n].toStdString();
        const std::size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#')
            continue;
        try {
            keys.push_back(key_of(shell_words(line)));
        } catch (const Refusal &refusal) {
            refuse("line " + std::to_string(n + 1) + ": " + refusal.what());
        }
    }
    return keys;
}

std::vector<ExplorationKey> read_keys_file(const QString &path) {
    const std::string name = path.toStdString();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        refuse("--keys: cannot read " + name);
    const QByteArray bytes = file.read(keys_file_limit + 1);
    if (bytes.size() > keys_file_limit)
        refuse("--keys: " + name + " is too large for a keys file (more than 64 MiB)");
    std::vector<ExplorationKey> keys;
    try {
        keys = parse_keys(QString::fromUtf8(bytes));
    } catch (const Refusal &refusal) {
        refuse("--keys: " + name + ", " + refusal.what());
    }
    if (keys.empty())
        refuse("--keys: " + name + " holds no key");
    return keys;
}

}  // namespace velnor::cli
