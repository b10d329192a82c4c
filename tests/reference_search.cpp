#include "tests/reference_search.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <functional>
#include <limits>
#include <queue>
#include <utility>

#include "route/weighted.h"

static float score(SearchMode mode, float g, float h)
{
    if (mode == SearchMode::Dijkstra)
        return g;
    if (mode == SearchMode::Greedy)
        return h;
    if (mode == SearchMode::Weighted)
        return weightedScore(g, h, kDefaultWeight);
    return g + h;
}

// Insertion sort: an entry passes another only when strictly smaller, so
// equal scores keep their order. fScore[i] belongs to openList[i].
static void sortByScore(std::deque<int>& openList, std::deque<float>& fScore)
{
    for (std::size_t i = 1; i < fScore.size(); ++i) {
        const float key = fScore[i];
        const int vertex = openList[i];
        std::size_t j = i;
        for (; j > 0 && key < fScore[j - 1]; --j) {
            fScore[j] = fScore[j - 1];
            openList[j] = openList[j - 1];
        }
        fScore[j] = key;
        openList[j] = vertex;
    }
}

bool referenceSearch(std::map<int, int>& cameFrom, const std::vector<Vertex>& vertices, int start, int goal,
                     SearchMode mode, std::vector<int>* expanded)
{
    std::map<int, float> gScore;
    std::deque<float> fScore;
    std::deque<int> openList{start};
    std::deque<int> closedList;
    gScore[start] = 0.0f;
    fScore.push_back(score(mode, 0.0f, distanceEstimate(vertices[start], vertices[goal])));

    while (!openList.empty()) {
        sortByScore(openList, fScore);
        const int current = openList.front();
        if (current == goal)
            return true;
        if (expanded != nullptr)
            expanded->push_back(current);
        closedList.push_back(current);
        openList.pop_front();
        fScore.pop_front();

        const Vertex& vertex = vertices[current];
        for (int i = 0; i < vertex.linkCount; ++i) {
            const int neighbour = vertex.links[i].to;
            const auto waiting = std::find(openList.begin(), openList.end(), neighbour);
            if (waiting == openList.end() &&
                std::find(closedList.rbegin(), closedList.rend(), neighbour) != closedList.rend())
                continue;
            const float tentative = vertex.links[i].cost + gScore[current];
            if (waiting != openList.end() && gScore[neighbour] <= tentative)
                continue;
            const float f = score(mode, tentative, distanceEstimate(vertices[neighbour], vertices[goal]));
            if (waiting != openList.end()) {
                fScore[waiting - openList.begin()] = f;
            } else {
                openList.push_back(neighbour);
                fScore.push_back(f);
            }
            cameFrom[neighbour] = current;
            gScore[neighbour] = tentative;
        }
    }
    return false;
}

double cheapestInDouble(const std::vector<Vertex>& vertices, int start, int goal)
{
    std::vector<double> cost(vertices.size(), HUGE_VAL);
    using Entry = std::pair<double, int>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> frontier;
    frontier.push({cost[start] = 0.0, start});
    while (!frontier.empty()) {
        const auto [sum, v] = frontier.top();
        frontier.pop();
        for (int i = 0; sum == cost[v] && i < vertices[v].linkCount; ++i) {
            const Link& link = vertices[v].links[i];
            if (sum + link.cost < cost[link.to])
                frontier.push({cost[link.to] = sum + link.cost, link.to});
        }
    }
    return cost[goal];
}

static double plainCost(const std::vector<Vertex>& graph, int from, const Link& link)
{
    const float mean = (graph[from].factor + graph[link.to].factor) * 0.5f;
    return static_cast<double>(link.cost * mean);
}

double referenceGivenCost(const std::vector<Vertex>& vertices, int start, int goal)
{
    using Pending = std::pair<double, int>;
    std::vector<double> best(vertices.size(), std::numeric_limits<double>::infinity());
    std::priority_queue<Pending, std::vector<Pending>, std::greater<Pending>> queue;
    queue.emplace(best[start] = 0.0, start);
    while (!queue.empty()) {
        const auto [sum, vertex] = queue.top();
        queue.pop();
        if (sum > best[vertex])
            continue;
        for (int i = 0; i < vertices[vertex].linkCount; ++i) {
            const Link& link = vertices[vertex].links[i];
            const double through = sum + plainCost(vertices, vertex, link);
            if (through < best[link.to])
                queue.emplace(best[link.to] = through, link.to);
        }
    }
    return best[goal];
}

std::vector<double> costGraphDistances(const CostGraph& graph, int start)
{
    std::vector<double> cost(static_cast<std::size_t>(costGraphSize(graph)), std::numeric_limits<double>::infinity());
    using Entry = std::pair<double, int>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> queue;
    cost[start] = 0.0;
    queue.push({0.0, start});
    while (!queue.empty()) {
        const auto [at, v] = queue.top();
        queue.pop();
        if (at > cost[v])
            continue;
        for (int arc = graph.first[v]; arc < graph.first[v + 1]; ++arc)
            if (at + graph.cost[arc] < cost[graph.head[arc]]) {
                cost[graph.head[arc]] = at + graph.cost[arc];
                queue.push({cost[graph.head[arc]], graph.head[arc]});
            }
    }
    return cost;
}
