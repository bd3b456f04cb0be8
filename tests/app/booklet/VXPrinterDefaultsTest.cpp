#include "app/booklet/VXPrinterDefaults.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"

#include <gtest/gtest.h>

TEST(VXPrinterDefaults, AnswersAreStoredOnlyUnderARealPrinterName)
{
    platform::UserDefaults *defaults = platform::UserDefaults::standardUserDefaults();
    const QString key = VXPrinterDefaults::TurnSheetsKey;
    defaults->setBool(true, key); // what a run without a printer reads
    struct Case
    {
        QString name;
        bool stored;
        QString storedKey;
    };
    const Case cases[] = {{"Office Laser", true, "Office Laser.manualDuplexTurnSheets"},
                          {"  ", false, ""},
                          {"(null)", false, ""}};
    for (const Case &c : cases) {
        platform::LogCapture log;
        const QStringList before = defaults->dictionaryRepresentation().keys();
        EXPECT_EQ(VXPrinterDefaults::setValueForPrinter(false, c.name, key), c.stored) << c.name.toStdString();
        QStringList added = defaults->dictionaryRepresentation().keys();
        for (const QString &old : before)
            added.removeOne(old);
        EXPECT_EQ(added, c.stored ? QStringList{c.storedKey} : QStringList{}) << c.name.toStdString();
        EXPECT_EQ(log.lines().size(), c.stored ? 0 : 1);
        // A stored printer reads its own answer; no printer reads the key alone.
        EXPECT_EQ(VXPrinterDefaults::boolForPrinter(c.name, key), !c.stored) << c.name.toStdString();
    }
    EXPECT_TRUE(defaults->boolForKey(key));
    for (const QString &stored : {key, cases[0].storedKey})
        defaults->removeObjectForKey(stored);
}
