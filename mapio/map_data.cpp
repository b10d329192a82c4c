#include "mapio/map_data.h"

#include <algorithm>

constexpr double kFitMargin = 10.0;

static bool isIndex(const MapData& map, int index)
{
    return index >= 0 && index < static_cast<int>(map.vertices.size());
}

static bool linksAreSound(const MapData& map, int index)
{
    const Vertex& vertex = map.vertices[index];
    if (vertex.linkCount < 0 || vertex.linkCount > kMaxLinks)
        return false;
    for (int i = 0; i < vertex.linkCount; ++i) {
        const Link& link = vertex.links[i];
        if (!isIndex(map, link.to) || link.to == index)
            return false;
        for (int j = 0; j < i; ++j)
            if (vertex.links[j].to == link.to)
                return false;
        const Vertex& other = map.vertices[link.to];
        bool twin = false;
        for (int j = 0; j < other.linkCount; ++j)
            twin = twin || (other.links[j].to == index && other.links[j].cost == link.cost);
        if (!twin)
            return false;
    }
    return true;
}

Fit fitBox(double minX, double minY, double maxX, double maxY)
{
    const double width = maxX - minX;
    const double height = maxY - minY;
    Fit fit;
    if (width > 0.0 || height > 0.0) {
        const double across = width > 0.0 ? (kFitWidth - 2 * kFitMargin) / width : 1e300;
        const double down = height > 0.0 ? (kFitHeight - 2 * kFitMargin) / height : 1e300;
        fit.scale = std::min(across, down);
    }
    fit.offsetX = (kFitWidth - width * fit.scale) / 2.0 - minX * fit.scale;
    fit.offsetY = (kFitHeight - height * fit.scale) / 2.0 - minY * fit.scale;
    return fit;
}

bool mapIsConsistent(const MapData& map)
{
    for (int i = 0; i < static_cast<int>(map.vertices.size()); ++i)
        if (!linksAreSound(map, i))
            return false;
    for (int selection : {map.startVertex, map.goalVertex, map.markedVertex})
        if (selection != -1 && !isIndex(map, selection))
            return false;
    return true;
}
