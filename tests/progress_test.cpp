#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "mapio/progress.h"

namespace {

// Runs a load of total bytes reporting each of done, and returns what was shown.
std::string shown(bool terminal, std::uint64_t total, const std::vector<std::uint64_t>& done)
{
    std::FILE* stream = std::tmpfile();
    progressRedirect(stream, terminal);
    progressBegin("big.osm", total);
    for (std::uint64_t bytes : done)
        progressUpdate(bytes);
    progressEnd();
    progressUpdate(total);
    progressEnd();
    progressRedirect(nullptr, false);
    std::string text(static_cast<std::size_t>(std::ftell(stream)), '\0');
    std::rewind(stream);
    text.resize(std::fread(&text[0], 1, text.size(), stream));
    std::fclose(stream);
    return text;
}

} // namespace

TEST(Progress, ShowsWhatTheStreamSuits)
{
    const std::uint64_t big = 100 * kProgressMinBytes;
    const std::string line = "vialoom: reading big.osm... ";
    const std::string wipe = "\r" + std::string(line.size() + 3, ' ') + "\r";
    struct Case {
        const char* what;
        bool terminal;
        std::uint64_t total;
        std::vector<std::uint64_t> done;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"small loads show nothing", true, kProgressMinBytes - 1, {0, kProgressMinBytes - 1}, ""},
        {"terminal: each new percentage, then wiped",
         true,
         big,
         {big / 100 - 1, big / 100, big / 100, big / 200, big * 42 / 100},
         "\r" + line + "0%\r" + line + "1%\r" + line + "42%" + wipe},
        {"terminal: past the total counts as all", true, big, {3 * big}, "\r" + line + "0%\r" + line + "100%\r" +
                                                                             std::string(line.size() + 4, ' ') + "\r"},
        {"elsewhere: a line per quarter reached, skipped ones left out",
         false,
         big,
         {big / 10, big / 4, big / 3, big * 3 / 4 + 1, big},
         line + "25%\n" + line + "75%\n" + line + "100%\n"},
        {"elsewhere: a failed load stops without 100%", false, big, {big / 2}, line + "50%\n"},
    };
    for (const Case& test : cases)
        EXPECT_EQ(shown(test.terminal, test.total, test.done), test.expected) << test.what;
}
