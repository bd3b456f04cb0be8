#include "platform/foundation/KeyedArchive.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <QObject>

#include <memory>

using platform::KeyedArchive;

TEST(KeyedArchive, KeepsValuesByKeyInTheOrderWritten)
{
    KeyedArchive archive;
    archive.encodeObject(QStringLiteral("Welcome"), "name");
    archive.encodeObject(QVariantList{1, 2.5, QByteArray("x")}, "list");
    archive.encodeObject(QVariant(), "none");
    archive.encodeObject(QStringLiteral("Preferences"), "name");

    EXPECT_EQ(archive.allKeys(), (QStringList{"name", "list", "none"})) << "rewriting keeps the place";
    EXPECT_EQ(archive.decodeObjectForKey("name"), QVariant("Preferences"));
    EXPECT_EQ(archive.decodeObjectForKey("list"), QVariant(QVariantList{1, 2.5, QByteArray("x")}));
    EXPECT_TRUE(archive.containsValueForKey("none"));
    EXPECT_FALSE(archive.decodeObjectForKey("none").isValid());
    EXPECT_FALSE(archive.containsValueForKey("missing"));
    EXPECT_FALSE(archive.decodeObjectForKey("missing").isValid());
}

TEST(KeyedArchive, ObjectsAreKeptByReferenceAndDropOutWhenDestroyed)
{
    QObject kept;
    auto gone = std::make_unique<QObject>();
    KeyedArchive archive;
    archive.encodeObject(QVariant::fromValue(&kept), "kept");
    archive.encodeObject(QVariant::fromValue(gone.get()), "gone");
    archive.encodeObject(QVariantList{QVariant::fromValue(gone.get()), QVariant::fromValue(&kept)}, "objects");
    gone.reset();

    EXPECT_EQ(archive.decodeObjectForKey("kept").value<QObject *>(), &kept);
    EXPECT_FALSE(archive.decodeObjectForKey("gone").isValid());
    const QVariantList objects = archive.decodeObjectForKey("objects").toList();
    ASSERT_EQ(objects.size(), 1);
    EXPECT_EQ(objects.first().value<QObject *>(), &kept);
}
