#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// Where an interface file may read the files it names: inside its own folder and the application's
// resources, once ".." and symbolic links are followed, and only regular files there (a pipe or a
// device named as a picture would hold Qt in open() for ever). Qt's own compiled-in resources
// (":/…", "qrc:/…") are always there to read.
class InterfaceFilePlaces
{
public:
    // The places of the interface file at the path: its folder and the main bundle's.
    static InterfaceFilePlaces of(const QString &interfaceFile);
    // The folders, the first of which relative names start from.
    explicit InterfaceFilePlaces(const QStringList &folders);

    // Why the file a picture or an icon names may not be read, told as the end of a sentence
    // ("which is no regular file"); empty when it may. Qt looks a relative name up from the
    // interface file's folder.
    QString pictureRefusal(const QString &name) const;
    // The same for a name Qt looks up from the working folder (rich text, URLs, style sheets), which
    // must therefore be absolute or a Qt resource.
    QString absoluteRefusal(const QString &name) const;

    // The path Qt's loader reads a picture or an icon of the name from: from the interface file's
    // folder; empty for one of Qt's resources.
    QString picturePath(const QString &name) const;
    // The names Qt tries in place of a picture on a screen of n times the resolution: "name@nx.png".
    static QStringList highResolutionNames(const QString &path);

private:
    QString pathRefusal(const QString &path) const;
    QString placeRefusal(const QString &path) const;

    QString m_start;
    // The folders, each as written and with its symbolic links followed.
    QStringList m_folders;
};

} // namespace platform
