#include "mapio/road_graph.h"

#include <algorithm>
#include <cmath>
#include <set>

constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;

struct Projection {
    double lon0 = 0.0;
    double lat0 = 0.0;
    double cosLat0 = 1.0;
};

static Projection centreOf(const RoadNetwork& network)
{
    Projection projection;
    if (network.lon.empty())
        return projection;
    const auto [westIt, eastIt] = std::minmax_element(network.lon.begin(), network.lon.end());
    const auto [southIt, northIt] = std::minmax_element(network.lat.begin(), network.lat.end());
    projection.lon0 = (*westIt + *eastIt) / 2.0;
    projection.lat0 = (*southIt + *northIt) / 2.0;
    projection.cosLat0 = std::cos(projection.lat0 * kRadiansPerDegree);
    return projection;
}

static double projectX(const Projection& projection, double lon)
{
    return (lon - projection.lon0) * kRadiansPerDegree * projection.cosLat0 * kEarthRadius;
}

static double projectY(const Projection& projection, double lat)
{
    return -(lat - projection.lat0) * kRadiansPerDegree * kEarthRadius;
}

// Places every vertex; returns the fit used.
static Fit placeVertices(const RoadNetwork& network, std::vector<Vertex>& placed)
{
    const Projection projection = centreOf(network);
    const std::size_t count = network.lon.size();
    double minX = 0.0, maxX = 0.0, minY = 0.0, maxY = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        const double x = projectX(projection, network.lon[i]);
        const double y = projectY(projection, network.lat[i]);
        minX = i == 0 ? x : std::min(minX, x);
        maxX = i == 0 ? x : std::max(maxX, x);
        minY = i == 0 ? y : std::min(minY, y);
        maxY = i == 0 ? y : std::max(maxY, y);
    }
    const Fit fit = fitBox(minX, minY, maxX, maxY);
    placed.assign(count, Vertex{});
    for (std::size_t i = 0; i < count; ++i) {
        placed[i].x = static_cast<float>(fit.offsetX + fit.scale * projectX(projection, network.lon[i]));
        placed[i].y = static_cast<float>(fit.offsetY + fit.scale * projectY(projection, network.lat[i]));
    }
    return fit;
}

// Sets the cost of the link between a and b, both ways.
static void setCost(std::vector<Vertex>& placed, int a, int b, float cost)
{
    const_cast<Link*>(findLink(placed[a], b))->cost = cost;
    const_cast<Link*>(findLink(placed[b], a))->cost = cost;
}

double sphereMetres(double lon1, double lat1, double lon2, double lat2)
{
    const double north = std::sin((lat2 - lat1) * kRadiansPerDegree / 2.0);
    const double east = std::sin((lon2 - lon1) * kRadiansPerDegree / 2.0);
    const double a = north * north +
                     std::cos(lat1 * kRadiansPerDegree) * std::cos(lat2 * kRadiansPerDegree) * east * east;
    return 2.0 * kEarthRadius * std::asin(std::min(1.0, std::sqrt(a)));
}

long buildRoadMap(const RoadNetwork& network, Scene& map, long* uneven)
{
    Scene built;
    const Fit fit = placeVertices(network, built.vertices);
    built.metresPerUnit = 1.0 / fit.scale;
    std::vector<Vertex>& placed = built.vertices;
    // Dropped pairs are rare; remembering them counts a pair met twice once.
    std::set<std::pair<int, int>> dropped;
    std::set<std::pair<int, int>> differing;
    const bool given = !network.costs.empty();
    for (std::size_t i = 0; i < network.pairs.size(); ++i) {
        const auto [a, b] = network.pairs[i];
        if (a == b)
            continue;
        if (const Link* link = findLink(placed[a], b); link != nullptr) {
            if (given && link->cost != network.costs[i]) {
                differing.insert(std::minmax(a, b));
                setCost(placed, a, b, std::min(link->cost, network.costs[i]));
            }
            continue;
        }
        if (placed[a].linkCount == kMaxLinks || placed[b].linkCount == kMaxLinks) {
            dropped.insert(std::minmax(a, b));
            continue;
        }
        toggleLinkIn(placed, a, b);
        if (given)
            setCost(placed, a, b, network.costs[i]);
    }
    if (uneven != nullptr)
        *uneven = static_cast<long>(differing.size());
    map = std::move(built);
    return static_cast<long>(dropped.size());
}
