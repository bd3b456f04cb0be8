#pragma once

#include "app/booklet/Document.h"
#include "app/booklet/VXBookletSettings.h"
#include "app/booklet/VXControllingTask.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/SavePanel.h"
#include "support/PdfFixture.h"

#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

// Every case starts as a fresh user: none of the 26 settings saved, no one answering dialogs.
class DocumentTest : public ::testing::Test
{
protected:
    void SetUp() override { forgetSettings(); }
    void TearDown() override
    {
        platform::Alert::setResponder(nullptr);
        platform::SavePanel::setResponder(nullptr);
        forgetSettings();
    }

    static void forgetSettings()
    {
        Document::initialize();
        for (const QString &key : VXBookletSettings::keys())
            platform::UserDefaults::standardUserDefaults()->removeObjectForKey(key);
    }

    // Runs the main queue until the condition holds; false when it never does.
    static bool waitFor(const std::function<bool()> &condition) { return QTest::qWaitFor(condition, 5000); }

    QTemporaryDir folder;
};

// A PDF of count pages of one size.
inline QByteArray pagesOfSize(int count, const QSizeF &size)
{
    QList<PdfFixturePage> pages = PdfFixture::numbered(count);
    for (PdfFixturePage &page : pages)
        page.mediaSize = size;
    return PdfFixture::pages(pages);
}

// A factory task that records the settings it is given.
class FakeTask : public VXControllingTask
{
public:
    std::optional<QVariantMap> settings() const override { return m_settings; }
    void setSettings(const std::optional<QVariantMap> &settings, bool forAll) override
    {
        m_settings = settings;
        m_forAll = forAll;
        ++m_given;
    }

    std::optional<QVariantMap> m_settings;
    bool m_forAll = false;
    int m_given = 0;
};
