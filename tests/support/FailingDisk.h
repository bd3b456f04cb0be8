#pragma once

#include <QByteArray>
#include <QString>

#include <thread>

// One file on a disk that fails: its first bytes read, any read past them fails with EIO, as a
// damaged sector does. A FUSE file system of the test's own, served by a thread of the test,
// mounted on the folder for as long as it lives; mounted is false without root or FUSE. Every
// read goes to the file system as the program asks for it (no page cache in between).
class FailingDisk
{
public:
    // The file takes size bytes, of which readable are given.
    FailingDisk(const QString &folder, const QString &name, const QByteArray &readable, qint64 size);
    ~FailingDisk();
    FailingDisk(const FailingDisk &) = delete;
    FailingDisk &operator=(const FailingDisk &) = delete;

    bool mounted = false;
    // The failing file's path.
    QString path;

private:
    void serve();
    // The reply to one request, or none for requests that take none.
    QByteArray answer(const QByteArray &request) const;

    QByteArray m_mountPoint;
    QByteArray m_name;
    QByteArray m_readable;
    qint64 m_size;
    int m_device = -1;
    int m_stop[2] = {-1, -1};
    std::thread m_server;
};
