#include "files/file_names.h"

#include <sys/stat.h>

bool fileExists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

bool hasEnding(const std::string& name, const std::string& ending)
{
    return name.size() >= ending.size() && name.compare(name.size() - ending.size(), ending.size(), ending) == 0;
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string baseName(const std::string& path)
{
    return path.substr(folderOf(path).size());
}

std::string timestampedPath(const std::string& folder, std::time_t when, const std::string& ending)
{
    std::tm local{};
    localtime_r(&when, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "vialoom-%Y%m%d-%H%M%S", &local);
    const std::string stem = folder + stamp;
    std::string path = stem + ending;
    for (int n = 2; fileExists(path); ++n)
        path = stem + "-" + std::to_string(n) + ending;
    return path;
}
