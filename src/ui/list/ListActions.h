#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QUndoStack;
class QWidget;

namespace kestrel::ui {

// Every command of the list window, one QAction each.
enum class Command {
    Load,
    Save,
    SaveAs,
    Compare,
    MergeMods,
    Quit,
    Undo,
    Redo,
    Cut,
    Copy,
    CopyValue,
    Paste,
    Delete,
    Duplicate,
    SetValue,
    GoTo,
    Filter,
    Problems,
    Chart,
    Columns,
    ResetColumns,
    Renumber,
    SortByCode,
    SortByCountry,
    MoveUp,
    MoveDown,
    MoveTo,
    Help,
    About,
};
constexpr int kCommandCount = static_cast<int>(Command::About) + 1;

// The one table of the list window's actions: text with its mnemonic, keys,
// tooltip naming the key, picture and enabled state, made in one place. The
// strip's buttons, the menu bar, the grid's context menu, the keys and the F1
// list all use these actions, so disabling one disables it everywhere.
class ListActions : public QObject {
    Q_OBJECT
public:
    // run[c] is what Command c does; Undo and Redo come from stack.
    ListActions(QWidget& window, QUndoStack& stack,
                std::array<std::function<void()>, kCommandCount> run);

    QAction* action(Command command) const { return mActions[static_cast<int>(command)]; }
    const std::array<QAction*, kCommandCount>& all() const { return mActions; }

    // File, Edit, View, List and Help; recent is File's submenu of recent
    // pairs and earlier versions, filled when it opens.
    void fillMenuBar(QMenuBar& bar, QMenu* recent) const;
    // The grid's context menu.
    void fillContextMenu(QMenu& menu) const;

    // "Cut (Ctrl+X)": the tooltip names the first key.
    static QString TipWithKey(const QString& tip, const QAction& action);
    // (command, keys) lines for the F1 list, in menu order.
    std::vector<std::pair<QString, QString>> keyLines() const;

private:
    void updateUndoTips();

    std::array<QAction*, kCommandCount> mActions{};
    std::array<QString, kCommandCount> mTips;
};

}  // namespace kestrel::ui
