#include "route/astar.h"

#include <algorithm>
#include <deque>
#include <utility>

namespace {
using Scored = std::pair<float, int>; // fScore, vertex
}

static bool contains(const std::deque<int>& list, int vertex)
{
    return std::find(list.begin(), list.end(), vertex) != list.end();
}

// Ascending fScore; equal scores keep their order. Each score is looked up
// once per sort rather than once per comparison.
static void sortByScore(std::deque<int>& openList, const std::map<int, float>& fScore,
                        std::vector<Scored>& scratch)
{
    scratch.clear();
    for (int vertex : openList)
        scratch.emplace_back(fScore.at(vertex), vertex);
    std::stable_sort(scratch.begin(), scratch.end(),
                     [](const Scored& a, const Scored& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < scratch.size(); ++i)
        openList[i] = scratch[i].second;
}

bool aStarSearch(std::map<int, int>& cameFrom, const std::vector<Vertex>& vertices, int start, int goal)
{
    std::map<int, float> gScore;
    std::map<int, float> fScore;
    std::deque<int> openList{start};
    std::deque<int> closedList;
    std::vector<Scored> scratch;
    gScore[start] = 0.0f;
    fScore[start] = vertexDistance(vertices[start], vertices[goal]);

    while (!openList.empty()) {
        sortByScore(openList, fScore, scratch);
        const int current = openList.front();
        const float gCurrent = gScore[current];
        if (current == goal)
            return true;
        closedList.push_back(current);
        openList.pop_front();

        const Vertex& vertex = vertices[current];
        for (int i = 0; i < vertex.linkCount; ++i) {
            const int neighbour = vertex.links[i].to;
            if (contains(closedList, neighbour))
                continue;
            const float tentative = vertex.links[i].cost + gCurrent;
            if (contains(openList, neighbour)) {
                if (gScore[neighbour] <= tentative)
                    continue; // not strictly better: the first predecessor stays
            } else {
                openList.push_back(neighbour);
            }
            cameFrom[neighbour] = current;
            gScore[neighbour] = tentative;
            fScore[neighbour] = tentative + vertexDistance(vertices[neighbour], vertices[goal]);
        }
    }
    return false;
}
