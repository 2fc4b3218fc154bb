#include "ui/list/ListActions.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QUndoStack>
#include <QWidget>
#include <optional>

#include "ui/platform/Icons.h"

namespace kestrel::ui {

namespace {

struct ActionRow {
    Command command;
    const char* name;  // objectName: "act" and the command
    const char* text;  // with its mnemonic
    const char* tip;
    std::vector<QKeySequence> keys;
    std::optional<ButtonPicture> picture;
};

// The table: one line a command, in menu order.
const std::vector<ActionRow>& actionRows() {
    static const std::vector<ActionRow> table = {
        {Command::Load,
         "actLoad",
         "&Load\u2026",
         "Load",
         {QKeySequence::Open},
         ButtonPicture::Load},
        {Command::Save,
         "actSave",
         "&Save",
         "Save to the open pair",
         {QKeySequence(Qt::CTRL | Qt::Key_S)},
         ButtonPicture::Save},
        {Command::SaveAs,
         "actSaveAs",
         "Save &As\u2026",
         "Save",
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
         ButtonPicture::Save},
        {Command::Compare,
         "actCompare",
         "&Compare with\u2026",
         "Compare with\u2026",
         {},
         ButtonPicture::Compare},
        {Command::MergeMods,
         "actMergeMods",
         "&Merge mods\u2026",
         "Merge the open list with other mods of its base",
         {},
         {}},
        {Command::Quit, "actQuit", "&Quit", "Quit", {QKeySequence(Qt::CTRL | Qt::Key_Q)}, {}},
        {Command::Undo,
         "actUndo",
         "&Undo",
         "Undo",
         {QKeySequence(Qt::CTRL | Qt::Key_Z)},
         ButtonPicture::Undo},
        {Command::Redo,
         "actRedo",
         "&Redo",
         "Redo",
         {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
         ButtonPicture::Redo},
        {Command::Cut,
         "actCut",
         "Cu&t",
         "Cut",
         {QKeySequence(Qt::CTRL | Qt::Key_X)},
         ButtonPicture::Cut},
        {Command::Copy,
         "actCopy",
         "&Copy",
         "Copy",
         {QKeySequence(Qt::CTRL | Qt::Key_C)},
         ButtonPicture::Copy},
        {Command::CopyValue,
         "actCopyValue",
         "Cop&y value",
         "Copy the value of the current cell",
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)},
         {}},
        {Command::Paste,
         "actPaste",
         "&Paste",
         "Paste",
         {QKeySequence(Qt::CTRL | Qt::Key_V)},
         ButtonPicture::Paste},
        {Command::Delete,
         "actDelete",
         "&Delete",
         "Delete",
         {QKeySequence(Qt::Key_Delete)},
         ButtonPicture::Delete},
        {Command::Duplicate,
         "actDuplicate",
         "Dup&licate",
         "Duplicate",
         {QKeySequence(Qt::CTRL | Qt::Key_D)},
         {}},
        {Command::SetValue,
         "actSetValue",
         "Set &value\u2026",
         "Set value",
         {QKeySequence(Qt::CTRL | Qt::Key_E)},
         ButtonPicture::SetValue},
        {Command::GoTo,
         "actGoTo",
         "&Go to\u2026",
         "Go to a record",
         {QKeySequence(Qt::CTRL | Qt::Key_G)},
         {}},
        {Command::Filter,
         "actFilter",
         "&Filter",
         "Filter the list",
         {QKeySequence(Qt::CTRL | Qt::Key_F)},
         {}},
        {Command::Problems, "actProblems", "&Problems", "Show or hide the problems", {}, {}},
        {Command::Chart,
         "actChart",
         "&Chart",
         "Show or hide the chart",
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_B)},
         ButtonPicture::Chart},
        {Command::Columns, "actColumns", "C&olumns\u2026", "Choose the columns shown", {}, {}},
        {Command::ResetColumns,
         "actResetColumns",
         "&Reset columns",
         "Show every column in the first order and widths",
         {},
         {}},
        {Command::Renumber,
         "actRenumber",
         "&Renumber",
         "Renumber equipments",
         {},
         ButtonPicture::Renumber},
        {Command::SortByCode,
         "actSort",
         "Sort by &code",
         "Sort with respect to Equipment code",
         {},
         ButtonPicture::Sort},
        {Command::SortByCountry,
         "actSortbyCountry",
         "Sort by c&ountry",
         "Sort with respect to Country",
         {},
         ButtonPicture::SortByCountry},
        {Command::MoveUp, "actUp", "Move &up", "Move one row up", {}, ButtonPicture::Up},
        {Command::MoveDown, "actDown", "Move do&wn", "Move one row down", {}, ButtonPicture::Down},
        {Command::MoveTo,
         "actMoveTo",
         "&Move to\u2026",
         "Move the selected records to",
         {QKeySequence(Qt::CTRL | Qt::Key_M)},
         {}},
        {Command::Help,
         "actHelp",
         "&Help and keys",
         "Help and keys",
         {QKeySequence(Qt::Key_F1)},
         {}},
        {Command::About, "actAbout", "&About\u2026", "About", {}, {}},
    };
    return table;
}

struct MenuSpec {
    const char* name;
    const char* title;
    std::vector<Command> commands;  // a separator before each Command::Load
};

}  // namespace

QString ListActions::TipWithKey(const QString& tip, const QAction& action) {
    const QKeySequence key = action.shortcut();
    if (key.isEmpty())
        return tip;
    return QStringLiteral("%1 (%2)").arg(tip, key.toString(QKeySequence::NativeText));
}

ListActions::ListActions(QWidget& window, QUndoStack& stack,
                         std::array<std::function<void()>, kCommandCount> run)
    : QObject(&window) {
    for (const ActionRow& s : actionRows()) {
        const int i = static_cast<int>(s.command);
        QAction* action = nullptr;
        if (s.command == Command::Undo)
            action = stack.createUndoAction(&window, QStringLiteral("&Undo"));
        else if (s.command == Command::Redo)
            action = stack.createRedoAction(&window, QStringLiteral("&Redo"));
        else
            action = new QAction(QString::fromUtf8(s.text), &window);
        action->setObjectName(QString::fromLatin1(s.name));
        action->setShortcuts(QList<QKeySequence>(s.keys.begin(), s.keys.end()));
        if (s.picture)
            action->setIcon(ButtonIcon(*s.picture));
        mTips[i] = QString::fromUtf8(s.tip);
        action->setToolTip(TipWithKey(mTips[i], *action));
        if (run[i])
            connect(action, &QAction::triggered, this, run[i]);
        window.addAction(action);
        mActions[i] = action;
    }
    // The properties window is a window of its own; help answers there too.
    action(Command::Help)->setShortcutContext(Qt::ApplicationShortcut);
    action(Command::Help)->setIconText(QStringLiteral("?"));
    // In the filter box Delete deletes text: the key belongs to the grid,
    // which the list window adds the action to.
    action(Command::Delete)->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    window.removeAction(action(Command::Delete));
    // After the stack's own actions took the new text.
    connect(&stack, &QUndoStack::undoTextChanged, this, &ListActions::updateUndoTips);
    connect(&stack, &QUndoStack::redoTextChanged, this, &ListActions::updateUndoTips);
    updateUndoTips();
}

void ListActions::updateUndoTips() {
    // The undo stack names the command in the text ("Undo Sort by country").
    for (Command c : {Command::Undo, Command::Redo}) {
        QAction* a = action(c);
        QString text = a->text();
        text.remove(QLatin1Char('&'));
        a->setToolTip(TipWithKey(text, *a));
    }
}

void ListActions::fillMenuBar(QMenuBar& bar, QMenu* recent) const {
    const MenuSpec menus[] = {
        {"mnuFile",
         "&File",
         {Command::Load, Command::Save, Command::SaveAs, Command::Compare, Command::MergeMods,
          Command::Quit}},
        {"mnuEdit",
         "&Edit",
         {Command::Undo, Command::Redo, Command::Cut, Command::Copy, Command::CopyValue,
          Command::Paste, Command::Delete, Command::Duplicate, Command::SetValue, Command::GoTo,
          Command::Filter}},
        {"mnuView",
         "&View",
         {Command::Problems, Command::Chart, Command::Columns, Command::ResetColumns}},
        {"mnuList",
         "&List",
         {Command::Renumber, Command::SortByCode, Command::SortByCountry, Command::MoveUp,
          Command::MoveDown, Command::MoveTo}},
        {"mnuHelp", "&Help", {Command::Help, Command::About}},
    };
    for (const MenuSpec& m : menus) {
        QMenu* menu = bar.addMenu(QString::fromLatin1(m.title));
        menu->setObjectName(QString::fromLatin1(m.name));
        for (Command c : m.commands) {
            // Groups as a user reads them: the file's own, then the others'.
            if (c == Command::Compare && recent) {
                menu->addSeparator();
                menu->addMenu(recent);
            }
            if (c == Command::Quit || c == Command::Cut || c == Command::Duplicate ||
                c == Command::GoTo || c == Command::MoveUp || c == Command::Columns)
                menu->addSeparator();
            menu->addAction(action(c));
        }
    }
}

void ListActions::fillContextMenu(QMenu& menu) const {
    for (Command c : {Command::Cut, Command::Copy, Command::CopyValue, Command::Paste,
                      Command::Delete, Command::Duplicate, Command::SetValue, Command::MoveTo})
        menu.addAction(action(c));
    menu.addSeparator();
    menu.addAction(action(Command::GoTo));
}

std::vector<std::pair<QString, QString>> ListActions::keyLines() const {
    std::vector<std::pair<QString, QString>> lines;
    for (const ActionRow& s : actionRows()) {
        const QAction* a = action(s.command);
        if (a->shortcuts().isEmpty())
            continue;
        QString text = QString::fromUtf8(s.text);
        text.remove(QLatin1Char('&'));
        text.remove(QChar(0x2026));
        QStringList keys;
        for (const QKeySequence& key : a->shortcuts())
            keys << key.toString(QKeySequence::NativeText);
        lines.emplace_back(text, keys.join(QStringLiteral(" or ")));
    }
    return lines;
}

}  // namespace kestrel::ui
