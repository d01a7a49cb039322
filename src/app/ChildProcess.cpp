#include "app/ChildProcess.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace velmora::app {

namespace {

// Closes a descriptor once, whoever leaves first.
struct Fd {
    int fd = -1;
    ~Fd() { reset(); }
    void reset() {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
};

std::string errnoText(const std::string& what, int err) { return what + ": " + std::strerror(err); }

// Reads what the child prints until it closes its end or the deadline
// passes. False on the deadline.
bool drain(int fd, std::string& out, std::chrono::steady_clock::time_point deadline) {
    char buf[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd p{fd, POLLIN, 0};
        const int r = ::poll(&p, 1, static_cast<int>(std::min<long long>(left.count(), 1000)));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) continue;
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) return true;
        out.append(buf, static_cast<size_t>(n));
    }
}

// Waits for the child's end until the deadline. False on the deadline.
bool reap(pid_t pid, int& status, std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid) return true;
        if (r < 0 && errno != EINTR) return true;   // nothing left to wait for
        if (std::chrono::steady_clock::now() >= deadline) return false;
        ::usleep(2000);
    }
}

} // namespace

ChildResult runChild(const std::string& program, const std::vector<std::string>& args, const std::string& workDir,
                     std::chrono::milliseconds limit) {
    ChildResult result;
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        result.output = errnoText("pipe", errno);
        return result;
    }
    Fd readEnd{pipeFds[0]}, writeEnd{pipeFds[1]};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, writeEnd.fd, 1);
    posix_spawn_file_actions_adddup2(&actions, writeEnd.fd, 2);
    posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    // Its own process group, so that a stop reaches whatever it started.
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attr, 0);

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    pid_t pid = 0;
    const int err = ::posix_spawnp(&pid, program.c_str(), &actions, &attr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    writeEnd.reset();
    if (err != 0) {
        result.output = errnoText(program, err);
        return result;
    }

    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    if (!drain(readEnd.fd, result.output, deadline) || !reap(pid, status, deadline)) {
        ::kill(-pid, SIGKILL);
        ::kill(pid, SIGKILL);
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
        result.end = ChildResult::End::TimedOut;
        return result;
    }
    if (WIFEXITED(status)) {
        result.end = ChildResult::End::Exited;
        result.exitCode = WEXITSTATUS(status);
    } else {
        result.end = ChildResult::End::Signalled;
    }
    return result;
}

} // namespace velmora::app
