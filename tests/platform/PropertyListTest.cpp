#include "platform/PropertyList.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QPoint>
#include <QTemporaryDir>
#include <QTimeZone>

using platform::PropertyList;

TEST(PropertyList, WrittenFileReadsBackWithItsTypes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("values.plist"));
    const QVariantMap written{
        {QStringLiteral("flag"), true},
        {QStringLiteral("count"), qlonglong(-5)},
        {QStringLiteral("big"), qlonglong(1) << 40},
        {QStringLiteral("ratio"), 0.5},
        {QStringLiteral("name"), QStringLiteral("Grüße & <tags>")},
        {QStringLiteral("bytes"), QByteArray("\x00\x01\xff", 3)},
        {QStringLiteral("when"), QDateTime(QDate(2026, 12, 6), QTime(17, 30), QTimeZone::utc())},
        {QStringLiteral("list"), QVariantList{1, QStringLiteral("two"), QVariantMap{{QStringLiteral("x"), 3.25}}}},
    };
    QString error;
    ASSERT_TRUE(PropertyList::write(written, path, &error)) << error.toStdString();
    const QVariantMap read = PropertyList::read(path, &error).toMap();
    EXPECT_EQ(read.value(QStringLiteral("flag")).typeId(), QMetaType::Bool);
    EXPECT_EQ(read.value(QStringLiteral("count")).toLongLong(), -5);
    EXPECT_EQ(read.value(QStringLiteral("big")).toLongLong(), qlonglong(1) << 40);
    EXPECT_EQ(read.value(QStringLiteral("ratio")).typeId(), QMetaType::Double);
    EXPECT_DOUBLE_EQ(read.value(QStringLiteral("ratio")).toDouble(), 0.5);
    EXPECT_EQ(read.value(QStringLiteral("name")).toString(), QStringLiteral("Grüße & <tags>"));
    EXPECT_EQ(read.value(QStringLiteral("bytes")).toByteArray(), QByteArray("\x00\x01\xff", 3));
    EXPECT_EQ(read.value(QStringLiteral("when")).toDateTime(),
              QDateTime(QDate(2026, 12, 6), QTime(17, 30), QTimeZone::utc()));
    const QVariantList list = read.value(QStringLiteral("list")).toList();
    ASSERT_EQ(list.size(), 3);
    EXPECT_EQ(list.at(1).toString(), QStringLiteral("two"));
    EXPECT_DOUBLE_EQ(list.at(2).toMap().value(QStringLiteral("x")).toDouble(), 3.25);
}

TEST(PropertyList, BadInputIsAFailureNotAValue)
{
    const struct {
        const char *label;
        QByteArray bytes;
    } cases[] = {
        {"empty", QByteArray()},
        {"plain text", QByteArray("hello world")},
        {"truncated xml", QByteArray("<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>a</key>")},
    };
    for (const auto &c : cases) {
        QString error;
        EXPECT_FALSE(PropertyList::fromData(c.bytes, &error).isValid()) << c.label;
        EXPECT_FALSE(error.isEmpty()) << c.label;
    }
}

TEST(PropertyList, FailedWriteKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("keep.plist"));
    ASSERT_TRUE(PropertyList::write(QVariantMap{{QStringLiteral("a"), 1}}, path));
    QString error;
    EXPECT_FALSE(PropertyList::write(QVariantMap{{QStringLiteral("bad"), QVariant::fromValue(QPoint(1, 2))}}, path, &error));
    EXPECT_EQ(PropertyList::read(path).toMap().value(QStringLiteral("a")).toInt(), 1);
}
