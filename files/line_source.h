// Lines of a text, numbered from 1, taken either from memory or from a file
// read in chunks (so a large file never sits in memory whole).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

// Longest line a file may hold; anything longer is refused, not buffered.
constexpr std::size_t kMaxLineBytes = 1u << 20;
// What a file is read by at a time.
constexpr std::size_t kLineChunkBytes = 1u << 20;

struct LineSource {
    std::FILE* file = nullptr;  // null when the text is in memory
    std::string buffer;         // file mode: read but not yet handed out
    std::string_view text;      // memory mode: the whole text
    std::size_t position = 0;   // next character to hand out; in memory mode, its offset in text
    std::size_t maxLineBytes = kMaxLineBytes; // longer lines are refused (lineTooLong); no limit in memory mode
    std::size_t chunkBytes = kLineChunkBytes; // file mode: bytes read at a time
    std::uint64_t maxFileBytes = UINT64_MAX;  // file mode: reading past this many bytes stops (tooLarge)
    bool atEnd = false;         // file mode: nothing more to read
    bool readFailed = false;    // file mode: reading stopped on an error, readError
    int readError = 0;          // errno of that error
    bool lineTooLong = false;   // a line ran past maxLineBytes
    bool tooLarge = false;      // file mode: the file grew past maxFileBytes
    bool keepFinalCr = false;   // a CR ending the text, no "\n" after it, stays in the last line
    long lineNumber = 0;        // number of the line last handed out
    std::uint64_t fileSize = 0; // file mode: size when opened
    std::uint64_t bytesRead = 0;
};

// A source over text, which must outlive it.
LineSource linesOfText(std::string_view text);

// Opens path for reading, never blocking on a pipe; false with error
// "PATH: cannot open: REASON" when it is missing, unreadable or a directory,
// "PATH: is not a regular file" for a FIFO, a device or a socket.
bool openLines(const std::string& path, LineSource& source, std::string& error);

// A source reading the regular file open on fd, size bytes long, which it
// takes over; false (fd closed, errno set) when no stream can be made.
bool linesOfFile(int fd, std::uint64_t size, LineSource& source);

// Closes the file of a source opened with openLines; harmless otherwise.
void closeLines(LineSource& source);

// The next line, without its "\n" or "\r\n", valid until the next call; a
// last line without "\n" counts, a CR ending it cut off unless keepFinalCr.
// False at the end of the text, or when a read fails, a line holds more than
// maxLineBytes before its "\n" or the file grows too large (readFailed,
// lineTooLong or tooLarge then holds). Never looks further than
// maxLineBytes + 1 bytes past the line's start.
bool nextLine(LineSource& source, std::string_view& line);

// Bytes handed out so far, line ends included: where the next line starts.
std::uint64_t linesOffset(const LineSource& source);

// Bytes after that offset: of the text, or of the file's size when opened.
std::uint64_t linesLeft(const LineSource& source);
