// A progress line on stderr while a large file loads. One load at a time.
//
// Only on a terminal: one line rewritten in place,
//     "\rvialoom: reading FILE... 42%"
// each time the whole percentage grows, and wiped (blanked, cursor back at
// the line start) when the load ends, so warnings and errors start clean.
// Elsewhere (a pipe, a log file) nothing is written: there an error stays
// the one line it promises to be. Loads of fewer than kProgressMinBytes
// show nothing at all.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

constexpr std::uint64_t kProgressMinBytes = 4u << 20;

// Starts reporting the load of name, totalBytes long (the sum when a load
// reads several files). Ends any report still open first.
void progressBegin(const std::string& name, std::uint64_t totalBytes);

// Starts reporting work (no file): "vialoom: WORK... 42%" on a terminal
// whatever total is, as doneBytes of total steps grow. Ends any report still
// open first.
void progressBeginWork(const std::string& work, std::uint64_t total);
// progressBegin for other long work on a file: "vialoom: DOING NAME... 42%"
// over total units, shown only when total is at least minimum.
void progressBeginWork(const std::string& doing, const std::string& name, std::uint64_t total,
                       std::uint64_t minimum);

// Records that doneBytes of the total are read (values past the total count
// as the total; a smaller value than before changes nothing). Does nothing
// when no report is open.
void progressUpdate(std::uint64_t doneBytes);

// Ends the report, wiping the terminal line. Safe to call when no report is
// open.
void progressEnd();

// Sends reports to stream as if it were (terminal) or were not a terminal;
// stream nullptr returns to stderr, its terminal-ness asked of the system.
void progressRedirect(std::FILE* stream, bool terminal);
