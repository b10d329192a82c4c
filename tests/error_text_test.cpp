#include <gtest/gtest.h>

#include <string>

#include "files/error_text.h"

TEST(PrintableText, EscapesWhatATerminalWouldActOnAndKeepsReadableText)
{
    const std::pair<std::string, std::string> cases[] = {
        {"x coordinate 'abc' ~!", "x coordinate 'abc' ~!"},
        {"\x9b" "31m", "\\x9b31m"},                         // 8-bit CSI
        {"\x1b[2J\x07\x7f", "\\x1b[2J\\x07\\x7f"},           // ESC, BEL, DEL
        {"a\tb\nc\rd", "a\\x09b\\x0ac\\x0dd"},               // one line, always
        {std::string("\0z", 2), "\\x00z"},
        {"\xc2\x9b\xc2\x80", "\\xc2\\x9b\\xc2\\x80"},        // C1 controls written in UTF-8
        {"\xc2\xa0\xc3\xa9", "\xc2\xa0\xc3\xa9"},            // U+00A0, e acute
        {"\xe5\x9c\xb0\xe5\x9b\xb3.map", "\xe5\x9c\xb0\xe5\x9b\xb3.map"}, // a Japanese file name
        {"\xf0\x9f\x97\xba", "\xf0\x9f\x97\xba"},            // outside the BMP
        {"\xe5\x9c", "\\xe5\\x9c"},                          // cut short
        {"\xe5\x9c" "a", "\\xe5\\x9ca"},
        {"\xc0\xaf\xe0\x80\xaf", "\\xc0\\xaf\\xe0\\x80\\xaf"}, // overlong
        {"\xed\xa0\x80", "\\xed\\xa0\\x80"},                 // a surrogate
        {"\xf4\x90\x80\x80\xf5\x80", "\\xf4\\x90\\x80\\x80\\xf5\\x80"}, // past U+10FFFF
        {"\x80\xbf\xff", "\\x80\\xbf\\xff"},                 // lone continuation and invalid bytes
    };
    for (const auto& [text, shown] : cases) {
        EXPECT_EQ(printableText(text), shown) << shown;
        EXPECT_EQ(printableText(shown), shown) << "an escaped text escapes to itself";
    }
}
