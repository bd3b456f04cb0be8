#pragma once

#include <QListView>

// The page list of the document window: one column of page previews under the add-page button,
// which rides in row 0 as the model lists it. Pages are reordered by dragging them within the list and moved to
// another document by dragging them into its list: once they have arrived there they leave this
// one. The model is a VXPagesController.
class VXPagesTableView : public QListView
{
    Q_OBJECT

public:
    explicit VXPagesTableView(QWidget *parent = nullptr);

    // The model's row 0 button; the list shows it but never owns it.
    QWidget *addPageButton() const;
    // The add-page button goes back into row 0 once the rows are laid anew.
    void reset() override;

    // Ascending; never row 0.
    QList<int> selectedRows() const;

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight, const QList<int> &roles) override;

private:
    void placeAddPageButton();
};
