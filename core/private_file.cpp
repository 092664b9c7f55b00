// Owner-only files: mkstemp creates its file with mode 0600, so the key never
// sits in a file others may read, not even for a moment.
#include "core/private_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <vector>

#include "core/refusal.h"

namespace velnor {

bool write_all(int descriptor, const std::string &text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(descriptor, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        written += static_cast<std::size_t>(n);
    }
    return true;
}

void replace_private_file(const std::string &path, const std::string &text) {
    std::string pattern = path + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int descriptor = ::mkstemp(name.data());
    if (descriptor < 0)
        throw Refusal(Refusal::Reason::FileNotWritten, "cannot write " + path);
    // The bytes reach the disk before the name moves, so a crash leaves the old file or the new one.
    const bool complete = write_all(descriptor, text) && ::fsync(descriptor) == 0;
    if (::close(descriptor) != 0 || !complete || std::rename(name.data(), path.c_str()) != 0) {
        ::unlink(name.data());
        throw Refusal(Refusal::Reason::FileNotWritten, "cannot write " + path);
    }
}

}  // namespace velnor
