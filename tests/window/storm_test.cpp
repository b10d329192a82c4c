#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <memory>
#include <random>
#include <thread>

#include "session.h"
#include "x_input.h"

TEST(Storm, SurvivesLongRandomInputWithBoundedMemory)
{
    Session s;
    std::unique_ptr<Session, void (*)(Session*)> cleanup(&s, endSession);
    ASSERT_TRUE(startSession(s));

    // Commands that need a vertex, given none.
    pressKey(s.display, "f");
    for (unsigned modifiers : {kCtrl, kShift, kAlt})
        clickAt(s.display, s.window, 400, 300, kLeftButton, modifiers);

    std::mt19937 random(20240607);  // the same storm on every run
    const int kEvents = 1500;
    long firstKb = -1, lastKb = -1;
    for (int event = 1; event <= kEvents; ++event) {
        const int x = static_cast<int>(random() % 800), y = static_cast<int>(random() % 600);
        const unsigned pick = random() % 100;
        if (pick < 30)
            clickAt(s.display, s.window, x, y, kLeftButton, kNoModifier);
        else if (pick < 50)
            clickAt(s.display, s.window, x, y, kLeftButton, kCtrl);
        else if (pick < 62)
            clickAt(s.display, s.window, x, y, kLeftButton, kShift);
        else if (pick < 74)
            clickAt(s.display, s.window, x, y, kLeftButton, kAlt);
        else if (pick < 82)
            clickAt(s.display, s.window, x, y, kRightButton, kNoModifier);
        else if (pick < 88)
            pressKey(s.display, "1");
        else if (pick < 92)
            pressKey(s.display, "2");
        else
            pressKey(s.display, "f");
        // Leave the program time to keep up instead of burying it in a backlog.
        std::this_thread::sleep_for(std::chrono::milliseconds(3));

        if (event % 100 == 0) {
            XSync(s.display, False);
            ASSERT_TRUE(isRunning(s.program))
                << "died by event " << event << ", status " << s.program.status;
            lastKb = residentKb(s.program.pid);
            if (firstKb < 0)
                firstKb = lastKb;
            ASSERT_GT(lastKb, 0);
            ASSERT_LT(lastKb, VIALOOM_RSS_LIMIT_MB * 1024) << "resident memory at event " << event;
        }
    }
    EXPECT_LT(lastKb - firstKb, VIALOOM_RSS_LIMIT_MB * 1024 / 3)
        << "grew from " << firstKb << " KiB to " << lastKb << " KiB";

    pressKey(s.display, "q");
    ASSERT_TRUE(waitForExit(s.program, 30000)) << "did not work through the storm and quit";
    EXPECT_TRUE(WIFEXITED(s.program.status) && WEXITSTATUS(s.program.status) == 0);
}
