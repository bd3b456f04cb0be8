#pragma once

#include <QList>
#include <QMetaObject>
#include <QString>
#include <QUrl>

// A new folder with an unpredictable name in the private temporary folder; empty (and a warning)
// when it could not be made.
QString QSCreateRandomTempFolder();

// The register of the kit's temporary files: they are removed, with the folders they leave empty,
// when the application quits. It also makes numbered copies of resource files whose names keep the
// source's resource name and options ("RQS-X#000#Linen#soft.png"), for resource bundles to collect.
// Main thread only.
class QSTempCleaner
{
public:
    QSTempCleaner();
    ~QSTempCleaner();
    QSTempCleaner(const QSTempCleaner &) = delete;
    QSTempCleaner &operator=(const QSTempCleaner &) = delete;

    static QSTempCleaner &sharedTempCleaner();

    // Only entries inside the private temporary folder are taken, so that flushing can never
    // remove a user's file; anything else is refused with a warning.
    bool addURL(const QUrl &url);
    bool addFile(const QString &path);

    // The name inside a new folder of its own, registered; no file is made. Empty when the name
    // is not a plain file name or the folder could not be made.
    QUrl fileURLForName(const QString &name);
    // Copies the file into the cleaner's folder under the next numbered name and registers the
    // copy; without a base name the source's resource name is kept. Every attempt uses up a
    // number. Empty (and a warning) when the copy failed.
    QUrl tempCopyURLFor(const QUrl &source, const QString &baseName = {});

    // Removes every registered entry and, after each, its folder when nothing else is left in it.
    void flush();
    // Connected to the application's end.
    void applicationWillQuit();

    QList<QUrl> tempURLs() const;
    QString resourcePath() const;
    quint64 resourceCounter() const;

    // A new empty file "<random>.<extension>" in the private temporary folder, or a new empty
    // folder "<random>" without extension; not registered. Empty on failure (logged).
    static QUrl tempURLWithExtension(const QString &extension);
    // tempCopyURLFor of the shared cleaner, as a path relative to the private temporary folder
    // ("<cleaner folder>/<copy>"); empty when the copy failed.
    static QString tempCopyFor(const QUrl &source, const QString &baseName = {});

private:
    QList<QUrl> m_tempURLs;
    QString m_resourcePath;
    quint64 m_resourceCounter = 0;
    QMetaObject::Connection m_quitConnection;
};
