#pragma once

#include "RQS-Kit/Controls/QSColorWell.h"
#include "RQS-Kit/Controls/QSGradientStops.h"

#include <QImage>

// A small horizontal gradient editor: a bar showing the gradient, a marker per stop in the band
// below it, a delete icon over the selected inner stop and a preview line under the pointer. A
// click in the bar adds a stop, a marker selects one, dragging or the arrow keys move it, Tab and
// Backtab go round the stops, the icon or Delete removes it, and the shared colour panel recolours
// the selected stop. Edits that change the gradient send the action. Main thread.
class QSGradientPicker : public QSColorWell
{
    Q_OBJECT
    Q_PROPERTY(platform::Gradient gradient READ gradient WRITE setGradient)
    Q_PROPERTY(int selectedIndex READ selectedIndex WRITE setSelectedIndex)
    Q_PROPERTY(bool continuous READ isContinuous WRITE setContinuous)

public:
    explicit QSGradientPicker(QWidget *parent = nullptr);

    platform::Gradient gradient() const;
    // Keeps a selection only while its stop still exists; sends no action.
    void setGradient(const platform::Gradient &gradient);
    const QSGradientStops &stops() const;

    QVariantMap saveDescription() const;
    bool loadDescription(const QVariantMap &description);

    // -1 for none. Selecting a stop focuses the picker and shows its colour in the panel;
    // deselecting leaves the panel as it is.
    int selectedIndex() const;
    void setSelectedIndex(int index);
    bool isContinuous() const;
    void setContinuous(bool continuous);

    // In the view's own y-up coordinates; empty when the view is narrower than its margins.
    QRectF gradientRect() const;
    double stopCenter(int index) const;
    // The delete icon's place over the selected inner stop; empty when there is none.
    QRectF deleteIconRect() const;

    std::optional<int> addColorAt(double location);
    bool removeColorAtIndex(int index);
    bool changeLocation(double location, int index);
    bool changeColor(const QColor &color, int index);

    // The selected stop's colour, else the first stop's.
    QColor color() const override;
    void setColor(const QColor &color) override;
    void changeColor(QObject *sender) override;
    void deactivate() override;

    QSize sizeHint() const override;
    void drawRect(const QRectF &dirtyRect) override;
    void mouseDown(const platform::MouseEvent &event) override;
    void mouseDragged(const platform::MouseEvent &event) override;
    void mouseUp(const platform::MouseEvent &event) override;
    void mouseMoved(const platform::MouseEvent &event) override;
    void mouseEntered(const platform::MouseEvent &event) override;
    void mouseExited(const platform::MouseEvent &event) override;
    void keyDown(QKeyEvent *event) override;

    Q_INVOKABLE void moveLeft(QObject *sender);
    Q_INVOKABLE void moveRight(QObject *sender);
    Q_INVOKABLE void moveLeftAndModifySelection(QObject *sender);
    Q_INVOKABLE void moveRightAndModifySelection(QObject *sender);
    Q_INVOKABLE void moveWordLeft(QObject *sender);
    Q_INVOKABLE void moveWordRight(QObject *sender);
    Q_INVOKABLE void insertTab(QObject *sender);
    Q_INVOKABLE void insertBacktab(QObject *sender);
    Q_INVOKABLE void deleteBackward(QObject *sender);
    Q_INVOKABLE void deleteForward(QObject *sender);
    Q_INVOKABLE void cancelOperation(QObject *sender);

protected:
    void focusOutEvent(QFocusEvent *event) override;
    // Tab and Backtab go round the stops instead of leaving the picker.
    bool focusNextPrevChild(bool next) override;

private:
    void openColorPanel();
    void moveSelected(double steps);
    void selectNeighbour(int offset);
    void stopsChanged();
    int markerAt(const QPointF &point) const;
    QPointF pointerLocation() const;

    QSGradientStops m_stops;
    QImage m_closeIcon;
    QImage m_triangleImage;
    QImage m_selectedImage;
    double m_triWidth = 11;
    double m_triHeight = 9;
    int m_selectedIndex = -1;
    int m_mouseDownIndex = -1;
    bool m_continuous = true;
};
