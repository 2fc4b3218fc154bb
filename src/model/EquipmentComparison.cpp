#include "model/EquipmentComparison.h"

#include <algorithm>

namespace kestrel {

std::vector<const Equipment*> RecordsOf(const Equipments& list) {
    std::vector<const Equipment*> records;
    records.reserve(static_cast<std::size_t>(list.Count()));
    for (const auto& ref : list)
        records.push_back(ref.get());
    return records;
}

namespace {

// Positions (0-based) ordered by code, list order kept among equal codes.
std::vector<std::int32_t> byCode(const std::vector<const Equipment*>& records) {
    std::vector<std::int32_t> order(records.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<std::int32_t>(i);
    std::stable_sort(order.begin(), order.end(), [&](std::int32_t a, std::int32_t b) {
        return records[static_cast<std::size_t>(a)]->EqCode() <
               records[static_cast<std::size_t>(b)]->EqCode();
    });
    return order;
}

// partner[i] is the 0-based position in the other list matched with record i,
// or -1. Fills duplicates along the way.
void matchByCode(const std::vector<const Equipment*>& a, const std::vector<const Equipment*>& b,
                 std::vector<std::int32_t>& partnerOfA, std::vector<std::int32_t>& partnerOfB,
                 std::vector<DuplicateCode>* duplicates) {
    auto orderA = byCode(a);
    auto orderB = byCode(b);
    auto codeA = [&](std::size_t k) { return a[static_cast<std::size_t>(orderA[k])]->EqCode(); };
    auto codeB = [&](std::size_t k) { return b[static_cast<std::size_t>(orderB[k])]->EqCode(); };
    std::size_t i = 0, j = 0;
    while (i < orderA.size() || j < orderB.size()) {
        Long code;
        if (j >= orderB.size() || (i < orderA.size() && codeA(i) <= codeB(j)))
            code = codeA(i);
        else
            code = codeB(j);
        std::size_t endA = i, endB = j;
        while (endA < orderA.size() && codeA(endA) == code)
            ++endA;
        while (endB < orderB.size() && codeB(endB) == code)
            ++endB;
        for (std::size_t k = 0; i + k < endA && j + k < endB; ++k) {
            partnerOfA[static_cast<std::size_t>(orderA[i + k])] = orderB[j + k];
            partnerOfB[static_cast<std::size_t>(orderB[j + k])] = orderA[i + k];
        }
        if (duplicates && (endA - i > 1 || endB - j > 1)) {
            DuplicateCode d;
            d.code = code;
            for (std::size_t k = i; k < endA; ++k)
                d.first.push_back(orderA[k] + 1);
            for (std::size_t k = j; k < endB; ++k)
                d.second.push_back(orderB[k] + 1);
            duplicates->push_back(std::move(d));
        }
        i = endA;
        j = endB;
    }
}

}  // namespace

FieldMask ChangedFields(const Equipment& a, const Equipment& b, FieldMask among) {
    // Through the inline getters rather than by field number: this runs for
    // every field of every matched pair.
    FieldMask changed = 0;
#define KESTREL_FIELD_CHANGED(kind, name, ...) \
    if (a.name() != b.name())                  \
        changed |= fieldBit(static_cast<int>(Field::name));
    KESTREL_EQUIPMENT_FIELDS(KESTREL_FIELD_CHANGED)
#undef KESTREL_FIELD_CHANGED
    // A record read with a mask of no country reads Country 0 like one of the
    // first country; only the kept bytes tell the two apart.
    if (a.MaskAsRead() != b.MaskAsRead())
        changed |= fieldBit(static_cast<int>(Field::Country));
    return changed & among;
}

void TakeFields(Equipment& into, const Equipment& from, FieldMask fields) {
    for (int f = 0; f < kFieldCount; ++f) {
        if (!(fields & fieldBit(f)))
            continue;
        if (fieldKind(f) == FieldKind::Text)
            into.setText(f, from.text(f));
        else
            into.setNumber(f, from.number(f));
        if (f == static_cast<int>(Field::Country) && from.hasUnknownMask())
            into.setUnknownMask(*from.MaskAsRead());
    }
}

RecordMatching MatchRecords(const Equipments& first, const Equipments& second, MatchBy by,
                            std::vector<DuplicateCode>* duplicates) {
    const auto a = RecordsOf(first);
    const auto b = RecordsOf(second);
    RecordMatching m;
    m.partnerOfFirst.assign(a.size(), -1);
    m.partnerOfSecond.assign(b.size(), -1);
    if (by == MatchBy::Code) {
        matchByCode(a, b, m.partnerOfFirst, m.partnerOfSecond, duplicates);
    } else {
        for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
            m.partnerOfFirst[i] = static_cast<std::int32_t>(i);
            m.partnerOfSecond[i] = static_cast<std::int32_t>(i);
        }
    }
    return m;
}

EquipmentComparison CompareEquipments(const Equipments& first, const Equipments& second, MatchBy by,
                                      FieldMask fields) {
    const auto a = RecordsOf(first);
    const auto b = RecordsOf(second);
    EquipmentComparison result;
    result.by = by;
    RecordMatching m = MatchRecords(first, second, by, &result.duplicates);
    const std::vector<std::int32_t>& partnerOfA = m.partnerOfFirst;
    const std::vector<std::int32_t>& partnerOfB = m.partnerOfSecond;

    fields &= kAllFields;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const std::int32_t j = partnerOfA[i];
        RecordDifference d;
        d.first = static_cast<std::int32_t>(i) + 1;
        if (j < 0) {
            d.kind = DifferenceKind::OnlyInFirst;
            result.differences.push_back(d);
            continue;
        }
        const Equipment& x = *a[i];
        const Equipment& y = *b[static_cast<std::size_t>(j)];
        // Most pairs of two versions of a file are equal; the whole-record
        // test settles those without walking the fields.
        d.fields = fields == kAllFields && x == y ? 0 : ChangedFields(x, y, fields);
        if (d.fields == 0) {
            ++result.same;
            continue;
        }
        d.kind = DifferenceKind::Changed;
        d.second = j + 1;
        result.differences.push_back(d);
    }
    for (std::size_t j = 0; j < b.size(); ++j) {
        if (partnerOfB[j] < 0) {
            RecordDifference d;
            d.kind = DifferenceKind::OnlyInSecond;
            d.second = static_cast<std::int32_t>(j) + 1;
            result.differences.push_back(d);
        }
    }
    return result;
}

}  // namespace kestrel
