#include "files/line_source.h"

#include <sys/stat.h>

#include <cerrno>

#include "files/error_text.h"

constexpr std::size_t kChunkBytes = 1u << 20;

// Reads one more chunk onto the buffer, first dropping what was handed out.
static void refill(LineSource& source)
{
    source.buffer.erase(0, source.position);
    source.position = 0;
    const std::size_t kept = source.buffer.size();
    source.buffer.resize(kept + kChunkBytes);
    const std::size_t got = std::fread(&source.buffer[kept], 1, kChunkBytes, source.file);
    source.buffer.resize(kept + got);
    source.bytesRead += got;
    if (got < kChunkBytes) {
        source.atEnd = true;
        source.readFailed = std::ferror(source.file) != 0;
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
    return source;
}

bool openLines(const std::string& path, LineSource& source, std::string& error)
{
    source = LineSource{};
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        error = path + ": cannot open: " + errorReason(errno);
        return false;
    }
    struct stat status {};
    if (fstat(fileno(file), &status) != 0 || S_ISDIR(status.st_mode)) {
        std::fclose(file);
        error = path + ": cannot open: " + errorReason(EISDIR);
        return false;
    }
    source.file = file;
    source.fileSize = static_cast<std::uint64_t>(status.st_size);
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
    std::size_t end = unread(source).find('\n');
    while (end == std::string_view::npos && !source.atEnd) {
        const std::size_t searched = unread(source).size();
        if (searched > kMaxLineBytes) {
            source.lineTooLong = true;
            return false;
        }
        refill(source);
        end = unread(source).find('\n', searched);
    }
    if (source.readFailed)
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
