#include "platform/Process.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace ut::platform {

namespace {

/// Owns a file descriptor.
class TFd {
  public:
    explicit TFd(int fd) : FFd(fd) {}
    ~TFd() {
        if (FFd >= 0)
            ::close(FFd);
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int Get() const { return FFd; }

  private:
    int FFd;
};

/// Owns the spawn attributes and file actions.
struct TSpawnSetup {
    posix_spawn_file_actions_t Actions;
    posix_spawnattr_t Attr;
    TSpawnSetup() {
        posix_spawn_file_actions_init(&Actions);
        posix_spawnattr_init(&Attr);
    }
    ~TSpawnSetup() {
        posix_spawnattr_destroy(&Attr);
        posix_spawn_file_actions_destroy(&Actions);
    }
    TSpawnSetup(const TSpawnSetup&) = delete;
    TSpawnSetup& operator=(const TSpawnSetup&) = delete;
};

int ExitCodeOf(int status) {
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

} // namespace

TProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& stdoutFile,
                          std::chrono::milliseconds timeLimit, const std::atomic<bool>* cancel) {
    TProcessResult result;
    if (argv.empty()) {
        result.Error = "no program to run";
        return result;
    }
    TFd out(::open(stdoutFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    if (out.Get() < 0) {
        result.Error = "cannot open " + stdoutFile + ": " + std::strerror(errno);
        return result;
    }

    TSpawnSetup setup;
    posix_spawn_file_actions_addopen(&setup.Actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&setup.Actions, out.Get(), 1);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    // No descriptor of ours leaks into the program.
    posix_spawn_file_actions_addclosefrom_np(&setup.Actions, 3);
#endif
    // Its own process group, so that a timeout also ends whatever the program started.
    posix_spawnattr_setflags(&setup.Attr, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&setup.Attr, 0);

    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, args[0], &setup.Actions, &setup.Attr, args.data(), environ);
    if (rc != 0) {
        result.Error = "cannot run " + argv[0] + ": " + std::strerror(rc);
        return result;
    }
    result.Started = true;

    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + timeLimit;
    auto pause = std::chrono::milliseconds(1);
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            result.ExitCode = ExitCodeOf(status);
            return result;
        }
        if (done < 0 && errno != EINTR) {
            result.Error = std::string("waiting for the program failed: ") + std::strerror(errno);
            return result;
        }
        if (cancel && cancel->load()) {
            result.Cancelled = true;
            break;
        }
        if (Clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(20));
    }

    ::kill(-pid, SIGKILL);
    ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.TimedOut = !result.Cancelled;
    result.ExitCode = -1;
    return result;
}

bool IsExecutableFile(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

std::string FindOnPath(const std::string& name, const std::string& searchPath) {
    if (name.empty() || name.find('/') != std::string::npos)
        return IsExecutableFile(name) ? name : std::string();
    size_t start = 0;
    while (start <= searchPath.size()) {
        size_t end = searchPath.find(':', start);
        if (end == std::string::npos)
            end = searchPath.size();
        std::string dir = searchPath.substr(start, end - start);
        if (dir.empty())
            dir = ".";
        const std::string candidate = dir + (dir.back() == '/' ? "" : "/") + name;
        if (IsExecutableFile(candidate))
            return candidate;
        start = end + 1;
    }
    return {};
}

} // namespace ut::platform
