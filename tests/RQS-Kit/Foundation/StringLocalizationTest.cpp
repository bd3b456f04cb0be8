#include "RQS-Kit/Foundation/StringExtension.h"

#include "support/MainBundleScope.h"
#include "support/StringsTables.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

using platform::Bundle;
using namespace rqs;

namespace {

// A German user with a main bundle and a second bundle, both with English fallbacks.
class StringLocalization : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString main = m_root.filePath("Main"), other = m_root.filePath("Other");
        ASSERT_TRUE(writeStringsTable(main, "de", "Localizable", {{"MainOnly", "Haupt"}, {"Hash", "#"},
                                      {"Shadowed", "Haupt verdeckt"}, {"Both", "Haupt deutsch"}}));
        ASSERT_TRUE(writeStringsTable(main, "de", "Controls", {{"Print", "Drucken"}, {"HashInTable", "#"}}));
        ASSERT_TRUE(writeStringsTable(main, "en", "Localizable",
                                      {{"EnglishMain", "English of main"}, {"Hash", "Hash in English"}}));
        ASSERT_TRUE(writeStringsTable(main, "en", "Controls",
                                      {{"EnglishMainControls", "English controls of main"}, {"Print", "Print"}}));
        ASSERT_TRUE(writeStringsTable(other, "de", "Controls", {{"OtherControls", "Andere"}}));
        ASSERT_TRUE(writeStringsTable(other, "de", "Localizable",
                                      {{"Shadowed", "Andere verdeckt"}}));
        ASSERT_TRUE(writeStringsTable(other, "en", "Controls", {{"OtherEnglish", "Other English"}, {"Both", "Other English both"}}));
        m_main = std::make_unique<MainBundleScope>(main);
        m_other = Bundle::bundleWithPath(other);
        ASSERT_TRUE(m_other);
    }

    QTemporaryDir m_root;
    LanguageScope m_german{"de_DE"};
    std::unique_ptr<MainBundleScope> m_main;
    platform::BundlePtr m_other;
};

} // namespace

TEST_F(StringLocalization, CascadeThroughTablesBundlesAndEnglishUnlessASingleLookupIsAsked)
{
    const QString controls = "Controls";
    const struct { const char *key; bool inOther; QString table; const char *expected; } cases[] = {
        // The main bundle.
        {"Print", false, controls, "Drucken"},
        {"MainOnly", false, controls, "Haupt"},
        {"EnglishMainControls", false, controls, "English controls of main"},
        {"EnglishMain", false, controls, "English of main"},
        {"Hash", false, controls, "Hash in English"},
        {"HashInTable", false, controls, "HashInTable"},
        {"Print", false, {}, "Print"},
        // A second bundle: itself, the main bundle, its English folder, the main English folder.
        {"OtherControls", true, controls, "Andere"},
        {"Shadowed", true, controls, "Andere verdeckt"},
        {"Both", true, controls, "Haupt deutsch"},
        {"OtherEnglish", true, controls, "Other English"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(localizedForBundle(c.key, c.inOther ? m_other : nullptr, c.table), c.expected)
            << c.key << (c.inOther ? " in the second bundle" : " in the main bundle") << " table " << c.table.toStdString();
    }

    // The short forms use the main bundle; single lookups answer null when missing.
    EXPECT_EQ(localized("MainOnly"), "Haupt");
    EXPECT_EQ(localizedForTable("Print", "Controls"), "Drucken");
    EXPECT_TRUE(localizedOrNilForBundle("MainOnly", nullptr, controls).isNull());
    EXPECT_TRUE(localizedOrNilForBundle("HashInTable", nullptr, controls).isNull());
    EXPECT_EQ(localizedOrNilForBundle("OtherControls", m_other, controls), "Andere");
    EXPECT_TRUE(localizedOrNilForBundle("Print", m_other, controls).isNull());
}
