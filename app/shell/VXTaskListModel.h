#pragma once

#include <QAbstractListModel>
#include <QList>
#include <QUrl>

#include <functional>

class VXTask;

// The factory table's rows, one per task in the factory's order, and the files dropped on it.
class VXTaskListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    static constexpr int RowHeight = 48;

    using Tasks = std::function<QList<VXTask *>()>;
    using Drop = std::function<void(const QList<QUrl> &urls)>;

    VXTaskListModel(Tasks tasks, Drop drop, QObject *parent = nullptr);

    // The tasks changed: every row is asked anew.
    void reload();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    QStringList mimeTypes() const override;
    Qt::DropActions supportedDropActions() const override;
    // Only a list with at least one local file.
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column, const QModelIndex &parent) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column, const QModelIndex &parent) override;

    // The local files of a drag, in its order; anything else is logged and left out.
    static QList<QUrl> pdfURLsFromPasteboard(const QMimeData *data);

private:
    Tasks m_tasks;
    Drop m_drop;
};
