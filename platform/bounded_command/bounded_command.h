// Runs a child process under output-size and wall-clock limits.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <variant>
#include <vector>

namespace bounded_command {

// A command ready to run. The program is looked up like execvp does: a name
// containing "/" is used as it is, any other name is searched along
// `search_path` (colon-separated folders), or along the process's own PATH
// when `search_path` is absent.
struct PreparedCommand {
    std::string program;
    std::vector<std::string> arguments;  // argv[1...]; argv[0] is `program`
    // Variables added to (or replacing those of) the inherited environment,
    // for the child only.
    std::vector<std::pair<std::string, std::string>> environment;
    std::optional<std::string> search_path;
};

// Optional extras of a run.
struct RunOptions {
    // Folder the child starts in; the caller's current folder when absent.
    std::optional<std::filesystem::path> working_directory;
};

// The child ran to its end and exited normally.
struct Finished {
    int exit_status = 0;
    std::vector<std::uint8_t> standard_output;
    std::vector<std::uint8_t> standard_error;
};

enum class IoErrorKind {
    NotFound,  // no executable of that name on the search path
    Other,     // pipes, spawning, permissions, a missing interpreter ...
};

// The child could not be started (or its output could not be read).
struct IoError {
    IoErrorKind kind = IoErrorKind::Other;
    std::error_code error;
};

// One stream went over its byte limit: `stream` is "stdout" or "stderr".
struct LimitExceeded {
    std::string stream;
};

// The wall-clock limit passed before the child exited.
struct TimedOut {};

// Anything else, such as a child killed by a signal it did not get from us.
struct OtherFailure {
    std::string reason;
};

using RunResult = std::variant<Finished, IoError, LimitExceeded, TimedOut, OtherFailure>;

// Starts `command` in a process group of its own, with standard input from
// /dev/null, and collects both output streams concurrently. Returns when the
// child has exited, or when a stream exceeded its limit or the time ran out;
// in the latter cases the whole process group is killed. In every case the
// child is reaped and every descriptor opened here is closed before returning.
// When the child exits while something it started still holds its output
// open, the output written so far is kept and the leftover group is killed.
// Blocking; safe to call from several threads at once.
RunResult run_prepared_with_limits(const PreparedCommand& command,
                                   const std::optional<RunOptions>& options,
                                   std::size_t stdout_limit,
                                   std::size_t stderr_limit,
                                   std::chrono::milliseconds time_limit);

}  // namespace bounded_command
