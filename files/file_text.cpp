#include "files/file_text.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/error_text.h"

bool openRegularFile(const std::string& path, OpenedFile& opened)
{
    opened = OpenedFile{};
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat status {};
    if (fd < 0 || fstat(fd, &status) != 0)
        opened.errorNumber = errno;
    else if (S_ISDIR(status.st_mode))
        opened.errorNumber = EISDIR;
    else if (S_ISREG(status.st_mode) && fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
        opened.errorNumber = errno;
    else if (S_ISREG(status.st_mode)) {
        opened.fd = fd;
        opened.size = static_cast<std::uint64_t>(status.st_size);
        return true;
    }
    if (fd >= 0)
        close(fd);
    return false;
}

std::string tooLargeError(const std::string& path, std::uint64_t maxBytes)
{
    return path + ": is larger than the " + std::to_string(maxBytes >> 20) + " MiB this file may hold";
}

int openFileToRead(const std::string& path, std::uint64_t maxBytes, std::uint64_t& size, std::string& error)
{
    OpenedFile opened;
    if (!openRegularFile(path, opened)) {
        if (opened.errorNumber == EISDIR)
            error = path + ": is a directory, not a file";
        else if (opened.errorNumber != 0)
            error = path + ": cannot read: " + errorReason(opened.errorNumber);
        else
            error = path + ": is not a regular file";
        return -1;
    }
    if (opened.size > maxBytes) {
        close(opened.fd);
        error = tooLargeError(path, maxBytes);
        return -1;
    }
    size = opened.size;
    return opened.fd;
}

// Reads to the end, so a file that grows or shrinks meanwhile is still read
// whole; more than maxBytes is refused.
static bool readAll(const std::string& path, int fd, std::uint64_t maxBytes, std::size_t size, std::string& text,
                    std::string& error)
{
    std::string read;
    read.reserve(size);
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error = path + ": cannot read: " + errorReason(errno);
            return false;
        }
        if (got == 0)
            break;
        if (read.size() + static_cast<std::uint64_t>(got) > maxBytes) {
            error = tooLargeError(path, maxBytes);
            return false;
        }
        read.append(buffer, static_cast<std::size_t>(got));
    }
    text = std::move(read);
    return true;
}

bool readWholeFile(const std::string& path, std::uint64_t maxBytes, std::string& text, std::string& error)
{
    std::uint64_t size = 0;
    const int fd = openFileToRead(path, maxBytes, size, error);
    if (fd < 0)
        return false;
    const bool done = readAll(path, fd, maxBytes, static_cast<std::size_t>(size), text, error);
    close(fd);
    return done;
}

bool isPlainText(const std::string& text, const std::string& name, std::string& error)
{
    int line = 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        if (byte == '\n') {
            ++line;
            continue;
        }
        if (byte == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        if (byte == '\r') {
            error = errorAt(name, line) + "stray carriage return";
            return false;
        }
        if (byte != '\t' && (byte < 0x20 || byte > 0x7e)) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02X", byte);
            error = errorAt(name, line) + "binary byte " + hex;
            return false;
        }
    }
    return true;
}

std::vector<std::string> splitWords(std::string_view line)
{
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start)
            words.emplace_back(line.substr(start, i - start));
    }
    return words;
}
