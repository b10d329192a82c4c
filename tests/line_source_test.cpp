#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "files/line_source.h"
#include "tests/road_map_helpers.h"

namespace {

// Every line a source hands out, then how it stopped.
std::string allLines(LineSource& source)
{
    std::string seen;
    std::string_view line;
    while (nextLine(source, line))
        seen += "[" + std::string(line) + "]";
    return seen + (source.lineTooLong ? " too long" : "") + " after " + std::to_string(linesOffset(source));
}

} // namespace

// A file read a few bytes at a time gives the lines the same text gives in
// memory, whatever the chunk size: line ends split between chunks, a final
// CR kept or cut, lines at, just under and just over the longest allowed.
TEST(LineSource, AFileInChunksGivesTheLinesOfTheSameTextInMemory)
{
    const std::vector<std::string> texts = {
        "", "a", "a\n", "\n\n", "a\r\n", "a\r", "\r", "ab\r\ncd\n\r", "x\r\r\ny", "abcd\n", "abcde\n",
        "abcd\r\n", "abcd\r\r\n", "abcde", "abcd", "ab\nabcde\nab\n", "ab\nabcd\r", "abcd\rx\n",
    };
    const std::string folder = scratchFolder(), path = folder + "/lines";
    for (const std::string& text : texts)
        for (bool keepFinalCr : {false, true}) {
            std::ofstream(path, std::ios::binary) << text;
            LineSource memory = linesOfText(text);
            memory.maxLineBytes = 4;
            memory.keepFinalCr = keepFinalCr;
            const std::string expected = allLines(memory);
            for (std::size_t chunk = 1; chunk <= 7; ++chunk) {
                LineSource file;
                std::string error;
                ASSERT_TRUE(openLines(path, file, error)) << error;
                file.maxLineBytes = 4;
                file.chunkBytes = chunk;
                file.keepFinalCr = keepFinalCr;
                EXPECT_EQ(allLines(file), expected) << "'" << text << "' in chunks of " << chunk;
                EXPECT_LE(file.bytesRead, linesOffset(file) + 4 + 1 + chunk) << "read too far into " << text;
                closeLines(file);
            }
        }
    const std::string longLine(3 << 20, 'x');
    LineSource unbounded = linesOfText(longLine);
    std::string_view line;
    EXPECT_TRUE(nextLine(unbounded, line) && line.size() == 3u << 20);
    std::filesystem::remove_all(folder);
}

// A file that grows after it was opened is read to its new end, unless it
// grows past its limit, where reading stops.
TEST(LineSource, ReadsAGrownFileToItsEndOrItsLimit)
{
    const std::string folder = scratchFolder(), path = folder + "/lines";
    for (const std::uint64_t limit : {UINT64_MAX, std::uint64_t{8}}) {
        std::ofstream(path) << "one\n";
        LineSource file;
        std::string error;
        ASSERT_TRUE(openLines(path, file, error)) << error;
        std::ofstream(path, std::ios::app) << "two\nthree\n";
        file.chunkBytes = 4;
        file.maxFileBytes = limit;
        EXPECT_EQ(allLines(file), limit == 8 ? "[one][two] after 8" : "[one][two][three] after 14");
        EXPECT_EQ(file.tooLarge, limit == 8);
        closeLines(file);
    }
    std::filesystem::remove_all(folder);
}
