#include "route/waiting_queue.h"

#include <algorithm>
#include <limits>

// Ranks of already-waiting vertices come first, then those of new ones.
constexpr std::uint64_t kOrderStride = 2 * kMaxLinks;
constexpr std::uint64_t kNotWaiting = std::numeric_limits<std::uint64_t>::max();

// True when a stands before b in the sorted list.
static bool before(double scoreA, std::uint64_t orderA, double scoreB, std::uint64_t orderB)
{
    if (scoreA < scoreB)
        return true;
    if (scoreB < scoreA)
        return false;
    return orderA < orderB;
}

// std::push_heap keeps the greatest on top, so "greater" means "later in the
// list". A lambda rather than a function pointer, so the heap inlines it.
static const auto later = [](const QueueEntry& a, const QueueEntry& b) {
    return before(b.score, b.order, a.score, a.order);
};

static void push(WaitingQueue& queue, int vertex, double score, std::uint64_t order)
{
    queue.score[vertex] = score;
    queue.order[vertex] = order;
    queue.heap.push_back(QueueEntry{score, vertex, order});
    std::push_heap(queue.heap.begin(), queue.heap.end(), later);
}

void queueStart(WaitingQueue& queue, std::size_t vertexCount, int start, double score)
{
    // Every vertex still waiting has an entry in the heap, so clearing those
    // entries' vertices clears the whole table, however large the graph.
    if (queue.order.size() == vertexCount) {
        for (const QueueEntry& entry : queue.heap)
            queue.order[entry.vertex] = kNotWaiting;
    } else {
        queue.score.assign(vertexCount, 0.0);
        queue.order.assign(vertexCount, kNotWaiting);
    }
    queue.heap.clear();
    push(queue, start, score, 0);
}

int queueTake(WaitingQueue& queue)
{
    while (!queue.heap.empty()) {
        std::pop_heap(queue.heap.begin(), queue.heap.end(), later);
        const QueueEntry top = queue.heap.back();
        queue.heap.pop_back();
        if (queue.order[top.vertex] != top.order)
            continue; // superseded by a later change, or already taken
        queue.order[top.vertex] = kNotWaiting;
        return top.vertex;
    }
    return -1;
}

void queueApply(WaitingQueue& queue, int expansion, const ExpansionChanges& changes)
{
    // The improved vertices, in their order just before this expansion.
    int moved[kMaxLinks];
    int movedCount = 0;
    for (int i = 0; i < changes.improvedCount; ++i)
        if (changes.improved[i].score != queue.score[changes.improved[i].vertex])
            moved[movedCount++] = i;
    std::sort(moved, moved + movedCount, [&](int a, int b) {
        const int va = changes.improved[a].vertex;
        const int vb = changes.improved[b].vertex;
        return before(queue.score[va], queue.order[va], queue.score[vb], queue.order[vb]);
    });
    const std::uint64_t base = (static_cast<std::uint64_t>(expansion) + 1) * kOrderStride;
    for (int rank = 0; rank < movedCount; ++rank) {
        const Rescore& change = changes.improved[moved[rank]];
        push(queue, change.vertex, change.score, base + static_cast<std::uint64_t>(rank));
    }
    for (int i = 0; i < changes.addedCount; ++i)
        push(queue, changes.added[i].vertex, changes.added[i].score,
             base + kMaxLinks + static_cast<std::uint64_t>(i));
}
