// Child processes for tests.
#include "support/process_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace {

// Tests are headless even when a test executable is started by hand outside ctest. Programs and children
// find the tests' own killall first, so that one test's start-up cannot kill another test's stand-in
// launcher (see tests/support/bin/killall).
const bool kTestEnvironment = [] {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const char* path = getenv("PATH");
    const std::string bin = std::string(KORVANE_SOURCE_DIR) + "/tests/support/bin";
    setenv("PATH", (bin + ":" + (path != nullptr ? path : "/usr/bin:/bin")).c_str(), 1);
    return true;
}();

// Reads both pipes until they close or the deadline passes; kills the child at the deadline.
void Collect(pid_t child, int out_fd, int err_fd, int timeout_seconds, ProcessResult& result) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
    bool out_open = true, err_open = true, killed = false;
    char buffer[4096];
    while (out_open || err_open) {
        pollfd fds[2] = {{out_fd, POLLIN, 0}, {err_fd, POLLIN, 0}};
        const int ready = poll(fds, 2, 100);
        if (ready < 0 && errno != EINTR) break;
        for (int i = 0; i < 2; ++i) {
            bool& open = i == 0 ? out_open : err_open;
            if (!open || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            const ssize_t n = read(fds[i].fd, buffer, sizeof(buffer));
            if (n <= 0) {
                open = false;
            } else {
                (i == 0 ? result.output : result.errors).append(buffer, static_cast<size_t>(n));
            }
        }
        if (!killed && std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            killed = true;
        }
    }
    close(out_fd);
    close(err_fd);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
}

// Forks with standard output and standard error going to pipes, runs in_child in the child (which must end
// the child), and collects what the child wrote and how it ended.
ProcessResult RunForked(const std::function<void()>& in_child, int timeout_seconds) {
    int out_pipe[2], err_pipe[2];
    if (pipe(out_pipe) != 0 || pipe(err_pipe) != 0) throw std::runtime_error("pipe failed");
    fflush(stdout);
    fflush(stderr);
    const pid_t child = fork();
    if (child < 0) throw std::runtime_error("fork failed");
    if (child == 0) {
        dup2(out_pipe[1], 1);
        dup2(err_pipe[1], 2);
        close(out_pipe[0]);
        close(err_pipe[0]);
        close(out_pipe[1]);
        close(err_pipe[1]);
        in_child();
        _exit(125);
    }
    close(out_pipe[1]);
    close(err_pipe[1]);
    ProcessResult result;
    Collect(child, out_pipe[0], err_pipe[0], timeout_seconds, result);
    return result;
}

}  // namespace

ProcessResult RunInChild(const std::function<void()>& body) {
    return RunForked(
        [&] {
            body();
            fflush(stdout);
            fflush(stderr);
            exit(0);
        },
        60);
}

ProcessResult RunProgram(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                         const std::string& working_directory, int timeout_seconds) {
    return RunForked(
        [&] {
            const int null_fd = open("/dev/null", O_RDONLY);
            if (null_fd >= 0) dup2(null_fd, 0);
            for (const std::string& entry : environment) {
                const size_t equals = entry.find('=');
                const std::string name = entry.substr(0, equals);
                if (equals == std::string::npos || equals + 1 == entry.size()) {
                    unsetenv(name.c_str());
                } else {
                    setenv(name.c_str(), entry.c_str() + equals + 1, 1);
                }
            }
            if (!working_directory.empty() && chdir(working_directory.c_str()) != 0) _exit(126);
            std::vector<char*> args;
            for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
            args.push_back(nullptr);
            execv(args[0], args.data());
            _exit(127);
        },
        timeout_seconds);
}

std::string TestProgramPath(const std::string& name) { return std::string(KORVANE_TEST_PROGRAM_DIR) + "/" + name; }

std::string LumoraPath() { return KORVANE_LUMORA_PATH; }

TemporaryDirectory::TemporaryDirectory() {
    const char* base = getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && base[0] != 0 ? base : "/tmp") + "/korvane-test-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back(0);
    if (mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = buffer.data();
}

TemporaryDirectory::~TemporaryDirectory() {
    const std::string command = "rm -rf '" + path_ + "'";
    if (system(command.c_str()) != 0) fprintf(stderr, "could not remove %s\n", path_.c_str());
}

void CopyFileTo(const std::string& from, const std::string& to) {
    WriteWholeFile(to, ReadWholeFile(from));
    struct stat info;
    if (stat(from.c_str(), &info) == 0) chmod(to.c_str(), info.st_mode & 07777);
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    std::istringstream in(text);
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}
