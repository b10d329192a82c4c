#include "files/atomic_file.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string_view>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/error_text.h"
#include "files/file_names.h"

// Attempts at a free temporary name before giving up.
constexpr int kNameAttempts = 100;

// Where the bytes go and what went wrong on the way.
struct Save {
    std::string target; // the file replaced, symbolic links resolved
    std::string temporary;
    int fd = -1;
    int failure = 0; // errno of the first failure
};

// The digits of text, a whole number from 1 to limit with no leading zero;
// 0 when text is anything else.
static long wholeNumber(std::string_view text, long limit)
{
    if (text.empty() || text[0] == '0' || text.size() > 10)
        return 0;
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return 0;
        value = value * 10 + (c - '0');
    }
    return value <= limit ? value : 0;
}

// The writer's process id when name is one of our temporaries,
// ".NAME.tmp-PID-N" (NAME not empty, N below kNameAttempts); 0 otherwise.
static pid_t temporaryOwner(std::string_view name)
{
    const std::size_t mark = name.rfind(".tmp-");
    if (name.size() < 2 || name[0] != '.' || mark == std::string_view::npos || mark < 2)
        return 0;
    const std::string_view rest = name.substr(mark + 5);
    const std::size_t dash = rest.find('-');
    if (dash == std::string_view::npos)
        return 0;
    const std::string_view attempt = rest.substr(dash + 1);
    if (attempt != "0" && wholeNumber(attempt, kNameAttempts - 1) == 0)
        return 0;
    return static_cast<pid_t>(wholeNumber(rest.substr(0, dash), INT_MAX));
}

// A write killed on the way (a signal, a file-size limit) leaves its
// temporary behind: remove those whose writer no longer runs. Only regular
// files of our own pattern, and only when the process is certainly gone.
static void removeStaleTemporaries(const std::string& folder)
{
    DIR* entries = opendir(folder.empty() ? "." : folder.c_str());
    if (entries == nullptr)
        return;
    while (const dirent* entry = readdir(entries)) {
        const pid_t owner = temporaryOwner(entry->d_name);
        if (owner <= 0 || kill(owner, 0) == 0 || errno != ESRCH)
            continue;
        const std::string path = folder + entry->d_name;
        struct stat status {};
        if (lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode))
            unlink(path.c_str());
    }
    closedir(entries);
}

// Saving through a symbolic link replaces the file it points to, not the link.
static std::string resolveTarget(const std::string& path)
{
    struct stat status {};
    char resolved[PATH_MAX];
    if (lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode) && realpath(path.c_str(), resolved))
        return resolved;
    return path;
}

// Created with the umask's permissions, or the old file's when there is one.
static bool createTemporary(Save& save)
{
    // Beside the target, so the rename never crosses file systems.
    const std::string stem = folderOf(save.target) + "." + baseName(save.target) + ".tmp-" + std::to_string(getpid());
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        save.temporary = stem + "-" + std::to_string(attempt);
        save.fd = open(save.temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (save.fd >= 0)
            break;
        if (errno != EEXIST) {
            save.failure = errno;
            return false;
        }
    }
    if (save.fd < 0) {
        save.failure = EEXIST;
        return false;
    }
    struct stat old {};
    if (stat(save.target.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        fchmod(save.fd, old.st_mode & 07777);
    return true;
}

static bool writeAll(Save& save, const std::string& contents)
{
    std::size_t written = 0;
    while (written < contents.size()) {
        const ssize_t put = write(save.fd, contents.data() + written, contents.size() - written);
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0) {
            save.failure = errno;
            return false;
        }
        written += static_cast<std::size_t>(put);
    }
    return true;
}

static bool finishTemporary(Save& save)
{
    const bool synced = fsync(save.fd) == 0;
    if (!synced)
        save.failure = errno;
    const bool closed = close(save.fd) == 0;
    if (!closed && synced)
        save.failure = errno;
    save.fd = -1;
    return synced && closed;
}

// The rename is durable only once the folder's entry is on disk too. Some
// file systems cannot sync a folder (EINVAL): nothing more can be done there.
static bool syncFolder(Save& save)
{
    const std::string name = folderOf(save.target);
    const int folder = open(name.empty() ? "." : name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) {
        save.failure = errno;
        return false;
    }
    const bool synced = fsync(folder) == 0 || errno == EINVAL;
    if (!synced)
        save.failure = errno;
    close(folder);
    return synced;
}

static bool refuseFolder(const std::string& path, std::string& error)
{
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || !S_ISDIR(status.st_mode))
        return false;
    error = path + ": cannot save: " + errorReason(EISDIR);
    return true;
}

bool writeFileAtomically(const std::string& path, const std::string& contents, std::string& error)
{
    if (refuseFolder(path, error))
        return false;
    Save save;
    save.target = resolveTarget(path);
    removeStaleTemporaries(folderOf(save.target));
    if (!createTemporary(save)) {
        error = path + ": cannot save: " + errorReason(save.failure);
        return false;
    }
    const bool written = writeAll(save, contents);
    if (save.fd >= 0 && !written)
        close(save.fd);
    if (!written || !finishTemporary(save) || rename(save.temporary.c_str(), save.target.c_str()) != 0) {
        if (save.failure == 0)
            save.failure = errno;
        unlink(save.temporary.c_str());
        error = path + ": cannot save: " + errorReason(save.failure);
        return false;
    }
    if (!syncFolder(save)) {
        error = path + ": saved, but the folder could not be synced: " + errorReason(save.failure);
        return false;
    }
    return true;
}
