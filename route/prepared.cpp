#include "route/prepared.h"

#include <chrono>

void (*preparationProgress)(const char* work, int done, int total) = nullptr;

static PreparedGraph scenePrepared;
static std::uint64_t scenePreparedRevision = 0;
static bool scenePreparedValid = false;

static void reportLandmarks(int done, int total)
{
    if (preparationProgress != nullptr)
        preparationProgress("choosing landmarks", done, total);
}

bool prepareSearch(PreparedGraph& prepared, const std::vector<Vertex>& vertices, SearchMode mode, std::string& why)
{
    if (mode == SearchMode::Jps) {
        if (!prepared.gridChecked) {
            prepared.isGrid = recogniseGrid(vertices, prepared.grid, prepared.notGrid);
            prepared.gridChecked = true;
        }
        if (!prepared.isGrid)
            why = "jps needs a uniform eight-connected grid without corner cutting: " + prepared.notGrid;
        return prepared.isGrid;
    }
    if (mode == SearchMode::Alt && !prepared.landmarksMade) {
        const auto began = std::chrono::steady_clock::now();
        prepared.arcs = costGraphOf(vertices);
        const bool report = vertices.size() >= kPreparationReportVertices;
        prepared.landmarks =
            chooseLandmarks(vertices, prepared.arcs, kLandmarkCount, report ? reportLandmarks : nullptr);
        prepared.landmarksMade = true;
        prepared.landmarkSeconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    }
    return true;
}

const CostModel& preparedCostModel(PreparedGraph& prepared, const std::vector<Vertex>& vertices)
{
    if (!prepared.costsKnown) {
        prepared.costs = costModelOf(vertices);
        prepared.costsKnown = true;
    }
    return prepared.costs;
}

PreparedGraph& scenePreparation()
{
    if (!scenePreparedValid || scenePreparedRevision != graphRevision()) {
        scenePrepared = PreparedGraph{};
        scenePreparedRevision = graphRevision();
        scenePreparedValid = true;
    }
    return scenePrepared;
}

const PreparedGraph* currentScenePreparation()
{
    return scenePreparedValid && scenePreparedRevision == graphRevision() ? &scenePrepared : nullptr;
}

PreparedGraph& preparationFor(const std::vector<Vertex>& vertices, PreparedGraph& own)
{
    return &vertices == &scene.vertices ? scenePreparation() : own;
}

bool searchUsable(const std::vector<Vertex>& vertices, SearchMode mode, PreparedGraph* prepared, std::string& why)
{
    PreparedGraph own;
    return prepareSearch(prepared != nullptr ? *prepared : preparationFor(vertices, own), vertices, mode, why);
}
