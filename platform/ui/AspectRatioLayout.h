#pragma once

#include <QLayout>

namespace platform {

// Keeps its one item in proportion, width = ratio × height: the largest such rectangle, centred
// in the space the layout gets. Paper and page previews use it where proportions follow the paper.
class AspectRatioLayout : public QLayout
{
public:
    explicit AspectRatioLayout(QWidget *parent = nullptr);
    ~AspectRatioLayout() override;

    double ratio() const;
    // Ignored, with a logged warning, unless positive and finite.
    void setRatio(double ratio);

    // A second item replaces the first, with a logged warning.
    void addItem(QLayoutItem *item) override;
    int count() const override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    Qt::Orientations expandingDirections() const override;
    void setGeometry(const QRect &rect) override;

private:
    QLayoutItem *m_item = nullptr;
    double m_ratio = 1.0;
};

} // namespace platform
