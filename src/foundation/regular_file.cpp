#include "foundation/regular_file.h"

#include "foundation/system_error.h"

#include <QFile>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace velmor {
namespace {

constexpr qint64 chunkBytes = 64 * 1024;

SystemError readError(const QString& path, const QString& reason)
{
    return SystemError(SystemError::Kind::File, QStringLiteral("Could not read “%1”: %2").arg(path, reason));
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// A descriptor that closes itself, unless it was handed on.
class Descriptor final {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

// Opened and checked; `size` receives the file's size.
int openRegular(const QString& path, qint64& size)
{
    const QByteArray name = QFile::encodeName(path);
    int fd = -1;
    do {
        fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        throw readError(path, systemReason(errno));
    Descriptor descriptor(fd);
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        throw readError(path, systemReason(errno));
    if (!S_ISREG(info.st_mode))
        throw readError(path, QString::fromUtf8(RegularFile::notRegularReason));
    size = static_cast<qint64>(info.st_size);
    return descriptor.release();
}

// Up to `limit` bytes from the descriptor's position, and one more if there is one, so that the
// caller can tell a file that ends at the limit from one that goes on.
QByteArray readUpTo(const Descriptor& descriptor, qint64 expected, qint64 limit, const QString& path)
{
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(std::clamp<qint64>(expected, 0, limit) + 1));
    char chunk[chunkBytes];
    while (bytes.size() <= limit) {
        const qint64 wanted = std::min<qint64>(chunkBytes, limit + 1 - bytes.size());
        const ssize_t got = ::read(descriptor.get(), chunk, static_cast<size_t>(wanted));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw readError(path, systemReason(errno));
        if (got == 0)
            break;
        bytes.append(chunk, static_cast<qsizetype>(got));
    }
    return bytes;
}

} // namespace

QByteArray RegularFile::read(const QString& path, qint64 maximumBytes)
{
    qint64 size = 0;
    const Descriptor descriptor(openRegular(path, size));
    const QString tooLarge = QString::fromUtf8(tooLargeReason).arg(maximumBytes);
    // Refused unread when it says so itself; a file that grows meanwhile is caught while it is read.
    if (size > maximumBytes)
        throw readError(path, tooLarge);
    QByteArray bytes = readUpTo(descriptor, size, maximumBytes, path);
    if (bytes.size() > maximumBytes)
        throw readError(path, tooLarge);
    return bytes;
}

QByteArray RegularFile::readFrom(const QString& path, qint64 offset, qint64 maximumBytes, qint64* size)
{
    qint64 fileSize = 0;
    const Descriptor descriptor(openRegular(path, fileSize));
    if (size)
        *size = fileSize;
    if (offset >= fileSize)
        return {};
    if (::lseek(descriptor.get(), static_cast<off_t>(offset), SEEK_SET) < 0)
        throw readError(path, systemReason(errno));
    QByteArray bytes = readUpTo(descriptor, fileSize - offset, maximumBytes, path);
    bytes.truncate(static_cast<qsizetype>(std::min<qint64>(bytes.size(), maximumBytes)));
    return bytes;
}

void RegularFile::open(QFile& file, const QString& path)
{
    qint64 size = 0;
    Descriptor descriptor(openRegular(path, size));
    if (!file.open(descriptor.get(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        throw readError(path, file.errorString());
    descriptor.release();
}

} // namespace velmor
