// Road networks given in longitude and latitude, turned into a map: the one
// projection, fit and linking shared by the OpenStreetMap and DIMACS readers.
#pragma once

#include <utility>
#include <vector>

#include "graph/scene.h"
#include "mapio/fit.h"

// Earth's mean radius, metres.
constexpr double kEarthRadius = 6371008.8;

struct RoadNetwork {
    // Degrees, one entry per vertex, in vertex order.
    std::vector<double> lon;
    std::vector<double> lat;
    // The links wanted, in the order they are made; self-pairs, repeats and
    // reversed repeats are allowed and ignored.
    std::vector<std::pair<int, int>> pairs;
    // Each pair's given cost, in pair order; empty when links cost their length.
    std::vector<float> costs;
    // Each pair's road speed in km/h, in pair order (OpenStreetMap only).
    std::vector<float> speeds;
};

// Great-circle distance in metres between two points given in degrees, on
// the sphere of radius kEarthRadius, by the haversine formula in double.
double sphereMetres(double lon1, double lat1, double lon2, double lat2);

// Replaces map with the network: x = (lon - lon0) cos(lat0) R, y = -(lat - lat0) R
// (north up) around the centre of the bounding box, fitted with fitBox and
// stored as float pixels; metresPerUnit = 1 / scale. Each pair becomes one
// two-way link costing vertexDistance of the float positions, unless its ends
// are one vertex, already linked, or either end already has 16 links. Returns
// how many distinct pairs were dropped for want of room. Indices must be valid.
// With costs, a link costs its pair's cost instead, and where a pair comes
// again (either way round) with another cost the smaller is kept and the pair
// counted once in uneven (when given).
long buildRoadMap(const RoadNetwork& network, Scene& map, long* uneven = nullptr);
