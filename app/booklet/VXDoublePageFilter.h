#pragma once

#include <QObject>
#include <QPointer>
#include <QRectF>

class VXDoublePageFilterDelegate;

// A decoration drawn over a sheet side after its two pages, at full scale into the print view and
// scaled down into the document window's decoration view. The base draws nothing.
class VXDoublePageFilter : public QObject
{
    Q_OBJECT

public:
    explicit VXDoublePageFilter(QObject *parent = nullptr);

    // Not owned. A delegate that is also a QObject is dropped when it is destroyed, so a filter
    // never calls a view that has gone.
    VXDoublePageFilterDelegate *delegate() const;
    void setDelegate(VXDoublePageFilterDelegate *delegate);

    // Decorations that depend on the kind of sheet side (a page type of VXOutputFilter), drawn
    // into the rectangle of the whole side at the scale.
    virtual void renderPage(int pageType, const QRectF &rect, double fraction);
    // Decorations that depend on which pages lie on the side: their indexes in document order,
    // VXFilter::NotFound for the blank filler page or no page.
    virtual void renderPageLeftNo(quint64 leftNo, quint64 rightNo, const QRectF &rect, double fraction);

protected:
    void tellDelegate();

private:
    VXDoublePageFilterDelegate *m_delegate = nullptr;
    QPointer<QObject> m_delegateObject;
    bool m_delegateIsObject = false;
};
