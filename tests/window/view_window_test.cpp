// Zoom and pan in the real window: clicks land on the map point under the
// pointer (read back from the saved file), and 0 brings back the very picture
// of the default view.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <dirent.h>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "window_harness.h"

namespace {

using SessionGuard = std::unique_ptr<Session, void (*)(Session*)>;

constexpr Rgb kWhite = 0xFFFFFF, kGrey = 0x808080;

// The vertices of the one .vmap in folder, as x, y pairs; empty when none.
std::vector<std::pair<float, float>> savedVertices(const std::string& folder)
{
    std::vector<std::pair<float, float>> vertices;
    DIR* directory = opendir(folder.c_str());
    std::string name;
    for (const dirent* entry; directory != nullptr && (entry = readdir(directory)) != nullptr;)
        if (std::string(entry->d_name).find(".vmap") != std::string::npos)
            name = entry->d_name;
    if (directory != nullptr)
        closedir(directory);
    std::ifstream file(folder + "/" + name);
    std::string line;
    int count = -1;
    while (std::getline(file, line) && count != 0) {
        if (line.rfind("vertices ", 0) == 0) {
            count = std::stoi(line.substr(9));
        } else if (count > 0) {
            std::istringstream words(line);
            float x = 0, y = 0;
            words >> x >> y;
            vertices.emplace_back(x, y);
            --count;
        }
    }
    return vertices;
}

// Waits for a frame that meets condition and stays the same on the next grab.
Image settled(const Session& s, const std::function<bool(const Image&)>& condition, int timeoutMs)
{
    Image last, steady;
    waitForImage(s, [&](const Image& shot) {
        const bool same = !last.pixels.empty() && shot.pixels == last.pixels;
        last = condition(shot) ? shot : Image{};
        if (same && !last.pixels.empty())
            steady = shot;
        return !steady.pixels.empty();
    }, timeoutMs);
    return steady;
}

bool whiteAt(const Image& shot, int x, int y)
{
    return pixelAt(shot, x, y) == kWhite;
}

} // namespace

// Three wheel notches up about (200, 150) make the scale 1.25^3: the window's
// centre (400, 300) then shows the map point (302.4, 226.8). A middle drag of
// 100 pixels right and the left arrow (an eighth of 800) each move the map
// under the pointer 51.2 units left; 0 brings pixels and map units together again.
TEST(View, ZoomedAndPannedClicksLandOnTheMapPointUnderThePointer)
{
    Session s;
    s.removeWorkDir = false;
    SessionGuard guard(&s, endSession);
    ASSERT_TRUE(startSession(s));
    const auto clickCentre = [&] { clickAt(s, 400, 300, kLeftButton, kNoModifier); };

    for (int notch = 0; notch < 3; ++notch)
        clickAt(s, 200, 150, kWheelUp, kNoModifier);
    clickCentre();
    // The new vertex is drawn where it was clicked, at any zoom.
    EXPECT_FALSE(settled(s, [](const Image& shot) { return whiteAt(shot, 400, 300); }, 4000).pixels.empty());
    dragWith(s, kMiddleButton, 300, 300, 400, 300);
    EXPECT_FALSE(settled(s, [](const Image& shot) { return whiteAt(shot, 500, 300) && !whiteAt(shot, 400, 300); },
                         4000).pixels.empty())
        << "the drag did not carry the vertex along";
    clickCentre();
    pressKey(s, "Left");
    clickCentre();
    pressKey(s, "0");
    clickCentre();
    // Back at the default view: the clicks of the zoomed view lie left of and above the centre.
    EXPECT_FALSE(settled(s, [](const Image& shot) {
                     return whiteAt(shot, 400, 300) && whiteAt(shot, 302, 227) && whiteAt(shot, 200, 227);
                 }, 4000).pixels.empty());
    pressKey(s, "s");
    pressKey(s, "q");
    ASSERT_TRUE(waitForExit(s.program, 5000));
    const std::vector<std::pair<float, float>> saved = savedVertices(s.workDir);
    const std::pair<float, float> wanted[] = {{302.4f, 226.8f}, {251.2f, 226.8f}, {200.0f, 226.8f}, {400.0f, 300.0f}};
    ASSERT_EQ(saved.size(), 4u);
    for (std::size_t i = 0; i < saved.size(); ++i) {
        EXPECT_NEAR(saved[i].first, wanted[i].first, 0.01f) << "vertex " << i;
        EXPECT_NEAR(saved[i].second, wanted[i].second, 0.01f) << "vertex " << i;
    }
    EXPECT_EQ(saved[3].first, 400.0f); // the default view's clicks stay whole pixels
    EXPECT_EQ(saved[3].second, 300.0f);
}

// The lattice before any zoom, and after zooming in and out, dragging and
// arrows, then 0 once the status line has gone: the same picture, pixel for
// pixel. A CTRL+click while zoomed in picks the vertex under the pointer.
TEST(View, ZeroBringsBackTheDefaultPictureExactly)
{
    Session s;
    SessionGuard guard(&s, endSession);
    ASSERT_TRUE(startSession(s));
    pressKey(s, "2");
    const auto lattice = [](const Image& shot) {
        return pixelAt(shot, 585, 585) != kGrey && pixelAt(shot, 300, 300) != kGrey;
    };
    const Image before = settled(s, lattice, 10000);
    ASSERT_FALSE(before.pixels.empty());

    for (int notch = 0; notch < 4; ++notch)
        clickAt(s, 300, 300, kWheelUp, kNoModifier);
    // 1.25^4 about (300, 300): the lattice point (315, 315) shows at (336.6, 336.6),
    // its neighbour (330, 330) at (373.2, 373.2); 15 units are 36.6 pixels now.
    const Image zoomed = settled(s, [](const Image& shot) {
        return pixelAt(shot, 337, 337) != kGrey && pixelAt(shot, 373, 373) != kGrey &&
               pixelAt(shot, 355, 345) == kGrey;
    }, 10000);
    EXPECT_FALSE(zoomed.pixels.empty()) << "the lattice is not drawn 2.44 times larger";
    clickAt(s, 373, 373, kLeftButton, kCtrl); // marks (330, 330), drawn magenta
    EXPECT_FALSE(settled(s, [](const Image& shot) { return pixelAt(shot, 371, 374) == 0xFF00FF; }, 10000)
                     .pixels.empty());
    clickAt(s, 50, 50, kRightButton, kNoModifier); // the mark goes again
    dragWith(s, kMiddleButton, 400, 300, 250, 200);
    pressKey(s, "Up");
    for (int notch = 0; notch < 9; ++notch)
        clickAt(s, 600, 100, kWheelDown, kNoModifier);
    pressKey(s, "0");
    EXPECT_TRUE(waitForImage(s, [&](const Image& shot) { return shot.pixels == before.pixels; }, 15000))
        << "0 and the status line's end did not bring back the default picture";
    pressKey(s, "q");
    EXPECT_TRUE(waitForExit(s.program, 5000));
}
