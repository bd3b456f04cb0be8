#pragma once

#include "RQS-Kit/Controls/QSToolBarShade.h"
#include "platform/ui/View.h"

#include <QList>
#include <QPointer>
#include <QVariantMap>

#include <memory>

// A textured band drawn from the shades of one bar of the main bundle's "ToolBar.plist", cut into
// segments by the buttons registered on it, each segment with its own end caps. Main thread.
class QSToolBarView : public platform::View
{
    Q_OBJECT
    Q_PROPERTY(QString currentBar READ currentBar WRITE setCurrentBar)
    Q_PROPERTY(bool rightAlign READ rightAlign WRITE setRightAlign)
public:
    explicit QSToolBarView(QWidget *parent = nullptr);
    ~QSToolBarView() override;

    QString currentBar() const;
    // Ignored without bar descriptions; neither redraws nor saves the name.
    void setCurrentBar(const QString &name);
    // Repeated middles tile from the bar's right edge.
    bool rightAlign() const;
    void setRightAlign(bool rightAlign);

    const std::vector<std::unique_ptr<QSToolBarShade>> &toolBarShades() const;
    // The stretches of the band between the buttons, y-up, rebuilt when empty.
    QList<QRectF> barSegments();
    void registerBarButton(QWidget *button);
    void removeBarButton(QWidget *button);

    void drawRect(const QRectF &dirtyRect) override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool event(QEvent *event) override;

private:
    void updateBarSegments();
    void drawShade(QSToolBarShade &shade, const QRectF &rect);

    QVariantMap m_toolBarDescriptions;
    std::vector<std::unique_ptr<QSToolBarShade>> m_toolBarShades;
    QList<QPointer<QWidget>> m_barButtons;
    QList<QRectF> m_barSegments;
    QString m_currentBar;
    bool m_rightAlign = false;
};
