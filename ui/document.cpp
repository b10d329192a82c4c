#include "ui/document.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <utility>
#include <vector>

#include "graph/history.h"
#include "graph/scene.h"
#include "mapio/map_file.h"
#include "route/route.h"
#include "ui/search_view.h"
#include "ui/status.h"

constexpr int kRecoveryFilesKept = 10;
constexpr const char* kFilePrefix = "vialoom-";
constexpr const char* kMapEnding = ".vmap";

static std::string documentPath;   // where s saves; empty until opened or saved
static std::uint64_t savedState = 0; // sceneState() when last opened or saved

static std::string baseName(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// arena.map -> arena.vmap, city.osm.pbf -> city.vmap: beside the original, never over it.
static std::string vmapBeside(const std::string& path)
{
    for (const char* ending : {".osm.pbf", ".osm.bz2", ".osm", ".map", ".gr"}) {
        const std::size_t length = std::char_traits<char>::length(ending);
        if (path.size() > length && path.compare(path.size() - length, length, ending) == 0)
            return path.substr(0, path.size() - length) + kMapEnding;
    }
    return path + kMapEnding;
}

static bool exists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

// folder/vialoom-YYYYMMDD-HHMMSS.vmap, with -2, -3 ... should that second be taken.
static std::string timestampedPath(const std::string& folder)
{
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string stem = folder + kFilePrefix + stamp;
    std::string path = stem + kMapEnding;
    for (int n = 2; exists(path); ++n)
        path = stem + "-" + std::to_string(n) + kMapEnding;
    return path;
}

// "dir/map.vmap: cannot save: permission denied" -> "cannot save: permission denied"
static std::string withoutPath(const std::string& error)
{
    const std::size_t at = error.find("cannot save");
    return at == std::string::npos ? error : error.substr(at);
}

static bool makeFolders(const std::string& folder)
{
    for (std::size_t at = 1; at <= folder.size(); ++at) {
        if (at < folder.size() && folder[at] != '/')
            continue;
        const std::string part = folder.substr(0, at);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

static std::string recoveryFolder()
{
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/')
        return std::string(state) + "/vialoom/";
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr && home[0] != '\0' ? home : ".") + "/.local/state/vialoom/";
}

// Keeps the newest kept files of ours in folder; the timestamped names sort by age.
static void pruneRecoveryFolder(const std::string& folder, int kept)
{
    DIR* directory = opendir(folder.c_str());
    if (directory == nullptr)
        return;
    std::vector<std::string> names;
    while (const dirent* entry = readdir(directory)) {
        const std::string name = entry->d_name;
        if (name.rfind(kFilePrefix, 0) == 0 && name.size() > 5 &&
            name.compare(name.size() - 5, 5, kMapEnding) == 0)
            names.push_back(name);
    }
    closedir(directory);
    std::sort(names.begin(), names.end());
    for (std::size_t i = 0; i + kept < names.size(); ++i)
        std::remove((folder + names[i]).c_str());
}

MapData sceneAsMap()
{
    MapData map;
    map.vertices = vertices;
    map.startVertex = startVertex;
    map.goalVertex = goalVertex;
    map.markedVertex = markedVertex;
    return map;
}

void openDocument(MapData map, const std::string& path)
{
    beginEdit(kEditEverything);
    vertices = std::move(map.vertices);
    ++verticesRevision;
    startVertex = map.startVertex;
    goalVertex = map.goalVertex;
    markedVertex = map.markedVertex;
    cameFrom.clear();
    updateRoute();
    endEdit();
    documentPath = mapFormatOf(path) == MapFormat::Vmap ? path : vmapBeside(path);
    savedState = sceneState();
    setPictureFolder(documentPath);
}

bool saveDocument()
{
    const std::string path = documentPath.empty() ? timestampedPath("") : documentPath;
    std::string error;
    if (!writeMapFile(path, sceneAsMap(), error)) {
        std::fprintf(stderr, "vialoom: %s\n", error.c_str());
        showStatus(withoutPath(error));
        return false;
    }
    documentPath = path;
    savedState = sceneState();
    setPictureFolder(documentPath);
    showStatus("saved " + baseName(path));
    return true;
}

bool documentIsUnsaved()
{
    return sceneState() != savedState;
}

void keepUnsavedWork()
{
    if (!documentIsUnsaved())
        return;
    const std::string folder = recoveryFolder();
    std::string error;
    const std::string path = timestampedPath(folder);
    if (!makeFolders(folder)) {
        std::fprintf(stderr, "vialoom: cannot keep unsaved work: cannot create %s\n", folder.c_str());
        return;
    }
    if (!writeMapFile(path, sceneAsMap(), error)) {
        std::fprintf(stderr, "vialoom: cannot keep unsaved work: %s\n", error.c_str());
        return;
    }
    savedState = sceneState();
    pruneRecoveryFolder(folder, kRecoveryFilesKept);
    std::fprintf(stderr, "vialoom: unsaved work kept in %s\n", path.c_str());
}
