#include "files/progress.h"

#include <unistd.h>

#include "files/error_text.h"

struct ProgressState {
    bool open = false;
    std::string label; // "reading FILE", or the work's name
    std::uint64_t total = 0;
    int shown = 0;          // last percentage written
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
    const std::string text =
        "vialoom: " + progress.label + "... " + std::to_string(percent) + "%";
    std::fprintf(stream, "\r%s", text.c_str());
    progress.width = text.size();
    std::fflush(stream);
}

void progressBegin(const std::string& name, std::uint64_t totalBytes)
{
    progressBeginWork("reading", name, totalBytes, kProgressMinBytes);
}

void progressBeginWork(const std::string& doing, const std::string& name, std::uint64_t total,
                       std::uint64_t minimum)
{
    progressEnd();
    if (total < minimum || total == 0 || !onTerminal())
        return;
    progress = ProgressState{true, doing + " " + printableText(name), total, 0, 0};
    showPercent(0);
}

void progressBeginWork(const std::string& work, std::uint64_t total)
{
    progressEnd();
    if (total == 0 || !onTerminal())
        return;
    progress = ProgressState{true, printableText(work), total, 0, 0};
    showPercent(0);
}

void progressUpdate(std::uint64_t doneBytes)
{
    if (!progress.open)
        return;
    const std::uint64_t done = doneBytes < progress.total ? doneBytes : progress.total;
    const int percent = static_cast<int>(done * 100 / progress.total);
    if (percent <= progress.shown)
        return;
    progress.shown = percent;
    showPercent(percent);
}

void progressEnd()
{
    if (!progress.open)
        return;
    std::FILE* stream = progressStream();
    std::fprintf(stream, "\r%s\r", std::string(progress.width, ' ').c_str());
    std::fflush(stream);
    progress = ProgressState{};
}

void progressRedirect(std::FILE* stream, bool terminal)
{
    redirected = stream;
    redirectedTerminal = terminal;
}
