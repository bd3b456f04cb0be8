#include "FailingDisk.h"

#include <QFile>

#include <linux/fuse.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uint64_t RootNode = FUSE_ROOT_ID;
constexpr uint64_t FileNode = 2;
// Large enough for any request the kernel sends (it asks for at least 8 KiB).
constexpr size_t RequestBytes = (1 << 20) + 4096;

template<typename T>
QByteArray bytesOf(const T &value)
{
    return QByteArray(reinterpret_cast<const char *>(&value), sizeof value);
}

QByteArray reply(uint64_t unique, int error, const QByteArray &payload = {})
{
    fuse_out_header header{};
    header.len = uint32_t(sizeof header + size_t(payload.size()));
    header.error = -error;
    header.unique = unique;
    return bytesOf(header) + payload;
}

} // namespace

FailingDisk::FailingDisk(const QString &folder, const QString &name, const QByteArray &readable, qint64 size)
    : path(folder + QLatin1Char('/') + name)
    , m_mountPoint(QFile::encodeName(folder))
    , m_name(QFile::encodeName(name))
    , m_readable(readable)
    , m_size(size)
{
    if (::geteuid() != 0)
        return;
    m_device = ::open("/dev/fuse", O_RDWR | O_CLOEXEC);
    if (m_device < 0 || ::pipe2(m_stop, O_CLOEXEC) != 0)
        return;
    const QByteArray options = "fd=" + QByteArray::number(m_device) + ",rootmode=40000,user_id=0,group_id=0";
    if (::mount("foldwise-failing-disk", m_mountPoint.constData(), "fuse", MS_NOSUID | MS_NODEV, options.constData()) != 0)
        return;
    mounted = true;
    m_server = std::thread([this] { serve(); });
}

FailingDisk::~FailingDisk()
{
    if (mounted)
        ::umount2(m_mountPoint.constData(), MNT_DETACH);
    if (m_server.joinable()) {
        const char stop = 0;
        (void)::write(m_stop[1], &stop, 1);
        m_server.join();
    }
    // The last descriptor of the device going ends whatever still waits on the file system.
    for (const int descriptor : {m_device, m_stop[0], m_stop[1]}) {
        if (descriptor >= 0)
            ::close(descriptor);
    }
}

void FailingDisk::serve()
{
    QByteArray request(RequestBytes, Qt::Uninitialized);
    for (;;) {
        pollfd waiting[2] = {{m_device, POLLIN, 0}, {m_stop[0], POLLIN, 0}};
        if (::poll(waiting, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (waiting[1].revents != 0)
            return;
        const ssize_t got = ::read(m_device, request.data(), RequestBytes);
        if (got < 0 && (errno == EINTR || errno == ENOENT || errno == EAGAIN))
            continue;
        if (got < ssize_t(sizeof(fuse_in_header)))
            return; // unmounted
        const QByteArray answered = answer(request.left(got));
        if (!answered.isEmpty())
            (void)::write(m_device, answered.constData(), size_t(answered.size()));
    }
}

QByteArray FailingDisk::answer(const QByteArray &request) const
{
    fuse_in_header header;
    std::memcpy(&header, request.constData(), sizeof header);
    const char *argument = request.constData() + sizeof header;
    const auto attributes = [this](uint64_t node) {
        fuse_attr attr{};
        attr.ino = node;
        attr.mode = node == RootNode ? S_IFDIR | 0755 : S_IFREG | 0444;
        attr.nlink = node == RootNode ? 2 : 1;
        attr.size = node == RootNode ? 0 : uint64_t(m_size);
        attr.blksize = 4096;
        return attr;
    };
    switch (header.opcode) {
    case FUSE_INIT: {
        fuse_init_in in{};
        std::memcpy(&in, argument, sizeof in - sizeof in.unused - sizeof in.flags2);
        fuse_init_out out{};
        out.major = FUSE_KERNEL_VERSION;
        out.minor = std::min<uint32_t>(in.minor, FUSE_KERNEL_MINOR_VERSION);
        out.max_readahead = in.max_readahead;
        out.max_write = 1 << 17;
        out.time_gran = 1;
        return reply(header.unique, 0, bytesOf(out));
    }
    case FUSE_LOOKUP: {
        if (header.nodeid != RootNode || QByteArray(argument) != m_name)
            return reply(header.unique, ENOENT);
        fuse_entry_out out{};
        out.nodeid = FileNode;
        out.attr = attributes(FileNode);
        return reply(header.unique, 0, bytesOf(out));
    }
    case FUSE_GETATTR: {
        fuse_attr_out out{};
        out.attr = attributes(header.nodeid);
        return reply(header.unique, 0, bytesOf(out));
    }
    case FUSE_OPEN:
    case FUSE_OPENDIR: {
        fuse_open_out out{};
        out.open_flags = FOPEN_DIRECT_IO;
        return reply(header.unique, 0, bytesOf(out));
    }
    case FUSE_READ: {
        fuse_read_in in{};
        std::memcpy(&in, argument, sizeof in);
        if (in.offset >= uint64_t(m_readable.size()))
            return reply(header.unique, EIO);
        return reply(header.unique, 0, m_readable.mid(qsizetype(in.offset), qsizetype(in.size)));
    }
    case FUSE_READDIR:
    case FUSE_FLUSH:
    case FUSE_RELEASE:
    case FUSE_RELEASEDIR:
        return reply(header.unique, 0);
    case FUSE_FORGET:
    case FUSE_BATCH_FORGET:
    case FUSE_INTERRUPT:
        return {};
    default:
        return reply(header.unique, ENOSYS);
    }
}
