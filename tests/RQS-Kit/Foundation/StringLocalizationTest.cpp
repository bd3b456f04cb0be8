#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/PropertyList.h"

#include "support/MainBundleScope.h"
#include "support/StringsTables.h"

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace rqs;

// A German user with a main bundle and a second bundle, both with English fallbacks.
TEST(StringLocalization, CascadeThroughTablesBundlesAndEnglishUnlessASingleLookupIsAsked)
{
    QTemporaryDir root;
    const QString main = root.filePath("Main"), other = root.filePath("Other");
    ASSERT_TRUE(writeStringsTable(main, "de", "Localizable", {{"MainOnly", "Haupt"}, {"Hash", "#"}, {"Both", "Haupt deutsch"}}));
    ASSERT_TRUE(writeStringsTable(main, "de", "Controls", {{"Print", "Drucken"}, {"HashInTable", "#"}}));
    ASSERT_TRUE(writeStringsTable(main, "en", "Localizable", {{"EnglishMain", "English of main"}, {"Hash", "Hash in English"}}));
    ASSERT_TRUE(writeStringsTable(other, "de", "Localizable", {{"Shadowed", "Andere verdeckt"}}));
    ASSERT_TRUE(writeStringsTable(other, "en", "Controls", {{"OtherEnglish", "Other English"}, {"Both", "Other English both"}}));
    LanguageScope german("de_DE");
    MainBundleScope scope(main);
    const platform::BundlePtr second = platform::Bundle::bundleWithPath(other);

    const QString controls = "Controls";
    const struct { const char *key; bool inOther; QString table; const char *expected; } cases[] = {
        // The main bundle: the table, the default table, their English forms; "#" goes on, to the key at the end.
        {"Print", false, controls, "Drucken"}, {"MainOnly", false, controls, "Haupt"},
        {"EnglishMain", false, controls, "English of main"}, {"Hash", false, controls, "Hash in English"},
        {"HashInTable", false, controls, "HashInTable"}, {"Print", false, {}, "Print"},
        // A second bundle: itself, the main bundle, its English folder, the main English folder.
        {"Shadowed", true, controls, "Andere verdeckt"}, {"Both", true, controls, "Haupt deutsch"},
        {"OtherEnglish", true, controls, "Other English"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(localizedForBundle(c.key, c.inOther ? second : nullptr, c.table), c.expected)
            << c.key << (c.inOther ? " in the second bundle" : " in the main bundle") << " table " << c.table.toStdString();
    }

    // The short forms use the main bundle; single lookups answer null when missing.
    EXPECT_EQ(localized("MainOnly"), "Haupt");
    EXPECT_EQ(localizedForTable("Print", "Controls"), "Drucken");
    EXPECT_TRUE(localizedOrNilForBundle("MainOnly", nullptr, controls).isNull());
    EXPECT_TRUE(localizedOrNilForBundle("HashInTable", nullptr, controls).isNull());
    EXPECT_TRUE(localizedOrNilForBundle("Print", second, controls).isNull());
}

// Every key the program looks up by a literal has an English text in a shipped table, so that no
// user ever reads a bare key.
TEST(StringLocalization, EveryLiteralKeyOfTheSourcesHasAnEnglishText)
{
    const QDir root(qEnvironmentVariable("FOLDWISE_RESOURCES") + "/..");
    QSet<QString> texts;
    for (const QFileInfo &table : QDir(root.filePath("resources/en.lproj")).entryInfoList({"*.strings"}))
        for (const QString &key : platform::PropertyList::read(table.filePath()).toMap().keys())
            texts.insert(key);
    const QRegularExpression lookUp(
        R"re(\b(?:localized|localizedForTable|localizedString|localizedStringForKey)\(\s*(?:QStringLiteral\(\s*)?"((?:[^"\\]|\\.)*)")re");
    QStringList keys, missing;
    for (const char *folder : {"app", "RQS-Kit", "platform"}) {
        QDirIterator files(root.filePath(folder), {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QFile file(files.next());
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
            const QString source = QString::fromUtf8(file.readAll());
            for (const QRegularExpressionMatch &match : lookUp.globalMatch(source)) {
                keys << match.captured(1);
                if (!texts.contains(match.captured(1)))
                    missing << QFileInfo(file).fileName() + ": " + match.captured(1);
            }
        }
    }
    EXPECT_TRUE(keys.contains("PrinterKindTitle") && keys.contains("Could not save File") && keys.contains("Do not show this message again"))
        << "the scan finds the lookups of every layer";
    EXPECT_EQ(missing, QStringList());
}
