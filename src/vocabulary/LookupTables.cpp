#include "vocabulary/LookupTables.h"

#include <cstdio>

namespace kestrel {

std::array<std::string, 22> ClassNames;
std::array<std::string, 4> TargetTypeNames;
std::array<std::string, 2> MoveModeNames;
std::array<std::string, 13> MovementMethodNames;
std::array<std::string, 4> TransportNames;
std::array<std::string, 26> CountryNames;
std::array<std::string, 26> CountryMasks;
std::string gTab;

void InitLookupTables() {
    gTab = "\t";

    ClassNames = {"None",
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

    TargetTypeNames = {"Soft", "Hard", "Air", "Sea"};

    MoveModeNames = {"Ground", "Air"};

    MovementMethodNames = {"Tracked", "Half Tracked", "Wheeled",          "Leg",
                           "Towed(Gun)", "Air",      "Naval",            "Costal",
                           "Recon",   "All Terrain(leg)", "Amphibious", "Submerged",
                           "Unknown"};

    TransportNames = {"Cannot be transported", "Can be Naval Transported", "Can be Airmobile",
                      "Can be Airbone"};

    CountryNames = {"Austria",     "Belguim",  "Bulgaria", "Czechoslovakia", "Denmark",
                    "Finland",     "France",   "Germany",  "Greece",         "USA",
                    "Hungary",     "Turkey",   "Italy",    "Netherlands",    "Norway",
                    "Poland",      "Portugal", "Romania",  "Spain",          "Russia",
                    "Sweden",      "Switzerland", "United Kingdom", "Yugoslavia",
                    "Nationalist", "Republican"};

    for (std::size_t k = 0; k < CountryMasks.size(); ++k) {
        char digits[9];
        std::snprintf(digits, sizeof digits, "%08X", 0x40000000u >> k);
        CountryMasks[k] = digits;
    }
}

}  // namespace kestrel
