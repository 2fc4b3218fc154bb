// The list window on the largest file the format allows: Load from the click
// to a painted grid, and the list commands, on the offscreen platform.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTableView>
#include <QUndoStack>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <numeric>
#include <random>
#include <vector>

#include "BenchPairs.h"
#include "model/Equipments.h"
#include "model/RecordFormat.h"
#include "storage/ClipboardText.h"
#include "storage/TableText.h"
#include "ui/compare/CompareWith.h"
#include "ui/compare/ComparisonModel.h"
#include "ui/compare/MergeModel.h"
#include "ui/compare/frmCompare.h"
#include "ui/compare/frmMerge.h"
#include "ui/document/Document.h"
#include "ui/list/CellEditor.h"
#include "ui/list/ChartPanel.h"
#include "ui/list/ChartView.h"
#include "ui/list/FilterBar.h"
#include "ui/list/ListCommands.h"
#include "ui/list/ProblemTracker.h"
#include "ui/list/ProblemsPanel.h"
#include "ui/list/RecordRows.h"
#include "ui/list/SelectionSummary.h"
#include "ui/list/SetValueDialog.h"
#include "ui/list/frmEqs.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/FileDialog.h"
#include "ui/platform/Grid.h"
#include "ui/platform/MemoryUse.h"
#include "ui/platform/MessageBox.h"

using namespace kestrel;
using namespace kestrel::ui;

namespace {

// No person at the benchmarks: the file dialog picks the pair to load,
// unsaved changes are dropped, messages go to stderr.
struct BenchPrompts : Prompts {
    QString path;
    void message(QWidget*, const QString& text) override {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
    SaveChangesAnswer saveChanges(QWidget*, const QString&, SaveChangesAnswer) override {
        return SaveChangesAnswer::Discard;
    }
    UpdateEditsAnswer updateEdits(QWidget*) override { return UpdateEditsAnswer::Discard; }
    bool yesNo(QWidget*, const QString&) override { return true; }
    bool saveOverIncomplete(QWidget*, const QString&) override { return true; }
    bool fitValues(QWidget*, const QString&) override { return true; }
    RecoveryAnswer recovery(QWidget*, const QString&) override { return RecoveryAnswer::Later; }
    std::optional<QString> fileName(QWidget*, bool, const QString&, const QString&) override {
        return path;
    }
};
BenchPrompts& benchPrompts() {
    static BenchPrompts prompts;
    return prompts;
}

// A shown list window with the pair of n records loaded through its Load command.
std::unique_ptr<frmEqs> listed(int n) {
    benchPrompts().path = QString::fromStdString(bench::pairOf(n).eqp);
    setPrompts(&benchPrompts());
    auto window = std::make_unique<frmEqs>();
    window->show();
    window->cmdLoad_Click();
    QApplication::processEvents();
    return window;
}

// Counts the paints of the grid: its viewport, and the frozen columns' own
// view laid over its left edge (a change to the equipment number shows only
// there), so that each figure shows it includes the paint of what the
// command changed, and only one.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(frmEqs& window) {
        mViewports.push_back(window.UnitList().view()->viewport());
        if (QTableView* frozen = window.UnitList().frozenView())
            mViewports.push_back(frozen->viewport());
        mPaints.assign(mViewports.size(), 0);
        for (QWidget* viewport : mViewports)
            viewport->installEventFilter(this);
    }
    ~PaintCounter() override {
        for (QWidget* viewport : mViewports)
            viewport->removeEventFilter(this);
    }
    // Paints while the timing is paused are not the command's.
    void setCounting(bool on) { mCounting = on; }
    // Both views paint in the same pass: the pass counts once.
    void report(benchmark::State& state) const {
        state.counters["paints"] =
            static_cast<double>(*std::max_element(mPaints.begin(), mPaints.end())) /
            static_cast<double>(std::max<benchmark::IterationCount>(1, state.iterations()));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!mCounting || event->type() != QEvent::Paint)
            return false;
        for (std::size_t k = 0; k < mViewports.size(); ++k) {
            if (watched == mViewports[k])
                ++mPaints[k];
        }
        return false;
    }

private:
    std::vector<QWidget*> mViewports;
    std::vector<long> mPaints;
    bool mCounting = true;
};

// Delivers what a command left pending, the grid's paint among it, as the
// event loop would right after the click: pass after pass until one finds
// nothing, as a view's layout waits for a timer that what the first pass
// delivers may start.
void paint(frmEqs&) {
    QApplication::processEvents(QEventLoop::AllEvents, 1000);
}

// A paint of the whole listed grid alone: the floor under every command below.
void BM_RepaintBaseline(benchmark::State& state) {
    auto window = listed(static_cast<int>(state.range(0)));
    PaintCounter paints(*window);
    for (auto _ : state) {
        window->UnitList().view()->viewport()->update();
        paint(*window);
    }
    paints.report(state);
}

void BM_ListIntoGrid(benchmark::State& state) {
    auto window = listed(static_cast<int>(state.range(0)));
    PaintCounter paints(*window);
    for (auto _ : state) {
        window->cmdLoad_Click();
        paint(*window);
    }
    paints.report(state);
}

void setKeys(int kind);

// Renumber of a list whose codes are all out of place.
void BM_Renumber(benchmark::State& state) {
    auto window = listed(static_cast<int>(state.range(0)));
    PaintCounter paints(*window);
    for (auto _ : state) {
        state.PauseTiming();
        mdlGeneral::document().undoStack()->clear();
        paints.setCounting(false);
        setKeys(0);
        paints.setCounting(true);
        state.ResumeTiming();
        cmdRenumber_Click();
        paint(*window);
    }
    paints.report(state);
}

// Keys: 0 random codes, 1 random among 26 countries, 2 reverse order; set
// as an edit would, so that everything that follows the list (the Problems
// panel among it) has caught up with them before the command is timed.
void setKeys(int kind) {
    std::mt19937 rng(11);
    Document& document = mdlGeneral::document();
    const std::int32_t n = document.equipments().Count();
    std::vector<std::pair<std::int32_t, std::int64_t>> values;
    values.reserve(static_cast<std::size_t>(n));
    for (std::int32_t i = 1; i <= n; ++i) {
        if (kind == 0 || kind == 2)
            values.emplace_back(i, kind == 0 ? static_cast<Long>(rng() % 32768) : n - i);
        else
            values.emplace_back(i, static_cast<Long>(rng() % 26));
    }
    document.setNumbers(static_cast<int>(kind == 1 ? Field::Country : Field::EqCode), values);
    QApplication::processEvents(QEventLoop::AllEvents, 1000);
}

QUndoStack& undoStack() {
    return *mdlGeneral::document().undoStack();
}

template <bool byCountry>
void BM_Sort(benchmark::State& state) {
    auto window = listed(static_cast<int>(state.range(0)));
    PaintCounter paints(*window);
    for (auto _ : state) {
        state.PauseTiming();
        undoStack().clear();
        paints.setCounting(false);
        setKeys(static_cast<int>(state.range(1)));
        paints.setCounting(true);
        state.ResumeTiming();
        byCountry ? cmdSortbyCountry_Click() : cmdSort_Click();
        paint(*window);
    }
    paints.report(state);
}

// Sort by code with every record selected, as after a paste of many or
// Ctrl+A: the selection must not be carried through the new order cell by
// cell.
void BM_SortAllSelected(benchmark::State& state) {
    auto window = listed(static_cast<int>(state.range(0)));
    PaintCounter paints(*window);
    for (auto _ : state) {
        state.PauseTiming();
        undoStack().clear();
        paints.setCounting(false);
        setKeys(0);
        window->UnitList().SelectAll();
        paint(*window);
        paints.setCounting(true);
        state.ResumeTiming();
        cmdSort_Click();
        paint(*window);
    }
    paints.report(state);
}

void BM_MoveUpDown(benchmark::State& state) {
    auto window = listed(static_cast<int>(state.range(0)));
    PaintCounter paints(*window);
    Grid& grid = window->UnitList();
    for (auto _ : state) {
        grid.setRow(grid.Rows() / 2);
        cmdUp_Click();
        cmdDown_Click();
        paint(*window);
    }
    paints.report(state);
}

void BM_CopyAllRows(benchmark::State& state) {
    auto window = listed(static_cast<int>(state.range(0)));
    Grid& grid = window->UnitList();
    for (auto _ : state) {
        grid.setRow(1);
        grid.setRowSel(grid.Rows() - 1);
        cmdCopy_Click();
    }
}

void selectRow(frmEqs& window, int row) {
    Grid& grid = window.UnitList();
    grid.setRow(row);
    grid.setRowSel(row);
}

// One row cut from the middle of the list; the list loses one per round.
void BM_CutOne(benchmark::State& state) {
    auto window = listed(static_cast<int>(state.range(0)));
    PaintCounter paints(*window);
    for (auto _ : state) {
        selectRow(*window, window->UnitList().Rows() / 2);
        cmdCut_Click();
        paint(*window);
    }
    paints.report(state);
}

// One record pasted at the end; the list grows by one per round.
void BM_PasteOne(benchmark::State& state) {
    auto window = listed(static_cast<int>(state.range(0)) - 1000);
    selectRow(*window, 2);
    cmdCopy_Click();
    PaintCounter paints(*window);
    for (auto _ : state) {
        cmdPaste_Click();
        paint(*window);
    }
    paints.report(state);
}

// The commands whose undo and redo are timed, by number.
enum class TimedCommand { Renumber, SortByCode, SortByCountry, MoveUp, CutOne, PasteOne };

// Sets the list up so that the command changes something, and runs it once.
void runCommand(frmEqs& window, TimedCommand command) {
    switch (command) {
        case TimedCommand::Renumber:
            setKeys(0);
            cmdRenumber_Click();
            break;
        case TimedCommand::SortByCode:
            setKeys(0);
            cmdSort_Click();
            break;
        case TimedCommand::SortByCountry:
            setKeys(1);
            cmdSortbyCountry_Click();
            break;
        case TimedCommand::MoveUp:
            selectRow(window, window.UnitList().Rows() / 2);
            cmdUp_Click();
            break;
        case TimedCommand::CutOne:
            selectRow(window, window.UnitList().Rows() / 2);
            cmdCut_Click();
            break;
        case TimedCommand::PasteOne:
            selectRow(window, 2);
            cmdCopy_Click();
            cmdPaste_Click();
            break;
    }
}

// The undo (redo false) or the redo of one command, to a painted grid; the
// other direction runs untimed between the rounds.
template <bool redo>
void BM_UndoRedo(benchmark::State& state) {
    auto window = listed(static_cast<int>(state.range(1)) - 1);
    runCommand(*window, static_cast<TimedCommand>(state.range(0)));
    paint(*window);
    if (undoStack().count() != 1)
        state.SkipWithError("the command changed nothing");
    if (redo) {
        undoStack().undo();
        paint(*window);
    }
    PaintCounter paints(*window);
    for (auto _ : state) {
        redo ? undoStack().redo() : undoStack().undo();
        paint(*window);
        state.PauseTiming();
        paints.setCounting(false);
        redo ? undoStack().undo() : undoStack().redo();
        paint(*window);
        paints.setCounting(true);
        state.ResumeTiming();
    }
    paints.report(state);
}

// Pastes every row's copy at the end of the list, from the real clipboard.
void BM_PasteAllRows(benchmark::State& state) {
    auto window = listed(static_cast<int>(state.range(0)));
    Grid& grid = window->UnitList();
    grid.setRow(1);
    grid.setRowSel(grid.Rows() - 1);
    cmdCopy_Click();
    PaintCounter paints(*window);
    for (auto _ : state) {
        state.PauseTiming();
        paints.setCounting(false);
        undoStack().clear();
        window->cmdLoad_Click();
        paint(*window);
        paints.setCounting(true);
        state.ResumeTiming();
        cmdPaste_Click();
        paint(*window);
    }
    paints.report(state);
}

// The comparison window over a pair whose every record differs from the
// listed one: from the chosen file to the painted table of all differences,
// the reading of that pair included.
void BM_ComparisonWindow(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    auto window = listed(n);
    const bench::fs::path folder = bench::pairOf(n).folder / "MODPACK";
    bench::fs::create_directories(folder);
    Equipments other;
    std::mt19937 rng(n + 7);
    for (int i = 0; i < n; ++i)
        other.Add(bench::randomRecord(rng, i));
    other.setDataPath((folder / "EQUIP97.EQP").string());
    PutEquipments(other);
    const QString path = QString::fromStdString(other.DataPath());
    struct PaintSeen : QObject {
        bool seen = false;
        bool eventFilter(QObject*, QEvent* event) override {
            seen = seen || event->type() == QEvent::Paint;
            return false;
        }
    };
    long rows = 0, painted = 0;
    for (auto _ : state) {
        frmCompare* compare = CompareWithPair(window->session(), path, window.get());
        PaintSeen paint;
        compare->table().viewport()->installEventFilter(&paint);
        QApplication::processEvents();
        state.PauseTiming();
        rows = compare->model().rowCount();
        painted += paint.seen;
        delete compare;
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["paints"] =
        static_cast<double>(painted) / static_cast<double>(std::max<long>(1, state.iterations()));
    state.counters["differences"] = static_cast<double>(rows);
}

// The merge window: the open list is mod 0 of the base of n records, merged
// with mods 1 and 2, each changing a tenth of the records; from the chosen
// files to its painted table.
void BM_MergeWindow(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    QStringList paths;
    for (int m = 0; m < 3; ++m) {
        Equipments mod;
        mod.setDataPath(bench::pairOf(n).eqp);
        GetEquipments(mod);
        bench::changeAsMod(mod, m);
        const bench::fs::path folder = bench::pairOf(n).folder / ("mod" + std::to_string(m));
        bench::fs::create_directories(folder);
        mod.setDataPath((folder / "EQUIP97.EQP").string());
        PutEquipments(mod);
        paths << QString::fromStdString(mod.DataPath());
    }
    benchPrompts().path = paths.takeFirst();
    auto window = std::make_unique<frmEqs>();
    window->show();
    window->cmdLoad_Click();
    QApplication::processEvents();
    const QString base = QString::fromStdString(bench::pairOf(n).eqp);
    struct PaintSeen : QObject {
        bool seen = false;
        bool eventFilter(QObject*, QEvent* event) override {
            seen = seen || event->type() == QEvent::Paint;
            return false;
        }
    };
    long rows = 0, painted = 0;
    for (auto _ : state) {
        frmMerge* merge = MergeWithPairs(window->session(), base, paths, window.get());
        PaintSeen paint;
        merge->table().viewport()->installEventFilter(&paint);
        QApplication::processEvents();
        state.PauseTiming();
        rows = merge->model().rowCount();
        painted += paint.seen;
        delete merge;
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["paints"] =
        static_cast<double>(painted) / static_cast<double>(std::max<long>(1, state.iterations()));
    state.counters["records"] = static_cast<double>(rows);
}

// The Problems panel brought up to date after a command, on top of the
// command's own figure: the command runs untimed, the re-check, the panel's
// rows and its counter are timed. Args: the list's size, and 0 for a clean
// list or 1 for one with a warning in every record.
ProblemTracker& problemsOf(frmEqs& window, bool warningEverywhere) {
    ProblemTracker& tracker = FindProblemsPanel(window)->tracker();
    if (warningEverywhere) {
        Document& document = mdlGeneral::document();
        std::vector<std::pair<std::int32_t, std::int64_t>> classes;
        for (std::int32_t i = 1; i <= document.equipments().Count(); ++i)
            classes.emplace_back(i, 30);
        document.setNumbers(static_cast<int>(Field::EqClass), classes);
    }
    tracker.refresh();
    return tracker;
}

// One record changed in place; an error of its own comes and goes, so the
// panel's rows change every round.
void BM_ProblemsAfterRecordCommand(benchmark::State& state) {
    auto window = listed(static_cast<int>(state.range(0)));
    ProblemTracker& tracker = problemsOf(*window, state.range(1) != 0);
    Document& document = mdlGeneral::document();
    const std::int32_t position = document.equipments().Count() / 2;
    Equipment values = *document.equipments().Item(position);
    for (auto _ : state) {
        state.PauseTiming();
        values.setAttackSound(values.AttackSound() < 0 ? 1 : -1);
        document.replaceRecord(position, values);
        state.ResumeTiming();
        tracker.refresh();
    }
}

// A command that reorders the whole list (a sort), here a shuffle of every
// record: the problems follow their records. (A move up or down, which
// exchanges two records, is followed by a splice.)
void BM_ProblemsAfterListCommand(benchmark::State& state) {
    auto window = listed(static_cast<int>(state.range(0)));
    ProblemTracker& tracker = problemsOf(*window, state.range(1) != 0);
    Document& document = mdlGeneral::document();
    std::vector<std::int32_t> order(static_cast<std::size_t>(document.equipments().Count()));
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), std::mt19937(5));
    for (auto _ : state) {
        state.PauseTiming();
        document.permute(order);
        state.ResumeTiming();
        tracker.refresh();
    }
}

// One keystroke in the filter bar that completes a filter: a plain word (0)
// or two column terms (1), from the text one character shorter.
void BM_FilterKeystroke(benchmark::State& state) {
    auto window = listed(static_cast<int>(state.range(0)));
    const QString text =
        state.range(1) == 0 ? QStringLiteral("germ") : QStringLiteral("Co=Germany SA>=10");
    QLineEdit* edit = window->filterBar().edit();
    PaintCounter paints(*window);
    for (auto _ : state) {
        state.PauseTiming();
        paints.setCounting(false);
        edit->setText(text.chopped(1));
        paint(*window);
        paints.setCounting(true);
        state.ResumeTiming();
        edit->setText(text);
        paint(*window);
    }
    paints.report(state);
}

// Escape in the filter bar: every row back, the selection on its records.
void BM_FilterClear(benchmark::State& state) {
    auto window = listed(static_cast<int>(state.range(0)));
    QLineEdit* edit = window->filterBar().edit();
    PaintCounter paints(*window);
    for (auto _ : state) {
        state.PauseTiming();
        paints.setCounting(false);
        edit->setText(QStringLiteral("Co=Germany SA>=10"));
        window->UnitList().SelectAll();
        paint(*window);
        paints.setCounting(true);
        state.ResumeTiming();
        window->filterBar().clear();
        paint(*window);
    }
    paints.report(state);
}

// "Set value" on every record (OK in the dialog), or its undo (undo true).
template <bool undo>
void BM_SetValueAll(benchmark::State& state) {
    auto window = listed(static_cast<int>(state.range(0)));
    window->UnitList().SelectAll();
    const std::vector<std::int32_t> all = mdlGeneral::SelectedPositions();
    PaintCounter paints(*window);
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        paints.setCounting(false);
        SetValueDialog dialog(all, window.get());
        dialog.fieldBox()->setCurrentIndex(
            dialog.fieldBox()->findData(static_cast<int>(Field::SoftAttack)));
        // A value no record holds yet, so that each round changes every one.
        dialog.valueBox()->setText(QString::number(200 + round++ % 50));
        if (undo) {
            dialog.tryApply();
            paint(*window);
        }
        paints.setCounting(true);
        state.ResumeTiming();
        if (undo)
            undoStack().undo();
        else
            dialog.tryApply();
        paint(*window);
    }
    paints.report(state);
}

// Sees the first paint of any widget.
class FirstPaint : public QObject {
public:
    bool seen = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        seen = seen || event->type() == QEvent::Paint;
        return false;
    }
};

constexpr char kStartFlag[] = "--start-to-first-paint";

// What a process started with kStartFlag does: the editor's start as its
// main makes it, then "painted" on standard output once its list window
// (no pair open) has painted.
int startAndPaint(int argc, char** argv) {
    KeepLargeBuffersForReuse();
    QApplication app(argc, argv);
    setPrompts(&benchPrompts());
    FirstPaint painted;
    app.installEventFilter(&painted);
    frmEqs window;
    window.show();
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!painted.seen && std::chrono::steady_clock::now() < giveUp)
        QApplication::processEvents();
    std::fputs(painted.seen ? "painted\n" : "nothing\n", stdout);
    std::fflush(stdout);
    app.removeEventFilter(&painted);
    return painted.seen ? 0 : 1;
}

// The editor's start to its first painted window: from starting a new
// process of this program, which loads the same libraries and makes the same
// window, to its word that the window painted.
void BM_StartToFirstPaint(benchmark::State& state) {
    for (auto _ : state) {
        int out[2];
        if (::pipe(out) != 0) {
            state.SkipWithError("no pipe");
            break;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addclose(&actions, out[1]);
        // The platform's notes, once a start, would bury the table's.
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        char self[] = "/proc/self/exe";
        char flag[sizeof kStartFlag];
        std::memcpy(flag, kStartFlag, sizeof kStartFlag);
        char* args[] = {self, flag, nullptr};
        const auto begin = std::chrono::steady_clock::now();
        pid_t child = 0;
        const bool spawned = ::posix_spawn(&child, self, &actions, nullptr, args, environ) == 0;
        ::close(out[1]);
        char said[16] = {};
        const ssize_t got = spawned ? ::read(out[0], said, sizeof said - 1) : -1;
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - begin;
        ::close(out[0]);
        posix_spawn_file_actions_destroy(&actions);
        int status = 0;
        if (spawned)
            ::waitpid(child, &status, 0);
        if (got <= 0 || std::strncmp(said, "painted", 7) != 0) {
            state.SkipWithError("the started editor painted nothing");
            break;
        }
        state.SetIterationTime(took.count());
    }
}

// One value typed into a cell and committed, to the painted grid.
void BM_CellEdit(benchmark::State& state) {
    auto window = listed(static_cast<int>(state.range(0)));
    selectRow(*window, 100);
    const std::int32_t position = mdlGeneral::PositionOfRow(100);
    PaintCounter paints(*window);
    int value = 0;
    for (auto _ : state) {
        value = (value + 1) % 200;
        CommitCell(window->session(), position, static_cast<int>(Field::SoftAttack),
                   QString::number(value));
        paint(*window);
    }
    paints.report(state);
}

// Arg 1: 0 sorts the view by a heading's column, 1 puts it back in list order.
void BM_HeadingSort(benchmark::State& state) {
    auto window = listed(static_cast<int>(state.range(0)));
    const bool back = state.range(1) == 1;
    const int column = static_cast<int>(Field::SoftAttack);
    selectRow(*window, 100);
    PaintCounter paints(*window);
    for (auto _ : state) {
        state.PauseTiming();
        paints.setCounting(false);
        window->sortView(back ? column : -1);
        paint(*window);
        paints.setCounting(true);
        state.ResumeTiming();
        window->sortView(back ? -1 : column);
        paint(*window);
    }
    paints.report(state);
}

// A heading dragged to another place, to the painted grid.
void BM_MoveColumn(benchmark::State& state) {
    auto window = listed(static_cast<int>(state.range(0)));
    QHeaderView* header = window->UnitList().view()->horizontalHeader();
    const int co = static_cast<int>(Field::Country);
    PaintCounter paints(*window);
    bool there = false;
    for (auto _ : state) {
        header->moveSection(header->visualIndex(co), there ? co : 3);
        there = !there;
        paint(*window);
    }
    paints.report(state);
}

std::vector<EquipmentRef> allRecords() {
    std::vector<EquipmentRef> records;
    for (const EquipmentRef& e : mdlGeneral::gEquipments())
        records.push_back(e);
    return records;
}

// The core's encoding of every format Copy puts on the clipboard: Copy's floor.
void BM_EncodeAllFormats(benchmark::State& state) {
    auto window = listed(static_cast<int>(state.range(0)));
    const std::vector<EquipmentRef> records = allRecords();
    for (auto _ : state) {
        benchmark::DoNotOptimize(EncodeClipboardText(records));
        benchmark::DoNotOptimize(EncodeTabTable(records));
        benchmark::DoNotOptimize(EncodeHtmlTable(records));
    }
}

// The core's reading of a spreadsheet's rows: the table paste's floor.
void BM_DecodeTable(benchmark::State& state) {
    auto window = listed(static_cast<int>(state.range(0)));
    const std::string table = EncodeTabTable(allRecords());
    for (auto _ : state)
        benchmark::DoNotOptimize(DecodeTabTable(table, static_cast<std::size_t>(kMaxRecords)));
}

// Tab-separated rows as a spreadsheet copies them, pasted into a list as long.
void BM_PasteTableRows(benchmark::State& state) {
    auto window = listed(static_cast<int>(state.range(0)));
    const std::string table = EncodeTabTable(allRecords());
    QGuiApplication::clipboard()->setText(
        QString::fromUtf8(table.data(), static_cast<qsizetype>(table.size())));
    PaintCounter paints(*window);
    for (auto _ : state) {
        state.PauseTiming();
        paints.setCounting(false);
        undoStack().clear();
        window->cmdLoad_Click();
        paint(*window);
        paints.setCounting(true);
        state.ResumeTiming();
        cmdPaste_Click();
        paint(*window);
    }
    paints.report(state);
}

// Counts the paints of one widget.
struct PaintsOf : QObject {
    explicit PaintsOf(QWidget& widget) { widget.installEventFilter(this); }
    long paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
    void report(benchmark::State& state, const char* name) const {
        state.counters[name] =
            static_cast<double>(paints) /
            static_cast<double>(std::max<benchmark::IterationCount>(1, state.iterations()));
    }
};

// The list window with its chart shown, cost against attack, at a size of
// the same order as the grid's.
ChartView& chartShown(frmEqs& window) {
    window.resize(1200, 900);
    ChartPanel& panel = *FindChartPanel(window);
    panel.toggle();
    paint(window);
    return panel.view();
}

// A paint of the chart with every record, which the grid's selection
// changing or the window being uncovered asks for.
void BM_ChartPaint(benchmark::State& state) {
    auto window = listed(static_cast<int>(state.range(0)));
    ChartView& chart = chartShown(*window);
    PaintsOf paints(chart);
    for (auto _ : state) {
        chart.update();
        paint(*window);
    }
    paints.report(state, "chart paints");
    state.counters["points"] = static_cast<double>(chart.chart().points.size());
}

// Set value of the charted attack on every record: from OK to the grid,
// the chart worked out and painted anew, and the status bar's figures of
// the attack column.
void BM_ChartAfterSetValue(benchmark::State& state) {
    auto window = listed(static_cast<int>(state.range(0)));
    ChartView& chart = chartShown(*window);
    Grid& grid = window->UnitList();
    QTableView* view = grid.view();
    const QRect cell =
        view->visualRect(view->model()->index(0, static_cast<int>(Field::SoftAttack)));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(cell.center()),
                      view->viewport()->mapToGlobal(QPointF(cell.center())), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(cell.center()),
                        view->viewport()->mapToGlobal(QPointF(cell.center())), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &release);
    grid.SelectAll();
    paint(*window);
    const std::vector<std::int32_t> all = mdlGeneral::SelectedPositions();
    auto* figures = window->findChild<SelectionSummary*>();
    PaintsOf chartPaints(chart);
    PaintsOf figurePaints(*figures);
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        SetValueDialog dialog(all, window.get());
        dialog.fieldBox()->setCurrentIndex(
            dialog.fieldBox()->findData(static_cast<int>(Field::SoftAttack)));
        dialog.valueBox()->setText(QString::number(200 + round++ % 50));
        state.ResumeTiming();
        dialog.tryApply();
        paint(*window);
    }
    chartPaints.report(state, "chart paints");
    figurePaints.report(state, "figure paints");
    if (!figures->text().contains(QStringLiteral("SA sum")))
        state.SkipWithError("the status bar shows no figures of the attack");
}

// A rectangle dragged over 10,000 of the chart's points: the grid selects
// their rows and paints, the chart marks them.
void BM_ChartRectangle(benchmark::State& state) {
    auto window = listed(static_cast<int>(state.range(0)));
    ChartView& chart = chartShown(*window);
    const std::vector<ChartPoint>& points = chart.chart().points;
    std::vector<double> xs;
    for (const ChartPoint& p : points)
        xs.push_back(chart.placeOf(p.record)->x());
    std::sort(xs.begin(), xs.end());
    const double right = xs[std::min<std::size_t>(xs.size() - 1, 9999)];
    const QPointF from(xs.front() - 2, 2);
    const QPointF to(right + 0.5, chart.height() - 2);
    auto mouse = [&chart](QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, chart.mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(&chart, &event);
    };
    PaintCounter paints(*window);
    std::size_t selected = 0;
    for (auto _ : state) {
        state.PauseTiming();
        paints.setCounting(false);
        selectRow(*window, 1);
        paint(*window);
        paints.setCounting(true);
        state.ResumeTiming();
        mouse(QEvent::MouseButtonPress, from, Qt::LeftButton);
        mouse(QEvent::MouseMove, to, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, to, Qt::NoButton);
        paint(*window);
        state.PauseTiming();
        selected = mdlGeneral::SelectedPositions().size();
        state.ResumeTiming();
    }
    paints.report(state);
    state.counters["selected"] = static_cast<double>(selected);
}

}  // namespace

BENCHMARK(BM_CellEdit)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HeadingSort)->Args({32767, 0})->Args({32767, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MoveColumn)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeAllFormats)->Arg(999)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeTable)->Arg(16383)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PasteTableRows)->Arg(16383)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ComparisonWindow)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MergeWindow)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintBaseline)->Arg(999)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListIntoGrid)->Arg(999)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Renumber)->Arg(999)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Sort, false)
    ->Name("BM_SortByCode")
    ->Args({999, 0})
    ->Args({32767, 0})
    ->Args({32767, 2})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortAllSelected)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Sort, true)
    ->Name("BM_SortByCountry")
    ->Args({999, 1})
    ->Args({32767, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MoveUpDown)->Arg(999)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CutOne)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PasteOne)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyAllRows)->Arg(999)->Arg(32767)->Unit(benchmark::kMillisecond);
// 16383 pasted into 16383: the largest paste the 32767-record ceiling allows.
BENCHMARK(BM_PasteAllRows)->Arg(999)->Arg(16383)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterKeystroke)->Args({32767, 0})->Args({32767, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterClear)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_SetValueAll, false)
    ->Name("BM_SetValueAll")
    ->Arg(32767)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_SetValueAll, true)
    ->Name("BM_SetValueAllUndo")
    ->Arg(32767)
    ->Unit(benchmark::kMillisecond);
// Args: the command (Renumber, SortByCode, SortByCountry, MoveUp, CutOne,
// PasteOne) and the list's size.
BENCHMARK_TEMPLATE(BM_UndoRedo, false)
    ->Name("BM_Undo")
    ->ArgsProduct({{0, 1, 2, 3, 4, 5}, {32767}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_UndoRedo, true)
    ->Name("BM_Redo")
    ->ArgsProduct({{0, 1, 2, 3, 4, 5}, {32767}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChartPaint)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChartAfterSetValue)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChartRectangle)->Arg(32767)->Unit(benchmark::kMillisecond);
// A set number of rounds: the re-check timed is far quicker than the change
// made between rounds with the timer paused, and the library would run
// rounds until the timed part alone added up to its minimum time.
BENCHMARK(BM_ProblemsAfterRecordCommand)
    ->ArgsProduct({{32767}, {0, 1}})
    ->Iterations(300)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProblemsAfterListCommand)
    ->ArgsProduct({{32767}, {0, 1}})
    ->Iterations(300)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], kStartFlag) == 0)
        return startAndPaint(argc, argv);
    // As the editor's own main does.
    KeepLargeBuffersForReuse();
    QApplication app(argc, argv);
    setPrompts(&benchPrompts());
    // KESTREL_BENCH_NO_PEAK=1 leaves the peak-memory rounds out, so that a
    // profile of one figure holds that figure's work alone.
    const char* noPeak = std::getenv("KESTREL_BENCH_NO_PEAK");
    if (!noPeak || std::strcmp(noPeak, "1") != 0) {
        // Peak memory of the editor with the largest file listed and painted
        // and 100 commands on the undo stack.
        auto window = listed(32766);
        paint(*window);
        const TimedCommand cycle[] = {TimedCommand::SortByCountry, TimedCommand::SortByCode,
                                      TimedCommand::MoveUp, TimedCommand::CutOne,
                                      TimedCommand::PasteOne};
        for (int i = 0; i < 100; ++i) {
            runCommand(*window, cycle[i % 5]);
            paint(*window);
        }
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::fprintf(stderr,
                     "peak memory with 32767 records listed and %d commands on the stack: "
                     "%.1f MB (target 60 MB)\n",
                     undoStack().count(), usage.ru_maxrss / 1024.0);
        undoStack().clear();
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
