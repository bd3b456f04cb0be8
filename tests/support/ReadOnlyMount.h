#pragma once

#include <QDir>
#include <QFile>
#include <QString>

#include <functional>

#include <sys/mount.h>
#include <unistd.h>

// A small tmpfs on the folder for as long as it lives: filled by the caller, then made read-only
// as an AppImage's mount or a write-protected stick is. mounted is false without root or a system
// that lets it be mounted.
struct ReadOnlyMount
{
    ReadOnlyMount(const QString &folder, const std::function<void(const QString &)> &fill)
        : mountPoint(QFile::encodeName(folder))
        , mounted(QDir().mkpath(folder) && ::geteuid() == 0
                  && ::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=1m") == 0)
    {
        if (!mounted)
            return;
        fill(folder);
        readOnly = ::mount("tmpfs", mountPoint.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=1m") == 0;
    }
    ~ReadOnlyMount()
    {
        if (mounted)
            ::umount2(mountPoint.constData(), MNT_DETACH);
    }
    ReadOnlyMount(const ReadOnlyMount &) = delete;
    ReadOnlyMount &operator=(const ReadOnlyMount &) = delete;

    const QByteArray mountPoint;
    const bool mounted;
    bool readOnly = false;
};
