#include "model/ExchangeSort.h"

#include <algorithm>
#include <deque>
#include <numeric>
#include <stdexcept>
#include <utility>

namespace kestrel {

namespace {

// Counts, for a position, how many smaller keys stand before it.
class Fenwick {
public:
    explicit Fenwick(std::size_t n) : mTree(n + 1, 0) {}
    void add(std::size_t position) {
        for (std::size_t k = position + 1; k < mTree.size(); k += k & (~k + 1))
            ++mTree[k];
    }
    std::int64_t before(std::size_t position) const {
        std::int64_t sum = 0;
        for (std::size_t k = position; k > 0; k -= k & (~k + 1))
            sum += mTree[k];
        return sum;
    }

private:
    std::vector<std::int32_t> mTree;
};

// The final order of one group of equal keys. Seen from such a group, pass t
// of the sort (t = 1 .. smaller) meets the t-th smaller key S_t at its
// original position: the places smaller keys hold to the right of the pass
// never change, they only get used up from the left. The pass moves the
// group's leftmost member onto S_t's place when that member stands left of
// it, and moves no other member; larger keys never matter. After the last
// smaller key is placed, the group is placed in the order its members then
// stand. Members that moved sit on S-places in the order they arrived (a
// queue), so the simulation only has to find when the leftmost unmoved member
// next becomes leftmost of all, and can skip whole rounds of the queue.
//
// members: original positions, ascending; ranks[k]: smaller keys before
// member k; smaller: the number of smaller keys in all.
void orderGroup(std::vector<std::int32_t>& members, const std::vector<std::int64_t>& ranks,
                std::int64_t smaller) {
    const std::size_t k = members.size();
    if (k < 2 || ranks[0] + 1 > smaller)
        return;

    std::deque<std::int32_t> moved{members[0]};
    std::size_t next = 1;              // first member that has not moved
    std::int64_t head = ranks[0] + 1;  // S-place (1-based) of the queue's front
    while (head + static_cast<std::int64_t>(moved.size()) <= smaller) {
        const auto size = static_cast<std::int64_t>(moved.size());
        if (next < k && head > ranks[next]) {
            moved.push_back(members[next++]);
            continue;
        }
        const std::int64_t passesLeft = smaller - (head + size) + 1;
        std::int64_t rounds = next < k ? ranks[next] + 1 - head : passesLeft;
        rounds = std::min(rounds, passesLeft);
        for (std::int64_t r = rounds % size; r > 0; --r) {
            moved.push_back(moved.front());
            moved.pop_front();
        }
        head += rounds;
    }
    // Members on S-place w stand left of an unmoved member with rank r when w <= r.
    std::vector<std::int32_t> result;
    result.reserve(k);
    std::int64_t w = head;
    auto queue = moved.begin();
    while (queue != moved.end() || next < k) {
        if (queue != moved.end() && (next >= k || w <= ranks[next])) {
            result.push_back(*queue++);
            ++w;
        } else {
            result.push_back(members[next++]);
        }
    }
    members = std::move(result);
}

// Positions 1 to n-1 of order (which holds 0 .. n-1) by key, equal keys in
// their order. Codes and countries span a range not much wider than the
// list, where counting them beats comparing them.
void stableSortByKey(std::vector<std::int32_t>& order, const std::vector<std::int32_t>& keys) {
    const auto [low, high] = std::minmax_element(keys.begin() + 1, keys.end());
    const std::int64_t span = static_cast<std::int64_t>(*high) - *low + 1;
    if (span > 4 * static_cast<std::int64_t>(keys.size()) + 256) {
        std::stable_sort(order.begin() + 1, order.end(),
                         [&](std::int32_t a, std::int32_t b) { return keys[a] < keys[b]; });
        return;
    }
    std::vector<std::int32_t> starts(static_cast<std::size_t>(span) + 1, 0);
    for (std::size_t p = 1; p < keys.size(); ++p)
        ++starts[static_cast<std::size_t>(keys[p] - *low) + 1];
    std::partial_sum(starts.begin(), starts.end(), starts.begin());
    for (std::size_t p = 1; p < keys.size(); ++p) {
        auto& next = starts[static_cast<std::size_t>(keys[p] - *low)];
        order[static_cast<std::size_t>(1 + next++)] = static_cast<std::int32_t>(p);
    }
}

}  // namespace

std::vector<std::int32_t> ExchangeSortOrder(const std::vector<std::int32_t>& keys) {
    const std::size_t n = keys.size();
    std::vector<std::int32_t> order(n);
    std::iota(order.begin(), order.end(), 0);
    if (n < 3)
        return order;

    stableSortByKey(order, keys);
    Fenwick placed(n);
    std::vector<std::int32_t> members;
    std::vector<std::int64_t> ranks;
    std::int64_t smaller = 0;
    for (std::size_t g = 1; g < n;) {
        std::size_t end = g;
        while (end < n && keys[order[end]] == keys[order[g]])
            ++end;
        members.assign(order.begin() + static_cast<std::ptrdiff_t>(g),
                       order.begin() + static_cast<std::ptrdiff_t>(end));
        ranks.clear();
        for (std::int32_t m : members)
            ranks.push_back(placed.before(static_cast<std::size_t>(m)));
        orderGroup(members, ranks, smaller);
        std::copy(members.begin(), members.end(), order.begin() + static_cast<std::ptrdiff_t>(g));
        for (std::int32_t m : members)
            placed.add(static_cast<std::size_t>(m));
        smaller += static_cast<std::int64_t>(end - g);
        g = end;
    }
    return order;
}

void ApplyOrder(Equipments& equipments, const std::vector<std::int32_t>& order) {
    const auto n = static_cast<std::size_t>(equipments.Count());
    if (order.size() != n)
        throw std::invalid_argument("order does not match the collection");
    std::vector<char> seen(n, 0);
    for (std::int32_t p : order) {
        if (p < 0 || static_cast<std::size_t>(p) >= n || seen[p]) {
            throw std::invalid_argument("order is not a permutation");
        }
        seen[p] = 1;
    }
    const auto items = equipments.begin();
    auto record = [&items](std::size_t at) -> Equipment& {
        return *items[static_cast<std::ptrdiff_t>(at)];
    };
    std::vector<char>& done = seen;
    std::fill(done.begin(), done.end(), 0);
    // Each cycle of the permutation is walked once, one record held aside.
    // The walk is a chain of loads from records all over memory: the ones a
    // few steps ahead are fetched while the current one moves.
    constexpr int kAhead = 8;
    for (std::size_t start = 0; start < n; ++start) {
        if (done[start] || static_cast<std::size_t>(order[start]) == start)
            continue;
        std::size_t ahead = start;
        for (int k = 0; k < kAhead; ++k)
            ahead = static_cast<std::size_t>(order[ahead]);
        Equipment held = std::move(record(start));
        std::size_t at = start;
        while (static_cast<std::size_t>(order[at]) != start) {
            const Equipment* next = &record(ahead);
            __builtin_prefetch(next);
            __builtin_prefetch(reinterpret_cast<const char*>(next) + 64);
            __builtin_prefetch(reinterpret_cast<const char*>(next) + 128);
            ahead = static_cast<std::size_t>(order[ahead]);
            record(at) = std::move(record(static_cast<std::size_t>(order[at])));
            done[at] = 1;
            at = static_cast<std::size_t>(order[at]);
        }
        record(at) = std::move(held);
        done[at] = 1;
    }
}

}  // namespace kestrel
