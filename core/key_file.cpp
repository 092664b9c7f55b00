// The key file: the stego key, the resource counts and every figure of the
// embedding, one labelled line each; doubles in the stream's default format.
// Created readable and writable by its owner only, because it holds the key.
#include "core/key_file.h"

#include <fcntl.h>
#include <sstream>
#include <unistd.h>

#include "core/figure_text.h"
#include "core/private_file.h"
#include "core/refusal.h"
#include "core/report.h"

namespace velnor {

std::string key_file_figure_lines(const KeyFileContents &contents) {
    const EmbeddingFigures &c = contents.figures;
    std::string out;
    out.reserve(640);
    const auto line = [&out](const char *label, double value) {
        out += label;
        append_figure(out, value);
        out += '\n';
    };
    line("Initial area : ", c.initial_area);
    line("Max area : ", c.max_area);
    line("Max latency : ", c.max_latency);
    line("area after phase 1 : ", c.area_phase1);
    line("area after phase 2 : ", c.area_phase2);
    line("Initial latency : ", c.initial_latency);
    line("latency after phase 1 : ", c.latency_phase1);
    line("latency after phase 2 : ", c.latency_phase2);
    line("Initial cost : ", c.initial_cost);
    line("cost after phase 1 : ", c.cost_phase1);
    line("cost after phase 2 : ", c.cost_phase2);
    line("probability of coincidence after phase 1 : ", c.pc_phase1);
    line("probability of coincidence after phase 2 : ", c.pc_phase2);
    out += "number of zeros : " + std::to_string(c.zero_count) + "\n";
    out += "number of one's : " + std::to_string(c.one_count) + "\n";
    out += "effective one's embedded : " + std::to_string(c.effective_one_count) + "\n";
    return out;
}

std::string key_file_embedding_lines(const KeyFileContents &contents) {
    if (contents.figures.mode != EmbeddingMode::Strong)
        return {};
    return "embedding : strong\ntogether constraints : " + std::to_string(contents.figures.together_count) + "\n";
}

std::string key_file_text(const KeyFileContents &c) {
    std::ostringstream out;
    out << "Adder : " << c.adders << "\n"
        << "Multiplier : " << c.multipliers << "\n\n"
        << "Number of hash blocks : " << c.encoding_count << "\n"
        << "selected encoding function  : encoded string  \n";
    // One line per encoded block; a rule number without its block is not written.
    for (std::size_t i = 0; i < c.encoded_inputs.size() && i < c.encodings.size(); ++i)
        out << c.encodings[i] << " : " << c.encoded_inputs[i] << "\n";
    out << "\n\n"
        << "key for selecting encoding for hash block : " << c.stego_key_text << "\n\n"
        << "Key for number of rounds for each block :-\n"
        << c.rounds_key << " ( " << c.rounds_text << " )" << "\n\n"
        << key_file_figure_lines(c) << key_file_embedding_lines(c);
    return out.str();
}

std::string key_file_path(const Design &design, const std::string &directory, const std::string &stamp) {
    return directory + "/key_" + stamped_name(design.dfg_name, stamp);
}

void write_key_file(const std::string &path, const KeyFileContents &contents) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0)
        throw Refusal(Refusal::Reason::FileNotWritten, "cannot write the key file " + path);
    const bool complete = write_all(fd, key_file_text(contents));
    if (::close(fd) != 0 || !complete)
        throw Refusal(Refusal::Reason::FileNotWritten, "cannot write the key file " + path);
}

}  // namespace velnor
