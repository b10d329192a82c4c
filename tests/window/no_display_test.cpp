#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <string>

#include "process.h"
#include "session.h"
#include "x_server.h"

TEST(NoDisplay, ExitsWithGlutsOneLineError)
{
    const std::string display = unservedDisplay();
    ChildProcess program = spawnProcess({VIALOOM_PROGRAM}, programEnvironment(display), true);
    ASSERT_GE(program.pid, 0);
    const bool ended = waitForExit(program, 10000);
    const std::string out = readPipe(program.out, 1 << 16, 1000);
    const std::string err = readPipe(program.err, 1 << 16, 1000);
    stopProcess(program, SIGKILL);

    ASSERT_TRUE(ended) << "still running without a display";
    EXPECT_TRUE(WIFEXITED(program.status) && WEXITSTATUS(program.status) != 0);
    EXPECT_EQ(out, "") << "usage text printed before the window existed";
    ASSERT_FALSE(err.empty());
    EXPECT_EQ(err.rfind("freeglut", 0), 0u) << err;
    EXPECT_NE(err.find("failed to open display"), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_EQ(err.back(), '\n') << err;
}
