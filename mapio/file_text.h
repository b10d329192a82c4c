// Reading a whole map file into memory, refusing what is not a plain file.
#pragma once

#include <cstdint>
#include <string>

// Reads the regular file at path into text. Refuses a missing or unreadable
// file, a directory, anything that is not a regular file (never blocking on
// a pipe) and a file larger than maxBytes, with one line "PATH: what";
// text is then left as it was.
bool readWholeFile(const std::string& path, std::uint64_t maxBytes, std::string& text, std::string& error);
