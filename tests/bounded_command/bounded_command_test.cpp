// Runs small shell scripts through run_prepared_with_limits: normal exits,
// missing programs, floods, hangs, leftover grandchildren and odd output.
#include "bounded_command/bounded_command.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace bc = bounded_command;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

std::string text(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

int open_descriptor_count() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++count;
    return count;
}

class BoundedCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "bounded-command-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
    }
    void TearDown() override { fs::remove_all(folder_); }

    // Writes an executable script named `name` into the private folder.
    void script(const std::string& name, const std::string& body, fs::perms perms = fs::perms::owner_all) {
        const fs::path path = folder_ / name;
        std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
        fs::permissions(path, perms);
    }

    bc::RunResult run(const std::string& name, std::vector<std::string> args = {},
                      std::chrono::milliseconds limit = 10s, std::size_t out_limit = 1 << 20,
                      std::size_t err_limit = 4096) {
        bc::PreparedCommand command{name, std::move(args), {}, folder_.string()};
        return bc::run_prepared_with_limits(command, std::nullopt, out_limit, err_limit, limit);
    }

    // True once the process whose id a script wrote into `file` is dead: gone,
    // or a zombie waiting for whoever adopted it.
    bool process_gone(const std::string& file) {
        std::ifstream in(folder_ / file);
        pid_t pid = 0;
        in >> pid;
        if (pid <= 0) return false;
        for (int i = 0; i < 200; ++i) {
            std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
            std::string line;
            if (!std::getline(stat, line)) return true;
            const auto state = line.find(") ");
            if (state != std::string::npos && line.compare(state + 2, 1, "Z") == 0) return true;
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }

    fs::path folder_;
};

TEST_F(BoundedCommandTest, FinishedRunsKeepStatusOutputsAndExactArguments) {
    script("echoer", "printf '%s|' \"$@\"; printf 'to err' >&2; exit 3");
    const auto result = run("echoer", {"a b", "", "-l", "eng+deu"});
    const auto* finished = std::get_if<bc::Finished>(&result);
    ASSERT_NE(finished, nullptr);
    EXPECT_EQ(finished->exit_status, 3);
    EXPECT_EQ(text(finished->standard_output), "a b||-l|eng+deu|");
    EXPECT_EQ(text(finished->standard_error), "to err");
}

TEST_F(BoundedCommandTest, BinaryOutputArrivesByteForByte) {
    script("binary", "printf 'a\\000b\\377\\r\\n'");
    const auto result = run("binary");
    const auto* finished = std::get_if<bc::Finished>(&result);
    ASSERT_NE(finished, nullptr);
    EXPECT_EQ(finished->standard_output, (std::vector<std::uint8_t>{'a', 0, 'b', 0xff, '\r', '\n'}));
}

TEST_F(BoundedCommandTest, EnvironmentAdditionsReachOnlyTheChild) {
    ::unsetenv("BOUNDED_COMMAND_PROBE");
    script("env", "printf '%s/%s' \"$BOUNDED_COMMAND_PROBE\" \"$HOME\"");
    bc::PreparedCommand command{"env", {}, {{"BOUNDED_COMMAND_PROBE", "1"}, {"HOME", "/nowhere"}}, folder_.string()};
    const auto result = bc::run_prepared_with_limits(command, std::nullopt, 100, 100, 10s);
    const auto* finished = std::get_if<bc::Finished>(&result);
    ASSERT_NE(finished, nullptr);
    EXPECT_EQ(text(finished->standard_output), "1//nowhere");
    EXPECT_EQ(::getenv("BOUNDED_COMMAND_PROBE"), nullptr);
}

TEST_F(BoundedCommandTest, WorkingDirectoryOption) {
    script("where", "pwd");
    bc::PreparedCommand command{"where", {}, {}, folder_.string()};
    const auto result = bc::run_prepared_with_limits(command, bc::RunOptions{folder_}, 4096, 4096, 10s);
    const auto* finished = std::get_if<bc::Finished>(&result);
    ASSERT_NE(finished, nullptr);
    EXPECT_EQ(text(finished->standard_output), fs::canonical(folder_).string() + "\n");
}

TEST_F(BoundedCommandTest, StartFailuresTellNotFoundApart) {
    std::ofstream(folder_ / "plain") << "not a program\n";
    fs::permissions(folder_ / "plain", fs::perms::owner_read | fs::perms::owner_write);
    script("bad-interpreter", "", fs::perms::owner_all);
    std::ofstream(folder_ / "bad-interpreter") << "#!/nonexistent/interpreter\n";
    fs::create_directory(folder_ / "folder-not-program");

    struct Case {
        const char* name;
        std::string program;
        bc::IoErrorKind kind;
    };
    const Case cases[] = {
        {"missing name", "no-such-program", bc::IoErrorKind::NotFound},
        {"empty name", "", bc::IoErrorKind::NotFound},
        {"missing absolute path", (folder_ / "absent").string(), bc::IoErrorKind::NotFound},
        {"a folder is not a program", "folder-not-program", bc::IoErrorKind::NotFound},
        {"not executable", "plain", bc::IoErrorKind::Other},
        {"interpreter missing", "bad-interpreter", bc::IoErrorKind::Other},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto result = run(c.program);
        const auto* error = std::get_if<bc::IoError>(&result);
        ASSERT_NE(error, nullptr) << "index " << result.index();
        EXPECT_EQ(error->kind, c.kind);
        EXPECT_TRUE(error->error);
    }
}

TEST_F(BoundedCommandTest, OutputLimitsAreExactAndNameTheStream) {
    script("flood", "head -c \"$1\" /dev/zero; head -c \"$2\" /dev/zero >&2; exec sleep 30");
    script("exact", "head -c \"$1\" /dev/zero; head -c \"$2\" /dev/zero >&2");
    struct Case {
        const char* name;
        const char* program;
        std::string out_bytes, err_bytes;
        const char* stream;  // nullptr: finishes
    };
    const Case cases[] = {
        {"stdout at its limit", "exact", "100000", "4096", nullptr},
        {"stdout one past", "flood", "100001", "0", "stdout"},
        {"stdout far past", "flood", "5000000", "0", "stdout"},
        {"stderr one past", "flood", "0", "4097", "stderr"},
        {"stderr far past with stdout busy too", "flood", "50000", "1000000", "stderr"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto start = std::chrono::steady_clock::now();
        const auto result = run(c.program, {c.out_bytes, c.err_bytes}, 20s, 100000, 4096);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
        if (c.stream == nullptr) {
            const auto* finished = std::get_if<bc::Finished>(&result);
            ASSERT_NE(finished, nullptr);
            EXPECT_EQ(finished->standard_output.size(), 100000u);
            EXPECT_EQ(finished->standard_error.size(), 4096u);
        } else {
            const auto* exceeded = std::get_if<bc::LimitExceeded>(&result);
            ASSERT_NE(exceeded, nullptr) << "index " << result.index();
            EXPECT_EQ(exceeded->stream, c.stream);
        }
    }
}

TEST_F(BoundedCommandTest, BothStreamsAreReadConcurrently) {
    // A reader that waited on stdout alone would deadlock once stderr's pipe fills.
    script("both", "head -c 300000 /dev/zero >&2; head -c 300000 /dev/zero");
    const auto result = run("both", {}, 10s, 1 << 20, 1 << 20);
    const auto* finished = std::get_if<bc::Finished>(&result);
    ASSERT_NE(finished, nullptr);
    EXPECT_EQ(finished->standard_output.size(), 300000u);
    EXPECT_EQ(finished->standard_error.size(), 300000u);
}

TEST_F(BoundedCommandTest, HangsAreStoppedAtTheTimeLimitWithTheirWholeGroup) {
    script("hang", "exec sleep 30");
    script("deaf", "trap '' TERM; sleep 30 & echo $! > deaf.pid; wait");
    script("closes-streams", "exec >&- 2>&-; exec sleep 30");
    script("fork-and-hang", "sleep 30 & echo $! > fork.pid; sleep 30");
    struct Case {
        const char* name;
        const char* program;
        const char* pid_file;
    };
    const Case cases[] = {
        {"plain hang", "hang", nullptr},
        {"ignores SIGTERM", "deaf", "deaf.pid"},
        {"closes both streams then hangs", "closes-streams", nullptr},
        {"grandchild and child both hang", "fork-and-hang", "fork.pid"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bc::PreparedCommand command{c.program, {}, {}, folder_.string()};
        const auto start = std::chrono::steady_clock::now();
        const auto result = bc::run_prepared_with_limits(command, bc::RunOptions{folder_}, 1000, 1000, 300ms);
        const auto elapsed = std::chrono::steady_clock::now() - start;
        EXPECT_TRUE(std::holds_alternative<bc::TimedOut>(result)) << "index " << result.index();
        EXPECT_GE(elapsed, 300ms);
        EXPECT_LT(elapsed, 3s);
        if (c.pid_file != nullptr) {
            EXPECT_TRUE(process_gone(c.pid_file));
        }
    }
}

TEST_F(BoundedCommandTest, ExitWhileAGrandchildHoldsStdoutReturnsAtOnce) {
    script("leaves-sleeper", "sleep 30 & echo $! > sleeper.pid; printf 'words'; exit 0");
    bc::PreparedCommand command{"leaves-sleeper", {}, {}, folder_.string()};
    const auto start = std::chrono::steady_clock::now();
    const auto result = bc::run_prepared_with_limits(command, bc::RunOptions{folder_}, 1000, 1000, 20s);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
    const auto* finished = std::get_if<bc::Finished>(&result);
    ASSERT_NE(finished, nullptr);
    EXPECT_EQ(text(finished->standard_output), "words");
    EXPECT_TRUE(process_gone("sleeper.pid"));
}

TEST_F(BoundedCommandTest, DeathBySignalIsAnOtherFailure) {
    script("suicide", "printf partial; kill -KILL $$");
    const auto result = run("suicide");
    const auto* failure = std::get_if<bc::OtherFailure>(&result);
    ASSERT_NE(failure, nullptr) << "index " << result.index();
    EXPECT_NE(failure->reason.find("signal 9"), std::string::npos);
}

TEST_F(BoundedCommandTest, NoDescriptorOrChildIsLeftBehind) {
    script("ok", "echo fine");
    script("flood", "head -c 1000000 /dev/zero");
    script("hang", "sleep 30 & exec sleep 30");
    script("leaves-sleeper", "sleep 30 & echo done");
    const int before = open_descriptor_count();
    for (int round = 0; round < 3; ++round) {
        run("ok");
        run("flood", {}, 10s, 1000);
        run("hang", {}, 100ms);
        run("leaves-sleeper");
        run("missing");
    }
    EXPECT_EQ(open_descriptor_count(), before);
    // Every child was reaped: there is nothing left to wait for.
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST_F(BoundedCommandTest, ParallelRunsKeepTheirOwnOutput) {
    script("id", "sleep 0.1; printf '%s' \"$1\"");
    std::vector<std::string> outputs(6);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        threads.emplace_back([&, i] {
            const auto result = run("id", {std::to_string(i)});
            if (const auto* finished = std::get_if<bc::Finished>(&result)) outputs[i] = text(finished->standard_output);
        });
    }
    for (auto& t : threads) t.join();
    for (std::size_t i = 0; i < outputs.size(); ++i) EXPECT_EQ(outputs[i], std::to_string(i));
}

}  // namespace
