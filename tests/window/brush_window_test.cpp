// The terrain brush in the real window: t and a left drag tint the ground
// under a lattice, u takes the stroke back to the very pixels before it, and
// the painted map saved with s opens as the same picture.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <dirent.h>
#include <memory>
#include <set>
#include <string>

#include "window_harness.h"

namespace {

using SessionGuard = std::unique_ptr<Session, void (*)(Session*)>;

constexpr Rgb kGrey = 0x808080;

// Pixels around the stroke's row whose colour appears nowhere in plain.
int newColoursAlongTheStroke(const Image& shot, const Image& plain)
{
    const std::set<Rgb> known(plain.pixels.begin(), plain.pixels.end());
    int count = 0;
    for (int y = 285; y <= 315; ++y)
        for (int x = 150; x <= 450; ++x)
            count += known.count(pixelAt(shot, x, y)) == 0 ? 1 : 0;
    return count;
}

// The picture once condition holds and the status line (drawn from the
// bottom-left corner) has gone.
bool grabQuiet(const Session& s, Image& picture, const std::function<bool(const Image&)>& condition)
{
    return waitForImage(
        s, [&](const Image& shot) {
            picture = shot;
            return pixelAt(shot, 3, 595) == kGrey && condition(shot);
        },
        12000);
}

std::string onlyMapIn(const std::string& folder)
{
    std::string found;
    int count = 0;
    DIR* directory = opendir(folder.c_str());
    for (const dirent* entry; directory != nullptr && (entry = readdir(directory)) != nullptr;) {
        const std::string name = entry->d_name;
        if (name.size() > 5 && name.compare(name.size() - 5, 5, ".vmap") == 0) {
            found = name;
            ++count;
        }
    }
    if (directory != nullptr)
        closedir(directory);
    return count == 1 ? found : "";
}

} // namespace

TEST(Brush, ADragTintsTheGroundUndoTakesItBackAndTheSavedMapLooksTheSame)
{
    Session first;
    first.removeWorkDir = false;
    SessionGuard firstGuard(&first, endSession);
    ASSERT_TRUE(startSession(first));
    pressKey(first, "2");
    Image plain;
    ASSERT_TRUE(grabQuiet(first, plain, [](const Image& shot) {
        return pixelAt(shot, 300, 300) != kGrey && pixelAt(shot, 585, 585) != kGrey;
    })) << "no lattice";

    pressKey(first, "t");
    pressKey(first, "t"); // mud x5
    dragWith(first, kLeftButton, 150, 300, 450, 300);
    Image painted;
    ASSERT_TRUE(grabQuiet(first, painted, [&](const Image& shot) {
        return newColoursAlongTheStroke(shot, plain) > 3000;
    })) << newColoursAlongTheStroke(painted, plain) << " tinted pixels along the stroke";
    // One tint, the same bytes in every square: a driver that rounds colours
    // two ways would show here.
    std::set<Rgb> tints;
    const std::set<Rgb> known(plain.pixels.begin(), plain.pixels.end());
    for (Rgb pixel : painted.pixels)
        if (known.count(pixel) == 0)
            tints.insert(pixel);
    EXPECT_EQ(tints.size(), 1u);
    // Only the stroke's neighbourhood is tinted; the vertices stay on top.
    EXPECT_EQ(pixelAt(painted, 300, 300), pixelAt(plain, 300, 300));
    for (int y : {0, 100, 250, 350, 500})
        for (int x = 0; x < 800; ++x)
            ASSERT_EQ(pixelAt(painted, x, y), pixelAt(plain, x, y)) << x << "," << y;

    pressKey(first, "u");
    EXPECT_TRUE(waitForImage(first, [&](const Image& shot) { return shot.pixels == plain.pixels; }, 12000))
        << "u did not take the whole stroke back";
    pressKey(first, "r");
    EXPECT_TRUE(waitForImage(first, [&](const Image& shot) { return shot.pixels == painted.pixels; }, 12000))
        << "r did not bring the stroke back";

    pressKey(first, "s");
    const std::string folder = first.workDir;
    pressKey(first, "q");
    ASSERT_TRUE(waitForExit(first.program, 5000));
    const std::string saved = onlyMapIn(folder);
    ASSERT_FALSE(saved.empty()) << "s saved no single .vmap in " << folder;

    Session second;
    second.workDir = folder;
    SessionGuard secondGuard(&second, endSession);
    ASSERT_TRUE(startSession(second, {saved}));
    EXPECT_TRUE(waitForImage(second, [&](const Image& shot) { return shot.pixels == painted.pixels; }, 12000))
        << "the reopened map does not look the same";
    pressKey(second, "q");
    EXPECT_TRUE(waitForExit(second.program, 5000));
}
