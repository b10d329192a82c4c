#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "graph/history.h"
#include "graph/scene.h"
#include "mapgen/mapgen.h"
#include "mapio/map_file.h"
#include "ui/document.h"
#include "ui/input.h"
#include "ui/status.h"

namespace {

// A fresh folder that the test works in and removes afterwards.
struct Folder {
    std::string path;
    Folder()
    {
        char pattern[] = "/tmp/vialoom-document-XXXXXX";
        path = mkdtemp(pattern);
    }
    // A scratch folder left behind harms nothing, so the status is not checked.
    ~Folder()
    {
        if (std::system(("rm -rf '" + path + "'").c_str()) != 0)
            return;
    }
    std::vector<std::string> names() const
    {
        std::vector<std::string> found;
        DIR* directory = opendir(path.c_str());
        while (const dirent* entry = readdir(directory))
            if (entry->d_name[0] != '.')
                found.push_back(entry->d_name);
        closedir(directory);
        std::sort(found.begin(), found.end());
        return found;
    }
};

std::string contents(const std::string& path)
{
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

void drawTriangle()
{
    handleMouse(kLeftButton, kButtonDown, 10, 10, 0);
    handleMouse(kLeftButton, kButtonDown, 50, 10, 0);
    handleMouse(kLeftButton, kButtonDown, 30, 40, 0);
    handleMouse(kLeftButton, kButtonDown, 30, 40, kModifierCtrl);
    handleMouse(kLeftButton, kButtonDown, 10, 10, kModifierCtrl);
}

} // namespace

TEST(Document, SavesToANewFileThenToTheSameOneAndTracksUnsavedWork)
{
    Folder folder;
    char* cwd = get_current_dir_name();
    const std::string here = cwd;
    std::free(cwd);
    ASSERT_EQ(chdir(folder.path.c_str()), 0);
    clearMap();
    clearHistory();
    drawTriangle();
    EXPECT_TRUE(documentIsUnsaved());
    EXPECT_TRUE(saveDocument());
    ASSERT_EQ(folder.names().size(), 1u);
    const std::string name = folder.names()[0];
    EXPECT_EQ(name.rfind("vialoom-", 0), 0u);
    EXPECT_EQ(statusAt(statusClock()), "saved " + name);
    EXPECT_FALSE(documentIsUnsaved());

    handleMouse(kLeftButton, kButtonDown, 70, 70, 0);
    EXPECT_TRUE(documentIsUnsaved());
    EXPECT_TRUE(saveDocument());
    EXPECT_EQ(folder.names(), std::vector<std::string>{name}); // the same file again
    Scene back;
    std::string error;
    ASSERT_TRUE(readMapFile(folder.path + "/" + name, back, error)) << error;
    EXPECT_EQ(back.vertices.size(), 4u);
    EXPECT_EQ(back.markedVertex, scene.markedVertex);
    ASSERT_EQ(chdir(here.c_str()), 0);
}

TEST(Document, AFailedSaveKeepsTheDrawingUnsavedAndSaysWhy)
{
    Folder folder;
    const std::string path = folder.path + "/map.vmap";
    clearMap();
    drawTriangle();
    Scene map = scene;
    std::string error;
    ASSERT_TRUE(writeMapFile(path, map, error)) << error;
    openDocument(map, path);
    handleMouse(kLeftButton, kButtonDown, 90, 90, 0);
    // A folder in the way of the file's name: rename cannot replace it (root
    // ignores permissions, so this is the failure a test can count on).
    ASSERT_EQ(unlink(path.c_str()), 0);
    ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
    EXPECT_FALSE(saveDocument());
    EXPECT_TRUE(documentIsUnsaved());
    EXPECT_EQ(statusAt(statusClock()).rfind("cannot save", 0), 0u) << statusAt(statusClock());
    EXPECT_EQ(folder.names(), std::vector<std::string>{"map.vmap"}); // no temporary left behind
}

TEST(Document, AnImportedMapIsSavedBesideItNeverOverIt)
{
    Folder folder;
    const std::string original = folder.path + "/arena.map";
    std::ofstream(original) << "not touched\n";
    clearMap();
    drawTriangle();
    openDocument(scene, original);
    EXPECT_FALSE(documentIsUnsaved());
    EXPECT_TRUE(saveDocument());
    EXPECT_EQ(contents(original), "not touched\n");
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"arena.map", "arena.vmap"}));
}

// A map's scale is part of the map: it used to be dropped on opening, so
// saving an imported city lost its metres (and a grid its cells).
TEST(Document, AMapsScaleSurvivesOpeningSavingAndUndo)
{
    const std::tuple<const char*, double, double> maps[] = {{"/city.osm", 2.5, 0.0}, {"/arena.map", 0.0, 12.25}};
    for (const auto& [name, metres, cell] : maps) {
        SCOPED_TRACE(name);
        Folder folder;
        clearMap();
        drawTriangle();
        Scene map = scene;
        map.metresPerUnit = metres;
        map.cellSize = cell;
        openDocument(map, folder.path + name);
        EXPECT_TRUE(scene.metresPerUnit == metres && scene.cellSize == cell);
        ASSERT_TRUE(saveDocument());
        Scene back;
        std::string error;
        ASSERT_TRUE(readMapFile(documentFile(), back, error)) << error;
        EXPECT_TRUE(back.metresPerUnit == metres && back.cellSize == cell);
        handleKey('2', 0, 0);
        EXPECT_TRUE(scene.metresPerUnit == 0.0 && scene.cellSize == 0.0) << "a generated lattice is in pixels";
        handleKey('u', 0, 0);
        EXPECT_TRUE(scene.metresPerUnit == metres && scene.cellSize == cell) << "undo brings the scale back";
        EXPECT_FALSE(documentIsUnsaved());
    }
}

TEST(Document, QuittingKeepsUnsavedWorkAndOnlyTheNewestTen)
{
    Folder folder;
    setenv("XDG_STATE_HOME", folder.path.c_str(), 1);
    const std::string kept = folder.path + "/vialoom";
    clearMap();
    drawTriangle();
    openDocument(scene, folder.path + "/saved.vmap");
    keepUnsavedWork(); // nothing changed since the open
    EXPECT_EQ(folder.names(), std::vector<std::string>{});

    mkdir(kept.c_str(), 0700);
    for (int day = 10; day < 22; ++day)
        std::ofstream(kept + "/vialoom-200001" + std::to_string(day) + "-000000.vmap") << "old\n";
    std::ofstream(kept + "/notes.txt") << "not ours\n";
    handleMouse(kLeftButton, kButtonDown, 5, 5, 0);
    keepUnsavedWork();
    Folder listing;
    listing.path = kept;
    const std::vector<std::string> names = listing.names();
    listing.path = "/nonexistent-never-removed";
    ASSERT_EQ(names.size(), 11u); // ten of ours and the stranger
    EXPECT_EQ(names[0], "notes.txt");
    EXPECT_EQ(names[1], "vialoom-20000113-000000.vmap"); // the three oldest are gone
    Scene back;
    std::string error;
    EXPECT_TRUE(readMapFile(kept + "/" + names[10], back, error)) << error;
    EXPECT_EQ(back.vertices.size(), 4u);
    EXPECT_FALSE(documentIsUnsaved());
    unsetenv("XDG_STATE_HOME");
}
