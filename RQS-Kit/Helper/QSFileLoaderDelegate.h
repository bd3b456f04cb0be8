#pragma once

#include <QString>

class QSFileLoader;

// What a file loader tells its delegate, a QObject as well (see QSFileLoader::setDelegate); every
// callback is optional. A callback is the loader's last act for that event, so the delegate may
// destroy the loader from inside it.
class QSFileLoaderDelegate
{
public:
    virtual ~QSFileLoaderDelegate() = default;

    // The whole file has been written to the loader's file name.
    virtual void fileLoaderDidFinish(QSFileLoader *loader) { (void)loader; }
    // The download or the write failed; the file name is left as it was.
    virtual void fileLoaderDidFail(QSFileLoader *loader, const QString &error) { (void)loader, (void)error; }
    virtual void fileLoaderDidCancel(QSFileLoader *loader) { (void)loader; }
    // Received bytes divided by the announced length, after each chunk; not sent while the server
    // announced no length.
    virtual void fileLoader(QSFileLoader *loader, double progress) { (void)loader, (void)progress; }
};
