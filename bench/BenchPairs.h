#pragma once
// Generated equipment pairs shared by the benchmarks: written once per size
// into a temporary folder, with valid codes so the grid shows words.
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "model/Equipments.h"
#include "storage/EquipmentFiles.h"
#include "vocabulary/LookupTables.h"

namespace bench {

namespace fs = std::filesystem;
using namespace kestrel;

inline Equipment randomRecord(std::mt19937& rng, int i) {
    std::uniform_int_distribution<int> byte(0, 255);
    Equipment e;
    for (int f = 0; f < kFieldCount; ++f) {
        if (fieldKind(f) == FieldKind::Byte)
            e.setNumber(f, byte(rng));
    }
    e.setEqCode(i);
    e.setEqName("Equipment " + std::to_string(i));
    e.setEqClass(static_cast<Byte>(byte(rng) % 22));
    e.setTargetType(static_cast<Byte>(byte(rng) % 4));
    e.setMoveMode(static_cast<Byte>(byte(rng) % 2));
    e.setMovementMode(static_cast<Byte>(byte(rng) % 13));
    e.setNonOrganicTransport(static_cast<Byte>(byte(rng) % 4));
    e.setPrestigeCost(12 * byte(rng));
    e.setCountry(byte(rng) % 26);
    e.setUnitSpecial(byte(rng) * 64);
    e.setIconName("IC" + std::to_string(i % 1000));
    e.setAttackSound(byte(rng));
    e.setMoveSound(byte(rng));
    e.setDeathSound(byte(rng));
    // No CR in the tail, so that every record also carries as clip text.
    std::string tail(22, '\0');
    for (auto& c : tail) {
        c = static_cast<char>(1 + byte(rng) % 255);
        c = c == '\r' ? '\x0e' : c;
    }
    e.setLastPart(tail);
    return e;
}

struct Pair {
    fs::path folder;
    std::string eqp;
};

// One generated pair per size, written once for the whole run.
inline const Pair& pairOf(int n) {
    static std::vector<std::unique_ptr<Pair>> pairs;
    for (auto& p : pairs) {
        if (p->folder.filename() == std::to_string(n))
            return *p;
    }
    InitLookupTables();
    auto p = std::make_unique<Pair>();
    p->folder = fs::temp_directory_path() / ("kestrel-bench-" + std::to_string(::getpid())) /
                std::to_string(n);
    fs::create_directories(p->folder);
    p->eqp = (p->folder / "EQUIP97.EQP").string();
    Equipments all;
    std::mt19937 rng(n);
    for (int i = 0; i < n; ++i)
        all.Add(randomRecord(rng, i));
    all.setDataPath(p->eqp);
    PutEquipments(all);
    pairs.push_back(std::move(p));
    return *pairs.back();
}

// Mod m of a base: a tenth of the records changed in a few fields, each
// mod its own tenth overlapping the others' now and then.
inline void changeAsMod(Equipments& list, int m) {
    std::mt19937 rng(100 + m);
    for (Long i = 2; i <= list.Count(); ++i) {
        if ((i + m * 3) % 10 == 0) {
            Equipment& e = *list.Item(i);
            e.setSoftAttack(static_cast<Byte>(rng() % 256));
            e.setPrestigeCost(12 * static_cast<Long>(rng() % 200));
            e.setEqName("Mod " + std::to_string(m) + " " + std::to_string(i));
        }
    }
}

}  // namespace bench
