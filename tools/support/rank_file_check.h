// The check of a rank file as the game writes it, for the tests and the
// replay tool alike.
#pragma once

#include <string>

namespace support {

// Ten lines each ended by CR LF, each name empty or three letters a..z,
// each score canonical decimal within the score cap, scores in descending
// order. Empty when that holds, else the first fault.
std::string rankFileFault(const std::string& text);

}  // namespace support
