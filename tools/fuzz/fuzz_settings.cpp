// libFuzzer target for the settings reader in memory: the input is a
// settings file's bytes. Every value read lies in its range; each report
// names a line of the input in order, at most one a line, and holds only
// printable text (a value is never echoed); a line that reads without a
// report reads the same alone; and the file written for the result reads
// back to the same settings without a report. A save merged into the input
// changes exactly the keys it names.
#include "settings/settings.h"
#include "tools/fuzz/fuzz_support.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

bool inRange(const Settings& s)
{
    return (s.windowHalves == Settings::AutoScale || platform::isScaleStep(s.windowHalves)) &&
           s.windowHalves <= Settings::MaxHalves && s.musicVolume >= 0 && s.musicVolume <= 100 &&
           s.musicVolume % 10 == 0 && s.effectsVolume >= 0 && s.effectsVolume <= 100 &&
           s.effectsVolume % 10 == 0;
}

bool printable(const std::string& text)
{
    for (const char c : text)
        if (c < 0x20 || c > 0x7e) return false;
    return true;
}

// The line number a report starts with ("line N: "), -1 when it has none.
long reportedLine(const std::string& report)
{
    if (report.compare(0, 5, "line ") != 0) return -1;
    const std::size_t colon = report.find(": ", 5);
    if (colon == std::string::npos || colon == 5 || colon > 15) return -1;
    long n = 0;
    for (std::size_t i = 5; i < colon; ++i) {
        if (report[i] < '0' || report[i] > '9') return -1;
        n = n * 10 + (report[i] - '0');
    }
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> problems;
    const Settings s = parseSettings(input, problems);
    FUZZ_CHECK(inRange(s));

    long lines = 1;
    for (const char c : input)
        lines += c == '\n';
    long previous = 0;
    for (const std::string& p : problems) {
        const long line = reportedLine(p);
        FUZZ_CHECK(line > previous && line <= lines);
        FUZZ_CHECK(printable(p));
        previous = line;
    }

    const std::string text = formatSettings(s);
    std::vector<std::string> again;
    FUZZ_CHECK(parseSettings(text, again) == s);
    FUZZ_CHECK(again.empty());
    FUZZ_CHECK(formatSettings(parseSettings(text, again)) == text);

    // A save over this file changes the keys it names and no other, and a
    // second save of the same finds nothing to do.
    const Settings next = parseSettings(formatSettings(s) + "mute = on\nmusic_volume = 30\n", again);
    const SettingKeys changed = size > 0 ? data[0] & AllSettingKeys : AllSettingKeys;
    const std::string merged = mergeSettings(input, next, changed);
    const Settings after = parseSettings(merged, again);
    FUZZ_CHECK((settingKeysChanged(after, next) & changed) == 0);
    FUZZ_CHECK((settingKeysChanged(after, s) & ~changed) == 0);
    FUZZ_CHECK(mergeSettings(merged, next, changed) == merged);
    return 0;
}
