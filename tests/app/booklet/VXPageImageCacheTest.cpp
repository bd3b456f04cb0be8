#include "app/booklet/VXPageImageCache.h"

#include <gtest/gtest.h>

namespace {

// Stand-ins for pages: the cache only compares their addresses.
const VXPage *owner(int n) { return reinterpret_cast<const VXPage *>(std::uintptr_t(0x1000 * n)); }

// side x side pixels of 4 bytes.
VXPageImageCache::Entry entry(int side, int orientation = 0, double resolution = 100)
{
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(Qt::white);
    return {image, orientation, resolution};
}

} // namespace

TEST(VXPageImageCache, KeepsOneEntryPerPageAndCountsItsBytes)
{
    VXPageImageCache cache(1'000'000);
    cache.insert(owner(1), entry(10, 1, 500));
    cache.insert(owner(2), entry(20));
    cache.insert(owner(1), entry(30, 3, 1000));
    EXPECT_EQ(cache.totalBytes(), 30 * 30 * 4 + 20 * 20 * 4);
    const std::optional<VXPageImageCache::Entry> found = cache.find(owner(1));
    ASSERT_TRUE(found);
    EXPECT_EQ(found->image.width(), 30);
    EXPECT_EQ(found->orientation, 3);
    EXPECT_EQ(found->resolution, 1000);
    cache.remove(owner(1));
    EXPECT_FALSE(cache.find(owner(1)));
    EXPECT_EQ(cache.totalBytes(), 20 * 20 * 4);
}

TEST(VXPageImageCache, DropsTheLeastRecentlyUsedBeyondItsBudget)
{
    const qint64 image = 10 * 10 * 4;
    VXPageImageCache cache(3 * image);
    for (int n = 1; n <= 3; ++n)
        cache.insert(owner(n), entry(10));
    ASSERT_TRUE(cache.find(owner(1))); // 1 is now newer than 2 and 3
    cache.insert(owner(4), entry(10));
    for (int n = 1; n <= 4; ++n)
        EXPECT_EQ(bool(cache.find(owner(n))), n != 2) << n;
    EXPECT_EQ(cache.totalBytes(), 3 * image);
    cache.setCapacity(image);
    EXPECT_EQ(cache.totalBytes(), image);
    EXPECT_TRUE(cache.find(owner(4)));

    // An image larger than the whole budget is not kept, not even in place of a smaller one.
    cache.insert(owner(5), entry(20));
    EXPECT_FALSE(cache.find(owner(5)));
    EXPECT_TRUE(cache.find(owner(4)));
    cache.insert(owner(4), entry(20));
    EXPECT_FALSE(cache.find(owner(4)));
    EXPECT_EQ(cache.totalBytes(), 0);
}
