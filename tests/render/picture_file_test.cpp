// Pictures on disk: a special file in place of a picture is a missing
// picture, and a picture file is read only up to its cap.
#include "render/bmp_file.h"
#include "render/surface.h"

#include "tests/platform/special_files.h"
#include "tests/rank/scratch_dir.h"

#include <vector>

namespace {

class PictureFileTest : public ScratchDirTest {
protected:
    // A valid 8 x 2 picture followed by zeros up to size bytes.
    static void writePicture(const std::string& path, off_t size)
    {
        const std::vector<std::uint8_t> pixels(8 * 2 * 3, 0x5a);
        writeBytes(path, encodeBmp(pixels.data(), 8, 2));
        ASSERT_EQ(::truncate(path.c_str(), size), 0);
    }

    // A Surface holding a picture, so a failed load shows by emptying it.
    static void fill(Surface& s) { ASSERT_TRUE(s.createFilled(4, 4, 1, 2, 3)); }
};

TEST_F(PictureFileTest, AFifoIsAMissingPictureAndIsNotWaitedOn)
{
    specialfiles::makeFifo("Title.bmp");
    Surface s;
    fill(s);
    bool loaded = true;
    EXPECT_TRUE(specialfiles::finishesWithoutWaiting("Title.bmp", [&] { loaded = s.loadBmp("Title.bmp"); }));
    EXPECT_FALSE(loaded);
    EXPECT_TRUE(s.isEmpty());
}

TEST_F(PictureFileTest, ALinkToADeviceIsAMissingPicture)
{
    std::filesystem::create_symlink("/dev/zero", "Title.bmp");
    Surface s;
    fill(s);
    EXPECT_FALSE(s.loadBmp("Title.bmp"));
    EXPECT_TRUE(s.isEmpty());
}

TEST_F(PictureFileTest, AFileLargerThanTheCapIsRejectedWhole)
{
    Surface s;
    writePicture("at_cap.bmp", static_cast<off_t>(PictureFileMaxBytes));
    ASSERT_TRUE(s.loadBmp("at_cap.bmp"));  // the zeros after the pixels are ignored
    EXPECT_EQ(s.width(), 8);

    writePicture("over_cap.bmp", static_cast<off_t>(PictureFileMaxBytes) + 1);
    EXPECT_FALSE(s.loadBmp("over_cap.bmp"));
    EXPECT_TRUE(s.isEmpty());
}

TEST_F(PictureFileTest, OnlyAFileOverTheCapGetsAReasonSpecialFilesAreSilentlyMissing)
{
    Surface s;
    const char* reason = nullptr;
    writePicture("over_cap.bmp", static_cast<off_t>(PictureFileMaxBytes) + 1);
    EXPECT_FALSE(s.loadBmp("over_cap.bmp", &reason));
    EXPECT_STREQ(reason, "larger than the picture file cap");

    std::filesystem::create_symlink("/dev/zero", "Zero.bmp");
    reason = "stale";
    EXPECT_FALSE(s.loadBmp("Zero.bmp", &reason));
    EXPECT_EQ(reason, nullptr);
}

}  // namespace
