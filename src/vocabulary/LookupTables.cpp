#include "vocabulary/LookupTables.h"

#include <cstdio>

namespace kestrel {

namespace {

const std::array<std::string, 22> kClassNames = {"None",
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
                                                 "Light Cruiser"};

const std::array<std::string, 4> kTargetTypeNames = {"Soft", "Hard", "Air", "Sea"};

const std::array<std::string, 2> kMoveModeNames = {"Ground", "Air"};

const std::array<std::string, 13> kMovementMethodNames = {
    "Tracked", "Half Tracked", "Wheeled",          "Leg",        "Towed(Gun)", "Air",    "Naval",
    "Costal",  "Recon",        "All Terrain(leg)", "Amphibious", "Submerged",  "Unknown"};

const std::array<std::string, 4> kTransportNames = {
    "Cannot be transported", "Can be Naval Transported", "Can be Airmobile", "Can be Airbone"};

const std::array<std::string, 26> kCountryNames = {
    "Austria",   "Belguim",     "Bulgaria",       "Czechoslovakia", "Denmark",
    "Finland",   "France",      "Germany",        "Greece",         "USA",
    "Hungary",   "Turkey",      "Italy",          "Netherlands",    "Norway",
    "Poland",    "Portugal",    "Romania",        "Spain",          "Russia",
    "Sweden",    "Switzerland", "United Kingdom", "Yugoslavia",     "Nationalist",
    "Republican"};

std::array<std::string, 26> makeCountryMasks() {
    std::array<std::string, 26> masks;
    for (std::size_t k = 0; k < masks.size(); ++k) {
        char digits[9];
        std::snprintf(digits, sizeof digits, "%08X", 0x40000000u >> k);
        masks[k] = digits;
    }
    return masks;
}

}  // namespace

// The tables hold their words from the start, so nothing that runs before
// InitLookupTables can render or encode a record with empty tables.
std::array<std::string, 22> ClassNames = kClassNames;
std::array<std::string, 4> TargetTypeNames = kTargetTypeNames;
std::array<std::string, 2> MoveModeNames = kMoveModeNames;
std::array<std::string, 13> MovementMethodNames = kMovementMethodNames;
std::array<std::string, 4> TransportNames = kTransportNames;
std::array<std::string, 26> CountryNames = kCountryNames;
std::array<std::string, 26> CountryMasks = makeCountryMasks();
std::string gTab = "\t";

void InitLookupTables() {
    gTab = "\t";
    ClassNames = kClassNames;
    TargetTypeNames = kTargetTypeNames;
    MoveModeNames = kMoveModeNames;
    MovementMethodNames = kMovementMethodNames;
    TransportNames = kTransportNames;
    CountryNames = kCountryNames;
    CountryMasks = makeCountryMasks();
}

}  // namespace kestrel
