#include "app/shell/VXTaskListModel.h"

#include "app/shell/VXTask.h"
#include "platform/foundation/Log.h"

#include <QMimeData>
#include <QSize>

VXTaskListModel::VXTaskListModel(Tasks tasks, Drop drop, QObject *parent)
    : QAbstractListModel(parent)
    , m_tasks(std::move(tasks))
    , m_drop(std::move(drop))
{
}

void VXTaskListModel::reload()
{
    beginResetModel();
    endResetModel();
}

int VXTaskListModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : int(m_tasks().size()); }

QVariant VXTaskListModel::data(const QModelIndex &index, int role) const
{
    VXTask *task = m_tasks().value(index.row());
    if (!task)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return task->documentName();
    case Qt::SizeHintRole:
        return QSize(0, RowHeight);
    default:
        return {};
    }
}

// Rows are never selected: their buttons are what the user acts on.
Qt::ItemFlags VXTaskListModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled : Qt::ItemIsDropEnabled;
}

QStringList VXTaskListModel::mimeTypes() const { return {QStringLiteral("text/uri-list")}; }

Qt::DropActions VXTaskListModel::supportedDropActions() const { return Qt::CopyAction; }

QList<QUrl> VXTaskListModel::pdfURLsFromPasteboard(const QMimeData *data)
{
    QList<QUrl> urls;
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile())
            urls << url;
        else
            platform::logWarning(QStringLiteral("Could not add %1, because it is no local file").arg(url.toString()));
    }
    return urls;
}

bool VXTaskListModel::canDropMimeData(const QMimeData *data, Qt::DropAction, int, int, const QModelIndex &) const
{
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile())
            return true;
    }
    return false;
}

bool VXTaskListModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column, const QModelIndex &parent)
{
    if (!canDropMimeData(data, action, row, column, parent))
        return false;
    m_drop(pdfURLsFromPasteboard(data));
    return true;
}
