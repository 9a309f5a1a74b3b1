// The desktop icon: the four coloured blocks of the block sheet in a 2 x 2
// square, transparent where the block art is not drawn, at the sizes of the
// icon theme.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/assetgen/raster.h"

namespace assetgen {

// The sizes the icon is written in, in pixels (square).
constexpr int IconSizes[] = {16, 32, 48, 64, 128, 256};

// The icon's art at its drawn size, 64 x 64: red top left, green top right,
// blue bottom left, yellow bottom right.
Canvas iconArt();

// src resampled to width x height by area averaging of the premultiplied
// colour and the coverage: smooth when shrinking, and at whole-number
// enlargements each source pixel becomes a sharp block.
Canvas resample(const Canvas& src, int width, int height);

// Straight R, G, B, A bytes of the canvas, rows top-down; alpha is the
// coverage, so what nothing covers is fully transparent.
std::vector<std::uint8_t> toRgba(const Canvas& c);

// The icon's PNG file at size x size.
std::vector<std::uint8_t> iconPng(int size);

}  // namespace assetgen
