// POSIX implementation: posix_spawn into a new process group, two pipes read
// through poll(), a pidfd (where the kernel offers one) to notice the exit.
#include "bounded_command/bounded_command.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <string_view>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace bounded_command {
namespace {

using Clock = std::chrono::steady_clock;

// Without a pidfd the exit is noticed by polling at this interval.
constexpr int exit_check_interval_ms = 10;
constexpr std::size_t read_chunk = 65536;

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { reset(); }

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    void reset() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_ = -1;
};

std::error_code errno_code(int value) { return {value, std::generic_category()}; }

struct Lookup {
    std::string path;
    std::optional<IoError> error;
};

// execvp's search rules, done here so that "not found" is told apart from a
// program that exists but cannot be run.
Lookup find_program(const PreparedCommand& command) {
    const std::string& name = command.program;
    if (name.empty()) return {{}, IoError{IoErrorKind::NotFound, errno_code(ENOENT)}};
    if (name.find('/') != std::string::npos) return {name, std::nullopt};

    std::string search;
    if (command.search_path) {
        search = *command.search_path;
    } else if (const char* env_path = ::getenv("PATH")) {
        search = env_path;
    } else {
        search = "/usr/local/bin:/usr/bin:/bin";
    }

    bool denied = false;
    std::string_view rest = search;
    while (true) {
        const auto colon = rest.find(':');
        std::string_view folder = rest.substr(0, colon);
        std::string candidate = folder.empty() ? std::string(".") : std::string(folder);
        candidate += '/';
        candidate += name;
        struct stat info {};
        if (::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
            if (::access(candidate.c_str(), X_OK) == 0) return {candidate, std::nullopt};
            denied = true;
        }
        if (colon == std::string_view::npos) break;
        rest.remove_prefix(colon + 1);
    }
    if (denied) return {{}, IoError{IoErrorKind::Other, errno_code(EACCES)}};
    return {{}, IoError{IoErrorKind::NotFound, errno_code(ENOENT)}};
}

std::vector<std::string> child_environment(const PreparedCommand& command) {
    std::vector<std::string> result;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        std::string_view text = *entry;
        const std::string_view name = text.substr(0, text.find('='));
        const bool replaced = std::any_of(command.environment.begin(), command.environment.end(),
                                          [&](const auto& added) { return added.first == name; });
        if (!replaced) result.emplace_back(text);
    }
    for (const auto& [name, value] : command.environment) result.push_back(name + "=" + value);
    return result;
}

std::vector<char*> pointer_list(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    pointers.reserve(strings.size() + 1);
    for (auto& s : strings) pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

class SpawnAttributes {
public:
    SpawnAttributes() { ok_ = ::posix_spawnattr_init(&attr_) == 0; }
    ~SpawnAttributes() {
        if (ok_) ::posix_spawnattr_destroy(&attr_);
    }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;
    posix_spawnattr_t* get() { return &attr_; }
    bool ok() const { return ok_; }

private:
    posix_spawnattr_t attr_{};
    bool ok_ = false;
};

class SpawnFileActions {
public:
    SpawnFileActions() { ok_ = ::posix_spawn_file_actions_init(&actions_) == 0; }
    ~SpawnFileActions() {
        if (ok_) ::posix_spawn_file_actions_destroy(&actions_);
    }
    SpawnFileActions(const SpawnFileActions&) = delete;
    SpawnFileActions& operator=(const SpawnFileActions&) = delete;
    posix_spawn_file_actions_t* get() { return &actions_; }
    bool ok() const { return ok_; }

private:
    posix_spawn_file_actions_t actions_{};
    bool ok_ = false;
};

struct Stream {
    UniqueFd fd;
    std::vector<std::uint8_t> data;
    std::size_t limit = 0;
    const char* name = "";
};

enum class ReadOutcome { Open, Closed, OverLimit, Failed };

// Reads what the pipe holds right now, without blocking.
ReadOutcome drain(Stream& stream, int& error) {
    std::uint8_t chunk[read_chunk];
    while (true) {
        const ssize_t n = ::read(stream.fd.get(), chunk, sizeof chunk);
        if (n > 0) {
            stream.data.insert(stream.data.end(), chunk, chunk + n);
            if (stream.data.size() > stream.limit) return ReadOutcome::OverLimit;
            continue;
        }
        if (n == 0) {
            stream.fd.reset();
            return ReadOutcome::Closed;
        }
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return ReadOutcome::Open;
        error = errno;
        stream.fd.reset();
        return ReadOutcome::Failed;
    }
}

bool child_has_exited(pid_t pid) {
    siginfo_t info{};
    // WNOWAIT leaves the zombie in place, so its pid (and process group id)
    // cannot be reused before the group is killed and the child reaped.
    if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0) {
        return errno != EINTR;  // ECHILD: nothing left to wait for
    }
    return info.si_pid == pid;
}

// Kills whatever is left of the group, then reaps the child.
int kill_and_reap(pid_t pid, bool& reaped) {
    ::kill(-pid, SIGKILL);
    int status = 0;
    while (true) {
        const pid_t r = ::waitpid(pid, &status, 0);
        if (r == pid) {
            reaped = true;
            return status;
        }
        if (r < 0 && errno == EINTR) continue;
        reaped = false;
        return 0;
    }
}

int remaining_ms(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return 0;
    return static_cast<int>(std::min<long long>(left, 1 << 30));
}

}  // namespace

RunResult run_prepared_with_limits(const PreparedCommand& command,
                                   const std::optional<RunOptions>& options,
                                   std::size_t stdout_limit,
                                   std::size_t stderr_limit,
                                   std::chrono::milliseconds time_limit) {
    const auto deadline = Clock::now() + time_limit;

    Lookup found = find_program(command);
    if (found.error) return *found.error;

    int out_pipe[2];
    int err_pipe[2];
    if (::pipe2(out_pipe, O_CLOEXEC) != 0) return IoError{IoErrorKind::Other, errno_code(errno)};
    UniqueFd out_read(out_pipe[0]), out_write(out_pipe[1]);
    if (::pipe2(err_pipe, O_CLOEXEC) != 0) return IoError{IoErrorKind::Other, errno_code(errno)};
    UniqueFd err_read(err_pipe[0]), err_write(err_pipe[1]);

    SpawnFileActions actions;
    SpawnAttributes attributes;
    if (!actions.ok() || !attributes.ok()) return IoError{IoErrorKind::Other, errno_code(ENOMEM)};

    int setup = ::posix_spawn_file_actions_addopen(actions.get(), STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (setup == 0) setup = ::posix_spawn_file_actions_adddup2(actions.get(), out_write.get(), STDOUT_FILENO);
    if (setup == 0) setup = ::posix_spawn_file_actions_adddup2(actions.get(), err_write.get(), STDERR_FILENO);
    if (setup == 0 && options && options->working_directory) {
        setup = ::posix_spawn_file_actions_addchdir_np(actions.get(), options->working_directory->c_str());
    }

    sigset_t no_signals;
    sigset_t all_signals;
    sigemptyset(&no_signals);
    sigfillset(&all_signals);
    if (setup == 0) {
        setup = ::posix_spawnattr_setflags(attributes.get(), POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK |
                                                                 POSIX_SPAWN_SETSIGDEF);
    }
    // Own group, so one kill reaches everything the child starts.
    if (setup == 0) setup = ::posix_spawnattr_setpgroup(attributes.get(), 0);
    // The child must not inherit our blocked or ignored signals.
    if (setup == 0) setup = ::posix_spawnattr_setsigmask(attributes.get(), &no_signals);
    if (setup == 0) setup = ::posix_spawnattr_setsigdefault(attributes.get(), &all_signals);
    if (setup != 0) return IoError{IoErrorKind::Other, errno_code(setup)};

    std::vector<std::string> argument_strings;
    argument_strings.reserve(command.arguments.size() + 1);
    argument_strings.push_back(command.program);
    argument_strings.insert(argument_strings.end(), command.arguments.begin(), command.arguments.end());
    std::vector<std::string> environment_strings = child_environment(command);
    std::vector<char*> argv = pointer_list(argument_strings);
    std::vector<char*> envp = pointer_list(environment_strings);

    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, found.path.c_str(), actions.get(), attributes.get(), argv.data(),
                                      envp.data());
    if (spawned != 0) {
        // A name given with a "/" that does not exist is "not found" too; for a
        // name found on the path, ENOENT means its interpreter is missing.
        const bool given_path = command.program.find('/') != std::string::npos;
        const auto kind = (given_path && spawned == ENOENT) ? IoErrorKind::NotFound : IoErrorKind::Other;
        return IoError{kind, errno_code(spawned)};
    }
    out_write.reset();
    err_write.reset();

    Stream streams[2];
    streams[0] = Stream{std::move(out_read), {}, stdout_limit, "stdout"};
    streams[1] = Stream{std::move(err_read), {}, stderr_limit, "stderr"};
    for (auto& s : streams) ::fcntl(s.fd.get(), F_SETFL, ::fcntl(s.fd.get(), F_GETFL) | O_NONBLOCK);

    UniqueFd pidfd(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));

    bool reaped = false;
    auto stop = [&](RunResult result) -> RunResult {
        kill_and_reap(pid, reaped);
        return result;
    };

    bool exited = false;
    int read_error = 0;
    while (!exited) {
        exited = child_has_exited(pid);
        if (exited) {
            // Whatever the child wrote is in the pipes now; anything still
            // holding them open is a leftover of its group and gets killed.
            for (auto& s : streams) {
                if (!s.fd.valid()) continue;
                const ReadOutcome outcome = drain(s, read_error);
                if (outcome == ReadOutcome::OverLimit) return stop(LimitExceeded{s.name});
                if (outcome == ReadOutcome::Failed) return stop(IoError{IoErrorKind::Other, errno_code(read_error)});
            }
            break;
        }

        const int left = remaining_ms(deadline);
        if (left == 0) return stop(TimedOut{});

        pollfd fds[3];
        nfds_t count = 0;
        for (auto& s : streams) {
            if (s.fd.valid()) fds[count++] = pollfd{s.fd.get(), POLLIN, 0};
        }
        int wait_ms = left;
        if (pidfd.valid()) {
            fds[count++] = pollfd{pidfd.get(), POLLIN, 0};
        } else {
            wait_ms = std::min(wait_ms, exit_check_interval_ms);
        }
        const int ready = ::poll(fds, count, wait_ms);
        if (ready < 0) {
            if (errno == EINTR) continue;
            return stop(IoError{IoErrorKind::Other, errno_code(errno)});
        }
        for (auto& s : streams) {
            if (!s.fd.valid()) continue;
            const auto it = std::find_if(fds, fds + count, [&](const pollfd& p) { return p.fd == s.fd.get(); });
            if (it == fds + count || it->revents == 0) continue;
            const ReadOutcome outcome = drain(s, read_error);
            if (outcome == ReadOutcome::OverLimit) return stop(LimitExceeded{s.name});
            if (outcome == ReadOutcome::Failed) return stop(IoError{IoErrorKind::Other, errno_code(read_error)});
        }
    }

    const int status = kill_and_reap(pid, reaped);
    if (!reaped) return OtherFailure{"the child process could not be reaped"};
    if (WIFEXITED(status)) {
        return Finished{WEXITSTATUS(status), std::move(streams[0].data), std::move(streams[1].data)};
    }
    if (WIFSIGNALED(status)) return OtherFailure{"terminated by signal " + std::to_string(WTERMSIG(status))};
    return OtherFailure{"ended in an unknown way"};
}

}  // namespace bounded_command
