#include "model/ExchangeSort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <utility>
#include <vector>

using namespace kestrel;

namespace {

// The exchange sort exactly as the list ran it, on (key, original position).
std::vector<std::int32_t> literalOrder(const std::vector<std::int32_t>& keys) {
    const std::size_t n = keys.size();
    std::vector<std::pair<std::int32_t, std::int32_t>> a(n);
    for (std::size_t p = 0; p < n; ++p)
        a[p] = {keys[p], static_cast<std::int32_t>(p)};
    for (std::size_t i = 1; i + 1 < n; ++i) {
        for (std::size_t j = i + 1; j < n; ++j) {
            if (a[i].first > a[j].first)
                std::swap(a[i], a[j]);
        }
    }
    std::vector<std::int32_t> order(n);
    for (std::size_t p = 0; p < n; ++p)
        order[p] = a[p].second;
    return order;
}

std::vector<std::int32_t> keysInOrder(const std::vector<std::int32_t>& keys,
                                      const std::vector<std::int32_t>& order) {
    std::vector<std::int32_t> out;
    for (std::int32_t p : order)
        out.push_back(keys[p]);
    return out;
}

}  // namespace

TEST(ExchangeSort, ExamplesOfTheList) {
    struct Case {
        std::vector<std::int32_t> keys;
        std::vector<std::int32_t> sortedKeys;
    };
    const Case cases[] = {
        {{0, 9, 4, 7}, {0, 4, 7, 9}},
        {{9, 4, 7}, {9, 4, 7}},
        {{99, 5, 3}, {99, 3, 5}},
        {{0, 3, 1, 3, 2}, {0, 1, 2, 3, 3}},
        {{7}, {7}},
        {{7, 1}, {7, 1}},
        {{}, {}},
    };
    for (const auto& c : cases) {
        auto order = ExchangeSortOrder(c.keys);
        EXPECT_EQ(keysInOrder(c.keys, order), c.sortedKeys);
        EXPECT_EQ(order, literalOrder(c.keys));
    }
    // Ties are not stable: 5, 5, 3 at positions 2 to 4 end as 3, 5, 5 reversed.
    EXPECT_EQ(ExchangeSortOrder({0, 5, 5, 3}), (std::vector<std::int32_t>{0, 3, 2, 1}));
}

TEST(ExchangeSort, MatchesTheLiteralSortOnRandomListsWithTies) {
    std::mt19937 rng(20261208);
    for (int round = 0; round < 4000; ++round) {
        const int n = static_cast<int>(rng() % 60);
        const int distinct = 1 + static_cast<int>(rng() % 8);
        std::vector<std::int32_t> keys(n);
        for (auto& k : keys)
            k = static_cast<std::int32_t>(rng() % distinct) - distinct / 2;
        ASSERT_EQ(ExchangeSortOrder(keys), literalOrder(keys)) << "round " << round;
    }
}

TEST(ExchangeSort, MatchesTheLiteralSortOnLargerShapedLists) {
    std::mt19937 rng(7);
    for (int round = 0; round < 60; ++round) {
        const int n = 200 + static_cast<int>(rng() % 800);
        std::vector<std::int32_t> keys(n);
        const int shape = round % 5;
        for (int i = 0; i < n; ++i) {
            switch (shape) {
                case 0:
                    keys[i] = static_cast<std::int32_t>(rng() % 26);
                    break;
                case 1:
                    keys[i] = (n - i) / 3;
                    break;  // reverse order, ties in threes
                case 2:
                    keys[i] = i % 7;
                    break;  // saw teeth
                case 3:
                    keys[i] = static_cast<std::int32_t>(rng() % 3) == 0 ? INT32_MIN : INT32_MAX;
                    break;
                default:
                    keys[i] = static_cast<std::int32_t>(rng());
                    break;
            }
        }
        ASSERT_EQ(ExchangeSortOrder(keys), literalOrder(keys)) << "round " << round;
    }
}

TEST(ExchangeSort, ApplyOrderMovesContentsNotRecords) {
    Equipments list;
    for (int i = 0; i < 5; ++i) {
        Equipment e;
        e.setEqCode(10 - i);
        e.setEqName("n" + std::to_string(i));
        list.Add(e);
    }
    std::vector<EquipmentRef> before(list.begin(), list.end());
    std::vector<std::int32_t> keys;
    for (const auto& e : list)
        keys.push_back(e->EqCode());
    ApplyOrder(list, ExchangeSortOrder(keys));
    std::vector<std::int32_t> codes;
    for (int p = 1; p <= list.Count(); ++p) {
        EXPECT_EQ(list.Item(p), before[static_cast<std::size_t>(p - 1)]);
        codes.push_back(list.Item(p)->EqCode());
    }
    EXPECT_EQ(codes, (std::vector<std::int32_t>{10, 6, 7, 8, 9}));
    EXPECT_EQ(list.Item(2)->EqName(), "n4");
    EXPECT_THROW(ApplyOrder(list, {0, 1, 2, 3}), std::invalid_argument);
    EXPECT_THROW(ApplyOrder(list, {0, 1, 2, 3, 3}), std::invalid_argument);

    // Long cycles, and cycles of every length, land each record where the
    // order says.
    std::mt19937 random(5);
    for (int round = 0; round < 20; ++round) {
        Equipments many;
        const int n = 1 + static_cast<int>(random() % 400);
        for (int i = 0; i < n; ++i) {
            Equipment e;
            e.setEqCode(i);
            many.Add(e);
        }
        std::vector<std::int32_t> order(static_cast<std::size_t>(n));
        std::iota(order.begin(), order.end(), 0);
        std::shuffle(order.begin() + (round % 2), order.end(), random);
        ApplyOrder(many, order);
        for (int p = 0; p < n; ++p)
            ASSERT_EQ(many.Item(p + 1)->EqCode(), order[static_cast<std::size_t>(p)]) << round;
    }
}
