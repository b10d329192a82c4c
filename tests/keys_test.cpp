// The key table against itself and its readers: the keys a row shows are the
// bytes that run it, and --help, the overlay and the page's text show every row.
#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "ui/keys.h"
#include "ui/search_view.h"

namespace {

std::vector<std::string> split(const std::string& text, const std::string& separator)
{
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(separator, from)) != std::string::npos; from = at + separator.size())
        parts.push_back(text.substr(from, at - from));
    parts.push_back(text.substr(from));
    return parts;
}

// The bytes GLUT reports for a key as the help names it: "u" (and "U"),
// "CTRL+Z", "ESC", "space"; none for the arrows, which come as special keys.
std::string bytesNamed(const std::string& name)
{
    if (name == "arrows")
        return "";
    if (name == "ESC")
        return "\x1b";
    if (name == "space")
        return " ";
    if (name.size() == 6 && name.rfind("CTRL+", 0) == 0)
        return std::string(1, static_cast<char>(name[5] - '@'));
    if (name.size() == 1 && std::isalpha(static_cast<unsigned char>(name[0])))
        return name + static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    return name.size() == 1 ? name : "?" + name;
}

} // namespace

TEST(KeyTable, ShownKeysAreExactlyTheBytesThatRunThem)
{
    std::set<char> taken;
    bool mouse = false;
    for (int i = 0; i < kKeyRowCount; ++i) {
        const KeyRow& row = kKeyRows[i];
        const std::string shown = row.shown;
        mouse = mouse || shown == "Mouse";
        const bool isKey = row.does != nullptr && !mouse;
        const std::vector<std::string> parts = split(shown, "  ");
        ASSERT_LE(parts.size(), 2u) << shown;
        for (std::size_t b = 0; b < 2; ++b) {
            const KeyBinding& binding = row.bindings[b];
            std::multiset<char> named;
            if (isKey && b < parts.size())
                for (const std::string& name : split(parts[b], ", "))
                    for (char byte : bytesNamed(name))
                        named.insert(byte);
            const std::string bytes = binding.bytes;
            EXPECT_EQ(std::multiset<char>(bytes.begin(), bytes.end()), named) << shown << " binding " << b;
            EXPECT_EQ(binding.action != nullptr, !bytes.empty()) << shown;
            for (char byte : bytes)
                EXPECT_TRUE(taken.insert(byte).second) << shown << " takes " << int{byte} << " again";
        }
    }
}

TEST(KeyTable, HelpOverlayAndPageShowEveryRowInTheSameLayout)
{
    const std::vector<std::string> help = keyHelpLines();
    const std::vector<std::string> page = split(keyTableText(), "\n");
    ASSERT_EQ(help.size(), static_cast<std::size_t>(kKeyRowCount));
    ASSERT_EQ(page.size(), help.size() + 1);
    EXPECT_EQ(page.back(), "");

    openHelp();
    const std::vector<TextPanel> panels = searchPictureAt(0.0, 800, 600).panels;
    closeHelp();
    ASSERT_FALSE(panels.empty());
    EXPECT_EQ(panels.back().lines, help);
    const std::string usage = helpText();
    std::string keyPart;
    for (const std::string& line : help)
        keyPart += line + '\n';
    EXPECT_EQ(usage.substr(usage.size() - keyPart.size()), keyPart);
    EXPECT_EQ(usage.substr(usage.size() - keyPart.size() - 2, 2), "\n\n");

    for (int i = 0; i < kKeyRowCount; ++i) {
        const KeyRow& row = kKeyRows[i];
        if (row.does == nullptr) {
            EXPECT_EQ(help[i], row.shown);
            EXPECT_EQ(page[i], row.shown);
        } else {
            EXPECT_EQ(help[i], "  " + (row.shown + std::string(14, ' ')).substr(0, 14) + row.does);
            EXPECT_EQ(page[i], row.shown + std::string("\t") + row.does);
        }
    }
}

// The page's toolbar: a button for every key action but quitting, each
// running the first byte of its binding (the pointer's keys at a tap), and
// the modified clicks as taps with the modifiers their rows name.
TEST(KeyTable, ToolbarOffersEveryKeyActionButQuitAndTheModifiedClicks)
{
    const std::vector<std::string> lines = split(toolbarText(), "\n");
    ASSERT_EQ(lines.back(), "");
    std::set<std::string> labels;
    std::set<KeyAction> offered;
    std::vector<std::string> taps;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        const std::vector<std::string> fields = split(lines[i], "\t");
        ASSERT_EQ(fields.size(), 3u) << lines[i];
        EXPECT_TRUE(labels.insert(fields[0]).second) << fields[0] << " twice";
        const std::vector<std::string> does = split(fields[1], " ");
        if (does[0] == "key" || does[0] == "key-at") {
            ASSERT_EQ(does.size(), 2u) << lines[i];
            const KeyAction action = keyAction(static_cast<unsigned char>(std::stoi(does[1])));
            ASSERT_NE(action, nullptr) << lines[i];
            offered.insert(action);
            EXPECT_EQ(does[0] == "key-at", fields[0] == "Inspect") << lines[i];
        } else {
            ASSERT_TRUE(does[0] == "tap" || does[0] == "click") << lines[i];
            ASSERT_EQ(does.size(), 3u) << lines[i];
            taps.push_back(fields[0] + " " + does[0] + " " + does[1] + " " + does[2] + " " + fields[2]);
        }
    }
    for (int i = 0; i < kKeyRowCount; ++i) {
        for (const KeyBinding& binding : kKeyRows[i].bindings) {
            if (binding.action != nullptr && std::string(kKeyRows[i].shown) != "q, ESC") {
                EXPECT_EQ(offered.count(binding.action), 1u) << kKeyRows[i].shown << " has no button";
            }
        }
    }
    EXPECT_EQ(offered.count(keyAction('q')), 0u);
    const std::vector<std::string> expected = {
        "Unmark click 2 0 clear the mark",
        "Link tap 0 2 mark the nearest vertex; link it to the previous mark",
        "Goal tap 0 1 make the nearest vertex the goal",
        "Start tap 0 4 make the nearest vertex the start",
    };
    EXPECT_EQ(taps, expected);
}
