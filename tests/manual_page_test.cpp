// The manual page as man shows it: groff renders the page the build wrote,
// and every key row, command form and option must read there as in --help
// and the help overlay. Escapes are judged by groff too, not by their text.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/manual_page.h"
#include "ui/keys.h"
#include "ui/search_view.h"

namespace {

// Runs command and returns what it printed on stdout and stderr.
std::string output(const std::string& command)
{
    std::string text;
    std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr)
        return "cannot run " + command;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        text.append(buffer, got);
    pclose(pipe);
    return text;
}

// The page as a reader sees it: groff's text, without bold or underline,
// lines wide enough that nothing breaks, warnings included.
// ctest runs each test in a process of its own, two at a time: the file is
// named by the process, so two tests never render each other's page.
std::string rendered(const std::string& roff)
{
    const std::string path = testing::TempDir() + "vialoom-manual-test-" + std::to_string(getpid()) + ".1";
    std::ofstream(path) << roff;
    const std::string text = output("groff -man -ww -Tutf8 -P-cbou -rLL=250n " + path);
    std::remove(path.c_str());
    return text;
}

// Runs of spaces and line ends become one space, so a filled paragraph and
// a padded table row compare alike.
std::string squeezed(const std::string& text)
{
    std::string out;
    std::istringstream words(text);
    for (std::string word; words >> word;)
        out += (out.empty() ? "" : " ") + word;
    return out;
}

std::string readFile(const std::string& path)
{
    std::ostringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

} // namespace

TEST(ManualPage, EscapedTextReadsBackExactly)
{
    const std::vector<std::string> texts = {
        ".  ,",           "'route' exits 1 when no route exists",
        "--from N --to M", "~/.local/state/vialoom/ and $XDG_STATE_HOME",
        "a\\b `c` x^2",    "h, ?",
        "+  -",           "'", ".", "\\fB not bold \\fR",
    };
    std::string roff = ".TH T 1\n.nf\n";
    for (const std::string& text : texts)
        roff += roffText(text) + '\n';
    std::istringstream lines(rendered(roff));
    std::vector<std::string> got;
    for (std::string line; std::getline(lines, line);)
        if (!line.empty() && line.find("T(1)") == std::string::npos)
            got.push_back(line.substr(line.find_first_not_of(' ')));
    ASSERT_GE(got.size(), texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i)
        EXPECT_EQ(got[i], texts[i]);
}

TEST(ManualPage, MarkersAreFilledAndUnknownOnesRefused)
{
    std::string page, error;
    ASSERT_TRUE(fillManualPage(".TH X 1 \"@DATE@\" \"vialoom @VERSION@\"\n@OPTIONS@\nplain @ text\n", "9.8.7",
                               "2030-01-02", page, error))
        << error;
    EXPECT_EQ(page.rfind(".TH X 1 \"2030-01-02\" \"vialoom 9.8.7\"\n.TP\n", 0), 0u) << page;
    EXPECT_NE(page.find("\n\\fB\\-\\-view\\fR\n"), std::string::npos) << page;
    EXPECT_FALSE(fillManualPage("a\n\nsee @KEYS@ here\n", "1", "d", page, error));
    EXPECT_EQ(error, "3: unknown marker @KEYS@");
    EXPECT_EQ(roffSynopsis("vialoom check SCENFILE [MAPFILE]"),
              "\\fBvialoom\\fR \\fBcheck\\fR \\fISCENFILE\\fR [\\fIMAPFILE\\fR]");
    EXPECT_EQ(roffSynopsis("vialoom --help | --version"), "\\fBvialoom\\fR \\fB\\-\\-help\\fR | \\fB\\-\\-version\\fR");
}

#ifndef VIALOOM_MANUAL_PAGE
#define VIALOOM_MANUAL_PAGE "" // a build without packaging/ writes no page
#endif

TEST(ManualPage, ShowsEveryCommandOptionAndKeyOfHelpAndTheOverlay)
{
    if (std::string(VIALOOM_MANUAL_PAGE).empty())
        GTEST_SKIP() << "this build writes no manual page";
    const std::string roff = readFile(VIALOOM_MANUAL_PAGE);
    ASSERT_FALSE(roff.empty()) << VIALOOM_MANUAL_PAGE;
    const std::string text = rendered(roff);
    EXPECT_EQ(text.find("warning"), std::string::npos) << text;
    const std::string page = squeezed(text);
    const std::string help = squeezed(helpText());
    openHelp();
    const std::vector<TextPanel> panels = searchPictureAt(0.0, 800, 600).panels;
    closeHelp();
    ASSERT_FALSE(panels.empty());
    std::string overlay;
    for (const std::string& line : panels.back().lines)
        overlay += line + '\n';
    overlay = squeezed(overlay);

    for (const char* section : {"NAME", "SYNOPSIS", "DESCRIPTION", "COMMANDS", "OPTIONS", "KEYS AND MOUSE",
                                "FILES", "EXIT STATUS", "ENVIRONMENT", "EXAMPLES"})
        EXPECT_NE(text.find(std::string("\n") + section + '\n'), std::string::npos) << section;
    for (int i = 0; i < kKeyRowCount; ++i) {
        const KeyRow& row = kKeyRows[i];
        const std::string shown = squeezed(std::string(row.shown) + ' ' + (row.does ? row.does : ""));
        EXPECT_NE(page.find(shown), std::string::npos) << "manual page lacks " << shown;
        EXPECT_NE(help.find(shown), std::string::npos) << "--help lacks " << shown;
        EXPECT_NE(overlay.find(shown), std::string::npos) << "overlay lacks " << shown;
    }
    std::string options;
    for (int i = 0; i < kOptionRowCount; ++i) {
        const std::string shown = squeezed(std::string(kOptionRows[i].shown) + ' ' + kOptionRows[i].does);
        EXPECT_NE(page.find(shown), std::string::npos) << "manual page lacks " << shown;
        options += std::string(" ") + kOptionRows[i].shown + ' ';
    }
    for (char& c : options)
        c = c == ',' ? ' ' : c;
    for (int i = 0; i < kCommandFormCount; ++i) {
        const CommandForm& form = kCommandForms[i];
        const std::string shown = squeezed(std::string(form.synopsis) + ' ' + (form.does ? form.does : ""));
        EXPECT_NE(page.find(shown), std::string::npos) << "manual page lacks " << shown;
        EXPECT_NE(help.find(shown), std::string::npos) << "--help lacks " << shown;
        std::istringstream words(form.synopsis);
        for (std::string word; words >> word;) {
            word = word.substr(word.find_first_not_of('['));
            word = word.substr(0, word.find(']'));
            if (word[0] == '-') {
                EXPECT_NE(options.find(' ' + word + ' '), std::string::npos) << word << " has no option row";
            }
        }
    }
}
