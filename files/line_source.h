// Lines of a text, numbered from 1, taken either from memory or from a file
// read in chunks (so a large file never sits in memory whole).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

// Longest line a file may hold; anything longer is refused, not buffered.
constexpr std::size_t kMaxLineBytes = 1u << 20;

struct LineSource {
    std::FILE* file = nullptr;  // null when the text is in memory
    std::string buffer;         // file mode: read but not yet handed out
    std::string_view text;      // memory mode: the whole text
    std::size_t position = 0;   // next character to hand out; in memory mode, its offset in text
    bool atEnd = false;         // file mode: nothing more to read
    bool readFailed = false;    // file mode: reading stopped on an error
    bool lineTooLong = false;   // file mode: a line ran past kMaxLineBytes
    bool keepFinalCr = false;   // a CR ending the text, no "\n" after it, stays in the last line
    long lineNumber = 0;        // number of the line last handed out
    std::uint64_t fileSize = 0; // file mode: size when opened
    std::uint64_t bytesRead = 0;
};

// A source over text, which must outlive it.
LineSource linesOfText(std::string_view text);

// Opens path for reading; false with error "PATH: cannot open: REASON" when
// it is missing, unreadable or a directory.
bool openLines(const std::string& path, LineSource& source, std::string& error);

// Closes the file of a source opened with openLines; harmless otherwise.
void closeLines(LineSource& source);

// The next line, without its "\n" or "\r\n", valid until the next call; a
// last line without "\n" counts, a CR ending it cut off unless keepFinalCr.
// False at the end of the text, or when a read fails or a file's line is too
// long (readFailed or lineTooLong then holds).
bool nextLine(LineSource& source, std::string_view& line);
