#pragma once

#include "PdfFixture.h"

#include <QFile>

#include <sys/mount.h>
#include <unistd.h>

// A 16 KiB tmpfs mounted on a folder for as long as it lives, holding an old file and a filler
// that leaves no room for more. It needs root and a system that lets it be mounted: see mounted().
class FullDisk
{
public:
    FullDisk(const QString &folder, const QString &oldName, const QByteArray &oldBytes)
        : m_mountPoint(QFile::encodeName(folder))
        , m_mounted(::geteuid() == 0 && ::mount("tmpfs", m_mountPoint.constData(), "tmpfs", 0, "size=16k") == 0)
    {
        if (m_mounted) {
            m_oldFile = PdfFixture::write(folder, oldName, oldBytes);
            PdfFixture::write(folder, QStringLiteral("filler"), QByteArray(16 * 1024, 'x'));
        }
    }
    ~FullDisk()
    {
        if (m_mounted)
            ::umount(m_mountPoint.constData());
    }
    FullDisk(const FullDisk &) = delete;
    FullDisk &operator=(const FullDisk &) = delete;

    bool mounted() const { return m_mounted; }
    QString oldFile() const { return m_oldFile; }

private:
    QByteArray m_mountPoint;
    bool m_mounted;
    QString m_oldFile;
};
