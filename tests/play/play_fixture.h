// A game in the play scene on the headless platform, with every effect
// opened on a dummy file so that plays show up in the audio log, and the
// class-wide animation stamps back at their start values.
#pragma once

#include "game/game.h"
#include "platform/headless.h"
#include "tests/game/game_test_access.h"
#include "tools/support/scratch_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

class PlayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        headless::reset();
        resetBlockClassValues();

        game = std::make_unique<Game>();
        game->setSpawnPosition(0, 3, 0);
        game->setSpawnPosition(1, 3, 1);
        GameTestAccess::setScene(*game, ScenePlay);
        GameTestAccess::setPhase(*game, PhaseFalling);

        ASSERT_TRUE(soundDir.ok());
        for (int id = 0; id < 12; ++id) {
            const std::string path = soundDir.file("se" + std::to_string(id) + ".wav");
            std::ofstream(path) << "RIFF";
            game->loadEffect(static_cast<SeId>(id), path);
        }
        headless::clearAudioLog();
    }

    void TearDown() override { game.reset(); }

    PuzzleField& field() { return game->field(); }

    // One frame at clock reading `ms`.
    void frameAt(Millis ms)
    {
        headless::setClock(ms);
        game->update();
    }

    // Column `column` filled from row 11 upward with `codes`.
    void stack(int column, std::initializer_list<int> codes)
    {
        int row = 11;
        for (int code : codes)
            field().setCell(column, row--, code);
    }

    void placePair(int column0, int halfRow0, int colour0, int column1, int halfRow1, int colour1)
    {
        PairBlock block;
        block.setColumn(column0);
        block.setHalfRow(halfRow0);
        block.setColour(colour0);
        field().putPairBlock(0, block);
        block.setColumn(column1);
        block.setHalfRow(halfRow1);
        block.setColour(colour1);
        field().putPairBlock(1, block);
    }

    PairBlock pair(int index)
    {
        PairBlock block;
        field().getPairBlock(index, block);
        return block;
    }

    // Effect ids played since the last clear of the audio log, in order.
    std::vector<int> effectsPlayed() const
    {
        std::vector<int> ids;
        for (const headless::AudioEvent& e : headless::audioLog()) {
            if (e.op != headless::AudioOp::Play) continue;
            const std::string name = std::filesystem::path(e.path).stem().string();
            if (name.rfind("se", 0) == 0) ids.push_back(std::stoi(name.substr(2)));
        }
        return ids;
    }

    // A black screen with a 1 x 1 white game background and an all-white
    // block sheet, so a frame that draws turns pixel (0, 0) white and a
    // block shows as white (or grey when blended) in its cell.
    void blankScreen()
    {
        Renderer& r = game->renderer();
        r.backBuffer().createFilled(640, 480, 0, 0, 0);
        if (r.image(SlotGameBg).isEmpty()) {
            r.image(SlotGameBg).createFilled(1, 1, 255, 255, 255);
            r.image(SlotBlocks).createFilled(192, 32, 255, 255, 255);
            r.image(SlotBlocks).buildKeyRuns(0, 255, 0);
        }
    }
    // Red channel of the screen pixel (x, y), y counted from the top.
    int screenRed(int x, int y)
    {
        Surface& s = game->renderer().backBuffer();
        return s.pixels()[s.pixelOffset(x, y) + 2];
    }
    bool screenDrawn() { return screenRed(0, 0) == 255; }

    std::unique_ptr<Game> game;
    support::ScratchDir soundDir{"tessaloom-play"};
};
