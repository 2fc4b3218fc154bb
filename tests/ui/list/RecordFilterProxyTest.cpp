#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <algorithm>
#include <memory>
#include <numeric>
#include <random>
#include <string>

#include "model/Equipments.h"
#include "model/FieldTable.h"
#include "model/RecordFilter.h"
#include "ui/document/Document.h"
#include "ui/list/RecordFilterProxy.h"

using namespace kestrel;
using namespace kestrel::ui;

namespace {

struct Shown {
    const char* filter;
    Field column;  // EqCode: list order
    Qt::SortOrder order;
};

// What the rows must be: the filter's records in list order, stably sorted.
std::vector<std::string> expectedNames(const Document& document, const RecordFilter& filter,
                                       const Shown& shown) {
    std::vector<const Equipment*> kept;
    for (const EquipmentRef& e : document.equipments())
        if (filter.empty() || filter.Matches(*e))
            kept.push_back(e.get());
    if (shown.column != Field::EqCode) {
        const int field = static_cast<int>(shown.column);
        auto less = [field](const Equipment* a, const Equipment* b) {
            if (fieldKind(field) == FieldKind::Text)
                return a->text(field) < b->text(field);
            return a->number(field) < b->number(field);
        };
        std::stable_sort(kept.begin(), kept.end(), [&](const Equipment* a, const Equipment* b) {
            return shown.order == Qt::AscendingOrder ? less(a, b) : less(b, a);
        });
    }
    std::vector<std::string> names;
    for (const Equipment* e : kept)
        names.push_back(e->EqName());
    return names;
}

std::vector<std::string> shownNames(const RecordFilterProxy& proxy) {
    std::vector<std::string> names;
    const int name = static_cast<int>(Field::EqName);
    for (int row = 0; row < proxy.rowCount(); ++row)
        names.push_back(proxy.index(row, name).data().toString().toStdString());
    return names;
}

}  // namespace

// Seeded random changes of the list and of the filter, in each way of
// showing it. After each,
// the rows are a plain filter and stable sort of the records, the model
// tester has found every signal in agreement with the rows, and the
// persistent indexes kept on rows still stand on their records, or on none
// where the record went, the filter hides it now, or the views started over.
TEST(RecordFilterProxy, RowsFollowEveryChangeOfTheListAsAPlainFilterAndSortWould) {
    const Shown ways[] = {
        {"", Field::EqCode, Qt::AscendingOrder},
        {"SA>=2", Field::EqCode, Qt::AscendingOrder},
        {"", Field::SoftAttack, Qt::AscendingOrder},
        {"SA>=2", Field::SoftAttack, Qt::DescendingOrder},
        {"SA<3", Field::EqName, Qt::AscendingOrder},
    };
    const int sa = static_cast<int>(Field::SoftAttack);
    const int nameColumn = static_cast<int>(Field::EqName);
    for (const Shown& way : ways) {
        SCOPED_TRACE(std::string(way.filter) + " by " + fieldName(static_cast<int>(way.column)));
        std::mt19937 random(28);
        int made = 0;
        auto record = [&] {
            Equipment e;
            e.setEqName("R" + std::to_string(++made) + (random() % 2 ? "a" : ""));
            e.setSoftAttack(static_cast<Byte>(random() % 5));
            return e;
        };
        Document document;
        RecordFilterProxy proxy(document);
        QAbstractItemModelTester tester(&proxy,
                                        QAbstractItemModelTester::FailureReportingMode::Fatal);
        RecordFilter filter = ParseFilter(way.filter).filter;
        proxy.setFilter(filter);
        if (way.column != Field::EqCode)
            proxy.sort(static_cast<int>(way.column), way.order);
        std::vector<Equipment> first;
        for (int i = 0; i < 30; ++i)
            first.push_back(record());
        document.insertRecords(1, first);

        for (int step = 0; step < 300; ++step) {
            std::vector<std::pair<QPersistentModelIndex, std::string>> kept;
            for (int k = 0; k < 3 && proxy.rowCount() > 0; ++k) {
                const QModelIndex at = proxy.index(
                    static_cast<int>(random() % static_cast<unsigned>(proxy.rowCount())),
                    nameColumn);
                kept.emplace_back(at, at.data().toString().toStdString());
            }
            const auto n = static_cast<std::int32_t>(document.equipments().Count());
            auto position = [&](std::int32_t last) {
                return static_cast<std::int32_t>(random() % static_cast<unsigned>(last)) + 1;
            };
            const unsigned op = n < 3 ? 0 : random() % 8;
            std::string did;
            if (op == 0) {
                std::vector<Equipment> values;
                for (unsigned k = random() % 4 + 1; k > 0; --k)
                    values.push_back(record());
                document.insertRecords(position(n + 1), values);
                did = "insert";
            } else if (op == 1) {
                const std::int32_t at = position(n);
                document.removeRecords(at, std::min<std::int32_t>(n - at + 1, position(3)));
                did = "remove";
            } else if (op == 2) {
                const std::int32_t at = position(n);
                Equipment e = *document.equipments().Item(at);
                e.setSoftAttack(static_cast<Byte>(random() % 5));
                document.replaceRecord(at, e);
                did = "replace";
            } else if (op == 3) {
                std::vector<std::pair<std::int32_t, std::int64_t>> values;
                for (int k = 0; k < 4; ++k)
                    values.emplace_back(position(n), random() % 5);
                document.setNumbers(sa, values);
                did = "set numbers";
            } else if (op == 4) {
                document.swapAdjacent(position(n - 1));
                did = "swap";
            } else if (op == 5) {
                std::vector<std::int32_t> order(static_cast<std::size_t>(n));
                std::iota(order.begin(), order.end(), 0);
                std::shuffle(order.begin(), order.end(), random);
                document.permute(order);
                did = "permute";
            } else if (op == 6) {
                // Typed on, a word or a bound narrows what is shown; typed
                // over, it does not.
                const char* typed[] = {"",   "r",     "r1",    "r12",     "a",
                                       "1a", "SA>=1", "SA>=3", "SA>=3 r1"};
                filter = ParseFilter(typed[random() % 9]).filter;
                proxy.setFilter(filter);
                did = "filter";
            } else {
                auto list = std::make_unique<Equipments>();
                for (unsigned k = random() % 20 + 5; k > 0; --k)
                    list->Add(record());
                document.replaceAll(std::move(list), true);
                did = "replace all";
            }
            SCOPED_TRACE("step " + std::to_string(step) + ": " + did);
            ASSERT_EQ(shownNames(proxy), expectedNames(document, filter, way));
            const std::vector<std::string> now = shownNames(proxy);
            for (const auto& [index, name] : kept) {
                const bool shown = std::find(now.begin(), now.end(), name) != now.end();
                // A new filter starts the views over, as a new list does.
                const bool reset = did == "replace all" || did == "filter";
                ASSERT_EQ(index.isValid(), shown && !reset) << name;
                if (index.isValid()) {
                    EXPECT_EQ(index.data().toString().toStdString(), name);
                }
            }
        }
    }
}
