#include <gtest/gtest.h>
#include <sys/wait.h>

#include <memory>
#include <vector>

#include "session.h"
#include "x_input.h"
#include "x_window.h"

namespace {

const Rgb kGrey{128, 128, 128}, kWhite{255, 255, 255}, kMagenta{255, 0, 255}, kRed{255, 0, 0},
    kGreen{0, 255, 0}, kCyan{0, 255, 255};

bool isOrange(const Rgb& c)
{
    return c.r == 255 && (c.g == 127 || c.g == 128) && c.b == 0;
}

struct Probe {
    int x, y;
    Rgb colour;
};

// Waits for the next frame that shows every probe in its colour.
::testing::AssertionResult shows(Session& s, const std::vector<Probe>& probes)
{
    Image image;
    const auto allMatch = [&](const Image& shot) {
        for (const Probe& p : probes)
            if (pixelAt(shot, p.x, p.y) != p.colour)
                return false;
        return true;
    };
    if (waitForImage(s.display, s.window, allMatch, 4000, &image))
        return ::testing::AssertionSuccess();
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    for (const Probe& p : probes) {
        const Rgb seen = pixelAt(image, p.x, p.y);
        if (seen != p.colour)
            failure << "(" << p.x << "," << p.y << ") is " << seen.r << "," << seen.g << "," << seen.b
                    << "; ";
    }
    return failure;
}

// Counts orange pixels halfway between lattice neighbours one step apart in (dx, dy).
double linkedShare(const Image& image, int dx, int dy)
{
    int linked = 0, pairs = 0;
    for (int r = 0; r + dy < 40; ++r)
        for (int c = 0; c + dx < 40; ++c, ++pairs)
            linked += isOrange(pixelAt(image, c * 15 + dx * 7, r * 15 + dy * 7)) ? 1 : 0;
    return static_cast<double>(linked) / pairs;
}

}  // namespace

TEST(EndToEnd, RoutesAlongTheShortLinksThenDrawsTheLatticeAndQuits)
{
    Session s;
    std::unique_ptr<Session, void (*)(Session*)> cleanup(&s, endSession);
    ASSERT_TRUE(startSession(s));

    // A left, B top, C right, D bottom: A-D-C (671 px) is shorter than A-B-C (721 px).
    struct Point {
        int x, y;
    };
    const Point a{100, 300}, b{400, 100}, c{700, 300}, d{400, 450};
    // Pixels of each selection dot (size 5) that the white dot (size 3) and the links miss.
    const Point aRing{98, 300}, bRing{400, 98}, cRing{702, 300};
    const Point midAB{250, 200}, midBC{550, 200}, midAD{250, 375}, midDC{550, 375};
    const auto click = [&](Point p, unsigned modifiers) {
        clickAt(s.display, s.window, p.x, p.y, kLeftButton, modifiers);
    };

    for (Point p : {a, b, c, d})
        click(p, kNoModifier);
    EXPECT_TRUE(shows(s, {{a.x, a.y, kWhite}, {b.x, b.y, kWhite}, {c.x, c.y, kWhite}, {d.x, d.y, kWhite},
                          {aRing.x, aRing.y, kGrey}}));

    click(a, kCtrl);
    EXPECT_TRUE(shows(s, {{aRing.x, aRing.y, kMagenta}}));
    click(b, kCtrl);
    click(c, kCtrl);
    EXPECT_TRUE(shows(s, {{cRing.x, cRing.y, kMagenta}, {bRing.x, bRing.y, kGrey},
                          {aRing.x, aRing.y, kGrey}}));
    Image image = grabWindow(s.display, s.window);
    EXPECT_TRUE(isOrange(pixelAt(image, midAB.x, midAB.y)) &&
                isOrange(pixelAt(image, midBC.x, midBC.y)));

    // The right click drops the mark, so the next CTRL+click on A must not link C-A.
    clickAt(s.display, s.window, 50, 550, kRightButton, kNoModifier);
    EXPECT_TRUE(shows(s, {{cRing.x, cRing.y, kGrey}, {50, 550, kGrey}}));
    for (Point p : {a, d, c})
        click(p, kCtrl);
    EXPECT_TRUE(shows(s, {{cRing.x, cRing.y, kMagenta}}));
    image = grabWindow(s.display, s.window);
    EXPECT_TRUE(isOrange(pixelAt(image, midAD.x, midAD.y)) &&
                isOrange(pixelAt(image, midDC.x, midDC.y)));
    EXPECT_EQ(pixelAt(image, 400, 300), kGrey) << "C and A were linked across the right click";

    click(a, kAlt);
    click(c, kShift);
    EXPECT_TRUE(shows(s, {{aRing.x, aRing.y, kRed}, {cRing.x, cRing.y, kGreen},
                          {midAD.x, midAD.y, kCyan}, {midDC.x, midDC.y, kCyan},
                          {200, 350, kCyan}, {600, 350, kCyan}}));
    image = grabWindow(s.display, s.window);
    for (Point p : {midAB, midBC, Point{200, 233}, Point{600, 233}})
        EXPECT_TRUE(isOrange(pixelAt(image, p.x, p.y))) << "long route drawn at " << p.x << "," << p.y;

    // The lattice replaces everything: no selection or route left, nothing but grey right of
    // and below its 0..585 square, every lattice point shown.
    pressKey(s.display, "2");
    const auto latticeShown = [](const Image& shot) {
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x) {
                const bool inside = x <= 586 && y <= 586;
                const bool onPoint = x % 15 == 0 && y % 15 == 0 && inside;
                const Rgb pixel = pixelAt(shot, x, y);
                const bool drawn = pixel == kWhite || isOrange(pixel);
                if ((!drawn && pixel != kGrey) || (drawn && !inside) || (onPoint && !drawn))
                    return false;
            }
        return true;
    };
    EXPECT_TRUE(waitForImage(s.display, s.window, latticeShown, 5000, &image));
    // Horizontal links survive with odds 2/3, vertical ones (toggled from both ends) 4/9.
    EXPECT_NEAR(linkedShare(image, 1, 0), 2.0 / 3, 0.1);
    EXPECT_NEAR(linkedShare(image, 0, 1), 4.0 / 9, 0.1);

    pressKey(s.display, "q");
    ASSERT_TRUE(waitForExit(s.program, 5000));
    EXPECT_TRUE(WIFEXITED(s.program.status) && WEXITSTATUS(s.program.status) == 0);
}
