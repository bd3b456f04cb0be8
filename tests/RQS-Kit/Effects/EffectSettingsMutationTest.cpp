#include "RQS-Kit/Effects/KitFilters.h"
#include "RQS-Kit/Effects/QSEffectChainEnd.h"
#include "RQS-Kit/Effects/QSEffectsCatalog.h"
#include "platform/foundation/Log.h"
#include "platform/fx/Extent.h"
#include "platform/fx/FxTestImages.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>

#include <cmath>
#include <limits>

using namespace platform::fx;

namespace {

// Values stored settings may hold after damage or by malice.
QVariant hostileValue(QRandomGenerator &random, const QStringList &names)
{
    const double numbers[] = {0, -1, 0.5, 1e8, -1e8, 4e9, 1e308, -1e308, std::numeric_limits<double>::infinity(),
                              -std::numeric_limits<double>::infinity(), std::nan(""), 1e-300};
    switch (random.bounded(8)) {
    case 0:
    case 1:
    case 2:
        return numbers[random.bounded(int(std::size(numbers)))];
    case 3:
        return QStringList{"", "../../../etc/passwd", "/dev/zero", QString(1000, 'x'), "1 2 3 4", "NaN"}[random.bounded(6)];
    case 4:
        return names[random.bounded(int(names.size()))];
    case 5:
        return QVariantList{numbers[random.bounded(int(std::size(numbers)))], "x"};
    case 6:
        return QVariantMap{{"name", names[random.bounded(int(names.size()))]}};
    default:
        return random.bounded(2) == 1;
    }
}

QVariantMap mutated(QVariantMap settings, QRandomGenerator &random, const QStringList &names)
{
    const QStringList keys = settings.keys();
    const int changes = 1 + int(random.bounded(3));
    for (int i = 0; i < changes; ++i) {
        const int pick = int(random.bounded(int(keys.size()) + 2));
        if (pick < keys.size())
            settings.insert(keys[pick], hostileValue(random, names));
        else if (pick == keys.size() && !keys.isEmpty())
            settings.remove(keys[int(random.bounded(int(keys.size())))]);
        else
            settings.insert(QStringLiteral("inputRadius"), hostileValue(random, names));
    }
    return settings;
}

int setting(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 ? value : fallback;
}

// Chains of one to three effects from damaged stored settings render a picture, or are refused
// with a logged line: never a crash, a hang or memory beyond the render budget.
// FOLDWISE_MUTATION_RUNS and FOLDWISE_MUTATION_SEED make longer runs.
TEST(EffectSettingsMutation, DamagedSettingsRenderOrAreRefused)
{
    rqs::registerKitFilters();
    const QSEffectsCatalog &catalog = QSEffectsCatalog::shared();
    QList<QVariantMap> stored;
    QStringList names;
    for (const QString &display : catalog.sortedDisplayNames()) {
        const auto effect = catalog.effectForDisplayName(display);
        ASSERT_TRUE(effect);
        stored << effect->settings();
        names << effect->settings().value("name").toString();
    }
    QRandomGenerator random(quint32(setting("FOLDWISE_MUTATION_SEED", 29)));
    const int runs = setting("FOLDWISE_MUTATION_RUNS", 150);
    const Image picture = fxtest::ramp(16, 12);
    int rendered = 0;
    platform::LogCapture quiet;
    for (int run = 0; run < runs; ++run) {
        QJsonArray chain;
        std::vector<std::unique_ptr<QSEffect>> effects;
        const int length = 1 + int(random.bounded(3));
        for (int i = 0; i < length; ++i) {
            const QVariantMap settings = mutated(stored[random.bounded(int(stored.size()))], random, names);
            chain.append(QJsonObject::fromVariantMap(settings));
            if (auto effect = QSEffectsCatalog::effectForSettings(settings))
                effects.push_back(std::move(effect));
        }
        SCOPED_TRACE(QJsonDocument(chain).toJson(QJsonDocument::Compact).toStdString());
        if (effects.empty())
            continue;
        QSEffectChainEnd end;
        for (std::size_t i = 0; i < effects.size(); ++i)
            effects[i]->setSuccessor(i + 1 < effects.size() ? static_cast<QObject *>(effects[i + 1].get()) : &end);
        effects.front()->setInputImage(picture);
        if (end.image().isNull())
            continue;
        const QRect rect = Extent::pixelsTouching(end.image().extent()) & QRect(-40, -40, 96, 92);
        if (!rect.isEmpty() && Context().render(end.image(), rect))
            ++rendered;
    }
    // Most damage is repaired or refused; enough chains still render to have reached the filters.
    EXPECT_GT(rendered, runs / 10);
    std::printf("%d chains of damaged settings, %d rendered\n", runs, rendered);
}

} // namespace
