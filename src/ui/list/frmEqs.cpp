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
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QTableView>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

#include "model/FieldTable.h"
#include "storage/EquipmentFiles.h"
#include "storage/Messages.h"
#include "text/CodePage.h"
#include "ui/compare/CompareWith.h"
#include "ui/desktop/ChangedOnDiskBar.h"
#include "ui/desktop/EarlierVersions.h"
#include "ui/desktop/LoadMenu.h"
#include "ui/desktop/PairDrop.h"
#include "ui/document/Document.h"
#include "ui/document/EquipmentTableModel.h"
#include "ui/document/UndoKeys.h"
#include "ui/list/BulkCommands.h"
#include "ui/list/ColumnFit.h"
#include "ui/list/FilterBar.h"
#include "ui/list/HelpWindow.h"
#include "ui/list/ListCommands.h"
#include "ui/list/LoadedPairProblems.h"
#include "ui/list/OpenPairDisplay.h"
#include "ui/list/ProblemsPanel.h"
#include "ui/list/RecordCounts.h"
#include "ui/list/RecordFilterProxy.h"
#include "ui/list/RecordRows.h"
#include "ui/list/SaveChecks.h"
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
    ButtonPicture picture;
    const char* tip;
};
// In tab order.
const std::array<ButtonSpec, 13> kButtons = {{
    {"cmdLoad", 90, ButtonPicture::Load, "Load"},
    {"cmdSave", 510, ButtonPicture::Save, "Save"},
    {"cmdCut", 1365, ButtonPicture::Cut, "Cut"},
    {"cmdCopy", 1762, ButtonPicture::Copy, "Copy"},
    {"cmdPaste", 2160, ButtonPicture::Paste, "Paste"},
    {"cmdRenumber", 3120, ButtonPicture::Renumber, "Renumber equipments"},
    {"cmdSort", 3525, ButtonPicture::Sort, "Sort with respect to Equipment code"},
    {"cmdUp", 4695, ButtonPicture::Up, "Move one row up"},
    {"cmdDown", 5085, ButtonPicture::Down, "Move one row down"},
    {"cmdSortbyCountry", 3930, ButtonPicture::SortByCountry, "Sort with respect to Country"},
    {"cmdSetValue", 5700, ButtonPicture::SetValue, "Set value"},
    {"cmdDelete", 6105, ButtonPicture::Delete, "Delete"},
    {"cmdCompare", 6840, ButtonPicture::Compare, "Compare"},
}};
// At the right end of the strip, after the others in tab order.
const std::array<ButtonSpec, 3> kUndoButtons = {{
    {"cmdUndo", 7245, ButtonPicture::Undo, "Undo"},
    {"cmdRedo", 7650, ButtonPicture::Redo, "Redo"},
    {"cmdHelp", 8055, ButtonPicture::Undo, "Help and keys (F1)"},
}};
// The properties window's width, which the list's first size leaves room for.
constexpr int kPropertiesWidthTwips = 8500;

QRect twipsRect(int left, int top, int width, int height) {
    return QRect(TwipsToPixelsX(left), TwipsToPixelsY(top), TwipsToPixelsX(width),
                 TwipsToPixelsY(height));
}

}  // namespace

frmEqs::frmEqs(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmEqs"));
    setWindowTitle(Caption() + QStringLiteral("[*]"));
    resize(TwipsToPixelsX(10275), TwipsToPixelsY(6870));
    // At least as wide as the strip of buttons, so that each can be reached.
    RestoreMainPlace(*this, TwipsToPixelsX(kPropertiesWidthTwips), TwipsToPixelsX(10560));

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("ListArea"));
    setCentralWidget(central);
    // The strip keeps the buttons' own places; the bars below it share the rest.
    auto* strip = new QWidget(central);
    strip->setObjectName(QStringLiteral("ButtonStrip"));
    strip->setFixedHeight(TwipsToPixelsY(510));
    strip->setMinimumWidth(TwipsToPixelsX(10560));

    mUnitList = new Grid(central);
    mUnitList->setObjectName(QStringLiteral("UnitList"));
    mProxy = new RecordFilterProxy(mdlGeneral::document(), this);
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
    mFrame1->setGeometry(twipsRect(15, -45, 8430, 540));

    std::array<QToolButton*, kButtons.size() + kUndoButtons.size()> buttons{};
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const ButtonSpec& look =
            i < kButtons.size() ? kButtons[i] : kUndoButtons[i - kButtons.size()];
        auto* button = new QToolButton(mFrame1);
        button->setObjectName(QString::fromLatin1(look.name));
        button->setGeometry(twipsRect(look.left, 150, 345, 330));
        button->setIcon(ButtonIcon(look.picture));
        button->setIconSize(QSize(16, 16));
        button->setToolTip(QString::fromLatin1(look.tip));
        button->setAccessibleName(QString::fromLatin1(look.tip));
        button->setFocusPolicy(Qt::StrongFocus);
        button->setAutoRaise(false);
        buttons[i] = button;
    }
    QToolButton* help = buttons.back();
    help->setIcon(QIcon());
    help->setText(QStringLiteral("?"));
    mFrame1->setFocusPolicy(Qt::NoFocus);

    mImage1 = new QLabel(strip);
    mImage1->setObjectName(QStringLiteral("Image1"));
    QRect image = twipsRect(8520, 75, 2040, 405);
    mImage1->setGeometry(image);
    mImage1->setPixmap(BannerPixmap(image.width(), image.height(), devicePixelRatioF()));

    QWidget::setTabOrder(mFilterBar->edit(), mUnitList);
    QWidget::setTabOrder(mUnitList, buttons[0]);
    for (std::size_t i = 1; i < buttons.size(); ++i) {
        QWidget::setTabOrder(buttons[i - 1], buttons[i]);
    }

    auto button = [&](const char* name) {
        return findChild<QToolButton*>(QString::fromLatin1(name));
    };
    connect(button("cmdLoad"), &QToolButton::clicked, this, &frmEqs::cmdLoad_Click);
    connect(button("cmdSave"), &QToolButton::clicked, this, &frmEqs::cmdSave_Click);
    connect(button("cmdCut"), &QToolButton::clicked, this, [] { cmdCut_Click(); });
    connect(button("cmdCopy"), &QToolButton::clicked, this, [] { cmdCopy_Click(); });
    connect(button("cmdPaste"), &QToolButton::clicked, this, [] { cmdPaste_Click(); });
    connect(button("cmdRenumber"), &QToolButton::clicked, this, [] { cmdRenumber_Click(); });
    connect(button("cmdSort"), &QToolButton::clicked, this, [] { cmdSort_Click(); });
    connect(button("cmdSortbyCountry"), &QToolButton::clicked, this,
            [] { cmdSortbyCountry_Click(); });
    connect(button("cmdUp"), &QToolButton::clicked, this, [] { cmdUp_Click(); });
    connect(button("cmdDown"), &QToolButton::clicked, this, [] { cmdDown_Click(); });
    button("cmdCompare")->setToolTip(QStringLiteral("Compare with\u2026"));
    connect(button("cmdCompare"), &QToolButton::clicked, this, [this] { cmdCompare_Click(this); });
    connect(button("cmdSetValue"), &QToolButton::clicked, this, [] { cmdSetValue_Click(); });
    connect(button("cmdDelete"), &QToolButton::clicked, this, [] { cmdDelete_Click(); });

    auto shortcut = [this](QKeySequence::StandardKey key, auto slot) {
        auto* s = new QShortcut(QKeySequence(key), this);
        connect(s, &QShortcut::activated, this, slot);
    };
    shortcut(QKeySequence::Open, [this] { cmdLoad_Click(); });
    shortcut(QKeySequence::Save, [this] { cmdSave_Click(); });
    shortcut(QKeySequence::Cut, [] { cmdCut_Click(); });
    shortcut(QKeySequence::Copy, [] { cmdCopy_Click(); });
    shortcut(QKeySequence::Paste, [] { cmdPaste_Click(); });
    // Closing asks about unsaved changes like the close box does.
    shortcut(QKeySequence::Quit, [this] { close(); });

    Document& document = mdlGeneral::document();
    QUndoStack* stack = document.undoStack();
    mUndo = button("cmdUndo");
    mRedo = button("cmdRedo");
    connect(mUndo, &QToolButton::clicked, stack, &QUndoStack::undo);
    connect(mRedo, &QToolButton::clicked, stack, &QUndoStack::redo);
    connect(stack, &QUndoStack::indexChanged, this, &frmEqs::updateUndoButtons);
    connect(stack, &QUndoStack::cleanChanged, this, &frmEqs::updateUndoButtons);
    AddUndoKeys(this, stack);
    connect(&document, &Document::modifiedChanged, this, &QWidget::setWindowModified);
    document.setSelectionAccess(SelectionAccess{
        [this] {
            const Grid& grid = *mUnitList;
            return GridSelection{mdlGeneral::PositionOfRow(grid.Row()), grid.Col(),
                                 mdlGeneral::PositionOfRow(grid.RowSel()), grid.ColSel(),
                                 mdlGeneral::PositionOfRow(grid.TopRow())};
        },
        [this](const GridSelection& s) {
            // Row and Col collapse the selection, so the far corner comes last.
            Grid& grid = *mUnitList;
            grid.setRow(mdlGeneral::RowNearPosition(s.row));
            grid.setCol(s.col);
            grid.setRowSel(mdlGeneral::RowNearPosition(s.rowSel));
            grid.setColSel(s.colSel);
            if (s.top > 0) {
                grid.setTopRow(mdlGeneral::RowNearPosition(s.top));
            } else {
                // In view, from the far end back to the current row, which
                // wins when they do not fit together.
                grid.ShowRow(grid.RowSel());
                grid.ShowRow(grid.Row());
            }
        }});

    connect(mUnitList, &Grid::Click, this, &frmEqs::UnitList_Click);
    connect(mUnitList, &Grid::DblClick, this, &frmEqs::UnitList_DblClick);

    setMessageHandler([](const std::string& message) {
        MsgBox(QString::fromStdString(CodePageToUtf8(message)));
    });
    mdlGeneral::setListWindow(this);
    InstallLoadMenu(*this, VersionStore::standard());
    InstallVersionKeeping(*this, VersionStore::standard());
    InstallPairDrop(*this);
    new ChangedOnDiskBar(*this);
    InstallProblemsPanel(*this);
    // A problem's record may be hidden by the filter, and rows are not
    // positions while one is on.
    FindProblemsPanel(*this)->setRevealRecord([this](std::int32_t p) { selectRecord(p); });
    Form_Load();
    addListShortcuts();
    mCounts = new RecordCounts(*mUnitList, *mProxy, *document.model(), this);
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->addWidget(mCounts);
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(mProxy, signal, this, &frmEqs::updateFilterButtons);
    connect(mProxy, &QAbstractItemModel::modelReset, this, &frmEqs::updateFilterButtons);
    connect(mProxy, &QAbstractItemModel::layoutChanged, this, &frmEqs::updateFilterButtons);
    updateFilterButtons();
    InstallColumnFit(*mUnitList);
    InstallOpenPairDisplay(*this);
    InstallHelp(*this, *help);
    const QString folder = RememberedFolder();
    if (!folder.isEmpty())
        mCd1.InitDir = folder;
    updateUndoButtons();
    setWindowModified(document.isModified());
}

frmEqs::~frmEqs() {
    if (mdlGeneral::listWindow() == this) {
        mdlGeneral::setListWindow(nullptr);
        mdlGeneral::document().setSelectionAccess({});
    }
}

void frmEqs::addListShortcuts() {
    auto add = [this](const QKeySequence& key, auto slot, QWidget* scope = nullptr) {
        auto* s = new QShortcut(key, scope ? scope : this);
        if (scope)
            s->setContext(Qt::WidgetWithChildrenShortcut);
        connect(s, &QShortcut::activated, this, slot);
    };
    add(QKeySequence::Find, [this] {
        mFilterBar->edit()->setFocus(Qt::ShortcutFocusReason);
        mFilterBar->edit()->selectAll();
    });
    add(QKeySequence(Qt::CTRL | Qt::Key_E), [] { cmdSetValue_Click(); });
    add(QKeySequence(Qt::CTRL | Qt::Key_D), [] { DuplicateSelected(); });
    add(QKeySequence(Qt::CTRL | Qt::Key_G), [] { AskGoTo(); });
    add(QKeySequence(Qt::CTRL | Qt::Key_M), [] { AskMoveSelected(); });
    // On the grid only: in the filter box Delete deletes text.
    add(
        QKeySequence(Qt::Key_Delete), [] { cmdDelete_Click(); }, mUnitList);

    // The same commands by mouse, with their keys shown.
    mUnitList->view()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(mUnitList->view(), &QWidget::customContextMenuRequested, this, [this](QPoint at) {
        QMenu menu(this);
        menu.addAction(QStringLiteral("Set value..."), QKeySequence(Qt::CTRL | Qt::Key_E),
                       [] { cmdSetValue_Click(); });
        menu.addAction(QStringLiteral("Duplicate"), QKeySequence(Qt::CTRL | Qt::Key_D),
                       [] { DuplicateSelected(); });
        menu.addAction(QStringLiteral("Move to..."), QKeySequence(Qt::CTRL | Qt::Key_M),
                       [] { AskMoveSelected(); });
        menu.addAction(QStringLiteral("Delete"), QKeySequence(Qt::Key_Delete),
                       [] { cmdDelete_Click(); });
        menu.addSeparator();
        menu.addAction(QStringLiteral("Go to..."), QKeySequence(Qt::CTRL | Qt::Key_G),
                       [] { AskGoTo(); });
        menu.exec(mUnitList->view()->viewport()->mapToGlobal(at));
    });
}

void frmEqs::updateFilterButtons() {
    // Exchanging neighbours in a filtered list would move records the user
    // cannot see.
    const bool filtering = mdlGeneral::Filtering();
    for (const char* name : {"cmdUp", "cmdDown"}) {
        if (auto* b = findChild<QToolButton*>(QString::fromLatin1(name)))
            b->setEnabled(!filtering);
    }
}

void frmEqs::selectRecord(int position) {
    if (position < 1 || position > mdlGeneral::document().equipments().Count())
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

void frmEqs::updateUndoButtons() {
    const QUndoStack* stack = mdlGeneral::document().undoStack();
    auto tip = [](const QString& verb, const QString& command) {
        return command.isEmpty() ? verb : verb + QLatin1Char(' ') + command;
    };
    mUndo->setEnabled(stack->canUndo());
    mUndo->setToolTip(tip(QStringLiteral("Undo"), stack->undoText()));
    mRedo->setEnabled(stack->canRedo());
    mRedo->setToolTip(tip(QStringLiteral("Redo"), stack->redoText()));
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
    switch (AskSaveChanges(this, UnsavedChangesDefault(),
                           UiPath(mdlGeneral::gEquipments().DataPath()))) {
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
