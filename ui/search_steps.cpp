#include "ui/search_steps.h"

#include <algorithm>

static bool inTables(const SearchTrace& trace, int vertex)
{
    return vertex >= 0 && vertex < static_cast<int>(trace.reachedAt.size()) &&
           vertex < static_cast<int>(trace.expandedAt.size());
}

int stepCount(const SearchTrace& trace)
{
    return static_cast<int>(trace.expanded.size());
}

int vertexExpandedAt(const SearchTrace& trace, int step)
{
    if (step < 1 || step > stepCount(trace))
        return -1;
    return trace.expanded[static_cast<std::size_t>(step - 1)];
}

bool expandedBy(const SearchTrace& trace, int vertex, int step)
{
    if (!inTables(trace, vertex))
        return false;
    const int at = trace.expandedAt[static_cast<std::size_t>(vertex)];
    return at != -1 && at < step;
}

bool waitingAt(const SearchTrace& trace, int vertex, int step)
{
    if (!inTables(trace, vertex))
        return false;
    const int reached = trace.reachedAt[static_cast<std::size_t>(vertex)];
    return reached != -1 && reached <= step && !expandedBy(trace, vertex, step);
}

StepSets setsAtStep(const SearchTrace& trace, int step)
{
    step = std::clamp(step, 0, stepCount(trace));
    StepSets sets;
    sets.expanded.assign(trace.expanded.begin(), trace.expanded.begin() + step);
    for (int vertex = 0; vertex < static_cast<int>(trace.reachedAt.size()); ++vertex)
        if (waitingAt(trace, vertex, step))
            sets.waiting.push_back(vertex);
    return sets;
}

StepSets takeBackHalf(const SearchTrace& trace, StepSets& sets)
{
    StepSets back;
    if (trace.side.empty())
        return back;
    std::vector<int> forward;
    for (std::size_t i = 0; i < sets.expanded.size(); ++i)
        (i < trace.expandedSide.size() && trace.expandedSide[i] == 1 ? back.expanded : forward).push_back(
            sets.expanded[i]);
    sets.expanded = std::move(forward);
    std::vector<int> waiting;
    for (int vertex : sets.waiting)
        (static_cast<std::size_t>(vertex) < trace.side.size() && trace.side[static_cast<std::size_t>(vertex)] == 1
             ? back.waiting
             : waiting)
            .push_back(vertex);
    sets.waiting = std::move(waiting);
    return back;
}

ReachOrder reachOrder(const SearchTrace& trace)
{
    ReachOrder order;
    for (int vertex = 0; vertex < static_cast<int>(trace.reachedAt.size()); ++vertex)
        if (trace.reachedAt[static_cast<std::size_t>(vertex)] != -1)
            order.vertices.push_back(vertex);
    std::stable_sort(order.vertices.begin(), order.vertices.end(), [&](int a, int b) {
        return trace.reachedAt[static_cast<std::size_t>(a)] < trace.reachedAt[static_cast<std::size_t>(b)];
    });
    for (int vertex : order.vertices)
        order.steps.push_back(trace.reachedAt[static_cast<std::size_t>(vertex)]);
    return order;
}

int reachedCount(const ReachOrder& order, int step)
{
    return static_cast<int>(std::upper_bound(order.steps.begin(), order.steps.end(), step) - order.steps.begin());
}
