#pragma once

#include "app/booklet/VXDoublePageFilter.h"

#include <QFont>
#include <QPointF>
#include <QString>

#include <optional>

// Page numbers on both pages of a sheet side, mirrored about the fold. Pages are counted from 1
// in document order; page firstPage shows the number firstNo, and numbers run on from there, so
// they may start below 1 (firstPage 3 with firstNo -1 shows -1, 0, 1, ...).
//
// Where a number sits is given as fractions of the side: x 0 is the middle of its page, 1 the
// fold, -1 the outer edge; y 0 is the vertical middle, 1 the bottom edge, -1 the top edge.
class VXPageNumberFilter : public VXDoublePageFilter
{
    Q_OBJECT
    Q_PROPERTY(qint64 firstPage READ firstPage WRITE setFirstPage NOTIFY firstPageChanged)
    Q_PROPERTY(qint64 lastPage READ lastPage WRITE setLastPage NOTIFY lastPageChanged)
    Q_PROPERTY(qint64 firstNo READ firstNo WRITE setFirstNo NOTIFY firstNoChanged)
    Q_PROPERTY(QString fontName READ fontName WRITE setFontName NOTIFY fontNameChanged)
    Q_PROPERTY(QFont font READ font WRITE setFont NOTIFY fontChanged)
    Q_PROPERTY(double fontSize READ fontSize WRITE setFontSize NOTIFY fontSizeChanged)
    Q_PROPERTY(double x READ x WRITE setX NOTIFY xChanged)
    Q_PROPERTY(double y READ y WRITE setY NOTIFY yChanged)
    Q_CLASSINFO("dependsOn:font", "fontName,fontSize")
    Q_CLASSINFO("dependsOn:fontName", "font")
    Q_CLASSINFO("dependsOn:fontSize", "font")

public:
    explicit VXPageNumberFilter(QObject *parent = nullptr);

    // The font of that family at the size, or nullopt when the system has no such family: a
    // missing family is quietly replaced by another one, so the family that was actually
    // resolved must be the one asked for.
    static std::optional<QFont> fontNamed(const QString &name, double size);
    // The family of the desktop's own sans font, as the system resolves it: the numbers' default.
    static QString desktopFontName();
    // The family the numbers are drawn in, which differs from fontName when that is not installed.
    QString drawnFontName() const;

    qint64 firstPage() const;
    void setFirstPage(qint64 firstPage);
    // 0 numbers every page from firstPage on.
    qint64 lastPage() const;
    void setLastPage(qint64 lastPage);
    qint64 firstNo() const;
    void setFirstNo(qint64 firstNo);

    QString fontName() const;
    // A family that is not installed changes nothing.
    void setFontName(const QString &fontName);
    QFont font() const;
    // A font sized in pixels is kept at the points those pixels are on the screen.
    void setFont(const QFont &font);
    // The font's size in points, also of one sized in pixels.
    static double pointSizeOf(const QFont &font);
    // Points at full scale.
    double fontSize() const;
    void setFontSize(double fontSize);

    double x() const;
    void setX(double x);
    double y() const;
    void setY(double y);

    // The number a page shows, by its index in document order; nullopt where it shows none.
    std::optional<qint64> numberForPage(quint64 index) const;
    // Where the number of the left or right page of a side in the rectangle is centred.
    QPointF positionInRect(const QRectF &rect, bool isLeft) const;

    void renderPageLeftNo(quint64 leftNo, quint64 rightNo, const QRectF &rect, double fraction) override;
    // Draws one number centred on the point, its font scaled by the fraction.
    void render(qint64 number, const QPointF &point, double fraction);

signals:
    void firstPageChanged(qint64 firstPage);
    void lastPageChanged(qint64 lastPage);
    void firstNoChanged(qint64 firstNo);
    void fontNameChanged(const QString &fontName);
    void fontChanged(const QFont &font);
    void fontSizeChanged(double fontSize);
    void xChanged(double x);
    void yChanged(double y);

private:
    static QFont makeFont(const QString &name, double size);

    qint64 m_firstPage = 1;
    qint64 m_lastPage = 0;
    qint64 m_firstNo = 1;
    QString m_fontName;
    QFont m_font;
    double m_fontSize = 12;
    double m_x = 0;
    double m_y = 0;
};
