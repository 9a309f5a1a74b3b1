// The landing shadow: switched on, the falling pair's picture has an outline
// of each block in the cell where that block then comes to rest, in every
// orientation, against both walls and over uneven stacks; switched off (as
// by default) nothing of it is drawn.
#include "game/feedback.h"
#include "tests/play/play_fixture.h"

#include <set>
#include <utility>

namespace {

// The shadow sheet's cell for block kind k is red with green 40 x k, so a
// shadow pixel (mixed into the black well with the renderer's weight of
// 150 / 256) tells the kind it outlines.
constexpr int ShadowAlpha = 150;
int shadowRed() { return (255 * ShadowAlpha) >> 8; }

struct Case {
    const char* name;
    int column0, halfRow0, column1, halfRow1;
    int heights[GridColumns];  // stones stacked in each column
};

// Block colours 0 and 2: with stones below them nothing ever clears.
constexpr int Colour0 = 0;
constexpr int Colour1 = 2;

const Case Cases[] = {
    {"upright at the left wall", 0, 2, 0, 4, {3, 0, 0, 0, 0, 0, 0, 0}},
    {"upside down at the right wall", 7, 6, 7, 4, {0, 0, 0, 0, 0, 0, 0, 5}},
    {"level over uneven stacks, between rows", 4, 3, 3, 3, {0, 0, 0, 2, 6, 0, 0, 0}},
    {"level at the right wall over an empty column", 6, 0, 7, 0, {0, 0, 0, 0, 0, 0, 0, 4}},
    {"level at the left wall, the high stack first", 0, 1, 1, 1, {8, 1, 0, 0, 0, 0, 0, 0}},
    {"upright on the floor in the middle", 5, 10, 5, 12, {0, 0, 0, 0, 0, 0, 0, 0}},
};

class LandingShadowTest : public PlayTest {
protected:
    void prepare(const Case& c)
    {
        blankScreen();
        Surface& sheet = game->renderer().overlay(OverlayShadow);
        sheet.createFilled(192, 32, 0, 0, 0);
        // The sheet is laid out as the block sheet: colours at 32 x code,
        // the bomb at 128 and the stone at 160.
        for (int kind = 0; kind < 6; ++kind) {
            const int x = kind == Stone ? 160 : kind == Bomb ? 128 : 32 * kind;
            for (int y = 0; y < 32; ++y)
                for (int i = 0; i < 32; ++i) {
                    std::uint8_t* p = sheet.pixels() + sheet.pixelOffset(x + i, y);
                    p[0] = 0;
                    p[1] = static_cast<std::uint8_t>(40 * kind);
                    p[2] = 255;
                }
        }
        sheet.buildKeyRuns(0, 255, 0);
        for (int column = 0; column < GridColumns; ++column)
            for (int k = 0; k < c.heights[column]; ++k)
                field().setCell(column, 11 - k, Stone);
        placePair(c.column0, c.halfRow0, Colour0, c.column1, c.halfRow1, Colour1);
    }

    // Runs frames with Down held until the pair has come to rest and the
    // next one falls; the cells that were empty and now hold a block.
    std::set<std::pair<std::pair<int, int>, int>> landedCells()
    {
        int before[GridColumns][GridRows];
        for (int c = 0; c < GridColumns; ++c)
            for (int r = 0; r < GridRows; ++r)
                before[c][r] = field().cellAt(c, r);
        const auto added = [&] {
            std::set<std::pair<std::pair<int, int>, int>> cells;
            for (int c = 0; c < GridColumns; ++c)
                for (int r = 0; r < GridRows; ++r)
                    if (before[c][r] == Empty && field().cellAt(c, r) != Empty)
                        cells.insert({{c, r}, field().cellAt(c, r)});
            return cells;
        };
        headless::press(platform::Key::Down);
        Millis t = 1000;
        for (int i = 0; i < 400 && !(added().size() >= 2 && game->phase() == PhaseFalling); ++i)
            frameAt(t += 33);
        headless::release(platform::Key::Down);
        return added();
    }
};

}  // namespace

TEST_F(LandingShadowTest, ShadowSitsWhereThePairThenLands)
{
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        prepare(c);
        game->setLandingShadow(true);
        frameAt(1000);
        std::set<std::pair<std::pair<int, int>, int>> shadows;
        Surface& s = game->renderer().backBuffer();
        for (int row = 0; row < GridRows; ++row)
            for (int column = 0; column < GridColumns; ++column) {
                const std::uint8_t* p = s.pixels() +
                                        s.pixelOffset(FieldLeft + 32 * column + 16, FieldTop + 32 * row + 16);
                if (p[2] == shadowRed() && p[0] == 0) {
                    // Green 40 x kind, blended like the red.
                    for (int kind = 0; kind < 6; ++kind)
                        if (p[1] == ((40 * kind * ShadowAlpha) >> 8)) shadows.insert({{column, row}, kind});
                }
            }
        const std::set<std::pair<std::pair<int, int>, int>> landed = landedCells();
        EXPECT_EQ(shadows.size(), 2u);
        EXPECT_EQ(shadows, landed);
        TearDown();
    }
}

TEST_F(LandingShadowTest, NoShadowWhenSwitchedOffAsByDefault)
{
    EXPECT_FALSE(game->landingShadow());
    prepare(Cases[2]);
    frameAt(1000);
    Surface& s = game->renderer().backBuffer();
    int shaded = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            shaded += s.pixels()[s.pixelOffset(x, y) + 2] == shadowRed() ? 1 : 0;
    EXPECT_EQ(shaded, 0);
}

TEST(RestingRows, EachBlockRestsOnItsOwnStackAndAnUprightPairOnItself)
{
    PuzzleField field;
    field.setCell(2, 11, Stone);
    field.setCell(2, 10, Stone);
    PairBlock a;
    PairBlock b;
    a.setColumn(2);
    b.setColumn(3);
    a.setHalfRow(3);
    b.setHalfRow(3);
    PairBlock level[2] = {a, b};
    int rows[2];
    restingRows(field, level, rows);
    EXPECT_EQ(rows[0], 9);
    EXPECT_EQ(rows[1], 11);

    // Upright over the stack: the lower block (here block 1) on the stack,
    // block 0 on it, whichever index is lower.
    b.setColumn(2);
    b.setHalfRow(5);
    PairBlock upright[2] = {a, b};
    restingRows(field, upright, rows);
    EXPECT_EQ(rows[1], 9);
    EXPECT_EQ(rows[0], 8);
    PairBlock flipped[2] = {b, a};
    restingRows(field, flipped, rows);
    EXPECT_EQ(rows[0], 9);
    EXPECT_EQ(rows[1], 8);
}
