#include "render/bmp_file.h"
#include "render/surface.h"

#include <gtest/gtest.h>

#include <vector>

TEST(BmpFile, WrittenPicturesReadBackByteForByte)
{
    Surface original;
    ASSERT_TRUE(original.createFilled(8, 3, 1, 2, 3));
    for (std::size_t i = 0; i < original.byteCount(); ++i)
        original.pixels()[i] = static_cast<std::uint8_t>(i * 7);

    const std::string file = encodeBmp(original.pixels(), original.width(), original.height());
    ASSERT_EQ(file.size(), 54u + 8 * 3 * 3);
    Surface copy;
    ASSERT_TRUE(copy.loadBmpFromMemory(reinterpret_cast<const unsigned char*>(file.data()), file.size()));
    ASSERT_EQ(copy.width(), 8);
    ASSERT_EQ(copy.height(), 3);
    EXPECT_EQ(std::vector<std::uint8_t>(copy.pixels(), copy.pixels() + copy.byteCount()),
              std::vector<std::uint8_t>(original.pixels(), original.pixels() + original.byteCount()));
}

TEST(BmpFile, RowsOfOddWidthsArePaddedToFourBytes)
{
    const std::vector<std::uint8_t> pixels(5 * 2 * 3, 0xAB);
    const std::string file = encodeBmp(pixels.data(), 5, 2);
    ASSERT_EQ(file.size(), 54u + 16 * 2);  // 15 bytes a row, padded to 16
    EXPECT_EQ(file[54 + 15], '\0');
    EXPECT_EQ(static_cast<unsigned char>(file[54 + 16]), 0xAB);
    EXPECT_TRUE(encodeBmp(pixels.data(), 0, 2).empty());
}
