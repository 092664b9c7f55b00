// SHA-512 of a byte stream: 128-byte blocks through the word-level compression
// with the standard 80 rounds, chained, then the padding of a 1 bit, zeros and
// the message length in bits as a 128-bit number.
#include "hash/file_digest.h"

#include <cstdio>
#include <fstream>

#include "hash/hash_engine.h"

namespace velnor {
namespace {

constexpr std::size_t block_bytes = 128;

// Feeds bytes through the compression block by block; the tail shorter than a
// block waits for more bytes or for the padding.
class Sha512Stream {
public:
    void add(const char *bytes, std::size_t count) {
        length_ += count;
        for (std::size_t i = 0; i < count; ++i) {
            pending_[pending_size_++] = static_cast<unsigned char>(bytes[i]);
            if (pending_size_ == block_bytes)
                compress_pending();
        }
    }

    std::string hex_digest() {
        // The length counts bits; files are bounded far below 2^61 bytes, so
        // the upper 64 bits of the 128-bit length are zero.
        const uint64_t bits = static_cast<uint64_t>(length_) * 8;
        pending_[pending_size_++] = 0x80;
        if (pending_size_ > block_bytes - 16) {
            while (pending_size_ < block_bytes)
                pending_[pending_size_++] = 0;
            compress_pending();
        }
        while (pending_size_ < block_bytes - 8)
            pending_[pending_size_++] = 0;
        for (int shift = 56; shift >= 0; shift -= 8)
            pending_[pending_size_++] = static_cast<unsigned char>(bits >> shift);
        compress_pending();
        std::string hex;
        char digits[17];
        for (uint64_t word : state_) {
            std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(word));
            hex += digits;
        }
        return hex;
    }

private:
    void compress_pending() {
        Sha512Block words{};
        for (std::size_t i = 0; i < block_bytes; ++i)
            words[i / 8] = (words[i / 8] << 8) | pending_[i];
        state_ = sha512_compress(state_, words, sha512_rounds);
        pending_size_ = 0;
    }

    Sha512State state_ = sha512_initial_state();
    unsigned char pending_[block_bytes] = {};
    std::size_t pending_size_ = 0;
    std::uint64_t length_ = 0;
};

}  // namespace

FileDigest sha512_of_file(const std::string &path, std::uint64_t limit) {
    std::ifstream in(path, std::ios::binary);
    FileDigest digest;
    if (!in.is_open()) {
        digest.stop = ReadStop::ReadError;
        return digest;
    }
    Sha512Stream stream;
    std::uint64_t total = 0;
    // Read in chunks up to the limit, so a device or a pipe that never ends is refused, not swallowed.
    char chunk[65536];
    while (in) {
        in.read(chunk, sizeof chunk);
        const auto count = static_cast<std::size_t>(in.gcount());
        total += count;
        if (total > limit) {
            digest.stop = ReadStop::FileTooLarge;
            return digest;
        }
        stream.add(chunk, count);
    }
    if (!in.eof()) {
        digest.stop = ReadStop::ReadError;
        return digest;
    }
    digest.sha512 = stream.hex_digest();
    return digest;
}

std::string sha512_of_bytes(const std::string &bytes) {
    Sha512Stream stream;
    stream.add(bytes.data(), bytes.size());
    return stream.hex_digest();
}

}  // namespace velnor
