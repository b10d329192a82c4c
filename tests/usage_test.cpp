#include <gtest/gtest.h>

#include <string>

#include "app/usage.h"

TEST(UsageText, ReadsRightInEveryJapaneseConsole)
{
    const std::string utf8 = usageTextFor("UTF-8");
    ASSERT_EQ(utf8.rfind("使い方:\n[キー]\n", 0), 0u);
    EXPECT_EQ(usageTextFor("ANSI_X3.4-1968"), utf8);
    EXPECT_EQ(usageTextFor(nullptr), utf8);

    // "使" is 0x8E 0x67 in Shift-JIS and 0xBB 0xC8 in EUC-JP.
    struct Case {
        const char* codeset;
        const char* start;
    };
    const Case cases[] = {{"SHIFT_JIS", "\x8E\x67"}, {"cp932", "\x8E\x67"}, {"EUC-JP", "\xBB\xC8"}};
    for (const Case& c : cases) {
        const std::string text = usageTextFor(c.codeset);
        EXPECT_EQ(text.rfind(c.start, 0), 0u) << c.codeset;
        EXPECT_LT(text.size(), utf8.size()) << c.codeset;
        EXPECT_EQ(text.back(), '\n') << c.codeset;
    }
}
