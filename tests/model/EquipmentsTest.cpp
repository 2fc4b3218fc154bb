#include <gtest/gtest.h>

#include <stdexcept>

#include "model/Equipments.h"

namespace kestrel {
namespace {

Equipment named(const char* name) {
    Equipment e;
    e.setEqName(name);
    return e;
}

std::string names(const Equipments& list) {
    std::string all;
    for (const EquipmentRef& e : list)
        all += e->EqName();
    return all;
}

// Every argument of the long form lands in its own property: a byte field f
// gets f + 10, a long field f + 1000.
TEST(Equipments, LongAddKeepsArgumentOrder) {
    Equipments list;
    EquipmentRef e = list.Add(1000, "name", 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25,
                              26, 27, 28, 29, 30, 1021, 32, 33, 34, 35, 36, 37, 38, 39, 1030, 1031,
                              42, 43, 44, "icon", 1036, 1037, 1038, "last", "k");
    for (int f = 0; f < kFieldCount; ++f) {
        switch (fieldKind(f)) {
            case FieldKind::Byte:
                EXPECT_EQ(e->number(f), f + 10) << fieldName(f);
                break;
            case FieldKind::Long:
                EXPECT_EQ(e->number(f), f + 1000) << fieldName(f);
                break;
            case FieldKind::Text:
                break;
        }
    }
    EXPECT_EQ(e->EqName(), "name");
    EXPECT_EQ(e->IconName(), "icon");
    EXPECT_EQ(e->LastPart(), "last");
    EXPECT_EQ(list.Item("k"), e);
}

TEST(Equipments, RefusalsLeaveTheCollectionAlone) {
    Equipments list;
    list.Add(named("a"), "x");
    list.Add(named("b"));
    list.Add(named("c"), "");
    struct Case {
        const char* what;
        void (*act)(Equipments&);
    } cases[] = {
        {"duplicate key", [](Equipments& l) { l.Add(named("d"), "x"); }},
        {"Item(0)", [](Equipments& l) { l.Item(0); }},
        {"Item(Count + 1)", [](Equipments& l) { l.Item(4); }},
        {"Item of an unknown key", [](Equipments& l) { l.Item("y"); }},
        {"Item of the empty key", [](Equipments& l) { l.Item(""); }},
        {"Remove(0)", [](Equipments& l) { l.Remove(0); }},
        {"Remove(Count + 1)", [](Equipments& l) { l.Remove(4); }},
        {"Remove of an unknown key", [](Equipments& l) { l.Remove("y"); }},
    };
    for (const Case& c : cases) {
        EXPECT_ANY_THROW(c.act(list)) << c.what;
        EXPECT_EQ(names(list), "abc") << c.what;
    }
    EXPECT_THROW(list.Add(named("d"), "x"), std::invalid_argument);
    EXPECT_THROW(list.Item(0), std::out_of_range);
}

TEST(Equipments, RecordsAreSharedAndRemovalShiftsLaterOnes) {
    Equipments list;
    for (const char* n : {"a", "b", "c", "d"})
        list.Add(named(n));
    list.Item(2)->setSoftAttack(9);
    EXPECT_EQ(list.Item(2)->SoftAttack(), 9);
    EquipmentRef c = list.Item(3);
    list.Remove(2);
    EXPECT_EQ(names(list), "acd");
    EXPECT_EQ(list.Item(2), c);
    list.RemoveRange(2, 2);
    EXPECT_EQ(names(list), "a");
    EXPECT_EQ(list.Count(), 1);

    // Records copied in and taken over, mixed: the two forms of Add once
    // disagreed on the table of keys, which then named other records and
    // was erased past its end by a removal.
    Equipments mixed;
    const Equipment copied = named("c");
    mixed.Add(copied);
    mixed.Add(copied);
    mixed.Add(named("k"), "k");
    mixed.Add(named("t"));
    EXPECT_EQ(mixed.Item("k")->EqName(), "k");
    mixed.RemoveRange(1, 2);
    EXPECT_EQ(names(mixed), "kt");
    EXPECT_EQ(mixed.Item("k")->EqName(), "k");
}

TEST(Equipments, KeyFollowsItsRecordAfterRemoval) {
    Equipments list;
    list.Add(named("a"), "ka");
    list.Add(named("b"), "kb");
    list.Remove("ka");
    EXPECT_EQ(list.Item("kb")->EqName(), "b");
    list.Add(named("a2"), "ka");  // the key is free again
    EXPECT_EQ(names(list), "ba2");
}

}  // namespace
}  // namespace kestrel
