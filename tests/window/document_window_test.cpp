#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <dirent.h>
#include <fstream>
#include <memory>
#include <string>

#include "window_harness.h"

namespace {

using SessionGuard = std::unique_ptr<Session, void (*)(Session*)>;

constexpr Rgb kCyan = 0x00FFFF;

// The picture once the program has drawn one in which condition holds.
bool grab(const Session& s, Image& picture, const std::function<bool(const Image&)>& condition)
{
    return waitForImage(
        s, [&](const Image& shot) {
            picture = shot;
            return condition(shot);
        },
        4000);
}

// The name of the one .vmap file in folder; empty unless there is exactly one.
std::string onlyMapIn(const std::string& folder)
{
    std::string found;
    int count = 0;
    DIR* directory = opendir(folder.c_str());
    while (directory != nullptr) {
        const dirent* entry = readdir(directory);
        if (entry == nullptr)
            break;
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

bool quitsWithStatusZero(Session& s)
{
    pressKey(s, "q");
    return waitForExit(s.program, 5000) && WIFEXITED(s.program.status) && WEXITSTATUS(s.program.status) == 0;
}

} // namespace

TEST(Document, ADrawingSavedWithSIsTheSamePictureWhenReopened)
{
    Session first;
    first.removeWorkDir = false;
    SessionGuard firstGuard(&first, endSession);
    ASSERT_TRUE(startSession(first));
    // Three points, a chain of two links, the start and the goal at its ends.
    for (auto [x, y] : {std::pair{100, 100}, {300, 120}, {500, 100}})
        clickAt(first, x, y, kLeftButton, kNoModifier);
    for (auto [x, y] : {std::pair{100, 100}, {300, 120}, {500, 100}})
        clickAt(first, x, y, kLeftButton, kCtrl);
    clickAt(first, 100, 100, kLeftButton, kAlt);
    clickAt(first, 500, 100, kLeftButton, kShift);
    Image drawn;
    ASSERT_TRUE(grab(first, drawn, [](const Image& shot) { return pixelAt(shot, 200, 110) == kCyan; }));
    pressKey(first, "s");
    const std::string folder = first.workDir;
    ASSERT_TRUE(quitsWithStatusZero(first));
    const std::string saved = onlyMapIn(folder);
    ASSERT_FALSE(saved.empty()) << "s saved no single .vmap in " << folder;

    Session second;
    second.workDir = folder; // removed with this session
    SessionGuard secondGuard(&second, endSession);
    ASSERT_TRUE(startSession(second, {saved}));
    Image reopened;
    EXPECT_TRUE(grab(second, reopened, [&](const Image& shot) { return shot.pixels == drawn.pixels; }))
        << "the reopened map does not look the same";
    // Nothing changed since it was opened: quitting keeps no copy.
    ASSERT_TRUE(quitsWithStatusZero(second));
    EXPECT_TRUE(onlyMapIn(folder + "/state/vialoom").empty());
}

// q and the window manager's close button both end with status 0 and keep what was drawn.
TEST(Document, QuittingOrClosingKeepsUnsavedWorkAndSaysWhere)
{
    for (const bool byCloseButton : {false, true}) {
        Session s;
        SessionGuard guard(&s, endSession);
        ASSERT_TRUE(startSession(s));
        clickAt(s, 400, 300, kLeftButton, kNoModifier);
        Image drawn;
        ASSERT_TRUE(grab(s, drawn, [](const Image& shot) { return pixelAt(shot, 400, 300) == 0xFFFFFF; }));
        if (byCloseButton) {
            closeWindow(s);
            ASSERT_TRUE(waitForExit(s.program, 5000));
            EXPECT_TRUE(WIFEXITED(s.program.status) && WEXITSTATUS(s.program.status) == 0) << s.program.status;
        } else {
            ASSERT_TRUE(quitsWithStatusZero(s));
        }
        const std::string said = readPipe(s.program.err, 4096, 2000);
        EXPECT_NE(said.find("unsaved work kept in " + s.workDir + "/state/vialoom/vialoom-"), std::string::npos)
            << said;
        EXPECT_FALSE(onlyMapIn(s.workDir + "/state/vialoom").empty());
    }
}

TEST(Document, AMapThatCannotBeReadStopsWithOneLineBeforeAnyWindow)
{
    Session s;
    SessionGuard guard(&s, endSession);
    std::string display;
    ASSERT_TRUE(startServer(s, display));
    s.program = startProgram(display, {"missing.vmap"});
    ASSERT_TRUE(waitForExit(s.program, 5000));
    EXPECT_TRUE(WIFEXITED(s.program.status) && WEXITSTATUS(s.program.status) == 2) << s.program.status;
    EXPECT_EQ(readPipe(s.program.err, 4096, 1000), "vialoom: missing.vmap: cannot read: no such file or directory\n");
    EXPECT_EQ(readPipe(s.program.out, 4096, 200), ""); // not even the usage text
}

// A million cells, all open: the route from corner to corner crosses the whole window.
TEST(BigMap, AMillionVertexMapOpensRoutesAndRedraws)
{
    Session s;
    SessionGuard guard(&s, endSession);
    char pattern[] = "/tmp/vialoom-window-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    s.workDir = pattern;
    {
        std::ofstream map(s.workDir + "/open.map");
        map << "type octile\nheight 1000\nwidth 1000\nmap\n";
        const std::string row(1000, '.');
        for (int i = 0; i < 1000; ++i)
            map << row << '\n';
    }
    ASSERT_TRUE(startSession(s, {"open.map"}));
    // The grid fills the 600-pixel height, centred: columns from x = 100 to 700.
    clickAt(s, 100, 0, kLeftButton, kAlt);
    clickAt(s, 699, 599, kLeftButton, kShift);
    Image shot;
    const auto diagonalIsCyan = [](const Image& picture) {
        for (int step = 50; step < 600; step += 50)
            if (pixelAt(picture, 100 + step, step) != kCyan)
                return false;
        return true;
    };
    EXPECT_TRUE(waitForImage(
        s, [&](const Image& picture) { return diagonalIsCyan(picture); }, 15000))
        << "no route across the million-vertex map";
    ASSERT_TRUE(quitsWithStatusZero(s));
}
