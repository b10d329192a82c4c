// What the road map readers' tests share: scratch files and map summaries.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "graph/scene.h"

inline std::string readText(const std::string& path)
{
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

// A fresh folder under /tmp; the caller removes it.
inline std::string scratchFolder()
{
    char pattern[] = "/tmp/vialoom-roads-XXXXXX";
    return mkdtemp(pattern);
}

// Every vertex's link targets, in table order.
inline std::vector<std::vector<int>> linkTargets(const Scene& map)
{
    std::vector<std::vector<int>> targets;
    for (const Vertex& vertex : map.vertices) {
        targets.emplace_back();
        for (int i = 0; i < vertex.linkCount; ++i)
            targets.back().push_back(vertex.links[i].to);
    }
    return targets;
}

// Every position and link exactly (hexadecimal floats), one vertex a line.
inline std::string describeMap(const Scene& map)
{
    std::ostringstream text;
    text << std::hexfloat << map.metresPerUnit << "\n";
    for (const Vertex& vertex : map.vertices) {
        text << vertex.x << " " << vertex.y << ":";
        for (int i = 0; i < vertex.linkCount; ++i)
            text << " " << vertex.links[i].to << "/" << vertex.links[i].cost;
        text << "\n";
    }
    return text.str();
}

// The invariant every reader keeps: a cost is the distance of the float positions.
inline bool costsAreDistances(const Scene& map)
{
    for (const Vertex& vertex : map.vertices)
        for (int i = 0; i < vertex.linkCount; ++i)
            if (vertex.links[i].cost != vertexDistance(vertex, map.vertices[vertex.links[i].to]))
                return false;
    return true;
}
