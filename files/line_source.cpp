#include "files/line_source.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "files/error_text.h"
#include "files/file_text.h"

// Reads one more chunk onto the buffer, first dropping what was handed out.
// No more than the file's size asks for, and a byte: a small file takes a
// small buffer, and one grown since it was opened is still read to its end.
static void refill(LineSource& source)
{
    source.buffer.erase(0, source.position);
    source.position = 0;
    const std::size_t kept = source.buffer.size();
    const std::uint64_t expected = source.fileSize > source.bytesRead ? source.fileSize - source.bytesRead : 0;
    const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(source.chunkBytes, expected + 1));
    source.buffer.resize(kept + wanted);
    errno = 0;
    const std::size_t got = std::fread(&source.buffer[kept], 1, wanted, source.file);
    source.buffer.resize(kept + got);
    source.bytesRead += got;
    if (source.bytesRead > source.maxFileBytes) {
        source.tooLarge = true;
        source.atEnd = true;
    } else if (got < wanted) {
        source.atEnd = true;
        source.readFailed = std::ferror(source.file) != 0;
        source.readError = source.readFailed && errno != 0 ? errno : EIO;
    }
}

static std::string_view unread(const LineSource& source)
{
    const std::string_view all = source.file != nullptr ? std::string_view(source.buffer) : source.text;
    return all.substr(source.position);
}

LineSource linesOfText(std::string_view text)
{
    LineSource source;
    source.text = text;
    source.atEnd = true;
    source.maxLineBytes = SIZE_MAX - 1;
    return source;
}

bool linesOfFile(int fd, std::uint64_t size, LineSource& source)
{
    source = LineSource{};
    std::FILE* file = fdopen(fd, "rb");
    if (file == nullptr) {
        const int reason = errno;
        close(fd);
        errno = reason;
        return false;
    }
    source.file = file;
    source.fileSize = size;
    return true;
}

bool openLines(const std::string& path, LineSource& source, std::string& error)
{
    source = LineSource{};
    OpenedFile opened;
    if (!openRegularFile(path, opened)) {
        error = opened.errorNumber != 0 ? path + ": cannot open: " + errorReason(opened.errorNumber)
                                        : path + ": is not a regular file";
        return false;
    }
    if (!linesOfFile(opened.fd, opened.size, source)) {
        error = path + ": cannot open: " + errorReason(errno);
        return false;
    }
    return true;
}

void closeLines(LineSource& source)
{
    if (source.file != nullptr)
        std::fclose(source.file);
    source.file = nullptr;
}

bool nextLine(LineSource& source, std::string_view& line)
{
    // Only the first maxLineBytes + 1 bytes are searched: a file bad from
    // its first line is refused without reading on.
    std::size_t searched = 0;
    std::size_t end = std::string_view::npos;
    for (;;) {
        const std::string_view rest = unread(source);
        const bool full = rest.size() > source.maxLineBytes;
        const std::size_t window = full ? source.maxLineBytes + 1 : rest.size();
        end = rest.substr(0, window).find('\n', searched);
        if (end != std::string_view::npos)
            break;
        if (full) {
            source.lineTooLong = true;
            return false;
        }
        if (source.atEnd)
            break;
        searched = window;
        refill(source);
    }
    if (source.readFailed || source.tooLarge)
        return false;
    const std::string_view rest = unread(source);
    if (rest.empty())
        return false;
    const bool fed = end != std::string_view::npos;
    line = rest.substr(0, end);
    source.position += fed ? end + 1 : rest.size();
    if (!line.empty() && line.back() == '\r' && (fed || !source.keepFinalCr))
        line.remove_suffix(1);
    ++source.lineNumber;
    return true;
}

std::uint64_t linesOffset(const LineSource& source)
{
    if (source.file == nullptr)
        return source.position;
    return source.bytesRead - (source.buffer.size() - source.position);
}

std::uint64_t linesLeft(const LineSource& source)
{
    const std::uint64_t total = source.file != nullptr ? source.fileSize : source.text.size();
    const std::uint64_t offset = linesOffset(source);
    return offset < total ? total - offset : 0;
}
