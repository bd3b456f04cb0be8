#pragma once

#include "RQS-Kit/Effects/QSEffectSuccessor.h"

#include <QObject>

// The successor of a chain's last effect, where its picture arrives: for tools and tests that run
// effects without a view.
class QSEffectChainEnd : public QObject, public QSEffectSuccessor
{
public:
    void setInputImage(const platform::fx::Image &image) override;
    void setGlobalSettings(const QVariantMap &) override {}
    void removeImageInput() override;
    void addResourcesToArray(QStringList &) const override {}
    const platform::fx::Image &image() const { return m_image; }

private:
    platform::fx::Image m_image;
};
