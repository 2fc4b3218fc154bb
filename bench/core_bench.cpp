// Load, save, clipboard and sort on the largest file the format allows, with
// the bare cost of moving the same bytes to and from disk as the baseline.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "model/Equipments.h"
#include "model/ExchangeSort.h"
#include "storage/ClipboardText.h"
#include "storage/EquipmentFiles.h"
#include "storage/Messages.h"
#include "vocabulary/LookupTables.h"

namespace fs = std::filesystem;
using namespace kestrel;

namespace {

Equipment randomRecord(std::mt19937& rng, int i) {
    std::uniform_int_distribution<int> byte(0, 255);
    Equipment e;
    for (int f = 0; f < kFieldCount; ++f) {
        if (fieldKind(f) == FieldKind::Byte) e.setNumber(f, byte(rng));
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
    std::string tail(22, '\0');
    for (auto& c : tail) c = static_cast<char>(1 + byte(rng) % 255);
    e.setLastPart(tail);
    return e;
}

struct Pair {
    fs::path folder;
    std::string eqp;
};

// One generated pair per size, written once for the whole run.
const Pair& pairOf(int n) {
    static std::vector<std::unique_ptr<Pair>> pairs;
    for (auto& p : pairs) {
        if (p->folder.filename() == std::to_string(n)) return *p;
    }
    InitLookupTables();
    auto p = std::make_unique<Pair>();
    p->folder = fs::temp_directory_path() / ("kestrel-bench-" + std::to_string(::getpid())) /
                std::to_string(n);
    fs::create_directories(p->folder);
    p->eqp = (p->folder / "EQUIP97.EQP").string();
    Equipments all;
    std::mt19937 rng(n);
    for (int i = 0; i < n; ++i) all.Add(randomRecord(rng, i));
    all.setDataPath(p->eqp);
    all.PutEquipments();
    pairs.push_back(std::move(p));
    return *pairs.back();
}

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

Equipments loaded(int n) {
    Equipments e;
    e.setDataPath(pairOf(n).eqp);
    e.GetEquipments();
    return e;
}

void BM_ReadBytesBaseline(benchmark::State& state) {
    const Pair& p = pairOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto a = readAll(p.eqp);
        auto b = readAll(p.folder / "EQUIP97.TXT");
        benchmark::DoNotOptimize(a.data());
        benchmark::DoNotOptimize(b.data());
    }
}

void BM_WriteBytesBaseline(benchmark::State& state) {
    const Pair& p = pairOf(static_cast<int>(state.range(0)));
    auto a = readAll(p.eqp);
    auto b = readAll(p.folder / "EQUIP97.TXT");
    fs::path out = p.folder / "baseline";
    fs::create_directories(out);
    for (auto _ : state) {
        std::ofstream(out / "EQUIP97.EQP", std::ios::binary) << a;
        std::ofstream(out / "EQUIP97.TXT", std::ios::binary) << b;
    }
}

void BM_GetEquipments(benchmark::State& state) {
    const Pair& p = pairOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        Equipments e;
        e.setDataPath(p.eqp);
        e.GetEquipments();
        benchmark::DoNotOptimize(e.Count());
    }
}

void BM_PutEquipments(benchmark::State& state) {
    int n = static_cast<int>(state.range(0));
    Equipments e = loaded(n);
    fs::path out = pairOf(n).folder / "saved";
    fs::create_directories(out);
    e.setDataPath((out / "EQUIP97.EQP").string());
    for (auto _ : state) e.PutEquipments();
}

void BM_CopyAllToText(benchmark::State& state) {
    Equipments e = loaded(static_cast<int>(state.range(0)));
    std::vector<EquipmentRef> all(e.begin(), e.end());
    for (auto _ : state) benchmark::DoNotOptimize(EncodeClipboardText(all).size());
}

void BM_PasteFromText(benchmark::State& state) {
    Equipments e = loaded(static_cast<int>(state.range(0)));
    std::string text = EncodeClipboardText(std::vector<EquipmentRef>(e.begin(), e.end()));
    for (auto _ : state) {
        auto decoded = DecodeClipboardText(text);
        Equipments target;
        target.reserve(decoded.records.size());
        for (const auto& r : decoded.records) target.Add(r);
        benchmark::DoNotOptimize(target.Count());
    }
}

// Keys: 0 random codes, 1 random among 26 countries, 2 reverse order.
std::vector<std::int32_t> keysFor(int n, int kind) {
    std::mt19937 rng(7);
    std::vector<std::int32_t> keys(n);
    for (int i = 0; i < n; ++i) {
        keys[i] = kind == 0 ? static_cast<std::int32_t>(rng() % 32768)
                  : kind == 1 ? static_cast<std::int32_t>(rng() % 26)
                              : n - i;
    }
    return keys;
}

void BM_SortOrder(benchmark::State& state) {
    auto keys = keysFor(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state) benchmark::DoNotOptimize(ExchangeSortOrder(keys).data());
}

const char* quiet = [] {
    setMessageHandler([](const std::string& m) { std::fprintf(stderr, "%s\n", m.c_str()); });
    return "";
}();

}  // namespace

BENCHMARK(BM_ReadBytesBaseline)->Arg(999)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteBytesBaseline)->Arg(999)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetEquipments)->Arg(999)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PutEquipments)->Arg(999)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyAllToText)->Arg(999)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PasteFromText)->Arg(999)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortOrder)
    ->Args({999, 0})
    ->Args({32767, 0})
    ->Args({32767, 1})
    ->Args({32767, 2})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
