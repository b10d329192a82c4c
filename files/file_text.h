// Reading a whole map file into memory, refusing what is not a plain file,
// and cutting plain text into words (files/line_source.h cuts it into lines).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Opens path for reading without ever blocking (a FIFO with no writer, a
// device): false with errorNumber set when it cannot be opened (EISDIR for a
// directory) or 0 when it is some other kind than a regular file. On success
// fd reads in blocking mode and size is the file's length.
struct OpenedFile {
    int fd = -1;
    int errorNumber = 0;
    std::uint64_t size = 0;
};
bool openRegularFile(const std::string& path, OpenedFile& opened);

// openRegularFile with one-line refusals "PATH: what", the ones readWholeFile
// gives, a file larger than maxBytes refused too. The descriptor, or -1.
int openFileToRead(const std::string& path, std::uint64_t maxBytes, std::uint64_t& size, std::string& error);

// "PATH: is larger than the N MiB this file may hold".
std::string tooLargeError(const std::string& path, std::uint64_t maxBytes);

// Reads the regular file at path into text. Refuses a missing or unreadable
// file, a directory, anything that is not a regular file (never blocking on
// a pipe) and a file larger than maxBytes, with one line "PATH: what";
// text is then left as it was.
bool readWholeFile(const std::string& path, std::uint64_t maxBytes, std::string& text, std::string& error);

// Checks that text is plain ASCII: printable characters, tabs, and line
// feeds, a carriage return only right before a line feed. Otherwise error is
// "NAME:LINE: binary byte 0xNN" (or "stray carriage return").
bool isPlainText(const std::string& text, const std::string& name, std::string& error);

// The words of a line, split at runs of spaces and tabs.
std::vector<std::string> splitWords(std::string_view line);
