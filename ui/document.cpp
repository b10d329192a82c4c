#include "ui/document.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <new>
#include <utility>
#include <vector>

#include "files/error_text.h"
#include "files/file_names.h"
#include "graph/history.h"
#include "graph/scene.h"
#include "mapio/map_file.h"
#include "route/route.h"
#include "route/search.h"
#include "ui/status.h"

constexpr int kRecoveryFilesKept = 10;
constexpr const char* kFilePrefix = "vialoom-";
constexpr const char* kMapEnding = ".vmap";

static std::string documentPath;   // where s saves; empty until opened or saved
static std::uint64_t savedState = 0; // sceneState() when last opened or saved

// arena.map -> arena.vmap, city.osm.pbf -> city.vmap: beside the original, never over it.
static std::string vmapBeside(const std::string& path)
{
    for (const std::string ending : {".osm.pbf", ".osm.bz2", ".osm", ".map", ".gr"})
        if (path.size() > ending.size() && hasEnding(path, ending))
            return path.substr(0, path.size() - ending.size()) + kMapEnding;
    return path + kMapEnding;
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
        if (name.rfind(kFilePrefix, 0) == 0 && name.size() > 5 && hasEnding(name, kMapEnding))
            names.push_back(name);
    }
    closedir(directory);
    std::sort(names.begin(), names.end());
    for (std::size_t i = 0; i + kept < names.size(); ++i)
        std::remove((folder + names[i]).c_str());
}

bool openDocument(Scene map, const std::string& path)
{
    try {
        std::string opened = path.empty() || mapFormatOf(path) == MapFormat::Vmap ? path : vmapBeside(path);
        beginEdit(kEditEverything);
        clearPredecessors(map.cameFrom); // a route is only ever what a search found here
        replaceScene(std::move(map));
        updateRoute();
        endEdit();
        documentPath = std::move(opened);
    } catch (const std::bad_alloc&) {
        abandonEdit();
        clearTrace(lastSearch); // it may be the new map's
        showStatus("not enough memory to open " + baseName(path));
        return false;
    }
    savedState = sceneState();
    return true;
}

bool saveDocument()
{
    const std::string path =
        documentPath.empty() ? timestampedPath("", std::time(nullptr), kMapEnding) : documentPath;
    std::string error;
    if (!writeMapFile(path, scene, error)) {
        std::fprintf(stderr, "vialoom: %s\n", printableText(error).c_str());
        showStatus(withoutPath(error));
        return false;
    }
    documentPath = path;
    savedState = sceneState();
    showStatus("saved " + baseName(path));
    return true;
}

const std::string& documentFile()
{
    return documentPath;
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
    const std::string path = timestampedPath(folder, std::time(nullptr), kMapEnding);
    if (!makeFolders(folder)) {
        std::fprintf(stderr, "vialoom: cannot keep unsaved work: cannot create %s\n", printableText(folder).c_str());
        return;
    }
    if (!writeMapFile(path, scene, error)) {
        std::fprintf(stderr, "vialoom: cannot keep unsaved work: %s\n", printableText(error).c_str());
        return;
    }
    savedState = sceneState();
    pruneRecoveryFolder(folder, kRecoveryFilesKept);
    std::fprintf(stderr, "vialoom: unsaved work kept in %s\n", printableText(path).c_str());
}
