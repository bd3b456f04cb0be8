#include "RQS-Kit/Effects/QSShadeRow.h"

#include "RQS-Kit/Effects/QSAdjustableBlendFilter.h"
#include "RQS-Kit/Effects/QSShadeDescription.h"
#include "RQS-Kit/Foundation/PopUpButtonExtension.h"
#include "RQS-Kit/Foundation/StringExtension.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

#include <cmath>

namespace {

constexpr int SliderSteps = 100;

} // namespace

QSShadeRow::QSShadeRow(const QStringList &shadeNames, int index, QWidget *parent)
    : QWidget(parent), m_index(index), m_shade(new QComboBox(this)), m_blend(new QComboBox(this)),
      m_intensity(new QSlider(Qt::Horizontal, this)), m_remove(new QPushButton(QStringLiteral("–"), this))
{
    rqs::addEntries(m_shade, shadeNames);
    for (const QString &mode : QSAdjustableBlendFilter::blendModeNames())
        m_blend->addItem(rqs::localized(mode), mode);
    m_intensity->setRange(0, SliderSteps);
    // One edit, and one undo step, per release of the knob.
    m_intensity->setTracking(false);
    m_remove->setFixedWidth(32);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_shade, 3);
    layout->addWidget(m_blend, 2);
    layout->addWidget(m_intensity, 2);
    layout->addWidget(m_remove);
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
    m_blend->setCurrentIndex(m_blend->findData(shade.blendMode()));
    m_intensity->setValue(int(std::lround(shade.intensity() * SliderSteps)));
    for (QWidget *control : {static_cast<QWidget *>(m_shade), static_cast<QWidget *>(m_blend),
                             static_cast<QWidget *>(m_intensity)})
        control->setEnabled(enabled);
    m_remove->setVisible(enabled);
}
