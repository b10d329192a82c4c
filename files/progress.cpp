#include "files/progress.h"

#include <unistd.h>

struct ProgressState {
    bool open = false;
    std::string name;
    std::uint64_t total = 0;
    int shown = 0;          // last percentage written (terminal) or quarter (elsewhere)
    std::size_t width = 0;  // characters on the terminal line, for wiping
};

static ProgressState progress;
static std::FILE* redirected = nullptr;
static bool redirectedTerminal = false;

static std::FILE* progressStream()
{
    return redirected != nullptr ? redirected : stderr;
}

static bool onTerminal()
{
    return redirected != nullptr ? redirectedTerminal : isatty(STDERR_FILENO) == 1;
}

static void showPercent(int percent)
{
    std::FILE* stream = progressStream();
    const std::string text = "vialoom: reading " + progress.name + "... " + std::to_string(percent) + "%";
    if (onTerminal()) {
        std::fprintf(stream, "\r%s", text.c_str());
        progress.width = text.size();
    } else {
        std::fprintf(stream, "%s\n", text.c_str());
    }
    std::fflush(stream);
}

void progressBegin(const std::string& name, std::uint64_t totalBytes)
{
    progressEnd();
    if (totalBytes < kProgressMinBytes)
        return;
    progress = ProgressState{true, name, totalBytes, 0, 0};
    if (onTerminal())
        showPercent(0);
}

void progressUpdate(std::uint64_t doneBytes)
{
    if (!progress.open)
        return;
    const std::uint64_t done = doneBytes < progress.total ? doneBytes : progress.total;
    const int percent = static_cast<int>(done * 100 / progress.total);
    const int step = onTerminal() ? percent : percent / 25 * 25;
    if (step <= progress.shown)
        return;
    progress.shown = step;
    showPercent(step);
}

void progressEnd()
{
    if (!progress.open)
        return;
    if (onTerminal()) {
        std::FILE* stream = progressStream();
        std::fprintf(stream, "\r%s\r", std::string(progress.width, ' ').c_str());
        std::fflush(stream);
    }
    progress = ProgressState{};
}

void progressRedirect(std::FILE* stream, bool terminal)
{
    redirected = stream;
    redirectedTerminal = terminal;
}
