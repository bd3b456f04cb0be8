#include "RQS-Kit/Helper/QSBundleTree.h"

#include <QDir>
#include <QFileInfo>

#include <filesystem>

namespace {

const QString ExecutablePath = QStringLiteral("bin/foldwise");
const QString ResourcesPath = QStringLiteral("share/foldwise/resources");

bool fail(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

std::filesystem::path fsPath(const QString &path) { return std::filesystem::path(path.toStdString()); }

} // namespace

QString QSBundleTree::bundlePathForExecutable(const QString &executable)
{
    const QFileInfo info(executable);
    if (info.dir().dirName() != QLatin1String("bin"))
        return {};
    const QString bundle = QDir::cleanPath(info.absolutePath() + QStringLiteral("/.."));
    return isBundle(bundle) ? bundle : QString();
}

bool QSBundleTree::isBundle(const QString &path)
{
    const QFileInfo folder(path);
    return folder.isDir() && !folder.isSymLink() && QFileInfo(executableIn(path)).isFile()
        && QFileInfo(path + QLatin1Char('/') + ResourcesPath).isDir();
}

QString QSBundleTree::executableIn(const QString &bundle) { return bundle + QLatin1Char('/') + ExecutablePath; }

bool QSBundleTree::copy(const QString &from, const QString &to, QString *error)
{
    if (!isBundle(from))
        return fail(error, QStringLiteral("%1 is no Foldwise folder").arg(from));
    if (QFileInfo::exists(to) || QFileInfo(to).isSymLink())
        return fail(error, QStringLiteral("%1 exists already").arg(to));
    std::error_code code;
    std::filesystem::copy(fsPath(from), fsPath(to),
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::copy_symlinks, code);
    if (!code)
        return true;
    std::error_code ignored;
    std::filesystem::remove_all(fsPath(to), ignored);
    return fail(error, QString::fromStdString(code.message()));
}

bool QSBundleTree::remove(const QString &bundle, QString *error)
{
    if (!isBundle(bundle))
        return fail(error, QStringLiteral("%1 is no Foldwise folder; it stays").arg(bundle));
    std::error_code code;
    std::filesystem::remove_all(fsPath(bundle), code);
    return code ? fail(error, QString::fromStdString(code.message())) : true;
}
