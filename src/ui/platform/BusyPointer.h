#pragma once

namespace kestrel::ui {

class Grid;

// The busy pointer and, when a grid is given, its Redraw off for as long as
// the guard lives, so that every way out of a command restores both.
class BusyGuard {
public:
    explicit BusyGuard(Grid* grid = nullptr);
    ~BusyGuard();
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

private:
    Grid* mGrid;
};

}  // namespace kestrel::ui
