// Writes the small made-up equipment pair in examples/, or a generated pair of
// any size for trying the editor at full scale, through the same storage code
// the editor saves with, so that the pairs always match the format.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "model/Equipments.h"
#include "storage/EquipmentFiles.h"
#include "storage/Messages.h"
#include "vocabulary/LookupTables.h"

namespace {

using kestrel::Byte;
using kestrel::Equipment;
using kestrel::Long;

enum Country : Long { France = 6, Germany = 7, USA = 9, Italy = 12, Russia = 19, UK = 22 };
enum Class : Byte {
    Infantry = 1,
    Tank,
    Recon,
    AntiTank,
    Flak,
    Fortification,
    GroundTransport,
    Artillery,
    AirDefense,
    Fighter,
    TacticalBomber,
    LevelBomber,
    AirTransport,
    Submarine,
    Destroyer,
    Battleship
};
// Movement methods and target types by their table positions.
enum Method : Byte { Tracked = 0, HalfTracked, Wheeled, Leg, Towed, Air, Naval };
enum Target : Byte { Soft = 0, Hard, AirTarget, Sea };

struct Sample {
    const char* name;
    Byte cls;
    Long country;
    Byte soft, hard, air, naval;
    Byte groundDef, airDef, closeDef;
    Byte move;
    Long cost;
    Byte year;
    const char* icon;
};

// A few plausible units of each kind; the numbers are invented, only their
// proportions are meant to look right.
const Sample kSamples[] = {
    {"Rifle Squad 39", Infantry, Germany, 6, 1, 0, 0, 4, 5, 6, 3, 120, 39, "inf01"},
    {"Pioneers", Infantry, Germany, 8, 3, 0, 0, 5, 5, 8, 3, 168, 39, "inf02"},
    {"Line Infantry", Infantry, France, 5, 1, 0, 0, 4, 4, 5, 3, 108, 39, "inf03"},
    {"Guards Rifles", Infantry, Russia, 7, 2, 0, 0, 5, 5, 7, 3, 132, 42, "inf04"},
    {"Airborne Company", Infantry, USA, 7, 2, 0, 0, 5, 5, 8, 3, 204, 43, "inf05"},
    {"Highland Rifles", Infantry, UK, 6, 2, 0, 0, 5, 5, 7, 3, 144, 40, "inf06"},
    {"Alpine Troops", Infantry, Italy, 6, 1, 0, 0, 4, 4, 6, 3, 120, 40, "inf07"},
    {"Medium Tank III", Tank, Germany, 6, 7, 0, 0, 9, 8, 3, 6, 300, 40, "tnk01"},
    {"Medium Tank IV", Tank, Germany, 8, 9, 0, 0, 11, 9, 3, 6, 408, 42, "tnk02"},
    {"Cavalry Tank S", Tank, France, 5, 8, 0, 0, 11, 10, 2, 5, 312, 39, "tnk03"},
    {"Medium Tank T", Tank, Russia, 8, 10, 0, 0, 11, 9, 3, 7, 420, 41, "tnk04"},
    {"Medium Tank M", Tank, USA, 8, 9, 0, 0, 10, 8, 3, 7, 384, 42, "tnk05"},
    {"Infantry Tank II", Tank, UK, 5, 8, 0, 0, 13, 11, 3, 4, 336, 40, "tnk06"},
    {"Armoured Car 8R", Recon, Germany, 4, 3, 0, 0, 4, 4, 2, 9, 180, 39, "rec01"},
    {"Scout Car", Recon, USA, 4, 2, 0, 0, 3, 3, 2, 10, 144, 41, "rec02"},
    {"Anti-Tank Gun 37", AntiTank, Germany, 2, 6, 0, 0, 3, 3, 1, 1, 132, 39, "atg01"},
    {"Anti-Tank Gun 57", AntiTank, UK, 3, 9, 0, 0, 3, 3, 1, 1, 192, 42, "atg02"},
    {"FlaK 88", Flak, Germany, 9, 12, 11, 0, 4, 6, 2, 1, 360, 39, "flk01"},
    {"Bofors 40", Flak, UK, 4, 3, 8, 0, 3, 5, 1, 1, 168, 39, "flk02"},
    {"Bunker", Fortification, France, 8, 6, 0, 0, 15, 12, 12, 0, 240, 39, "frt01"},
    {"Supply Truck", GroundTransport, Germany, 0, 0, 0, 0, 1, 1, 0, 8, 36, 39, "trk01"},
    {"Field Howitzer 105", Artillery, Germany, 9, 5, 0, 2, 3, 3, 2, 1, 264, 39, "art01"},
    {"Rocket Launcher", Artillery, Russia, 11, 3, 0, 0, 2, 2, 1, 1, 276, 42, "art02"},
    {"Gun 25 pdr", Artillery, UK, 9, 4, 0, 2, 3, 3, 2, 1, 252, 40, "art03"},
    {"AA Battery 90", AirDefense, USA, 3, 6, 12, 0, 4, 6, 1, 1, 312, 42, "ad01"},
    {"Fighter 109", Fighter, Germany, 3, 2, 10, 1, 0, 9, 0, 10, 432, 39, "ftr01"},
    {"Fighter Spit", Fighter, UK, 3, 2, 11, 1, 0, 9, 0, 10, 456, 40, "ftr02"},
    {"Fighter P51", Fighter, USA, 4, 2, 12, 1, 0, 10, 0, 11, 516, 43, "ftr03"},
    {"Fighter Yak", Fighter, Russia, 3, 2, 10, 1, 0, 9, 0, 10, 408, 42, "ftr04"},
    {"Dive Bomber 87", TacticalBomber, Germany, 9, 8, 0, 7, 0, 5, 0, 8, 480, 39, "tb01"},
    {"Ground Attack IL", TacticalBomber, Russia, 10, 9, 0, 5, 0, 7, 0, 7, 504, 42, "tb02"},
    {"Heavy Bomber B17", LevelBomber, USA, 14, 7, 0, 6, 0, 8, 0, 8, 720, 42, "lb01"},
    {"Transport 52", AirTransport, Germany, 0, 0, 0, 0, 0, 3, 0, 8, 240, 39, "at01"},
    {"Submarine VII", Submarine, Germany, 0, 0, 0, 14, 0, 0, 0, 5, 600, 39, "sub01"},
    {"Destroyer Tribal", Destroyer, UK, 4, 2, 5, 10, 0, 6, 0, 8, 660, 39, "dd01"},
    {"Destroyer Fletcher", Destroyer, USA, 4, 2, 7, 11, 0, 7, 0, 8, 708, 42, "dd02"},
    {"Battleship Littorio", Battleship, Italy, 10, 8, 6, 22, 0, 8, 0, 6, 2400, 40, "bb01"},
};

Byte methodOf(Byte cls) {
    switch (cls) {
        case Tank:
            return Tracked;
        case Recon:
        case GroundTransport:
            return Wheeled;
        case AntiTank:
        case Flak:
        case Artillery:
        case AirDefense:
            return Towed;
        case Fighter:
        case TacticalBomber:
        case LevelBomber:
        case AirTransport:
            return Air;
        case Submarine:
        case Destroyer:
        case Battleship:
            return Naval;
        default:
            return Leg;
    }
}

Byte targetOf(Byte cls) {
    switch (cls) {
        case Tank:
        case Fortification:
            return Hard;
        case Fighter:
        case TacticalBomber:
        case LevelBomber:
        case AirTransport:
            return AirTarget;
        case Submarine:
        case Destroyer:
        case Battleship:
            return Sea;
        default:
            return Soft;
    }
}

Equipment fromSample(const Sample& s, Long code) {
    Equipment e;
    e.setEqCode(code);
    e.setEqName(s.name);
    e.setEqClass(s.cls);
    e.setSoftAttack(s.soft);
    e.setHardAttack(s.hard);
    e.setAirAttack(s.air);
    e.setNavalAttack(s.naval);
    e.setGroundDefense(s.groundDef);
    e.setAirDefense(s.airDef);
    e.setCloseDefense(s.closeDef);
    e.setTargetType(targetOf(s.cls));
    e.setInitiative(static_cast<Byte>(3 + s.move / 3));
    e.setGunRange(s.cls == Artillery ? 3 : (s.cls == Battleship ? 4 : 1));
    e.setSpottingRange(s.cls == Recon || s.cls == Fighter ? 3 : 2);
    e.setMoveMode(methodOf(s.cls) == Air ? 1 : 0);
    e.setMovementMode(methodOf(s.cls));
    e.setMovement(s.move);
    e.setFuel(s.move == 0 ? 0 : static_cast<Byte>(s.move * 8));
    e.setAmmunition(s.soft + s.hard == 0 ? 0 : 6);
    e.setPrestigeCost(s.cost);
    e.setMonthAvail(1 + static_cast<Byte>((code + 1) % 12));
    e.setYearAvail(s.year);
    e.setYearExpire(45);
    e.setNonOrganicTransport(s.cls == Infantry ? 2 : (s.cls == AntiTank ? 1 : 0));
    e.setCountry(s.country);
    e.setUnitSpecial(s.cls == Infantry ? 8 : 0);
    e.setIconName(s.icon);
    e.setAttackSound(100 + s.cls);
    e.setMoveSound(200 + methodOf(s.cls));
    e.setDeathSound(300 + targetOf(s.cls));
    return e;
}

Equipment reservedRecord() {
    Equipment reserved;  // position 1 stays put and is numbered 0
    reserved.setEqName("Reserved");
    return reserved;
}

std::vector<Equipment> exampleRecords() {
    std::vector<Equipment> records{reservedRecord()};
    Long code = 1;
    for (const Sample& s : kSamples)
        records.push_back(fromSample(s, code++));
    return records;
}

// Variants of the samples: each record a sample with its strengths, cost,
// year and country shifted a little, so that a large list looks like a
// mod's. Only the engine's raw output is used, so that a seed gives the same
// pair on every system.
std::vector<Equipment> generatedRecords(int count, std::uint32_t seed) {
    std::mt19937 random(seed);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    auto nudge = [&](Byte value, int spread) {
        int v = value + pick(2 * spread + 1) - spread;
        return static_cast<Byte>(v < 0 ? 0 : v > 99 ? 99 : v);
    };
    const int samples = static_cast<int>(sizeof kSamples / sizeof kSamples[0]);
    std::vector<Equipment> records{reservedRecord()};
    records.reserve(static_cast<std::size_t>(count));
    for (Long code = 1; code < count; ++code) {
        const Sample& s = kSamples[pick(samples)];
        Equipment e = fromSample(s, code);
        e.setEqName(std::string(s.name) + " Mk " + std::to_string(1 + pick(30)));
        e.setSoftAttack(nudge(s.soft, 2));
        e.setHardAttack(nudge(s.hard, 2));
        e.setAirAttack(nudge(s.air, 1));
        e.setGroundDefense(nudge(s.groundDef, 2));
        e.setAirDefense(nudge(s.airDef, 2));
        e.setCloseDefense(nudge(s.closeDef, 1));
        int cost = s.cost / 12 + pick(11) - 5;
        e.setPrestigeCost(12 * (cost < 0 ? 0 : cost > 255 ? 255 : cost));
        e.setYearAvail(static_cast<Byte>(39 + pick(7)));
        e.setYearExpire(static_cast<Byte>(e.YearAvail() + pick(46 - e.YearAvail()) + 1));
        e.setCountry(pick(26));
        records.push_back(e);
    }
    return records;
}

const char kHelp[] =
    "Usage: kestrel-make-examples [FOLDER]\n"
    "       kestrel-make-examples --records N [--seed S] FOLDER\n"
    "\n"
    "Writes an equipment file pair (EQUIP97.EQP and EQUIP97.TXT) into FOLDER with\n"
    "the editor's own save; files already there are kept as backups EQUIP97.E and\n"
    "EQUIP97.T. Without --records it writes the small made-up example pair, into\n"
    "examples unless FOLDER is given.\n"
    "  --records N  a generated pair of N records (1 to 32767): variants of the\n"
    "               example units, the first record numbered 0; FOLDER is needed\n"
    "  --seed S     the generator's seed, 0 to 4294967295 (0 by default); the same\n"
    "               N and S give the same pair\n"
    "  --help       this text\n";

struct Usage {
    std::string what;
};

// Digits only, no sign or blanks, at most max. Read in 64 bits: Windows'
// unsigned long stops at the largest seed and would let a larger one pass.
std::uint64_t wholeNumber(const std::string& text, std::uint64_t max, const std::string& option) {
    bool digits = !text.empty() && text.size() <= 10 &&
                  text.find_first_not_of("0123456789") == std::string::npos;
    std::uint64_t value = digits ? std::strtoull(text.c_str(), nullptr, 10) : 0;
    if (!digits || value > max)
        throw Usage{option + " takes a whole number up to " + std::to_string(max) + ", not \"" +
                    text + "\""};
    return value;
}

struct Options {
    std::string folder = "examples";
    bool folderGiven = false;
    int records = 0;  // 0: the example pair
    std::uint32_t seed = 0;
    bool help = false;
};

Options parse(int argc, char** argv) {
    Options o;
    bool seedGiven = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc)
                throw Usage{a + " needs a value"};
            return argv[++i];
        };
        if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--records") {
            o.records = static_cast<int>(wholeNumber(value(), 32767, a));
            if (o.records == 0)
                throw Usage{"--records takes 1 to 32767"};
        } else if (a == "--seed") {
            o.seed = static_cast<std::uint32_t>(wholeNumber(value(), 4294967295u, a));
            seedGiven = true;
        } else if (a == "--") {
            if (i + 2 != argc)
                throw Usage{"-- is followed by the FOLDER alone"};
            o.folder = argv[++i];
            o.folderGiven = true;
        } else if (a.size() > 1 && a[0] == '-') {
            throw Usage{"unknown option " + a};
        } else if (o.folderGiven) {
            throw Usage{"one FOLDER only"};
        } else {
            o.folder = a;
            o.folderGiven = true;
        }
    }
    if (o.records > 0 && !o.folderGiven)
        throw Usage{"--records writes only into a FOLDER you name"};
    if (seedGiven && o.records == 0)
        throw Usage{"--seed goes with --records"};
    return o;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    try {
        options = parse(argc, argv);
    } catch (const Usage& u) {
        std::fprintf(stderr, "kestrel-make-examples: %s\n\n%s", u.what.c_str(), kHelp);
        return 2;
    }
    if (options.help) {
        std::fputs(kHelp, stdout);
        return 0;
    }

    kestrel::InitLookupTables();
    int failures = 0;
    kestrel::setMessageHandler([&](const std::string& message) {
        std::fprintf(stderr, "kestrel-make-examples: %s\n", message.c_str());
        ++failures;
    });
    std::error_code error;
    std::filesystem::create_directories(options.folder, error);
    if (error) {
        std::fprintf(stderr, "kestrel-make-examples: cannot create %s: %s\n",
                     options.folder.c_str(), error.message().c_str());
        return 1;
    }

    kestrel::Equipments list;
    const auto records =
        options.records > 0 ? generatedRecords(options.records, options.seed) : exampleRecords();
    list.reserve(records.size());
    for (const auto& e : records)
        list.Add(e);
    list.setDataPath(options.folder + "/EQUIP97.EQP");
    kestrel::PutEquipments(list);
    if (failures)
        return 1;
    std::printf("wrote %d equipment to %s\n", list.Count(), list.DataPath().c_str());
    return 0;
}
