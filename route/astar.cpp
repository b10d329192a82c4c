#include "route/astar.h"

#include <algorithm>
#include <deque>

static std::deque<int>::iterator findWaiting(std::deque<int>& openList, int vertex)
{
    return std::find(openList.begin(), openList.end(), vertex);
}

// The finished list is searched from its back, where a neighbour expanded
// recently, the usual case, is found soonest.
static bool isFinished(const std::deque<int>& closedList, int vertex)
{
    return std::find(closedList.rbegin(), closedList.rend(), vertex) != closedList.rend();
}

// Insertion sort into ascending fScore: an entry moves ahead of another only
// when strictly smaller, so equal scores keep their order. The list is still
// sorted from the last expansion but for a few new or improved entries, so
// this is close to linear. fScore[i] belongs to openList[i] and moves with it.
static void sortByScore(std::deque<int>& openList, std::deque<float>& fScore)
{
    for (std::size_t i = 1; i < fScore.size(); ++i) {
        const float score = fScore[i];
        if (!(score < fScore[i - 1]))
            continue;
        const int vertex = openList[i];
        std::size_t j = i;
        for (; j > 0 && score < fScore[j - 1]; --j) {
            fScore[j] = fScore[j - 1];
            openList[j] = openList[j - 1];
        }
        fScore[j] = score;
        openList[j] = vertex;
    }
}

bool aStarSearch(std::map<int, int>& cameFrom, const std::vector<Vertex>& vertices, int start, int goal)
{
    std::map<int, float> gScore;
    std::deque<float> fScore; // fScore[i] = gScore + distance to goal, of openList[i]
    std::deque<int> openList{start};
    std::deque<int> closedList;
    gScore[start] = 0.0f;
    fScore.push_back(vertexDistance(vertices[start], vertices[goal]));

    while (!openList.empty()) {
        sortByScore(openList, fScore);
        const int current = openList.front();
        const float gCurrent = gScore[current];
        if (current == goal)
            return true;
        closedList.push_back(current);
        openList.pop_front();
        fScore.pop_front();

        const Vertex& vertex = vertices[current];
        for (int i = 0; i < vertex.linkCount; ++i) {
            const int neighbour = vertex.links[i].to;
            // The lists never share a vertex, so the short waiting list is asked first.
            const auto waiting = findWaiting(openList, neighbour);
            if (waiting == openList.end() && isFinished(closedList, neighbour))
                continue;
            const float tentative = vertex.links[i].cost + gCurrent;
            if (waiting != openList.end() && gScore[neighbour] <= tentative)
                continue; // not strictly better: the first predecessor stays
            const float score = tentative + vertexDistance(vertices[neighbour], vertices[goal]);
            if (waiting != openList.end()) {
                fScore[waiting - openList.begin()] = score;
            } else {
                openList.push_back(neighbour);
                fScore.push_back(score);
            }
            cameFrom[neighbour] = current;
            gScore[neighbour] = tentative;
        }
    }
    return false;
}
