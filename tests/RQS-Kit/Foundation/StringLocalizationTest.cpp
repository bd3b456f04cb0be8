#include "RQS-Kit/Foundation/StringExtension.h"

#include "platform/Bundle.h"
#include "platform/PropertyList.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>

using platform::Bundle;
using namespace rqs;

namespace {

void writeTable(const QString &path, const QVariantMap &strings)
{
    QDir().mkpath(QFileInfo(path).path());
    ASSERT_TRUE(platform::PropertyList::write(strings, path)) << path.toStdString();
}

QVariantMap table(std::initializer_list<std::pair<const char *, const char *>> entries)
{
    QVariantMap map;
    for (const auto &[key, value] : entries)
        map.insert(QString::fromUtf8(key), QString::fromUtf8(value));
    return map;
}

// A German user with a main bundle and a second bundle, both with English fallbacks; the real main
// bundle comes back afterwards.
class StringLocalization : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_root.isValid());
        m_savedMainPath = Bundle::mainBundle()->bundlePath();
        QLocale::setDefault(QLocale(QStringLiteral("de_DE")));

        const QString main = m_root.filePath(QStringLiteral("Main"));
        writeTable(main + QStringLiteral("/de.lproj/Localizable.strings"),
                   table({{"MainOnly", "Haupt"}, {"Hash", "#"}, {"Shadowed", "Haupt verdeckt"}, {"Both", "Haupt deutsch"}}));
        writeTable(main + QStringLiteral("/de.lproj/Controls.strings"),
                   table({{"Print", "Drucken"}, {"HashInTable", "#"}}));
        writeTable(main + QStringLiteral("/en.lproj/Localizable.strings"),
                   table({{"EnglishMain", "English of main"}, {"Hash", "Hash in English"}}));
        writeTable(main + QStringLiteral("/en.lproj/Controls.strings"),
                   table({{"EnglishMainControls", "English controls of main"}, {"Print", "Print"}}));
        Bundle::setMainBundlePath(main);

        const QString other = m_root.filePath(QStringLiteral("Other"));
        writeTable(other + QStringLiteral("/de.lproj/Controls.strings"), table({{"OtherControls", "Andere"}}));
        writeTable(other + QStringLiteral("/de.lproj/Localizable.strings"),
                   table({{"OtherDefault", "Andere Vorgabe"}, {"Shadowed", "Andere verdeckt"}}));
        writeTable(other + QStringLiteral("/en.lproj/Controls.strings"),
                   table({{"OtherEnglish", "Other English"}, {"Both", "Other English both"}}));
        writeTable(other + QStringLiteral("/en.lproj/Localizable.strings"),
                   table({{"OtherEnglishDefault", "Other English default"}}));
        m_other = Bundle::bundleWithPath(other);
        ASSERT_TRUE(m_other);
    }

    void TearDown() override
    {
        Bundle::setMainBundlePath(m_savedMainPath);
        QLocale::setDefault(QLocale::c());
    }

    QTemporaryDir m_root;
    QString m_savedMainPath;
    platform::BundlePtr m_other;
};

} // namespace

TEST_F(StringLocalization, CascadeThroughTablesBundlesAndEnglish)
{
    const QString controls = QStringLiteral("Controls");
    const struct {
        const char *key;
        bool inOther;
        QString table;
        const char *expected;
    } cases[] = {
        // The main bundle.
        {"Print", false, controls, "Drucken"},
        {"MainOnly", false, controls, "Haupt"},
        {"EnglishMainControls", false, controls, "English controls of main"},
        {"EnglishMain", false, controls, "English of main"},
        {"Hash", false, controls, "Hash in English"},
        {"HashInTable", false, controls, "HashInTable"},
        {"OtherControls", false, controls, "OtherControls"},
        {"Unknown", false, controls, "Unknown"},
        {"MainOnly", false, {}, "Haupt"},
        {"Print", false, {}, "Print"},
        // A second bundle: itself, the main bundle, its English folder, the main English folder.
        {"OtherControls", true, controls, "Andere"},
        {"OtherDefault", true, controls, "Andere Vorgabe"},
        {"Shadowed", true, controls, "Andere verdeckt"},
        {"Print", true, controls, "Drucken"},
        {"MainOnly", true, controls, "Haupt"},
        {"Both", true, controls, "Haupt deutsch"},
        {"OtherEnglish", true, controls, "Other English"},
        {"OtherEnglishDefault", true, controls, "Other English default"},
        {"EnglishMain", true, controls, "English of main"},
        {"Hash", true, controls, "Hash in English"},
        {"Unknown", true, controls, "Unknown"},
        {"OtherControls", true, {}, "OtherControls"},
    };
    for (const auto &c : cases) {
        const QString key = QString::fromUtf8(c.key);
        EXPECT_EQ(localizedForBundle(key, c.inOther ? m_other : nullptr, c.table), QString::fromUtf8(c.expected))
            << c.key << (c.inOther ? " in the second bundle" : " in the main bundle") << " table "
            << c.table.toStdString();
    }
}

TEST_F(StringLocalization, ShortFormsUseTheMainBundle)
{
    EXPECT_EQ(localized(QStringLiteral("MainOnly")), QStringLiteral("Haupt"));
    EXPECT_EQ(localized(QStringLiteral("Print")), QStringLiteral("Print"));
    EXPECT_EQ(localizedForTable(QStringLiteral("Print"), QStringLiteral("Controls")), QStringLiteral("Drucken"));
    EXPECT_EQ(localizedForTable(QStringLiteral("EnglishMain"), QStringLiteral("Controls")),
              QStringLiteral("English of main"));
}

TEST_F(StringLocalization, SingleLookupAnswersNullWhenMissing)
{
    const QString controls = QStringLiteral("Controls");
    EXPECT_EQ(localizedOrNilForBundle(QStringLiteral("Print"), nullptr, controls), QStringLiteral("Drucken"));
    EXPECT_TRUE(localizedOrNilForBundle(QStringLiteral("MainOnly"), nullptr, controls).isNull());
    EXPECT_TRUE(localizedOrNilForBundle(QStringLiteral("Hash"), nullptr, {}).isNull());
    EXPECT_TRUE(localizedOrNilForBundle(QStringLiteral("HashInTable"), nullptr, controls).isNull());
    EXPECT_EQ(localizedOrNilForBundle(QStringLiteral("OtherControls"), m_other, controls), QStringLiteral("Andere"));
    EXPECT_TRUE(localizedOrNilForBundle(QStringLiteral("Print"), m_other, controls).isNull());
}
