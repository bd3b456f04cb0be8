#include "platform/foundation/PropertyList.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QPoint>
#include <QTemporaryDir>
#include <QTimeZone>

using platform::PropertyList;

TEST(PropertyList, WrittenFileReadsBackWithItsTypesAndAFailedWriteKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("values.plist");
    const QVariantMap written{
        {"flag", true},
        {"count", qlonglong(-5)},
        {"big", qlonglong(1) << 40},
        {"ratio", 0.5},
        {"name", "Grüße & <tags>"},
        {"bytes", QByteArray("\x00\x01\xff", 3)},
        {"when", QDateTime(QDate(2026, 12, 6), QTime(17, 30), QTimeZone::utc())},
        {"list", QVariantList{1, "two", QVariantMap{{"x", 3.25}}}},
    };
    QString error;
    ASSERT_TRUE(PropertyList::write(written, path, &error)) << error.toStdString();
    const QVariantMap read = PropertyList::read(path, &error).toMap();
    EXPECT_EQ(read, written);
    EXPECT_EQ(read.value("flag").typeId(), QMetaType::Bool);
    EXPECT_EQ(read.value("ratio").typeId(), QMetaType::Double);

    EXPECT_FALSE(PropertyList::write(QVariantMap{{"bad", QVariant::fromValue(QPoint(1, 2))}}, path, &error));
    EXPECT_EQ(PropertyList::read(path).toMap(), written);
}

TEST(PropertyList, BadInputIsAFailureNotAValue)
{
    for (const QByteArray &bytes : {QByteArray(), QByteArray("hello world"),
                                    QByteArray("<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>a</key>")}) {
        QString error;
        EXPECT_FALSE(PropertyList::fromData(bytes, &error).isValid()) << bytes.constData();
        EXPECT_FALSE(error.isEmpty()) << bytes.constData();
    }
}
