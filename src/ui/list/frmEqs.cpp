#include "ui/list/frmEqs.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTableView>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

#include "model/FieldTable.h"
#include "model/FieldText.h"
#include "storage/EquipmentFiles.h"
#include "ui/compare/CompareWith.h"
#include "ui/desktop/ChangedOnDiskBar.h"
#include "ui/desktop/EarlierVersions.h"
#include "ui/desktop/LoadMenu.h"
#include "ui/desktop/PairDrop.h"
#include "ui/desktop/VersionStore.h"
#include "ui/document/Document.h"
#include "ui/document/EquipmentTableModel.h"
#include "ui/document/UndoKeys.h"
#include "ui/list/BulkCommands.h"
#include "ui/list/CellEditor.h"
#include "ui/list/ChartPanel.h"
#include "ui/list/ColumnFit.h"
#include "ui/list/ColumnLayout.h"
#include "ui/list/FilterBar.h"
#include "ui/list/HelpWindow.h"
#include "ui/list/ListActions.h"
#include "ui/list/ListCommands.h"
#include "ui/list/LoadedPairProblems.h"
#include "ui/list/OpenPairDisplay.h"
#include "ui/list/ProblemsPanel.h"
#include "ui/list/RecordCounts.h"
#include "ui/list/RecordFilterProxy.h"
#include "ui/list/RecordRows.h"
#include "ui/list/SaveChecks.h"
#include "ui/list/SelectionSummary.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/BusyPointer.h"
#include "ui/platform/Grid.h"
#include "ui/platform/Icons.h"
#include "ui/platform/MessageBox.h"
#include "ui/platform/PathText.h"
#include "ui/platform/Twips.h"
#include "ui/platform/WindowPlaces.h"
#include "vocabulary/LookupTables.h"

namespace kestrel::ui {

namespace {
const char kCaption[] = "Kestrel Editor for Ironfront II Equipment Files - by R. Varnek - Beta 1";

struct ButtonSpec {
    const char* name;
    int left;
    Command command;
    const char* tip;  // the accessible name
};
// In tab order. The strip's Save keeps its dialog: it is Save As.
const std::array<ButtonSpec, 14> kButtons = {{
    {"cmdLoad", 90, Command::Load, "Load"},
    {"cmdSave", 510, Command::SaveAs, "Save"},
    {"cmdCut", 1365, Command::Cut, "Cut"},
    {"cmdCopy", 1762, Command::Copy, "Copy"},
    {"cmdPaste", 2160, Command::Paste, "Paste"},
    {"cmdRenumber", 3120, Command::Renumber, "Renumber equipments"},
    {"cmdSort", 3525, Command::SortByCode, "Sort with respect to Equipment code"},
    {"cmdUp", 4695, Command::MoveUp, "Move one row up"},
    {"cmdDown", 5085, Command::MoveDown, "Move one row down"},
    {"cmdSortbyCountry", 3930, Command::SortByCountry, "Sort with respect to Country"},
    {"cmdSetValue", 5700, Command::SetValue, "Set value"},
    {"cmdDelete", 6105, Command::Delete, "Delete"},
    {"cmdCompare", 6840, Command::Compare, "Compare"},
    {"cmdChart", 7245, Command::Chart, "Chart"},
}};
// At the right end of the strip, after the others in tab order.
const std::array<ButtonSpec, 3> kUndoButtons = {{
    {"cmdUndo", 7650, Command::Undo, "Undo"},
    {"cmdRedo", 8055, Command::Redo, "Redo"},
    {"cmdHelp", 8460, Command::Help, "Help and keys (F1)"},
}};
// The strip: the buttons, then the banner at its right end.
constexpr int kStripWidthTwips = 10965;
// The properties window's width, which the list's first size leaves room for.
constexpr int kPropertiesWidthTwips = 8500;

QRect twipsRect(int left, int top, int width, int height) {
    return QRect(TwipsToPixelsX(left), TwipsToPixelsY(top), TwipsToPixelsX(width),
                 TwipsToPixelsY(height));
}

}  // namespace

frmEqs::frmEqs(QWidget* parent) : frmEqs(mdlGeneral::session(), parent) {}

frmEqs::frmEqs(EditorSession& session, QWidget* parent) : QMainWindow(parent), mSession(session) {
    setObjectName(QStringLiteral("frmEqs"));
    setWindowTitle(Caption() + QStringLiteral("[*]"));
    resize(TwipsToPixelsX(10275), TwipsToPixelsY(6870));
    // At least as wide as the strip of buttons, so that each can be reached.
    RestoreMainPlace(*this, TwipsToPixelsX(kPropertiesWidthTwips),
                     TwipsToPixelsX(kStripWidthTwips));

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("ListArea"));
    setCentralWidget(central);
    // The strip keeps the buttons' own places; the bars below it share the rest.
    auto* strip = new QWidget(central);
    strip->setObjectName(QStringLiteral("ButtonStrip"));
    strip->setFixedHeight(TwipsToPixelsY(510));
    strip->setMinimumWidth(TwipsToPixelsX(kStripWidthTwips));

    Document& document = mSession.document();
    mUnitList = new Grid(central);
    mUnitList->setObjectName(QStringLiteral("UnitList"));
    mProxy = new RecordFilterProxy(document, this);
    mFilterBar = new FilterBar(*mProxy, central);

    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(strip);
    layout->addWidget(mFilterBar);
    layout->addWidget(mUnitList, 1);

    mFrame1 = new QFrame(strip);
    mFrame1->setObjectName(QStringLiteral("Frame1"));
    mFrame1->setFrameShape(QFrame::NoFrame);
    mFrame1->setGeometry(twipsRect(15, -45, 8835, 540));

    makeActions();
    std::array<QToolButton*, kButtons.size() + kUndoButtons.size()> buttons{};
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const ButtonSpec& look =
            i < kButtons.size() ? kButtons[i] : kUndoButtons[i - kButtons.size()];
        auto* button = new QToolButton(mFrame1);
        button->setObjectName(QString::fromLatin1(look.name));
        button->setGeometry(twipsRect(look.left, 150, 345, 330));
        // Picture, tooltip and enabled state are the action's.
        button->setDefaultAction(mActions->action(look.command));
        button->setIconSize(QSize(16, 16));
        button->setAccessibleName(QString::fromLatin1(look.tip));
        button->setFocusPolicy(Qt::StrongFocus);
        button->setAutoRaise(false);
        buttons[i] = button;
    }
    mFrame1->setFocusPolicy(Qt::NoFocus);

    mImage1 = new QLabel(strip);
    mImage1->setObjectName(QStringLiteral("Image1"));
    QRect image = twipsRect(kStripWidthTwips - 2040, 75, 2040, 405);
    mImage1->setGeometry(image);
    mImage1->setPixmap(BannerPixmap(image.width(), image.height(), devicePixelRatioF()));

    QWidget::setTabOrder(mFilterBar->edit(), mUnitList);
    QWidget::setTabOrder(mUnitList, buttons[0]);
    for (std::size_t i = 1; i < buttons.size(); ++i) {
        QWidget::setTabOrder(buttons[i - 1], buttons[i]);
    }

    AddUndoKeys(this, document.undoStack(), false);
    connect(&document, &Document::modifiedChanged, this, &QWidget::setWindowModified);

    connect(mUnitList, &Grid::Click, this, &frmEqs::UnitList_Click);
    connect(mUnitList, &Grid::DblClick, this, &frmEqs::UnitList_DblClick);

    mdlGeneral::setListWindow(this);
    mSession.setRecordView(this);
    mSession.setPairHost(this);
    const VersionStore versions = VersionStore::standard();
    InstallLoadMenu(*buttons[0], buttons[1], mSession, versions);
    mActions->fillMenuBar(*menuBar(), MakePairsMenu(*this, mSession, versions));
    menuBar()->setObjectName(QStringLiteral("MenuBar"));
    InstallVersionKeeping(mSession, versions);
    InstallPairDrop(*this, mSession);
    addGridBar(new ChangedOnDiskBar(mSession));
    InstallProblemsPanel(*this);
    // A problem's record may be hidden by the filter, and rows are not
    // positions while one is on.
    FindProblemsPanel(*this)->setRevealRecord([this](std::int32_t p) { mSession.revealRecord(p); });
    Form_Load();

    // On the grid only: in the filter box Delete deletes text.
    mUnitList->addAction(mActions->action(Command::Delete));
    // The same commands by mouse, with their keys shown, over the frozen
    // and the scrolling columns alike; the grid has selected the row first.
    connect(mUnitList, &Grid::ContextMenu, this, [this](const QPoint& at) {
        auto* menu = new QMenu(this);
        menu->setObjectName(QStringLiteral("mnuGrid"));
        menu->setAttribute(Qt::WA_DeleteOnClose);
        mActions->fillContextMenu(*menu);
        menu->popup(at);
    });

    mCounts = new RecordCounts(*mUnitList, *mProxy, *document.model(), this);
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->addWidget(mCounts);
    statusBar()->addWidget(new SelectionSummary(mSession, *mUnitList, this));
    InstallChartPanel(*this, mSession, *mUnitList);
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(mProxy, signal, this, &frmEqs::updateFilterButtons);
    connect(mProxy, &QAbstractItemModel::modelReset, this, &frmEqs::updateFilterButtons);
    connect(mProxy, &QAbstractItemModel::layoutChanged, this, &frmEqs::updateFilterButtons);
    updateFilterButtons();
    ColumnFit* fit = InstallColumnFit(*mUnitList);
    mColumnLayout = new ColumnLayout(*mUnitList, fit);
    mColumnLayout->setMenuActions(mActions->action(Command::Columns),
                                  mActions->action(Command::ResetColumns));
    mCellEditor = new CellEditor(*mUnitList, mSession);
    connect(mCellEditor, &CellEditor::refused, this,
            [this](const QString& why) { statusBar()->showMessage(why, 8000); });
    connect(mUnitList, &Grid::HeadingClicked, this, &frmEqs::headingClicked);
    mSortLabel = new QLabel(this);
    mSortLabel->setObjectName(QStringLiteral("lblSort"));
    mSortLabel->setContentsMargins(12, 0, 0, 0);
    statusBar()->addWidget(mSortLabel);
    InstallOpenPairDisplay(*this);
    const QString folder = RememberedFolder();
    if (!folder.isEmpty())
        mCd1.InitDir = folder;
    setWindowModified(document.isModified());
}

frmEqs::~frmEqs() {
    if (mdlGeneral::listWindow() == this)
        mdlGeneral::setListWindow(nullptr);
    if (mSession.recordView() == this) {
        mSession.setRecordView(nullptr);
        mSession.setPairHost(nullptr);
    }
}

void frmEqs::makeActions() {
    std::array<std::function<void()>, kCommandCount> run;
    auto set = [&run](Command c, std::function<void()> f) { run[static_cast<int>(c)] = f; };
    set(Command::Load, [this] { cmdLoad_Click(); });
    set(Command::Save, [this] { SaveBack(); });
    set(Command::SaveAs, [this] { cmdSave_Click(); });
    set(Command::Compare, [this] { cmdCompare_Click(mSession, this); });
    set(Command::MergeMods, [this] { cmdMerge_Click(mSession, this); });
    // Closing asks about unsaved changes like the close box does.
    set(Command::Quit, [this] { close(); });
    set(Command::Cut, [] { cmdCut_Click(); });
    set(Command::Copy, [] { cmdCopy_Click(); });
    set(Command::CopyValue, [this] { CopyValue(mSession); });
    set(Command::Columns, [this] { mColumnLayout->chooseColumns(this); });
    set(Command::ResetColumns, [this] { mColumnLayout->reset(); });
    set(Command::Paste, [] { cmdPaste_Click(); });
    set(Command::Delete, [] { cmdDelete_Click(); });
    set(Command::Duplicate, [] { DuplicateSelected(); });
    set(Command::SetValue, [] { cmdSetValue_Click(); });
    set(Command::GoTo, [] { AskGoTo(); });
    set(Command::Filter, [this] {
        mFilterBar->edit()->setFocus(Qt::ShortcutFocusReason);
        mFilterBar->edit()->selectAll();
    });
    set(Command::Problems, [this] {
        if (ProblemsPanel* panel = FindProblemsPanel(*this))
            panel->setVisible(!panel->isVisible());
    });
    set(Command::Chart, [this] {
        if (ChartPanel* panel = FindChartPanel(*this))
            panel->toggle();
    });
    set(Command::Renumber, [] { cmdRenumber_Click(); });
    set(Command::SortByCode, [] { cmdSort_Click(); });
    set(Command::SortByCountry, [] { cmdSortbyCountry_Click(); });
    set(Command::MoveUp, [] { cmdUp_Click(); });
    set(Command::MoveDown, [] { cmdDown_Click(); });
    set(Command::MoveTo, [] { AskMoveSelected(); });
    set(Command::Help, [this] { ShowHelp(this, mActions->keyLines()); });
    set(Command::About, [this] { ShowAbout(this); });
    mActions = new ListActions(*this, *mSession.document().undoStack(), std::move(run));
}

void frmEqs::updateFilterButtons() {
    // Exchanging neighbours in a filtered list would move records the user
    // cannot see.
    const bool filtering = mdlGeneral::Filtering();
    // A sorted view shows no neighbours of the list's order to exchange.
    const bool sorted = mProxy->sorted();
    mActions->action(Command::MoveUp)->setEnabled(!filtering && !sorted);
    mActions->action(Command::MoveDown)->setEnabled(!filtering && !sorted);
    mActions->action(Command::MoveTo)->setEnabled(!sorted);
}

void frmEqs::headingClicked(int column) {
    if (column < 0 || column >= kFieldCount)
        return;
    if (mProxy->sortColumn() != column)
        sortView(column, Qt::AscendingOrder);
    else if (mProxy->sortOrder() == Qt::AscendingOrder)
        sortView(column, Qt::DescendingOrder);
    else
        sortView(-1);
}

void frmEqs::sortView(int column, Qt::SortOrder order) {
    mCellEditor->cancel();
    // The same records stay selected and current as the rows change places.
    const std::vector<std::int32_t> selected = mdlGeneral::SelectedPositions();
    const std::int32_t current = mdlGeneral::PositionOfRow(mUnitList->Row());
    {
        BusyGuard busy;
        mProxy->sort(column, order);
    }
    if (!selected.empty() || current > 0) {
        mdlGeneral::SelectPositions(selected, current);
        if (const int row = mdlGeneral::RowOfPosition(current))
            mUnitList->ShowRow(row);
    }
    mUnitList->setSortIndicator(column, order);
    mSortLabel->setText(sortText());
    updateFilterButtons();
}

QString frmEqs::sortText() const {
    const int column = mProxy->sortColumn();
    if (column < 0 || column >= kFieldCount)
        return {};
    return QStringLiteral("sorted by %1%2, list order unchanged")
        .arg(QString::fromLatin1(FieldLabel(column)), mProxy->sortOrder() == Qt::DescendingOrder
                                                          ? QStringLiteral(" (descending)")
                                                          : QString());
}

std::vector<std::int32_t> frmEqs::selectedPositions() const {
    return mdlGeneral::SelectedPositions();
}

std::int32_t frmEqs::currentPosition() const {
    return mdlGeneral::PositionOfRow(mUnitList->Row());
}

void frmEqs::selectPositions(const std::vector<std::int32_t>& positions, std::int32_t current) {
    mdlGeneral::SelectPositions(positions, current);
}

std::int32_t frmEqs::shownNeighbour(std::int32_t position, int step) const {
    const int rows = mUnitList->Rows() - 1;
    if (rows < 1)
        return 0;
    int row = 0;
    if (position == 0) {
        row = step > 0 ? 1 : rows;
    } else {
        const int at = mdlGeneral::RowOfPosition(position);
        if (at == 0)
            return 0;
        row = at + step;
    }
    return row >= 1 && row <= rows ? mdlGeneral::PositionOfRow(row) : 0;
}

void frmEqs::showPosition(std::int32_t position) {
    const int row = mdlGeneral::RowOfPosition(position);
    if (row == 0)
        return;
    mdlGeneral::SelectPositions({position}, position);
    mUnitList->ShowRow(row);
}

void frmEqs::scrollTo(std::int32_t position) {
    if (const int row = mdlGeneral::RowOfPosition(position))
        mUnitList->ShowRow(row);
}

bool frmEqs::filtering() const {
    return mdlGeneral::Filtering();
}

QRect frmEqs::screenArea() const {
    return QRect(mUnitList->mapToGlobal(QPoint(0, 0)), mUnitList->size());
}

GridSelection frmEqs::gridSelection() const {
    const Grid& grid = *mUnitList;
    GridSelection s{mdlGeneral::PositionOfRow(grid.Row()),
                    grid.Col(),
                    mdlGeneral::PositionOfRow(grid.RowSel()),
                    grid.ColSel(),
                    mdlGeneral::PositionOfRow(grid.TopRow()),
                    {},
                    grid.TopRow()};
    // The positions between the corners are the selection only when every
    // row between them is selected and shows them in list order.
    std::vector<std::int32_t> selected = mdlGeneral::SelectedPositions();
    const bool oneRange =
        !selected.empty() && selected.front() == std::min(s.row, s.rowSel) &&
        selected.back() == std::max(s.row, s.rowSel) &&
        selected.back() - selected.front() + 1 == static_cast<std::int32_t>(selected.size());
    if (!oneRange)
        s.records = std::move(selected);
    return s;
}

void frmEqs::setGridSelection(const GridSelection& s) {
    Grid& grid = *mUnitList;
    const auto topRow = [&] {
        return mProxy->sorted() && s.topRow > 0 ? s.topRow : mdlGeneral::RowNearPosition(s.top);
    };
    if (!s.records.empty()) {
        mdlGeneral::SelectPositions(s.records, s.row);
        if (s.top > 0)
            grid.setTopRow(topRow());
        else
            grid.ShowRow(grid.Row());
        return;
    }
    grid.setSelection(mdlGeneral::RowNearPosition(s.row), s.col,
                      mdlGeneral::RowNearPosition(s.rowSel), s.colSel);
    if (s.top > 0) {
        grid.setTopRow(topRow());
    } else {
        // In view, from the far end back to the current row, which wins when
        // they do not fit together.
        grid.ShowRow(grid.RowSel());
        grid.ShowRow(grid.Row());
    }
}

void frmEqs::selectRecord(int position) {
    if (position < 1 || position > mSession.equipments().Count())
        return;
    if (mdlGeneral::RowOfPosition(position) == 0)
        mFilterBar->clear();
    mdlGeneral::SelectPositions({position}, position);
    mUnitList->ShowRow(mdlGeneral::RowOfPosition(position));
    mUnitList->setFocus();
}

QString frmEqs::Caption() {
    return QString::fromLatin1(kCaption);
}

bool frmEqs::SaveBack() {
    mSaveBack = true;
    const bool saved = SaveList();
    mSaveBack = false;
    return saved;
}

bool frmEqs::isModified() const {
    return mdlGeneral::document().isModified();
}

void frmEqs::setModified(bool modified) {
    if (modified)
        mdlGeneral::document().markUnsaved();
    else
        mdlGeneral::document().markSaved();
}

void frmEqs::Form_Load() {
    InitLookupTables();
    Grid& grid = *mUnitList;
    EquipmentTableModel* model = mdlGeneral::document().model();
    grid.setModel(mProxy);
    grid.setFixedCols(3);
    // Each record's position, the number Go to and the problems use.
    grid.setRowHeadings(true);
    for (int c = 0; c < kFieldCount; ++c)
        grid.setColWidth(c, fieldInfo(c).widthTwips);
    grid.setColAlignment(static_cast<int>(Field::EqName), 0);
    auto fixHeadingRow = [this] {
        if (mUnitList->Rows() > 1)
            mUnitList->setFixedRows(1);
    };
    connect(model, &QAbstractItemModel::rowsInserted, this, fixHeadingRow);
    connect(model, &QAbstractItemModel::modelReset, this, fixHeadingRow);
    fixHeadingRow();
}

bool frmEqs::SettleBeforeReplacing() {
    return settlePropertiesEdits() && settleUnsavedChanges();
}

bool frmEqs::settlePropertiesEdits() {
    // Edits typed into the properties window and not yet committed are
    // asked about before the list is replaced.
    return mdlGeneral::ConfirmPropertiesEdits();
}

void frmEqs::addGridBar(QWidget* bar) {
    // Bars stand between the filter bar and the grid; the layout gives the
    // grid what a shown bar takes and back when it hides.
    auto* layout = static_cast<QVBoxLayout*>(centralWidget()->layout());
    layout->insertWidget(layout->indexOf(mUnitList), bar);
}

bool frmEqs::settleUnsavedChanges() {
    if (!isModified())
        return true;
    switch (AskSaveChanges(this, mSession.unsavedChangesDefault(), mSession.pairPath())) {
        case SaveChangesAnswer::Save:
            return SaveList();
        case SaveChangesAnswer::Discard:
            return true;
        case SaveChangesAnswer::Cancel:
            return false;
    }
    return false;
}

void frmEqs::closeEvent(QCloseEvent* event) {
    if (!mdlGeneral::ConfirmPropertiesEdits() || !settleUnsavedChanges()) {
        event->ignore();
        return;
    }
    event->accept();
    SaveMainPlace(*this);
    mColumnLayout->remember();
    // Closing the list ends the editor: the properties window goes with it.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this && window->isVisible())
            window->close();
    }
}

void frmEqs::UnitList_Click() {
    Grid& grid = *mUnitList;
    int rowSel = grid.RowSel();
    grid.setCol(0);
    grid.setColSel(grid.Cols() - 1);
    grid.setRowSel(rowSel);
}

void frmEqs::UnitList_DblClick() {
    mdlGeneral::ShowEquipmentDetails();
}

}  // namespace kestrel::ui
