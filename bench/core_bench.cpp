// Load, save, clipboard and sort on the largest file the format allows, with
// the bare cost of moving the same bytes to and from disk as the baseline.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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
#include "model/Chart.h"
#include "model/ChartSvg.h"
#include "model/EquipmentChanges.h"
#include "model/EquipmentComparison.h"
#include "model/EquipmentMerge.h"
#include "model/Equipments.h"
#include "model/ExchangeSort.h"
#include "model/SelectionStatistics.h"
#include "storage/ChangeFileText.h"
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

// Runs the command-line tool to completion, as a user would, output
// discarded, standard input from stdinPath (or none); gives its peak
// resident size in kB.
long runTool(const std::vector<std::string>& args, int expectedStatus = 0,
             const std::string& stdinPath = "/dev/null") {
    std::vector<std::string> argv{KESTREL_EQP_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> raw;
    for (auto& a : argv)
        raw.push_back(a.data());
    raw.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, stdinPath.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int status = 0;
    rusage usage{};
    bool ran = posix_spawn(&pid, raw[0], &actions, nullptr, raw.data(), environ) == 0 &&
               ::wait4(pid, &status, 0, &usage) == pid;
    posix_spawn_file_actions_destroy(&actions);
    if (!ran || !WIFEXITED(status) || WEXITSTATUS(status) != expectedStatus)
        throw std::runtime_error("kestrel-eqp failed: " + argv[1]);
    return usage.ru_maxrss;
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

// A text of 250 MB in each format, no pair's: the records of the largest
// pair over and over (under a count line of 32767 in clip text, so that
// only its size gives it away). Each is written once per run, and removed
// when the run ends.
const std::string& largeText(const std::string& format) {
    struct Texts {
        std::string paths[2];
        ~Texts() {
            for (const auto& p : paths) {
                if (!p.empty())
                    std::remove(p.c_str());
            }
        }
    };
    static Texts texts;
    const std::size_t k = format == "clip" ? 0 : 1;
    if (!texts.paths[k].empty())
        return texts.paths[k];
    const Pair& p = pairOf(32767);
    const std::string exported = (p.folder / ("large-source." + format)).string();
    runTool({"export", p.eqp, "--format", format, "-o", exported});
    const std::string whole = readAll(exported);
    std::remove(exported.c_str());
    // The heading (CSV) or the first three lines (clip) once, the records
    // after them as often as 250 MB take.
    std::size_t opening = 0;
    for (int lines = format == "clip" ? 3 : 1; lines > 0; --lines)
        opening = whole.find("\r\n", opening) + 2;
    const std::string records = whole.substr(opening);
    texts.paths[k] = (p.folder / ("large." + format)).string();
    std::ofstream out(texts.paths[k], std::ios::binary);
    out << whole.substr(0, opening);
    for (std::size_t written = opening; written < (std::size_t(250) << 20);
         written += records.size())
        out << records;
    return texts.paths[k];
}

// The refusal of a 250 MB text by import, read from the file (0) or from
// standard input (1); its peak memory is said once on standard error. The
// peak is an upper bound: the spawned child counts what it shared of this
// process (the loaded pairs, some 20 MB) until it became the tool.
void BM_ToolRefuseLargeText(benchmark::State& state) {
    const std::string format = kToolFormats[state.range(0)];
    const bool fromStdin = state.range(1) == 1;
    const std::string& text = largeText(format);
    fs::path target = pairOf(32767).folder / ("refused-" + format);
    fs::create_directories(target);
    long peakKb = 0;
    for (auto _ : state) {
        peakKb = std::max(
            peakKb, fromStdin
                        ? runTool({"import", "-", target.string(), "--format", format}, 1, text)
                        : runTool({"import", text, target.string(), "--format", format}, 1));
    }
    state.counters["peak_MB"] = static_cast<double>(peakKb) / 1024;
    static bool said[2][2];
    if (!said[state.range(0)][state.range(1)]) {
        said[state.range(0)][state.range(1)] = true;
        std::fprintf(stderr, "refusal of a 250 MB %s text from %s: peak memory %ld MB%s\n",
                     format.c_str(), fromStdin ? "standard input" : "a file", peakKb / 1024,
                     peakKb > 100 * 1024 ? " (target 100 MB) MISSED" : " (target 100 MB)");
    }
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

// Mod m of the base of n records, written beside it.
const Equipments& modOf(int n, int m) {
    static std::vector<std::unique_ptr<Equipments>> mods;
    const std::string name = "mod" + std::to_string(m);
    for (auto& v : mods) {
        if (v->Count() == n && v->DataPath().find(name) != std::string::npos)
            return *v;
    }
    auto v = std::make_unique<Equipments>(loaded(n));
    bench::changeAsMod(*v, m);
    fs::path folder = pairOf(n).folder / name;
    fs::create_directories(folder);
    v->setDataPath((folder / "EQUIP97.EQP").string());
    PutEquipments(*v);
    mods.push_back(std::move(v));
    return *mods.back();
}

void BM_MergeEquipments(benchmark::State& state) {
    int n = static_cast<int>(state.range(0));
    Equipments base = loaded(n);
    std::vector<const Equipments*> mods{&modOf(n, 0), &modOf(n, 1), &modOf(n, 2)};
    for (auto _ : state) {
        EquipmentMerge merge(base, mods);
        merge.preferLater();
        benchmark::DoNotOptimize(merge.result().records.data());
    }
}

void BM_ToolMerge(benchmark::State& state) {
    int n = static_cast<int>(state.range(0));
    fs::path out = pairOf(n).folder / "merged";
    fs::create_directories(out);
    std::vector<std::string> args{"merge", pairOf(n).eqp};
    for (int m = 0; m < 3; ++m)
        args.push_back(modOf(n, m).DataPath());
    args.insert(args.end(), {"-o", out.string(), "--prefer", "later"});
    for (auto _ : state)
        runTool(args);
}

// A change file of 3,000 changed records, applied to a copy of the base that
// is put back before each run.
void BM_ToolApply(benchmark::State& state) {
    int n = static_cast<int>(state.range(0));
    Equipments base = loaded(n), mod = loaded(n);
    for (Long i = 2; i <= 3001; ++i)
        mod.Item(i * (n / 3002))->setSoftAttack(static_cast<Byte>(i % 256));
    fs::path folder = pairOf(n).folder / "apply";
    fs::create_directories(folder);
    const std::string changes = (folder / "mod.changes").string();
    std::ofstream(changes, std::ios::binary) << EncodeChanges(ChangesBetween(base, mod));
    const std::string eqp = (folder / "EQUIP97.EQP").string();
    base.setDataPath(eqp);
    for (auto _ : state) {
        state.PauseTiming();
        PutEquipments(base);
        state.ResumeTiming();
        runTool({"apply", changes, eqp});
    }
}

void BM_CopyAllToText(benchmark::State& state) {
    Equipments e = loaded(static_cast<int>(state.range(0)));
    std::vector<EquipmentRef> all(e.begin(), e.end());
    for (auto _ : state)
        benchmark::DoNotOptimize(EncodeClipboardText(all).size());
}

// 16383 records: the text the window's largest paste decodes.
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

// The records put in the order a sort of random codes gives, then back: the
// core's part of a sort command, its undo and redo beside the order itself.
void BM_ApplyOrder(benchmark::State& state) {
    Equipments e = loaded(static_cast<int>(state.range(0)));
    const std::vector<std::int32_t> order = ExchangeSortOrder(keysFor(e.Count(), 0));
    std::vector<std::int32_t> inverse(order.size());
    for (std::size_t p = 0; p < order.size(); ++p)
        inverse[static_cast<std::size_t>(order[p])] = static_cast<std::int32_t>(p);
    bool back = false;
    for (auto _ : state) {
        ApplyOrder(e, back ? inverse : order);
        back = !back;
    }
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

std::vector<Long> everyPosition(const Equipments& e) {
    std::vector<Long> positions(static_cast<std::size_t>(e.Count()));
    for (Long p = 1; p <= e.Count(); ++p)
        positions[static_cast<std::size_t>(p - 1)] = p;
    return positions;
}

// The chart's description over every record: kind 0 cost against attack
// coloured by country, kind 1 attack by class (strips and means).
void BM_ChartDescription(benchmark::State& state) {
    Equipments e = loaded(static_cast<int>(state.range(0)));
    const std::vector<Long> positions = everyPosition(e);
    const bool strips = state.range(1) == 1;
    const int x = static_cast<int>(strips ? Field::EqClass : Field::SoftAttack);
    const int y = static_cast<int>(strips ? Field::SoftAttack : Field::PrestigeCost);
    for (auto _ : state) {
        Chart chart = DescribeChart(e, positions, x, y, static_cast<int>(Field::Country));
        benchmark::DoNotOptimize(chart.points.data());
    }
}

void BM_ChartSvg(benchmark::State& state) {
    Equipments e = loaded(static_cast<int>(state.range(0)));
    const Chart chart =
        DescribeChart(e, everyPosition(e), static_cast<int>(Field::EqClass),
                      static_cast<int>(Field::PrestigeCost), static_cast<int>(Field::Country));
    for (auto _ : state)
        benchmark::DoNotOptimize(ChartSvg(chart, e).size());
}

void BM_ToolChart(benchmark::State& state) {
    const Pair& p = pairOf(static_cast<int>(state.range(0)));
    std::string out = (p.folder / "chart.svg").string();
    for (auto _ : state)
        runTool({"chart", p.eqp, "--x", "CL", "--y", "P", "--colour", "Co", "-o", out});
}

// The status bar's figures for a selection of every record: a number column
// and a coded one.
void BM_SelectionStatistics(benchmark::State& state) {
    Equipments e = loaded(static_cast<int>(state.range(0)));
    const std::vector<Long> positions = everyPosition(e);
    const int field = static_cast<int>(state.range(1) == 0 ? Field::SoftAttack : Field::Country);
    for (auto _ : state)
        benchmark::DoNotOptimize(StatisticsText(StatisticsOf(e, positions, field)).size());
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
BENCHMARK(BM_ToolRefuseLargeText)
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompareEquipments)->Args({32767, 0})->Args({32767, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ToolDiff)->Args({32767, 0})->Args({32767, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MergeEquipments)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ToolMerge)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ToolApply)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyAllToText)->Arg(999)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PasteFromText)->Arg(999)->Arg(16383)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortOrder)
    ->Args({999, 0})
    ->Args({999, 1})
    ->Args({32767, 0})
    ->Args({32767, 1})
    ->Args({32767, 2})
    ->Unit(benchmark::kMillisecond);

BENCHMARK(BM_ApplyOrder)->Arg(32767)->Unit(benchmark::kMillisecond);

BENCHMARK(BM_CheckList)
    ->Args({999, 0})
    ->Args({32767, 0})
    ->Args({32767, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecheckRecord)->Arg(32767)->Unit(benchmark::kMillisecond);

BENCHMARK(BM_ChartDescription)->Args({32767, 0})->Args({32767, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChartSvg)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ToolChart)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectionStatistics)
    ->Args({32767, 0})
    ->Args({32767, 1})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
