#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vocabulary/LookupTables.h"

namespace kestrel {
namespace {

template <std::size_t N>
std::vector<std::string> all(const std::array<std::string, N>& table) {
    return std::vector<std::string>(table.begin(), table.end());
}

TEST(LookupTables, TextsAsTheGameSpellsThem) {
    InitLookupTables();
    InitLookupTables();  // a second call rewrites the same values
    struct Case {
        const char* table;
        std::vector<std::string> got;
        std::vector<std::string> want;
    } cases[] = {
        {"ClassNames",
         all(ClassNames),
         {"None",
          "Infantry",
          "Tank",
          "Recon",
          "Anti-Tank",
          "FlaK",
          "Fortification",
          "Ground Transport",
          "Artillery",
          "Air Defense",
          "Fighter",
          "Tactical Bomber",
          "Level Bomber",
          "Air Transport",
          "Submarine",
          "Destroyer",
          "BattleShip",
          "Carrier",
          "Naval Transport",
          "Battle Cruiser",
          "Cruiser",
          "Light Cruiser"}},
        {"TargetTypeNames", all(TargetTypeNames), {"Soft", "Hard", "Air", "Sea"}},
        {"MoveModeNames", all(MoveModeNames), {"Ground", "Air"}},
        {"MovementMethodNames",
         all(MovementMethodNames),
         {"Tracked", "Half Tracked", "Wheeled", "Leg", "Towed(Gun)", "Air", "Naval", "Costal",
          "Recon", "All Terrain(leg)", "Amphibious", "Submerged", "Unknown"}},
        {"TransportNames",
         all(TransportNames),
         {"Cannot be transported", "Can be Naval Transported", "Can be Airmobile",
          "Can be Airbone"}},
        {"CountryNames",
         all(CountryNames),
         {"Austria",   "Belguim",     "Bulgaria",       "Czechoslovakia", "Denmark",
          "Finland",   "France",      "Germany",        "Greece",         "USA",
          "Hungary",   "Turkey",      "Italy",          "Netherlands",    "Norway",
          "Poland",    "Portugal",    "Romania",        "Spain",          "Russia",
          "Sweden",    "Switzerland", "United Kingdom", "Yugoslavia",     "Nationalist",
          "Republican"}},
        {"CountryMasks",
         all(CountryMasks),
         {"40000000", "20000000", "10000000", "08000000", "04000000", "02000000", "01000000",
          "00800000", "00400000", "00200000", "00100000", "00080000", "00040000", "00020000",
          "00010000", "00008000", "00004000", "00002000", "00001000", "00000800", "00000400",
          "00000200", "00000100", "00000080", "00000040", "00000020"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.got, c.want) << c.table;
    EXPECT_EQ(gTab, "\t");
}

TEST(LookupTables, WordOfAnUnknownCodeIsTheNumber) {
    InitLookupTables();
    EXPECT_EQ(WordOf(ClassNames, 21), "Light Cruiser");
    EXPECT_EQ(WordOf(ClassNames, 22), "22");
    EXPECT_EQ(WordOf(MovementMethodNames, 12), "Unknown");
    EXPECT_EQ(WordOf(CountryNames, -1), "-1");
}

}  // namespace
}  // namespace kestrel
