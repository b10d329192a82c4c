#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "mapio/atomic_file.h"

namespace {

constexpr uid_t kNobody = 65534;

struct Folder {
    std::string path;
    Folder()
    {
        char name[] = "/tmp/atomic-test-XXXXXX";
        path = mkdtemp(name);
        chmod(path.c_str(), 0755);
    }
    ~Folder() { std::system(("rm -rf '" + path + "'").c_str()); }
};

std::string contentsOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

std::vector<std::string> entries(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    while (const dirent* entry = readdir(dir))
        if (std::string(entry->d_name) != "." && std::string(entry->d_name) != "..")
            names.push_back(entry->d_name);
    closedir(dir);
    return names;
}

// Runs the save in a child process after prepare (dropping privileges,
// limiting the file size), so the test process keeps its own. Returns what
// the child's save returned; error receives its message.
bool saveInChild(const std::string& path, const std::string& contents, std::string& error,
                 const std::function<bool()>& prepare)
{
    int channel[2];
    if (pipe(channel) != 0)
        return true;
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        if (!prepare())
            _exit(2);
        std::string message;
        const bool saved = writeFileAtomically(path, contents, message);
        if (write(channel[1], message.data(), message.size()) < 0)
            _exit(3);
        _exit(saved ? 0 : 1);
    }
    close(channel[1]);
    char buffer[512];
    error.clear();
    for (ssize_t got; (got = read(channel[0], buffer, sizeof buffer)) > 0;)
        error.append(buffer, static_cast<std::size_t>(got));
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_NE(WEXITSTATUS(status), 2) << "the child could not prepare";
    return WEXITSTATUS(status) == 0;
}

} // namespace

TEST(WriteFileAtomically, CreatesAndReplacesKeepingPermissionsAndLeavesNoTemporary)
{
    Folder folder;
    const std::string path = folder.path + "/map.vmap";
    std::string error;
    ASSERT_TRUE(writeFileAtomically(path, "first\n", error)) << error;
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(writeFileAtomically(path, std::string(100000, 'x'), error)) << error;
    EXPECT_EQ(contentsOf(path), std::string(100000, 'x'));
    struct stat status {};
    stat(path.c_str(), &status);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(entries(folder.path), std::vector<std::string>{"map.vmap"});
}

TEST(WriteFileAtomically, SavesThroughASymbolicLink)
{
    Folder folder;
    const std::string real = folder.path + "/real.vmap";
    const std::string link = folder.path + "/link.vmap";
    std::string error;
    ASSERT_TRUE(writeFileAtomically(real, "old", error));
    ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);
    ASSERT_TRUE(writeFileAtomically(link, "new", error)) << error;
    EXPECT_EQ(contentsOf(real), "new");
    struct stat status {};
    lstat(link.c_str(), &status);
    EXPECT_TRUE(S_ISLNK(status.st_mode));
}

TEST(WriteFileAtomically, AFailureLeavesTheOldFileAndNoTemporary)
{
    Folder folder;
    const std::string path = folder.path + "/map.vmap";
    std::string error;
    ASSERT_TRUE(writeFileAtomically(path, "old contents", error));
    ASSERT_EQ(mkdir((folder.path + "/sub.vmap").c_str(), 0755), 0);
    const auto asNobody = [&] {
        if (geteuid() != 0)
            return chmod(folder.path.c_str(), 0555) == 0; // permissions bite an ordinary user directly
        return setgid(kNobody) == 0 && setuid(kNobody) == 0;
    };
    const auto smallFiles = [] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4, 4};
        return setrlimit(RLIMIT_FSIZE, &limit) == 0;
    };
    const struct {
        const char* what;
        std::string path;
        std::function<bool()> prepareChild; // empty: save in this process
        std::string message;
    } cases[] = {
        {"a folder it may not write", path, asNobody, path + ": cannot save: permission denied"},
        {"a full disk", path, smallFiles, path + ": cannot save: file too large"},
        {"a directory as the target", folder.path + "/sub.vmap", {},
         folder.path + "/sub.vmap: cannot save: is a directory"},
        {"a missing folder", folder.path + "/none/map.vmap", {},
         folder.path + "/none/map.vmap: cannot save: no such file or directory"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.what);
        const bool saved = row.prepareChild ? saveInChild(row.path, "new contents", error, row.prepareChild)
                                            : writeFileAtomically(row.path, "new contents", error);
        chmod(folder.path.c_str(), 0755);
        EXPECT_FALSE(saved);
        EXPECT_EQ(error, row.message);
        EXPECT_EQ(contentsOf(path), "old contents");
        EXPECT_EQ(entries(folder.path).size(), 2u); // map.vmap and sub.vmap only
        EXPECT_TRUE(entries(folder.path + "/sub.vmap").empty());
    }
}
