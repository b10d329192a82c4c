#include <gtest/gtest.h>
#include <sys/wait.h>

#include <memory>
#include <string>

#include "session.h"
#include "x_input.h"
#include "x_window.h"

static const std::string kUsage =
    "使い方:\n"
    "[キー]\n"
    "1:\tランダムなマップを生成\n"
    "2:\t格子状のマップを生成\n"
    "f:\tランダムな点間のルートを生成\n"
    "Q,ESC:\t終了\n"
    "\n"
    "[マウス]\n"
    "クリック:\t頂点生成\n"
    "右クリック:\tマーク解除\n"
    "CTRL+クリック:\t一番近い頂点をマークし、別にマーク済みの頂点があれば、それと連結する\n"
    "SHIFT+クリック:\t一番近い頂点をゴールに設定\n"
    "ALT+クリック:\t一番近い頂点をスタートに設定\n";

TEST(Startup, PrintsUsageOnceAndShowsAnEmptyGreyWindow)
{
    Session session;
    std::unique_ptr<Session, void (*)(Session*)> cleanup(&session, endSession);
    ASSERT_TRUE(startSession(session));

    // Read while the program still runs: text stuck in a stdio buffer would not arrive.
    EXPECT_EQ(readPipe(session.program.out, kUsage.size(), 3000), kUsage);

    EXPECT_EQ(windowTitle(session.display, session.window), "Vialoom");
    const Rgb grey{128, 128, 128};
    Image image;
    const bool allGrey = waitForImage(
        session.display, session.window,
        [&](const Image& shot) {
            for (const Rgb& pixel : shot.pixels)
                if (pixel != grey)
                    return false;
            return !shot.pixels.empty();
        },
        5000, &image);
    EXPECT_EQ(image.width, 800);
    EXPECT_EQ(image.height, 600);
    EXPECT_TRUE(allGrey) << "first off-grey pixels never cleared";

    pressKey(session.display, "q");
    ASSERT_TRUE(waitForExit(session.program, 5000));
    EXPECT_TRUE(WIFEXITED(session.program.status) && WEXITSTATUS(session.program.status) == 0);
    EXPECT_EQ(readPipe(session.program.out, 1, 1000), "") << "output after the usage text";
}
