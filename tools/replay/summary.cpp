#include "tools/replay/summary.h"

#include "field/block.h"
#include "platform/files.h"
#include "rank/ranking.h"
#include "rank/text_file.h"

#include <sstream>
#include <vector>

namespace replay {

bool readRankBytes(std::string& bytes, std::string& reason)
{
    std::vector<unsigned char> raw;
    const platform::ReadResult r = platform::readFile(RankFilePath, raw, TextFileReader::MaxBytes);
    bytes.assign(raw.begin(), raw.end());
    reason = r.reason;
    return static_cast<bool>(r);
}

std::string summarize(const Game& game)
{
    const PuzzleField& field = game.field();
    std::ostringstream s;
    s << "scene " << game.scene() << "\n";
    s << "phase " << game.phase() << "\n";
    s << "score " << field.score() << "\n";
    s << "level " << field.level() << "\n";
    s << "cleared " << field.clearedCount() << "\n";
    s << "grid\n";
    for (int row = 0; row < GridRows; ++row) {
        for (int column = 0; column < GridColumns; ++column) {
            const int code = field.cellAt(column, row);
            s << (code == Empty ? '.' : (code >= 0 && code < Empty) ? static_cast<char>('0' + code) : '?');
        }
        s << "\n";
    }
    std::string t, reason;
    if (!readRankBytes(t, reason)) {
        s << (reason.empty() ? "rank none\n" : "rank unreadable: " + reason + "\n");
    } else {
        // Each line quoted, with its end shown, so the bytes stay visible.
        s << "rank\n";
        std::string::size_type pos = 0;
        while (pos < t.size()) {
            std::string::size_type end = t.find("\r\n", pos);
            const bool terminated = end != std::string::npos;
            if (!terminated) end = t.size();
            s << "\"" << t.substr(pos, end - pos) << "\"" << (terminated ? " crlf" : "") << "\n";
            pos = terminated ? end + 2 : end;
        }
    }
    return s.str();
}

}  // namespace replay
