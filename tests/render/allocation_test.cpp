// Drawing a frame must not touch the heap: the frame thread draws thirty
// times a second for as long as the game runs.
#include "tests/render/sheets.h"

#include "field/puzzle_field.h"

#include <atomic>
#include <cstdlib>
#include <new>

// The replacement pairs malloc with free by design; GCC cannot see that
// through the inlined operators.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {
std::atomic<bool> counting{false};
std::atomic<int> allocations{0};
}  // namespace

void* operator new(std::size_t size)
{
    if (counting) ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

using Drawing = RendererTest;

TEST_F(Drawing, AWholePlayScreenAllocatesNothing)
{
    PuzzleField field;
    for (int r = 0; r < GridRows; ++r)
        for (int c = 0; c < GridColumns; ++c)
            ASSERT_TRUE(field.setCell(c, r, (r + c) % 6));
    allocations = 0;
    counting = true;
    renderer.drawGameBackground();
    renderer.drawField(field);
    renderer.drawBlock(288, 128, 1, -1);
    renderer.drawBlock(288, 160, 2, 200);
    renderer.drawNextPair(0, 3);
    renderer.drawScore(9999999);
    renderer.drawLevel(12);
    renderer.drawClearedCount(345);
    renderer.drawRankEntry(2, "abc", 4500);
    renderer.drawGameStartBanner(192, 300);
    counting = false;
    EXPECT_EQ(allocations, 0);
    // The count itself works.
    counting = true;
    void* volatile probe = ::operator new(16);
    ::operator delete(probe);
    counting = false;
    EXPECT_EQ(allocations, 1);
}
