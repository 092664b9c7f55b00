// The hash chain: block 1 hashes the first encoded string with the standard
// padding; every later block carries the previous block's 512-bit output, the
// marker "1000", a 380-character chunk and the length 512, and is hashed with
// the round count the key gives it.
#include "hash/hash_chain.h"

#include <algorithm>
#include <utility>

namespace velnor {
namespace {

constexpr std::size_t block_length = 1024;
constexpr std::size_t output_length = 512;
constexpr std::size_t length_field = 128;

[[noreturn]] void refuse_chain(const std::string &message) { throw Refusal(Refusal::Reason::HashChain, message); }

// length in binary, most significant first, zero-filled on the left to 128 characters.
std::string length_bits(std::size_t length) {
    std::string bits(length_field, '0');
    for (std::size_t i = 0; length != 0; ++i, length >>= 1)
        if (length & 1U)
            bits[length_field - 1 - i] = '1';
    return bits;
}

void check_chunk(const std::string &chunk, const std::string &what) {
    if (chunk.size() > chunk_limit)
        refuse_chain(what + " has " + std::to_string(chunk.size()) + " characters; a chained block takes at most " +
                             std::to_string(chunk_limit));
}

// Everything that could stop the run part-way is checked before the first block.
void check_run(const std::vector<std::string> &inputs, const std::vector<int> &order, const std::vector<int> &rounds) {
    if (inputs.empty())
        refuse_chain("there is no encoded input to hash");
    if (inputs[0].size() > first_message_limit)
        refuse_chain("encoded input 1 has " + std::to_string(inputs[0].size()) +
                             " characters; the first block takes at most " + std::to_string(first_message_limit));
    for (std::size_t i = 1; i < inputs.size(); ++i)
        check_chunk(inputs[i], "encoded input " + std::to_string(i + 1));
    for (std::size_t j = 0; j < order.size(); ++j) {
        if (order[j] < 0 || static_cast<std::size_t>(order[j]) >= inputs.size())
            refuse_chain("order entry " + std::to_string(j + 1) + " names block " + std::to_string(order[j]) +
                                 ", but only blocks 0 to " + std::to_string(inputs.size() - 1) + " exist");
        check_chunk(inputs[order[j]], "encoded input " + std::to_string(order[j] + 1));
    }
    const std::size_t needed = std::max(inputs.size(), 2 * order.size());
    if (rounds.size() < needed)
        refuse_chain("the chain needs " + std::to_string(needed) + " round counts, but " +
                             std::to_string(rounds.size()) + " were given");
    for (std::size_t i = 0; i < needed; ++i)
        if (rounds[i] > sha512_rounds)
            refuse_chain("round count " + std::to_string(i + 1) + " is " + std::to_string(rounds[i]) +
                                 "; a block has at most " + std::to_string(sha512_rounds) + " rounds");
}

}  // namespace

std::string pad_first_block(const std::string &message) {
    if (message.size() > first_message_limit)
        refuse_chain("a first block message has at most " + std::to_string(first_message_limit) +
                             " characters, not " + std::to_string(message.size()));
    std::string block = message;
    block += '1';
    block.resize(block_length - length_field, '0');
    block += length_bits(message.size());
    return block;
}

std::string pad_chain_block(const std::string &previous_output, const std::string &chunk) {
    if (previous_output.size() != output_length)
        refuse_chain("a previous output has 512 characters, not " + std::to_string(previous_output.size()));
    if (chunk.size() != chunk_limit)
        refuse_chain("a padded chunk has " + std::to_string(chunk_limit) + " characters, not " +
                     std::to_string(chunk.size()));
    return previous_output + "1000" + chunk + length_bits(output_length);
}

std::string chain_block(const HashEngine &engine, const std::string &previous_output, const std::string &chunk,
                        int rounds) {
    check_chunk(chunk, "the chunk");
    const std::string extended = std::string(chunk_limit - chunk.size(), '0') + chunk;
    return engine.hash_block(pad_chain_block(previous_output, extended), rounds);
}

// The run is all or nothing: the log and the first block are built aside and
// stored in the engine only once every block has been hashed.
std::string run_hash_chain(HashEngine &engine, const std::vector<std::string> &encoded_inputs,
                           const std::vector<int> &input_order_list, const std::vector<int> &round_counts,
                           std::ostream &log) {
    log << engine.design_path << '\n';
    check_run(encoded_inputs, input_order_list, round_counts);

    const std::size_t n = encoded_inputs.size();
    const std::size_t m = input_order_list.size();
    const std::string first = pad_first_block(encoded_inputs[0]);
    std::string chain_log = "Input of 1st hash block: " + first + "\n";
    std::string out = engine.hash_block(first, round_counts[0]);
    chain_log += "Output for 1st hash block:" + out + "\n";
    for (std::size_t i = 1; i < n; ++i) {
        out = chain_block(engine, out, encoded_inputs[i], round_counts[i]);
        chain_log += "output  of hash block: B" + std::to_string(i + 1) + "  " + out + "\n";
    }
    for (std::size_t j = 0; j < m; ++j) {
        out = chain_block(engine, out, encoded_inputs[input_order_list[j]], round_counts[m + j]);
        chain_log += "output of  hash block: B" + std::to_string(m + j + 1) + "  " + out + "\n";
    }

    engine.initial_padded_block = first;
    engine.chain_log = std::move(chain_log);
    return out;
}

}  // namespace velnor
