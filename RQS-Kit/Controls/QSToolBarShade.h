#pragma once

#include <QImage>
#include <QPainter>
#include <QString>
#include <QVariantMap>

// One layer of a tool bar's band: a shade image cut into a left cap, a middle part and a right cap
// by the margins that its file name's options give ("6-R-8": left 6 points, repeated middle,
// right 8 points; "R": repeated middle, no caps). Main thread.
class QSToolBarShade
{
public:
    // The settings are one shade dictionary of "ToolBar.plist" ("BlendMode", "FullWidth"); the
    // image is the main bundle's first image resource whose name starts with the name.
    QSToolBarShade(const QString &name, const QVariantMap &settings);

    QString name() const;
    const QImage &image() const;
    bool isTexture() const;
    bool repeat() const;
    bool fullWidth() const;
    QPainter::CompositionMode blendMode() const;
    double leftMargin() const;
    double rightMargin() const;

    bool useRetina() const;
    // The parts are cut again at the next use after a change.
    void setUseRetina(bool useRetina);

    // Null when the margin, or the width between the margins, is not positive. Sizes in points.
    const QImage &left() const;
    const QImage &mid() const;
    const QImage &right() const;

    QString description() const;

private:
    // The part from x to x + width points, at the image's full height.
    QImage part(double x, double width) const;

    QString m_name;
    QImage m_image;
    bool m_isTexture = false;
    bool m_repeat = false;
    bool m_fullWidth = false;
    bool m_useRetina = false;
    QPainter::CompositionMode m_blendMode = QPainter::CompositionMode_SourceOver;
    double m_leftMargin = 0;
    double m_rightMargin = 0;
    mutable QImage m_left, m_mid, m_right;
    mutable bool m_partsCut = false;
};
