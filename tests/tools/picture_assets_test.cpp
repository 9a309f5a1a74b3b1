// The generated pictures, read through the game's own BMP reader: sizes,
// where the key colour must and must not be, and where the backgrounds
// leave room for what the game draws over them.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "render/overlay_layout.h"
#include "tests/tools/asset_files.h"
#include "tools/assetgen/pictures.h"

namespace {

// Surfaces cannot be copied, so loading with its checks is a macro.
#define LOAD(var, name, w, h)                                                                                \
    Surface var;                                                                                             \
    ASSERT_TRUE(var.loadBmp(assetPath("Graphics/" name)));                                                   \
    ASSERT_EQ(w, var.width());                                                                               \
    ASSERT_EQ(h, var.height())

// Light pixels of a 32 x 32 cell: the shape of its symbol.
std::vector<bool> symbolMask(const Surface& s, int cellX)
{
    std::vector<bool> m(32 * 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            m[y * 32 + x] = !isKey(s, cellX + x, y) && luma(colourAt(s, cellX + x, y)) > 200;
    return m;
}

int difference(const std::vector<bool>& a, const std::vector<bool>& b)
{
    int n = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        n += a[i] != b[i] ? 1 : 0;
    return n;
}

}  // namespace

TEST(PictureAssets, EveryPictureLoadsThroughTheGameReaderAtItsSize)
{
    struct Expect {
        const char* name;
        int w, h;
    };
    for (const Expect& e :
         {Expect{"PuzzleBlock.bmp", 192, 32}, Expect{"Title.bmp", 640, 480}, Expect{"RankBG.bmp", 640, 480},
          Expect{"GameBG.bmp", 640, 480}, Expect{"Vals.bmp", 240, 34}, Expect{"String.bmp", 624, 34},
          Expect{"GameOver.bmp", 256, 160}, Expect{"GameStart.bmp", 256, 160},
          Expect{"ScoreCursol.bmp", 24, 5}, Expect{"Paused.bmp", 256, 160}, Expect{"Icon.bmp", 64, 64}}) {
        Surface s;
        ASSERT_TRUE(s.loadBmp(assetPath(std::string("Graphics/") + e.name))) << e.name;
        EXPECT_EQ(e.w, s.width()) << e.name;
        EXPECT_EQ(e.h, s.height()) << e.name;
    }
}

TEST(PictureAssets, WindowIconIsKeyedAroundItsFourBlocks)
{
    LOAD(s, "Icon.bmp", 64, 64);
    EXPECT_TRUE(isKey(s, 0, 0) && isKey(s, 63, 0) && isKey(s, 0, 63) && isKey(s, 63, 63));
    for (int cy : {16, 48})
        for (int cx : {16, 48})
            EXPECT_FALSE(isKey(s, cx, cy)) << cx << ", " << cy;
}

TEST(PictureAssets, BlockCellsAreRoundedWithKeyedCornersAndSolidCentres)
{
    LOAD(s, "PuzzleBlock.bmp", 192, 32);
    for (int cell = 0; cell < 6; ++cell) {
        const int x = cell * 32;
        EXPECT_TRUE(isKey(s, x, 0) && isKey(s, x + 31, 0) && isKey(s, x, 31) && isKey(s, x + 31, 31)) << cell;
        EXPECT_FALSE(isKey(s, x + 16, 16)) << cell;
    }
    // The coloured blocks and the stone fill their cell edge to edge apart
    // from the rounded corners: no key inside, so nothing shows through.
    for (int x : {0, 32, 64, 96, 160})
        EXPECT_EQ(0, countKey(s, x + 4, 4, x + 28, 28)) << x;
}

TEST(PictureAssets, EachColourCarriesItsOwnSymbolSoHuesNeedNotBeTold)
{
    LOAD(s, "PuzzleBlock.bmp", 192, 32);
    std::vector<std::vector<bool>> masks;
    for (int colour = 0; colour < 4; ++colour) {
        masks.push_back(symbolMask(s, colour * 32));
        int light = 0;
        for (bool b : masks.back())
            light += b ? 1 : 0;
        EXPECT_GT(light, 60) << "colour " << colour << " has no visible symbol";
    }
    for (int a = 0; a < 4; ++a)
        for (int b = a + 1; b < 4; ++b)
            EXPECT_GT(difference(masks[a], masks[b]), 40) << "symbols " << a << " and " << b << " look alike";
}

TEST(PictureAssets, StoneIsGreyAndTheBombIsDarkAndRound)
{
    LOAD(s, "PuzzleBlock.bmp", 192, 32);
    // Stone at x 160: a grey tile (channels close together on average).
    double sum[3] = {0, 0, 0};
    for (int y = 6; y < 26; ++y)
        for (int x = 166; x < 186; ++x) {
            const Colour c = colourAt(s, x, y);
            for (int k = 0; k < 3; ++k)
                sum[k] += c[k];
        }
    EXPECT_LT(std::fabs(sum[0] - sum[2]) / 400, 25);
    EXPECT_LT(std::fabs(sum[0] - sum[1]) / 400, 25);
    // Bomb at x 128: dark body, key around it (left edge and bottom corners).
    EXPECT_LT(luma(colourAt(s, 128 + 18, 22)), 80);
    EXPECT_TRUE(isKey(s, 128, 16));
    EXPECT_TRUE(isKey(s, 128 + 2, 29));
    // The coloured cells really differ in hue.
    const Colour red = colourAt(s, 5, 26), green = colourAt(s, 37, 26), blue = colourAt(s, 69, 26),
                 yellow = colourAt(s, 101, 26);
    EXPECT_GT(red[0], red[1] + 60);
    EXPECT_GT(green[1], green[0] + 60);
    EXPECT_GT(blue[2], blue[0] + 60);
    EXPECT_GT(yellow[0] + yellow[1], 2 * yellow[2] + 120);
}

TEST(PictureAssets, GlyphsStandOnKeyWithADarkRimAndStayInTheirCells)
{
    struct Sheet {
        const char* name;
        int cells;
    };
    for (const Sheet& sh : {Sheet{"Vals.bmp", 10}, Sheet{"String.bmp", 26}}) {
        Surface s;
        ASSERT_TRUE(s.loadBmp(assetPath(std::string("Graphics/") + sh.name)));
        ASSERT_EQ(24 * sh.cells, s.width());
        ASSERT_EQ(34, s.height());
        std::vector<std::vector<bool>> masks;
        for (int i = 0; i < sh.cells; ++i) {
            const int x0 = 24 * i;
            // Background keyed; the outer columns are clear so glyphs
            // drawn side by side never touch.
            EXPECT_EQ(34, countKey(s, x0, 0, x0 + 1, 34)) << sh.name << " cell " << i;
            EXPECT_EQ(34, countKey(s, x0 + 23, 0, x0 + 24, 34)) << sh.name << " cell " << i;
            std::vector<bool> ink(24 * 34);
            int inkCount = 0;
            for (int y = 0; y < 34; ++y)
                for (int x = 0; x < 24; ++x) {
                    ink[y * 24 + x] = !isKey(s, x0 + x, y);
                    inkCount += ink[y * 24 + x] ? 1 : 0;
                }
            EXPECT_GT(inkCount, 120) << sh.name << " cell " << i;
            EXPECT_LT(inkCount, 24 * 34 * 7 / 10) << sh.name << " cell " << i;
            // Every ink pixel that borders the key is dark: the rim that
            // makes the glyph readable on light and dark backgrounds alike.
            for (int y = 1; y < 33; ++y)
                for (int x = 1; x < 23; ++x) {
                    if (!ink[y * 24 + x]) continue;
                    const bool edge = !ink[y * 24 + x - 1] || !ink[y * 24 + x + 1] ||
                                      !ink[(y - 1) * 24 + x] || !ink[(y + 1) * 24 + x];
                    if (edge) {
                        EXPECT_LT(luma(colourAt(s, x0 + x, y)), 110)
                            << sh.name << " cell " << i << " at " << x << "," << y;
                    }
                }
            masks.push_back(ink);
        }
        for (std::size_t a = 0; a < masks.size(); ++a)
            for (std::size_t b = a + 1; b < masks.size(); ++b)
                EXPECT_GT(difference(masks[a], masks[b]), 30) << sh.name << ": glyphs " << a << " and " << b;
    }
}

TEST(PictureAssets, ChainPointsStandOutOverEveryBlockColour)
{
    using namespace overlay;
    LOAD(blocks, "PuzzleBlock.bmp", 192, 32);
    LOAD(digits, "ChainDigits.bmp", ChainGlyphWidth * ChainGlyphCount, ChainGlyphHeight);
    const Colour well{12, 14, 30};  // shows at the blocks' rounded corners
    // Every light pixel at the edge of a glyph's strokes has a rim pixel
    // darker by this much near it, and no block shows within this reach of it unless the block is
    // that much darker too: the rim parts the light strokes from any block,
    // its white symbol included.
    constexpr int Reach = 3;
    constexpr double Contrast = 120;
    struct Kind {
        const char* name;
        int code;
    };
    for (const Kind& kind : {Kind{"red", 0}, Kind{"green", 1}, Kind{"blue", 2}, Kind{"yellow", 3},
                             Kind{"stone", 4}, Kind{"bomb", 5}}) {
        const int cellX = assetgen::blockSheetX(kind.code);
        // The glyphs laid over the blocks at a few offsets, so that every
        // part of a block comes under them.
        for (int dy : {0, 5, 11, 19})
            for (int dx : {0, 7, 13, 22}) {
                const auto block = [&](int x, int y) {
                    const int bx = cellX + (x + 32 + dx) % 32, by = (y + 32 + dy) % 32;
                    return isKey(blocks, bx, by) ? well : colourAt(blocks, bx, by);
                };
                int unrimmed = 0, blockTooLight = 0;
                const auto isLight = [&](int x, int y) {
                    return x >= 0 && x < digits.width() && y >= 0 && y < ChainGlyphHeight &&
                           !isKey(digits, x, y) && luma(colourAt(digits, x, y)) >= 180;
                };
                for (int y = 0; y < ChainGlyphHeight; ++y)
                    for (int x = 0; x < digits.width(); ++x) {
                        if (!isLight(x, y)) continue;
                        const double light = luma(colourAt(digits, x, y));
                        const int cell = x / ChainGlyphWidth * ChainGlyphWidth;
                        // A pixel at the edge of the light strokes has
                        // its rim within a few pixels.
                        bool rimmed = isLight(x - 1, y) && isLight(x + 1, y) && isLight(x, y - 1) &&
                                      isLight(x, y + 1);
                        for (int v = -Reach; v <= Reach; ++v)
                            for (int u = -Reach; u <= Reach; ++u) {
                                const int qx = x + u, qy = y + v;
                                if (u * u + v * v > Reach * Reach) continue;
                                // Beyond the glyph's cell the block shows,
                                // as at the ends of a label.
                                const bool ink = qx >= cell && qx < cell + ChainGlyphWidth && qy >= 0 &&
                                                 qy < ChainGlyphHeight && !isKey(digits, qx, qy);
                                const double q = luma(ink ? colourAt(digits, qx, qy) : block(qx, qy));
                                if (ink && q <= light - Contrast && u * u + v * v <= 10) rimmed = true;
                                if (!ink && q > light - Contrast) ++blockTooLight;
                            }
                        unrimmed += rimmed ? 0 : 1;
                    }
                EXPECT_EQ(unrimmed, 0) << kind.name;
                EXPECT_EQ(blockTooLight, 0) << kind.name << " at offset " << dx << ", " << dy;
            }
    }
}

TEST(PictureAssets, KeysAndSoundNoticeGoWhereTheScreensHaveNoWords)
{
    using namespace overlay;
    struct Spot {
        const char* background;
        int x, y, w, h;
    };
    // The P, M and F11 keys under the rules; the notice after M in the top
    // right corner of every screen.
    for (const Spot& s :
         {Spot{"GameBG.bmp", MoreKeysX, MoreKeysY, MoreKeysWidth, MoreKeysHeight},
          Spot{"GameBG.bmp", SoundNoticeX, SoundNoticeY, SoundNoticeWidth, SoundNoticeHeight},
          Spot{"Title.bmp", SoundNoticeX, SoundNoticeY, SoundNoticeWidth, SoundNoticeHeight},
          Spot{"RankBG.bmp", SoundNoticeX, SoundNoticeY, SoundNoticeWidth, SoundNoticeHeight},
          Spot{"Options.bmp", SoundNoticeX, SoundNoticeY, SoundNoticeWidth, SoundNoticeHeight}}) {
        Surface bg;
        ASSERT_TRUE(bg.loadBmp(assetPath(std::string("Graphics/") + s.background))) << s.background;
        EXPECT_EQ(countBrighter(bg, s.x, s.y, s.x + s.w, s.y + s.h, 150), 0) << s.background << " " << s.x;
    }
    LOAD(keys, "MoreKeys.bmp", MoreKeysWidth, MoreKeysHeight);
    EXPECT_GT(countBrighter(keys, 0, 0, MoreKeysWidth, MoreKeysHeight, 150), 150);  // the words
}

TEST(PictureAssets, BannersAreKeyedAroundTheirPanel)
{
    for (const char* name : {"GameOver.bmp", "GameStart.bmp", "Paused.bmp"}) {
        Surface s;
        ASSERT_TRUE(s.loadBmp(assetPath(std::string("Graphics/") + name)));
        ASSERT_EQ(256, s.width());
        ASSERT_EQ(160, s.height());
        EXPECT_EQ(256, countKey(s, 0, 0, 256, 1)) << name;           // top edge
        EXPECT_EQ(256, countKey(s, 0, 159, 256, 160)) << name;       // bottom edge
        EXPECT_EQ(160, countKey(s, 0, 0, 1, 160)) << name;           // left edge
        EXPECT_EQ(160, countKey(s, 255, 0, 256, 160)) << name;       // right edge
        EXPECT_TRUE(isKey(s, 5, 23) && isKey(s, 250, 136)) << name;  // rounded corners
        EXPECT_EQ(0, countKey(s, 30, 40, 226, 120)) << name;         // the panel itself
        EXPECT_GT(countBrighter(s, 20, 30, 236, 130, 200), 400) << name << " has no readable words";
    }
}

TEST(PictureAssets, OpaquePicturesNeverUseTheKeyColour)
{
    for (const char* name : {"Title.bmp", "RankBG.bmp", "GameBG.bmp", "ScoreCursol.bmp"}) {
        Surface s;
        ASSERT_TRUE(s.loadBmp(assetPath(std::string("Graphics/") + name)));
        EXPECT_EQ(0, countKey(s, 0, 0, s.width(), s.height())) << name;
    }
    LOAD(cursor, "ScoreCursol.bmp", 24, 5);
    EXPECT_GT(luma(colourAt(cursor, 12, 2)), 150);  // stands out under a letter
}

TEST(PictureAssets, TitleMenuLabelsSitOnTheCursorRows)
{
    LOAD(s, "Title.bmp", 640, 480);
    for (int row = 0; row < 3; ++row) {
        const int y = 350 + 40 * row;
        // A label to the right of the cursor (x 210..241) on each row ...
        EXPECT_GT(countBrighter(s, 246, y, 460, y + 32, 200), 150) << "row " << row;
        // ... and nothing bright under the cursor itself.
        EXPECT_EQ(0, countBrighter(s, 210, y, 242, y + 32, 200)) << "row " << row;
    }
    // The gaps between rows stay clear, so each label reads with its row.
    EXPECT_EQ(0, countBrighter(s, 246, 383, 460, 389, 200));
    EXPECT_EQ(0, countBrighter(s, 246, 423, 460, 429, 200));
    // The name is up there.
    EXPECT_GT(countBrighter(s, 60, 90, 580, 180, 200), 3000);
}

TEST(PictureAssets, RankingLeavesRoomForNamesAndScores)
{
    LOAD(s, "RankBG.bmp", 640, 480);
    for (int place = 1; place <= 5; ++place) {
        const int y = 50 + 60 * place;
        EXPECT_EQ(0, countBrighter(s, 180, y, 264, y + 34, 150)) << "names, place " << place;
        EXPECT_EQ(0, countBrighter(s, 300, y, 510, y + 34, 150)) << "scores, place " << place;
        EXPECT_GT(countBrighter(s, 100, y, 176, y + 34, 150), 80) << "place label " << place;
    }
}

TEST(PictureAssets, PlayScreenLeavesTheWellAndNumberRowsClear)
{
    LOAD(s, "GameBG.bmp", 640, 480);
    // The well: nothing bright anywhere in it, and its edge exactly at
    // (192, 48) .. (448, 432): the frame around it is lighter than the well.
    EXPECT_EQ(0, countBrighter(s, 192, 48, 448, 432, 90));
    EXPECT_GT(luma(colourAt(s, 186, 240)), luma(colourAt(s, 200, 240)) + 40);
    EXPECT_GT(luma(colourAt(s, 320, 43)), luma(colourAt(s, 320, 60)) + 40);
    // Where digits and the next pair are drawn, the background is plain dark.
    EXPECT_EQ(0, countBrighter(s, 462, 85, 630, 119, 60)) << "score digits";
    EXPECT_EQ(0, countBrighter(s, 532, 290, 580, 324, 60)) << "level digits";
    EXPECT_EQ(0, countBrighter(s, 462, 390, 630, 424, 60)) << "cleared-count digits";
    EXPECT_EQ(0, countBrighter(s, 513, 185, 577, 217, 60)) << "next pair";
    // Each of them has a label close above it.
    EXPECT_GT(countBrighter(s, 459, 52, 636, 84, 180), 100) << "score label";
    EXPECT_GT(countBrighter(s, 497, 150, 593, 182, 180), 60) << "next label";
    EXPECT_GT(countBrighter(s, 497, 256, 593, 288, 180), 60) << "level label";
    EXPECT_GT(countBrighter(s, 459, 356, 636, 388, 180), 100) << "count label";
    // The keys are explained in the left panel.
    EXPECT_GT(countBrighter(s, 0, 60, 192, 200, 180), 500);
}

TEST(PictureAssets, OverlaysLoadAtTheSizesTheGameLaysThemOut)
{
    using namespace overlay;
    struct Expect {
        const char* name;
        int w, h;
        bool keyed;
    };
    for (const Expect& e :
         {Expect{"ChainWord.bmp", ChainWordWidth, ChainGlyphHeight, true},
          Expect{"ChainDigits.bmp", ChainGlyphWidth * ChainGlyphCount, ChainGlyphHeight, true},
          Expect{"LevelUp.bmp", LevelUpWidth, LevelUpHeight, true},
          Expect{"PromptPatch.bmp", PromptPatchWidth, PromptPatchHeight, false},
          Expect{"NewRecord.bmp", RecordRibbonWidth, RecordRibbonHeight, true},
          Expect{"NamePanel.bmp", NamePanelWidth, NamePanelHeight, true},
          Expect{"NameFrame.bmp", NameFrameWidth, NameFrameHeight, true},
          Expect{"PlayKeys.bmp", KeyPanelWidth, KeyPanelHeight, false},
          Expect{"NameKeys.bmp", KeyPanelWidth, KeyPanelHeight, false}, Expect{"Shadow.bmp", 192, 32, true},
          Expect{"MoreKeys.bmp", MoreKeysWidth, MoreKeysHeight, false},
          Expect{"SoundNotice.bmp", SoundNoticeWidth, 2 * SoundNoticeHeight, true}}) {
        Surface s;
        ASSERT_TRUE(s.loadBmp(assetPath(std::string("Graphics/") + e.name))) << e.name;
        EXPECT_EQ(e.w, s.width()) << e.name;
        EXPECT_EQ(e.h, s.height()) << e.name;
        const int keyed = countKey(s, 0, 0, s.width(), s.height());
        if (e.keyed) {
            EXPECT_GT(keyed, 0) << e.name;
        } else {
            EXPECT_EQ(keyed, 0) << e.name;
        }
    }
}

TEST(PictureAssets, PromptPatchHidesExactlyTheBannersPressZ)
{
    using namespace overlay;
    // The banner without its prompt differs from the banner only inside the
    // patch, and the patch is that banner there, pixel for pixel.
    const assetgen::Canvas with = assetgen::gameOverBanner(true), without = assetgen::gameOverBanner(false);
    int insideDiffs = 0;
    for (int y = 0; y < 160; ++y)
        for (int x = 0; x < 256; ++x) {
            const assetgen::Rgb a = with.colourAt(x, y), b = without.colourAt(x, y);
            if (a.r == b.r && a.g == b.g && a.b == b.b) continue;
            const bool inside = x >= PromptPatchX && x < PromptPatchX + PromptPatchWidth &&
                                y >= PromptPatchY && y < PromptPatchY + PromptPatchHeight;
            EXPECT_TRUE(inside) << x << ", " << y;
            insideDiffs += inside ? 1 : 0;
        }
    EXPECT_GT(insideDiffs, 200);  // the words were there
    LOAD(banner, "GameOver.bmp", 256, 160);
    LOAD(patch, "PromptPatch.bmp", PromptPatchWidth, PromptPatchHeight);
    int same = 0;
    for (int y = 0; y < PromptPatchHeight; ++y)
        for (int x = 0; x < PromptPatchWidth; ++x)
            same += colourAt(patch, x, y) == colourAt(banner, PromptPatchX + x, PromptPatchY + y) ? 1 : 0;
    // Everything but the words matches the banner picture (a faint edge of
    // a word may round to the same bytes).
    EXPECT_GE(same, PromptPatchWidth * PromptPatchHeight - insideDiffs);
    EXPECT_LT(same, PromptPatchWidth * PromptPatchHeight - 200);
}

TEST(PictureAssets, PlayKeyPanelIsTheBackgroundWithOnlyTheDownRowRelabelled)
{
    using namespace overlay;
    LOAD(bg, "GameBG.bmp", 640, 480);
    LOAD(keys, "PlayKeys.bmp", KeyPanelWidth, KeyPanelHeight);
    // The rows are 30 pixels apart from y 84; Down's is the second.
    int changed = 0;
    for (int y = 0; y < KeyPanelHeight; ++y)
        for (int x = 0; x < KeyPanelWidth; ++x) {
            if (colourAt(keys, x, y) == colourAt(bg, KeyPanelX + x, KeyPanelY + y)) continue;
            ++changed;
            const int screenY = KeyPanelY + y;
            EXPECT_TRUE(screenY >= 110 && screenY < 140 && KeyPanelX + x >= 74) << x << ", " << y;
        }
    EXPECT_GT(changed, 100);
}
