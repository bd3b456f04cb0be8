#pragma once

#include "PdfFixture.h"

#include <QFile>

#include <sys/mount.h>
#include <unistd.h>

// A 16 KiB tmpfs on the folder for as long as it lives, holding the old file and a filler that
// leaves no room, or about room bytes (in whole 4 KiB pages beside the old file's page); mounted is
// false without root or a system that lets it be mounted.
struct FullDisk
{
    FullDisk(const QString &folder, const QString &name, const QByteArray &old, qsizetype room = 0)
        : mountPoint(QFile::encodeName(folder))
        , mounted(::geteuid() == 0 && ::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=16k") == 0)
        , oldFile(mounted ? PdfFixture::write(folder, name, old) : QString())
    {
        PdfFixture::write(folder, QStringLiteral("filler"), QByteArray(16 * 1024 - room, 'x'));
    }
    ~FullDisk()
    {
        if (mounted)
            ::umount(mountPoint.constData());
    }

    const QByteArray mountPoint;
    const bool mounted;
    const QString oldFile;
};
