// The rest of start-up while it loads: the files it reads, in order, what
// the loader made of each, and how many of them the game has taken. The
// Game owns it; only game/startup.cpp looks inside.
#pragma once

#include "game/asset_loader.h"
#include "platform/platform.h"
#include "render/surface.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct RestOfStartUp {
    enum class Kind { Image, OptionsSheet, Overlay, Music, Effect };
    // One file and where it goes: the image slot, the options sheet, the
    // overlay, the track or the effect of that id.
    struct Item {
        Kind kind;
        int id;
        std::string path;
        bool keyed;
    };
    // What the loader made of one item: its picture or its sound.
    struct Loaded {
        Surface picture;
        platform::LoadedSoundPtr sound;
    };
    // Shared with the loader's steps, which may outlive the game's hold on
    // them (see AssetLoader). Step i writes only loaded[i].
    struct Files {
        explicit Files(std::vector<Item> list) : items(std::move(list)), loaded(items.size()) {}
        const std::vector<Item> items;
        std::vector<Loaded> loaded;
    };

    RestOfStartUp(std::shared_ptr<Files> f, std::function<bool()> keepGoing);

    std::shared_ptr<Files> files;
    AssetLoader loader;
    std::size_t adopted = 0;  // items the game has taken
};
