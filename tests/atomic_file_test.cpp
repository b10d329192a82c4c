#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "files/atomic_file.h"

namespace {

constexpr uid_t kNobody = 65534;

std::string makeFolder()
{
    char name[] = "/tmp/atomic-test-XXXXXX";
    if (mkdtemp(name))
        chmod(name, 0755); // nobody must reach the files inside
    return name;
}

std::string contentsOf(const std::string& path)
{
    std::stringstream buffer;
    buffer << std::ifstream(path, std::ios::binary).rdbuf();
    return buffer.str();
}

std::set<std::string> entries(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename());
    return names;
}

// Saves in a child process after prepare (dropping privileges, limiting the
// file size), so this process keeps its own. The child's error comes back
// through a pipe.
bool saveInChild(const std::string& path, std::string& error, const std::function<bool()>& prepare)
{
    int channel[2];
    if (pipe(channel) != 0)
        return true;
    const pid_t child = fork();
    if (child == 0) {
        if (!prepare())
            _exit(2);
        const bool saved = writeFileAtomically(path, "new contents", error);
        _exit(write(channel[1], error.data(), error.size()) < 0 ? 3 : saved ? 0 : 1);
    }
    close(channel[1]);
    char buffer[512];
    const ssize_t got = read(channel[0], buffer, sizeof buffer);
    error.assign(buffer, got > 0 ? static_cast<std::size_t>(got) : 0);
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 1) << "2: the child could not prepare, 0: it saved";
    return WEXITSTATUS(status) == 0;
}

} // namespace

TEST(WriteFileAtomically, ReplacesKeepingPermissionsThroughLinksAndLeavesNoTemporary)
{
    const std::string folder = makeFolder();
    const std::string path = folder + "/map.vmap";
    std::string error;
    ASSERT_TRUE(writeFileAtomically(path, "first\n", error)) << error;
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    ASSERT_EQ(symlink(path.c_str(), (folder + "/link.vmap").c_str()), 0);
    ASSERT_TRUE(writeFileAtomically(folder + "/link.vmap", std::string(100000, 'x'), error)) << error;
    EXPECT_EQ(contentsOf(path), std::string(100000, 'x'));
    struct stat status {};
    lstat(path.c_str(), &status);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    lstat((folder + "/link.vmap").c_str(), &status);
    EXPECT_TRUE(S_ISLNK(status.st_mode));
    EXPECT_EQ(entries(folder), (std::set<std::string>{"link.vmap", "map.vmap"}));
    std::filesystem::remove_all(folder);
}

// A name without a folder is saved, and its folder synced, in the current one.
TEST(WriteFileAtomically, SavesANameWithoutAFolderInTheCurrentOne)
{
    const std::string folder = makeFolder();
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    std::string error;
    EXPECT_TRUE(writeFileAtomically("map.vmap", "here\n", error)) << error;
    std::filesystem::current_path(before);
    EXPECT_EQ(contentsOf(folder + "/map.vmap"), "here\n");
    EXPECT_EQ(entries(folder), (std::set<std::string>{"map.vmap"}));
    std::filesystem::remove_all(folder);
}

TEST(WriteFileAtomically, AFailureLeavesTheOldFileAndNoTemporary)
{
    const std::string folder = makeFolder();
    const std::string path = folder + "/map.vmap";
    std::string error;
    ASSERT_TRUE(writeFileAtomically(path, "old contents", error));
    ASSERT_EQ(mkdir((folder + "/sub.vmap").c_str(), 0755), 0);
    // Root ignores permissions: the save runs as nobody, or, for an ordinary
    // user, in a folder made read-only.
    const auto asNobody = [&] {
        if (geteuid() != 0)
            return chmod(folder.c_str(), 0555) == 0;
        return setgid(kNobody) == 0 && setuid(kNobody) == 0;
    };
    // A disk that fills up after four bytes.
    const auto smallFiles = [] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4, 4};
        return setrlimit(RLIMIT_FSIZE, &limit) == 0;
    };
    const struct {
        std::string path;
        std::function<bool()> prepareChild; // empty: save in this process
        std::string message;
    } cases[] = {
        {path, asNobody, path + ": cannot save: permission denied"},
        {path, smallFiles, path + ": cannot save: file too large"},
        {folder + "/sub.vmap", {}, folder + "/sub.vmap: cannot save: is a directory"},
        {folder + "/none/map.vmap", {}, folder + "/none/map.vmap: cannot save: no such file or directory"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.message);
        const bool saved = row.prepareChild ? saveInChild(row.path, error, row.prepareChild)
                                            : writeFileAtomically(row.path, "new contents", error);
        chmod(folder.c_str(), 0755);
        EXPECT_FALSE(saved);
        EXPECT_EQ(error, row.message);
        EXPECT_EQ(contentsOf(path), "old contents");
        EXPECT_EQ(entries(folder), (std::set<std::string>{"map.vmap", "sub.vmap"}));
        EXPECT_TRUE(entries(folder + "/sub.vmap").empty());
    }
    std::filesystem::remove_all(folder);
}

TEST(WriteFileAtomically, RemovesOnlyTheTemporariesOfWritersThatDied)
{
    const std::string folder = makeFolder();
    const std::string path = folder + "/map.vmap";
    // A save killed by the file-size limit leaves its temporary behind.
    const pid_t killed = fork();
    if (killed == 0) {
        std::signal(SIGXFSZ, SIG_DFL);
        const rlimit limit{4, 4};
        std::string error;
        if (setrlimit(RLIMIT_FSIZE, &limit) == 0)
            writeFileAtomically(path, "new contents", error);
        _exit(0);
    }
    int status = 0;
    waitpid(killed, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;
    const std::string dead = std::to_string(killed), self = std::to_string(getpid());
    const std::string left = ".map.vmap.tmp-" + dead + "-0";
    ASSERT_EQ(entries(folder), (std::set<std::string>{left}));

    const std::set<std::string> stale{left, ".picture.svg.tmp-" + dead + "-99", "..x.tmp-" + dead + "-7"};
    const std::set<std::string> kept{
        ".map.vmap.tmp-" + self + "-0",   // a writer still running: this one
        "map.vmap.tmp-" + dead + "-0",    // not hidden
        ".tmp-" + dead + "-0",            // no name
        ".map.vmap.tmp-" + dead,          // no attempt number
        ".map.vmap.tmp-" + dead + "-0x",  // more after it
        ".map.vmap.tmp-" + dead + "-100", // beyond the attempts made
        ".map.vmap.tmp-0" + dead + "-1",  // not how a process id is written
        ".map.vmap.tmp-0-0",              // no process
        ".map.vmap.tmp--1-0",             // every process, were it taken for one
        "notes.txt",
    };
    for (const std::set<std::string>* names : {&stale, &kept})
        for (const std::string& name : *names)
            std::ofstream(folder + "/" + name) << "partial";
    ASSERT_EQ(mkdir((folder + "/.folder.tmp-" + dead + "-0").c_str(), 0755), 0);

    std::string error;
    ASSERT_TRUE(writeFileAtomically(path, "saved", error)) << error;
    std::set<std::string> expected = kept;
    expected.insert({"map.vmap", ".folder.tmp-" + dead + "-0"});
    EXPECT_EQ(entries(folder), expected);
    EXPECT_EQ(contentsOf(path), "saved");
    std::filesystem::remove_all(folder);
}
