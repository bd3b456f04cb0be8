#include "RQS-Kit/Effects/QSShadeRow.h"

#include "RQS-Kit/Effects/QSAdjustableBlendFilter.h"
#include "RQS-Kit/Effects/QSShadeDescription.h"
#include "RQS-Kit/Foundation/PopUpButtonExtension.h"
#include "RQS-Kit/Foundation/StringExtension.h"

#include <QComboBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

#include <cmath>

namespace {

constexpr int SliderSteps = 100;

// The small controls of a narrow row: a fifth smaller than the normal font, never below 7 points.
QFont miniFont(QFont font)
{
    font.setPointSizeF(std::max(7.0, font.pointSizeF() * 0.8));
    return font;
}

} // namespace

QSShadeRow::QSShadeRow(const QStringList &shadeNames, int index, QWidget *parent)
    : QWidget(parent), m_index(index), m_shade(new QComboBox(this)), m_blend(new QComboBox(this)),
      m_intensity(new QSlider(Qt::Horizontal, this)), m_remove(new QPushButton(QStringLiteral("–"), this)),
      m_font(font())
{
    rqs::addEntries(m_shade, shadeNames);
    for (const QString &mode : QSAdjustableBlendFilter::blendModeNames())
        m_blend->addItem(rqs::localized(mode), mode);
    m_intensity->setRange(0, SliderSteps);
    // Every move of the knob is an edit, so that the preview follows the drag; the frame makes one
    // undo step of a drag.
    m_intensity->setTracking(true);
    connect(m_shade, &QComboBox::activated, this, [this](int i) { emit shadePicked(m_index, i); });
    connect(m_blend, &QComboBox::activated, this,
            [this](int i) { emit blendModePicked(m_index, m_blend->itemData(i).toString()); });
    connect(m_intensity, &QSlider::valueChanged, this,
            [this](int value) { emit intensityPicked(m_index, double(value) / SliderSteps); });
    connect(m_remove, &QPushButton::clicked, this, [this] { emit removeClicked(m_index); });
}

void QSShadeRow::show(const QSShadeDescription &shade, int shadeIndex, bool enabled)
{
    const QSignalBlocker blockSlider(m_intensity);
    m_shade->setCurrentIndex(shadeIndex);
    m_blend->setCurrentIndex(m_blend->findText(rqs::localized(shade.blendMode())));
    m_intensity->setValue(int(std::lround(shade.intensity() * SliderSteps)));
    for (QWidget *control : {static_cast<QWidget *>(m_shade), static_cast<QWidget *>(m_blend),
                             static_cast<QWidget *>(m_intensity)})
        control->setEnabled(enabled);
    m_remove->setVisible(enabled);
}

void QSShadeRow::layOut(bool narrow, const QRect &newShadeButton)
{
    // Frames given y up from the row's bottom.
    const int r = rowHeight(narrow);
    const auto place = [r](QWidget *control, double x, double y, double width, double height) {
        control->setGeometry(QRectF(x, r - y - height, width, height).toRect());
    };
    const double h = newShadeButton.height();
    m_blend->setFont(narrow ? miniFont(m_font) : m_font);
    m_intensity->setFont(narrow ? miniFont(m_font) : m_font);
    if (narrow) {
        place(m_shade, 32, 4, 157, h);
        place(m_blend, 193, 16, 113, 15);
        place(m_intensity, 193, 0, 113, 15);
        place(m_remove, 0, 0, 32, 32);
        return;
    }
    const double x = newShadeButton.x(), w = newShadeButton.width();
    const double slider = m_intensity->sizeHint().height();
    place(m_shade, x, std::floor(31 - h), w, h);
    place(m_blend, x + w + 8, std::floor(31 - h), 150, h);
    place(m_intensity, x + w + 166, std::floor(31 - slider), 138, slider);
    place(m_remove, x + w + 312, std::floor(31 - 32), 32, 32);
}
