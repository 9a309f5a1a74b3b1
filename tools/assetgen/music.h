// The game's music.
#pragma once

#include "tools/assetgen/synth.h"

namespace assetgen {

// Music tracks, each a whole number of bars that loops without a seam.
SoundBuffer titleMusic();  // inviting: bell melody over pad and gentle beat
SoundBuffer playMusic();   // driving: four-to-the-floor, pulse lead, stabs
SoundBuffer overMusic();   // calm and wistful: piano in three-four time

}  // namespace assetgen
