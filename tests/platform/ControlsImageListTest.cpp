#include "ControlsTest.h"

#include "platform/ImageList.h"

#include <gtest/gtest.h>

using namespace ControlsTest;

namespace {

class ImageListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        images.add("red", solid(Qt::red));
        images.add({}, solid(Qt::green));
        images.add("blue", solid(Qt::blue));
    }

    ImageList images;
};

TEST_F(ImageListTest, KeepsImagesInTheOrderAdded)
{
    EXPECT_EQ(images.count(), 3);
    EXPECT_EQ(images.keys(), (QStringList{"red", "", "blue"}));
    EXPECT_EQ(images.indexOf("blue"), 3);
    EXPECT_EQ(images.keyAt(1), QStringLiteral("red"));
}

TEST_F(ImageListTest, AddressesImagesByKeyAndByIndex)
{
    EXPECT_EQ(colourOf(images.icon("red")), QColor(Qt::red));
    EXPECT_EQ(colourOf(images.icon(3)), QColor(Qt::blue));
    EXPECT_EQ(colourOf(images.icon(2)), QColor(Qt::green)) << "an image without a key is reached by index";
    EXPECT_TRUE(images.contains("blue"));
    EXPECT_FALSE(images.contains(""));
}

TEST_F(ImageListTest, ADuplicateKeyFailsAndAddsNothing)
{
    EXPECT_EQ(raised([&] { images.add("blue", solid(Qt::black)); }), ErrorNumber::KeyNotUnique);
    EXPECT_EQ(images.count(), 3);
    EXPECT_EQ(colourOf(images.icon("blue")), QColor(Qt::blue));
    EXPECT_EQ(raised([&] { images.add({}, solid(Qt::black)); }), 0) << "many images may lack a key";
}

TEST_F(ImageListTest, MissingImagesFail)
{
    const std::pair<ItemRef, int> table[] = {
        {"yellow", ErrorNumber::ElementNotFound},
        {"", ErrorNumber::ElementNotFound},
        {0, ErrorNumber::SubscriptOutOfRange},
        {4, ErrorNumber::SubscriptOutOfRange},
        {-1, ErrorNumber::SubscriptOutOfRange},
    };
    for (const auto &[ref, number] : table) {
        SCOPED_TRACE(ref.isIndex() ? QString::number(ref.index()).toStdString() : ref.key().toStdString());
        EXPECT_EQ(raised([&] { images.icon(ref); }), number);
    }
}

} // namespace
