#include "tray_visibility/tool_process.h"

#include "foundation/system_error.h"

#include <QFile>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <vector>

extern char** environ;

namespace velmor {
namespace {

using Clock = std::chrono::steady_clock;

const char* const kNullDevice = "/dev/null";

class Descriptor final {
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor() { close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return m_fd; }
    void close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd;
};

class SpawnSettings final {
public:
    SpawnSettings()
    {
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_init(&attributes);
    }
    ~SpawnSettings()
    {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
    SpawnSettings(const SpawnSettings&) = delete;
    SpawnSettings& operator=(const SpawnSettings&) = delete;

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
};

[[noreturn]] void cannotRun(const QString& program, int error)
{
    throw SystemError(
        SystemError::Kind::Process,
        QStringLiteral("Could not run “%1”: %2").arg(program, QString::fromLocal8Bit(std::strerror(error))));
}

ToolProcess::Outcome outcome(int status)
{
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? ToolProcess::Outcome::succeeded
                                                         : ToolProcess::Outcome::failed;
}

int millisecondsUntil(Clock::time_point end)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now());
    return left.count() > 0 ? int(left.count()) : 0;
}

// Reads and drops what arrives until the stream ends; false when the deadline comes first.
bool drainUntilClosed(int fd, Clock::time_point end)
{
    char buffer[4096];
    for (;;) {
        const int wait = millisecondsUntil(end);
        if (wait == 0)
            return false;
        pollfd ready{fd, POLLIN, 0};
        const int polled = ::poll(&ready, 1, wait);
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled <= 0)
            return false;
        const ssize_t read = ::read(fd, buffer, sizeof buffer);
        if (read == 0)
            return true;
        if (read < 0 && errno != EINTR && errno != EAGAIN)
            return true;
    }
}

} // namespace

ToolProcess::Outcome ToolProcess::run(const QString& program, const QStringList& arguments, int output,
                                      std::chrono::milliseconds deadline)
{
    const Clock::time_point end = Clock::now() + deadline;
    const QByteArray programPath = QFile::encodeName(program);
    std::vector<QByteArray> argumentBytes{programPath};
    for (const QString& argument : arguments)
        argumentBytes.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& argument : argumentBytes)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    int ends[2];
    if (::pipe(ends) != 0)
        cannotRun(program, errno);
    Descriptor errorsRead(ends[0]);
    Descriptor errorsWrite(ends[1]);
    ::fcntl(errorsRead.get(), F_SETFD, FD_CLOEXEC);
    ::fcntl(errorsWrite.get(), F_SETFD, FD_CLOEXEC);
    ::fcntl(errorsRead.get(), F_SETFL, O_NONBLOCK);

    SpawnSettings settings;
    posix_spawn_file_actions_addopen(&settings.actions, STDIN_FILENO, kNullDevice, O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&settings.actions, output, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&settings.actions, errorsWrite.get(), STDERR_FILENO);
    // Its own process group, so that a time-out can kill whatever the tool started as well; and
    // the signals as a new program expects them, whatever this process ignores or blocks.
    sigset_t none;
    sigemptyset(&none);
    sigset_t all;
    sigfillset(&all);
    sigdelset(&all, SIGKILL);
    sigdelset(&all, SIGSTOP);
    posix_spawnattr_setflags(&settings.attributes,
                             POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    posix_spawnattr_setpgroup(&settings.attributes, 0);
    posix_spawnattr_setsigmask(&settings.attributes, &none);
    posix_spawnattr_setsigdefault(&settings.attributes, &all);

    pid_t pid = 0;
    const int error = posix_spawn(&pid, programPath.constData(), &settings.actions, &settings.attributes,
                                  argv.data(), environ);
    errorsWrite.close();
    if (error != 0)
        cannotRun(program, error);

    int status = 0;
    if (drainUntilClosed(errorsRead.get(), end)) {
        // The stream ends as the tool exits; its status follows within moments.
        for (;;) {
            const pid_t waited = ::waitpid(pid, &status, WNOHANG);
            if (waited == pid)
                return outcome(status);
            if (waited < 0 && errno != EINTR)
                return Outcome::failed;
            if (Clock::now() >= end)
                break;
            const timespec moment{0, 20000};
            ::nanosleep(&moment, nullptr);
        }
    }
    ::kill(-pid, SIGKILL);
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return Outcome::timedOut;
}

} // namespace velmor
