// Load, save, clipboard and sort on the largest file the format allows, with
// the bare cost of moving the same bytes to and from disk as the baseline.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "BenchPairs.h"
#include "check/Validator.h"
#include "model/EquipmentComparison.h"
#include "model/Equipments.h"
#include "model/ExchangeSort.h"
#include "storage/ClipboardText.h"
#include "storage/EquipmentFiles.h"
#include "storage/FileSystem.h"
#include "storage/Messages.h"
#include "vocabulary/LookupTables.h"

namespace fs = std::filesystem;
using namespace kestrel;

using bench::Pair;
using bench::pairOf;

namespace {

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

Equipments loaded(int n) {
    Equipments e;
    e.setDataPath(pairOf(n).eqp);
    GetEquipments(e);
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
        GetEquipments(e);
        benchmark::DoNotOptimize(e.Count());
    }
}

// The save as the editor makes it (temporary files, backups, the locked
// intent file, the renames), and with the fsyncs left out to show what
// durability costs.
template <PosixFileSystem::Durability durability>
void BM_Put(benchmark::State& state) {
    int n = static_cast<int>(state.range(0));
    Equipments e = loaded(n);
    fs::path out = pairOf(n).folder /
                   (durability == PosixFileSystem::Durability::Synced ? "saved" : "saved-unsynced");
    fs::create_directories(out);
    e.setDataPath((out / "EQUIP97.EQP").string());
    PosixFileSystem files(durability);
    FileSystem* previous = setFileSystem(&files);
    for (auto _ : state)
        PutEquipments(e);
    setFileSystem(previous);
}

// Runs the command-line tool to completion, as a user would, output discarded.
void runTool(const std::vector<std::string>& args, int expectedStatus = 0) {
    std::vector<std::string> argv{KESTREL_EQP_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> raw;
    for (auto& a : argv)
        raw.push_back(a.data());
    raw.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int status = 0;
    bool ran = posix_spawn(&pid, raw[0], &actions, nullptr, raw.data(), environ) == 0 &&
               ::waitpid(pid, &status, 0) == pid;
    posix_spawn_file_actions_destroy(&actions);
    if (!ran || !WIFEXITED(status) || WEXITSTATUS(status) != expectedStatus)
        throw std::runtime_error("kestrel-eqp failed: " + argv[1]);
}

const char* const kToolFormats[] = {"clip", "csv"};

void BM_ToolExport(benchmark::State& state) {
    const Pair& p = pairOf(static_cast<int>(state.range(0)));
    std::string format = kToolFormats[state.range(1)];
    std::string out = (p.folder / ("export." + format)).string();
    for (auto _ : state)
        runTool({"export", p.eqp, "--format", format, "-o", out});
}

void BM_ToolImport(benchmark::State& state) {
    const Pair& p = pairOf(static_cast<int>(state.range(0)));
    std::string format = kToolFormats[state.range(1)];
    std::string text = (p.folder / ("import." + format)).string();
    fs::path target = p.folder / ("imported-" + format);
    fs::create_directories(target);
    runTool({"export", p.eqp, "--format", format, "-o", text});
    for (auto _ : state)
        runTool({"import", text, target.string(), "--format", format});
}

// A second version of the pair of n records: kind 0 changes one record in a
// hundred, as a month of modding might; kind 1 changes every record.
const Equipments& otherVersion(int n, int kind) {
    static std::vector<std::unique_ptr<Equipments>> versions;
    for (auto& v : versions) {
        if (v->Count() == n &&
            v->DataPath().find("version" + std::to_string(kind)) != std::string::npos)
            return *v;
    }
    auto v = std::make_unique<Equipments>(loaded(n));
    std::mt19937 rng(kind + 1);
    for (Long i = 1; i <= v->Count(); ++i) {
        if (kind == 1 || i % 100 == 0) {
            Equipment changed = bench::randomRecord(rng, i - 1);
            CopyEquipment(*v->Item(i), changed);
        }
    }
    fs::path folder = pairOf(n).folder / ("version" + std::to_string(kind));
    fs::create_directories(folder);
    v->setDataPath((folder / "EQUIP97.EQP").string());
    PutEquipments(*v);
    versions.push_back(std::move(v));
    return *versions.back();
}

void BM_CompareEquipments(benchmark::State& state) {
    int n = static_cast<int>(state.range(0));
    Equipments first = loaded(n);
    const Equipments& second = otherVersion(n, static_cast<int>(state.range(1)));
    for (auto _ : state)
        benchmark::DoNotOptimize(CompareEquipments(first, second).differences.data());
}

void BM_ToolDiff(benchmark::State& state) {
    int n = static_cast<int>(state.range(0));
    const Equipments& second = otherVersion(n, static_cast<int>(state.range(1)));
    for (auto _ : state)
        runTool({"diff", pairOf(n).eqp, second.DataPath()}, 1);
}

void BM_CopyAllToText(benchmark::State& state) {
    Equipments e = loaded(static_cast<int>(state.range(0)));
    std::vector<EquipmentRef> all(e.begin(), e.end());
    for (auto _ : state)
        benchmark::DoNotOptimize(EncodeClipboardText(all).size());
}

void BM_PasteFromText(benchmark::State& state) {
    Equipments e = loaded(static_cast<int>(state.range(0)));
    std::string text = EncodeClipboardText(std::vector<EquipmentRef>(e.begin(), e.end()));
    for (auto _ : state) {
        auto decoded = DecodeClipboardText(text);
        Equipments target;
        target.reserve(decoded.records.size());
        for (const auto& r : decoded.records)
            target.Add(r);
        benchmark::DoNotOptimize(target.Count());
    }
}

// Keys: 0 random codes, 1 random among 26 countries, 2 reverse order.
std::vector<std::int32_t> keysFor(int n, int kind) {
    std::mt19937 rng(7);
    std::vector<std::int32_t> keys(n);
    for (int i = 0; i < n; ++i) {
        keys[i] = kind == 0   ? static_cast<std::int32_t>(rng() % 32768)
                  : kind == 1 ? static_cast<std::int32_t>(rng() % 26)
                              : n - i;
    }
    return keys;
}

void BM_SortOrder(benchmark::State& state) {
    auto keys = keysFor(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state)
        benchmark::DoNotOptimize(ExchangeSortOrder(keys).data());
}

// The whole check of the list, on the generated list as it is (no problem)
// and with a word-less class in every record (a problem each).
void BM_CheckList(benchmark::State& state) {
    Equipments e = loaded(static_cast<int>(state.range(0)));
    if (state.range(1) == 1) {
        for (const EquipmentRef& r : e)
            r->setEqClass(30);
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(CheckList(e).size());
}

// What a panel pays after a command that changed one record in place.
void BM_RecheckRecord(benchmark::State& state) {
    Equipments e = loaded(static_cast<int>(state.range(0)));
    std::vector<Problem> problems = CheckList(e);
    Long position = 1;
    for (auto _ : state) {
        position = position % e.Count() + 1;
        e.Item(position)->setEqClass(e.Item(position)->EqClass() == 30 ? 1 : 30);
        RecheckRecord(e, position, problems);
        benchmark::DoNotOptimize(problems.size());
    }
}

const char* quiet = [] {
    setMessageHandler([](const std::string& m) { std::fprintf(stderr, "%s\n", m.c_str()); });
    return "";
}();

}  // namespace

BENCHMARK(BM_ReadBytesBaseline)->Arg(999)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteBytesBaseline)->Arg(999)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetEquipments)->Arg(999)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Put, PosixFileSystem::Durability::Synced)
    ->Name("BM_PutEquipments")
    ->Arg(999)
    ->Arg(32767)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Put, PosixFileSystem::Durability::Unsynced)
    ->Name("BM_PutEquipmentsUnsynced")
    ->Arg(999)
    ->Arg(32767)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ToolExport)->Args({32767, 0})->Args({32767, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ToolImport)->Args({32767, 0})->Args({32767, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompareEquipments)->Args({32767, 0})->Args({32767, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ToolDiff)->Args({32767, 0})->Args({32767, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyAllToText)->Arg(999)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PasteFromText)->Arg(999)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortOrder)
    ->Args({999, 0})
    ->Args({32767, 0})
    ->Args({32767, 1})
    ->Args({32767, 2})
    ->Unit(benchmark::kMillisecond);

BENCHMARK(BM_CheckList)
    ->Args({999, 0})
    ->Args({32767, 0})
    ->Args({32767, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecheckRecord)->Arg(32767)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
