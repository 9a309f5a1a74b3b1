// The game's music and sound effects.
#pragma once

#include <string>

#include "tools/assetgen/synth.h"

namespace assetgen {

// Music tracks, each a whole number of bars that loops without a seam.
SoundBuffer titleMusic();  // inviting: bell melody over pad and gentle beat
SoundBuffer playMusic();   // driving: four-to-the-floor, pulse lead, stabs
SoundBuffer overMusic();   // calm and wistful: piano in three-four time

// Effects by file stem: "Decide", "Select", "GameOver", "Turn", "Move",
// "Bottom", "Chain1" .. "Chain5", "GameStart". An unknown name gives an
// empty buffer.
SoundBuffer effect(const std::string& name);

// Loudness the generator aims at (plain RMS, dB against full scale): the
// whole of a music track, and the loudest 50 ms of an effect.
constexpr double MusicRmsDb = -20.0;
constexpr double EffectWindowDb = -14.0;
constexpr double CeilingDb = -1.2;

}  // namespace assetgen
