// The child process runner on POSIX: posix_spawn into a process group of the
// child's own (so that a timeout also ends whatever it started), pipes read
// with poll until both close, then the exit collected.
#include "tools/child_process.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace velnor {
namespace {

using Clock = std::chrono::steady_clock;

// Closes a descriptor when it goes out of scope.
struct Descriptor {
    int fd = -1;
    Descriptor() = default;
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    ~Descriptor() { close_now(); }
    void close_now() {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
};

bool executable_file(const std::string &path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// The program's path: itself when it names a path, else the first executable
// of that name in the search path's folders (an empty folder is the current one).
std::optional<std::string> resolve(const std::string &program, const std::string &search_path) {
    if (program.empty())
        return std::nullopt;
    if (program.find('/') != std::string::npos)
        return executable_file(program) ? std::optional<std::string>(program) : std::nullopt;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = search_path.find(':', start);
        std::string folder = search_path.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (folder.empty())
            folder = ".";
        const std::string candidate = folder + "/" + program;
        if (executable_file(candidate))
            return candidate;
        if (end == std::string::npos)
            return std::nullopt;
        start = end + 1;
    }
}

// The caller's environment with PATH replaced when the request says so.
std::vector<std::string> child_environment(const ChildRequest &request) {
    std::vector<std::string> variables;
    for (char **entry = environ; entry != nullptr && *entry != nullptr; ++entry)
        if (!request.search_path || std::strncmp(*entry, "PATH=", 5) != 0)
            variables.emplace_back(*entry);
    if (request.search_path)
        variables.push_back("PATH=" + *request.search_path);
    return variables;
}

std::vector<char *> pointers_to(std::vector<std::string> &strings) {
    std::vector<char *> pointers;
    pointers.reserve(strings.size() + 1);
    for (std::string &s : strings)
        pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

void keep(std::string &captured, const char *bytes, std::size_t count) {
    if (captured.size() < captured_output_limit)
        captured.append(bytes, std::min(count, captured_output_limit - captured.size()));
}

int milliseconds_until(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left <= 0 ? 0 : static_cast<int>(std::min<long long>(left + 1, 1000));
}

// Spawns the child with its output on the pipes' write ends; 0 or the error number.
int spawn(const std::string &path, const ChildRequest &request, int output_fd, int error_fd, pid_t &pid) {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, output_fd, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, error_fd, STDERR_FILENO);
    if (!request.working_directory.empty())
        posix_spawn_file_actions_addchdir_np(&actions, request.working_directory.c_str());
    // The child leads a process group of its own; default signal handling in it.
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF);

    std::vector<std::string> argument_strings;
    argument_strings.push_back(request.program);
    argument_strings.insert(argument_strings.end(), request.arguments.begin(), request.arguments.end());
    std::vector<std::string> environment = child_environment(request);
    std::vector<char *> argv = pointers_to(argument_strings);
    std::vector<char *> envp = pointers_to(environment);
    const int error = posix_spawn(&pid, path.c_str(), &actions, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    return error;
}

}  // namespace

ChildResult run_child_process(const ChildRequest &request) {
    ChildResult result;
    const char *inherited_path = std::getenv("PATH");
    const std::string search_path = request.search_path ? *request.search_path
                                    : inherited_path   ? inherited_path
                                                       : "/usr/local/bin:/usr/bin:/bin";
    const std::optional<std::string> path = resolve(request.program, search_path);
    if (!path) {
        result.end = ChildEnd::NotFound;
        return result;
    }

    // Checked here, since posix_spawn would report a missing folder as a missing program.
    struct stat folder {};
    if (!request.working_directory.empty() &&
        (::stat(request.working_directory.c_str(), &folder) != 0 || !S_ISDIR(folder.st_mode))) {
        result.failure = "no folder " + request.working_directory;
        return result;
    }

    int output_pipe[2];
    int error_pipe[2];
    if (::pipe2(output_pipe, O_CLOEXEC) != 0) {
        result.failure = std::strerror(errno);
        return result;
    }
    Descriptor output_read, output_write, error_read, error_write;
    output_read.fd = output_pipe[0];
    output_write.fd = output_pipe[1];
    if (::pipe2(error_pipe, O_CLOEXEC) != 0) {
        result.failure = std::strerror(errno);
        return result;
    }
    error_read.fd = error_pipe[0];
    error_write.fd = error_pipe[1];

    const Clock::time_point deadline =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
                           request.seconds > 0 ? std::min(request.seconds, 1e7) : 0.0));
    pid_t pid = -1;
    const int error = spawn(*path, request, output_write.fd, error_write.fd, pid);
    output_write.close_now();
    error_write.close_now();
    if (error != 0) {
        result.end = error == ENOENT || error == ENOTDIR ? ChildEnd::NotFound : ChildEnd::NotStarted;
        result.failure = std::strerror(error);
        return result;
    }

    bool timed_out = false;
    // Both streams until they close, or the deadline.
    while (!timed_out && (output_read.fd >= 0 || error_read.fd >= 0)) {
        pollfd watched[2] = {{output_read.fd, POLLIN, 0}, {error_read.fd, POLLIN, 0}};
        const int ready = ::poll(watched, 2, milliseconds_until(deadline));
        if (ready < 0 && errno != EINTR)
            break;
        for (int k = 0; k < 2 && ready > 0; ++k) {
            if (watched[k].fd < 0 || watched[k].revents == 0)
                continue;
            char buffer[65536];
            const ssize_t got = ::read(watched[k].fd, buffer, sizeof buffer);
            if (got > 0)
                keep(k == 0 ? result.standard_output : result.standard_error, buffer, static_cast<std::size_t>(got));
            else if (got == 0 || errno != EINTR)
                (k == 0 ? output_read : error_read).close_now();
        }
        timed_out = Clock::now() >= deadline && (output_read.fd >= 0 || error_read.fd >= 0);
    }
    // The streams are closed; the child may still be ending.
    int status = 0;
    auto pause = std::chrono::microseconds(200);
    for (;;) {
        if (!timed_out) {
            const pid_t ended = ::waitpid(pid, &status, WNOHANG);
            if (ended == pid)
                break;
            if (ended < 0 && errno != EINTR) {  // someone else collected it (SIGCHLD ignored)
                result.failure = std::strerror(errno);
                return result;
            }
            timed_out = Clock::now() >= deadline;
        }
        if (timed_out) {
            ::kill(-pid, SIGKILL);
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            result.end = ChildEnd::TimedOut;
            return result;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::microseconds(20000));
    }
    if (WIFEXITED(status)) {
        result.end = ChildEnd::Exited;
        result.exit_status = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.end = ChildEnd::Signalled;
        result.signal = WTERMSIG(status);
    } else {
        result.failure = "the child ended in an unknown way";
    }
    return result;
}

}  // namespace velnor
