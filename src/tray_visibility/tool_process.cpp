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
#include <utility>
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
    Descriptor(Descriptor&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    Descriptor& operator=(Descriptor&&) = delete;

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

// A pipe whose reading end stays here, never blocking, and whose writing end goes to the tool.
struct Pipe {
    Descriptor read;
    Descriptor write;
};

Pipe makePipe(const QString& program)
{
    int ends[2];
    if (::pipe(ends) != 0)
        cannotRun(program, errno);
    Pipe pipe{Descriptor(ends[0]), Descriptor(ends[1])};
    ::fcntl(pipe.read.get(), F_SETFD, FD_CLOEXEC);
    ::fcntl(pipe.write.get(), F_SETFD, FD_CLOEXEC);
    ::fcntl(pipe.read.get(), F_SETFL, O_NONBLOCK);
    return pipe;
}

// Reads both streams as the tool writes them, keeping the output and dropping the errors, until
// both end, the deadline comes or the output grows past its limit.
enum class Reading { ended, timedOut, tooLarge };

Reading readUntilClosed(Descriptor& output, Descriptor& errors, QByteArray& kept, qsizetype limit,
                        Clock::time_point end)
{
    char buffer[16384];
    for (;;) {
        pollfd streams[2] = {{output.get(), POLLIN, 0}, {errors.get(), POLLIN, 0}};
        if (output.get() < 0 && errors.get() < 0)
            return Reading::ended;
        const int wait = millisecondsUntil(end);
        if (wait == 0)
            return Reading::timedOut;
        const int polled = ::poll(streams, 2, wait);
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled <= 0)
            return Reading::timedOut;
        for (int i = 0; i < 2; ++i) {
            Descriptor& stream = i == 0 ? output : errors;
            if (stream.get() < 0 || streams[i].revents == 0)
                continue;
            const ssize_t read = ::read(stream.get(), buffer, sizeof buffer);
            if (read > 0 && i == 0) {
                if (kept.size() + read > limit)
                    return Reading::tooLarge;
                kept.append(buffer, read);
            } else if (read == 0 || (read < 0 && errno != EINTR && errno != EAGAIN))
                stream.close();
        }
    }
}

} // namespace

ToolProcess::Result ToolProcess::run(const QString& program, const QStringList& arguments,
                                     std::chrono::milliseconds deadline, qsizetype outputLimit)
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

    Pipe output = makePipe(program);
    Pipe errors = makePipe(program);
    SpawnSettings settings;
    posix_spawn_file_actions_addopen(&settings.actions, STDIN_FILENO, kNullDevice, O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&settings.actions, output.write.get(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&settings.actions, errors.write.get(), STDERR_FILENO);
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
    output.write.close();
    errors.write.close();
    if (error != 0)
        cannotRun(program, error);

    Result result;
    int status = 0;
    const Reading reading = readUntilClosed(output.read, errors.read, result.output, outputLimit, end);
    if (reading == Reading::ended) {
        // The streams end as the tool exits; its status follows within moments.
        for (;;) {
            const pid_t waited = ::waitpid(pid, &status, WNOHANG);
            if (waited == pid) {
                result.outcome = outcome(status);
                return result;
            }
            if (waited < 0 && errno != EINTR)
                return result;
            if (Clock::now() >= end)
                break;
            const timespec moment{0, 20000};
            ::nanosleep(&moment, nullptr);
        }
    }
    ::kill(-pid, SIGKILL);
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.outcome = reading == Reading::tooLarge ? Outcome::failed : Outcome::timedOut;
    result.output.clear();
    return result;
}

} // namespace velmor
