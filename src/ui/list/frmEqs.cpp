#include "ui/list/frmEqs.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QToolButton>
#include <QUndoStack>

#include "model/FieldTable.h"
#include "storage/EquipmentFiles.h"
#include "storage/Messages.h"
#include "text/CodePage.h"
#include "ui/document/Document.h"
#include "ui/document/EquipmentTableModel.h"
#include "ui/document/UndoKeys.h"
#include "ui/list/ColumnFit.h"
#include "ui/list/HelpWindow.h"
#include "ui/list/ListCommands.h"
#include "ui/list/OpenPairDisplay.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/BusyPointer.h"
#include "ui/platform/Grid.h"
#include "ui/platform/Icons.h"
#include "ui/platform/MessageBox.h"
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
const std::array<ButtonSpec, 10> kButtons = {{
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

std::string pathOf(const QString& fileName) {
    return QFile::encodeName(fileName).toStdString();
}
}  // namespace

frmEqs::frmEqs(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmEqs"));
    setWindowTitle(Caption() + QStringLiteral("[*]"));
    resize(TwipsToPixelsX(10275), TwipsToPixelsY(6870));
    // At least as wide as the strip of buttons, so that each can be reached.
    RestoreMainPlace(*this, TwipsToPixelsX(kPropertiesWidthTwips), TwipsToPixelsX(10560));

    mUnitList = new Grid(this);
    mUnitList->setObjectName(QStringLiteral("UnitList"));
    mUnitList->setGeometry(twipsRect(0, 510, 10335, 6405));

    mFrame1 = new QFrame(this);
    mFrame1->setObjectName(QStringLiteral("Frame1"));
    mFrame1->setFrameShape(QFrame::NoFrame);
    mFrame1->setGeometry(twipsRect(15, -45, 8430, 540));

    std::array<QToolButton*, 13> buttons{};
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

    mImage1 = new QLabel(this);
    mImage1->setObjectName(QStringLiteral("Image1"));
    QRect image = twipsRect(8520, 75, 2040, 405);
    mImage1->setGeometry(image);
    mImage1->setPixmap(BannerPixmap(image.width(), image.height(), devicePixelRatioF()));

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
            return GridSelection{grid.Row(), grid.Col(), grid.RowSel(), grid.ColSel()};
        },
        [this](const GridSelection& s) {
            // Row and Col collapse the selection, so the far corner comes last.
            Grid& grid = *mUnitList;
            grid.setRow(s.row);
            grid.setCol(s.col);
            grid.setRowSel(s.rowSel);
            grid.setColSel(s.colSel);
        }});

    connect(mUnitList, &Grid::Click, this, &frmEqs::UnitList_Click);
    connect(mUnitList, &Grid::DblClick, this, &frmEqs::UnitList_DblClick);

    setMessageHandler([](const std::string& message) {
        MsgBox(QString::fromStdString(CodePageToUtf8(message)));
    });
    mdlGeneral::setListWindow(this);
    Form_Load();
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

QString frmEqs::Caption() {
    return QString::fromLatin1(kCaption);
}

QStatusBar* frmEqs::statusBar() {
    if (!mStatusBar) {
        mStatusBar = new QStatusBar(this);
        mStatusBar->setObjectName(QStringLiteral("StatusBar"));
        mStatusBar->setSizeGripEnabled(false);
        layOutBottom();
    }
    return mStatusBar;
}

void frmEqs::layOutBottom() {
    int bottom = height();
    if (mStatusBar) {
        const int barHeight = mStatusBar->sizeHint().height();
        bottom -= barHeight;
        mStatusBar->setGeometry(0, bottom, width(), barHeight);
    }
    QRect geometry = mUnitList->geometry();
    geometry.setRight(width() - 1);
    geometry.setBottom(std::max(geometry.top(), bottom - 1));
    mUnitList->setGeometry(geometry);
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
    grid.setModel(model);
    grid.setFixedCols(3);
    for (int c = 0; c < kFieldCount; ++c)
        grid.setColWidth(c, fieldSpec(c).widthTwips);
    grid.setColAlignment(static_cast<int>(Field::EqName), 0);
    auto fixHeadingRow = [this] {
        if (mUnitList->Rows() > 1)
            mUnitList->setFixedRows(1);
    };
    connect(model, &QAbstractItemModel::rowsInserted, this, fixHeadingRow);
    connect(model, &QAbstractItemModel::modelReset, this, fixHeadingRow);
    fixHeadingRow();
}

void frmEqs::Form_Resize(int outerWidthTwips, int outerHeightTwips) {
    QRect geometry = mUnitList->geometry();
    if (outerWidthTwips > 60)
        geometry.setWidth(TwipsToPixelsX(outerWidthTwips - 60));
    if (outerHeightTwips > 870)
        geometry.setHeight(TwipsToPixelsY(outerHeightTwips - 870));
    mUnitList->setGeometry(geometry);
}

void frmEqs::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // Before the window is shown the frame is not known; the client size
    // stands in for the outer size then.
    QSize outer = isVisible() ? frameGeometry().size() : size();
    Form_Resize(PixelsToTwipsX(outer.width()), PixelsToTwipsY(outer.height()));
    // The outer size counts a title bar and borders that the window system
    // may draw smaller or not at all; the grid takes whatever is left.
    layOutBottom();
}

bool frmEqs::settleUnsavedChanges() {
    if (!isModified())
        return true;
    switch (AskSaveChanges(this)) {
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

void frmEqs::cmdLoad_Click() {
    if (!mdlGeneral::ConfirmPropertiesEdits() || !settleUnsavedChanges())
        return;
    if (!mCd1.ShowOpen(this))
        return;
    RememberFolderOf(mCd1.FileName);
    BusyGuard busy(mUnitList);
    auto equipments = std::make_unique<Equipments>();
    equipments->setDataPath(pathOf(mCd1.FileName));
    bool reported = false;
    MessageHandler previous;
    previous = setMessageHandler([&](const std::string& message) {
        reported = true;
        if (previous)
            previous(message);
    });
    equipments->GetEquipments();
    setMessageHandler(previous);
    // A load that reported a problem may have read only part of the files:
    // the list is marked as differing from them until it is saved.
    mdlGeneral::document().replaceAll(std::move(equipments), !reported);
    ShowOpenPair(*this);
}

void frmEqs::cmdSave_Click() {
    SaveList();
}

bool frmEqs::SaveList() {
    // Saving back to the pair that is open is the usual case: it is proposed.
    const std::string& open = mdlGeneral::gEquipments().DataPath();
    if (!open.empty())
        mCd1.FileName =
            QDir::toNativeSeparators(QFile::decodeName(QByteArray::fromStdString(open)));
    if (!mCd1.ShowSave(this))
        return false;
    RememberFolderOf(mCd1.FileName);
    if (!mayReplace())
        return false;
    bool reported = false;
    {
        BusyGuard busy(mUnitList);
        MessageHandler previous;
        previous = setMessageHandler([&](const std::string& message) {
            reported = true;
            if (previous)
                previous(message);
        });
        Equipments& equipments = mdlGeneral::gEquipments();
        equipments.setDataPath(pathOf(mCd1.FileName));
        equipments.PutEquipments();
        setMessageHandler(previous);
    }
    ShowOpenPair(*this);
    if (reported)
        return false;
    mdlGeneral::document().markSaved();
    return true;
}

bool frmEqs::mayReplace() {
    const QFileInfo chosen(mCd1.FileName);
    const std::string& open = mdlGeneral::gEquipments().DataPath();
    if (!open.empty()) {
        const QFileInfo current(QFile::decodeName(QByteArray::fromStdString(open)));
        // The same files under another spelling of the path are still the open pair.
        const bool same = chosen.exists() && current.exists()
                              ? chosen.canonicalFilePath() == current.canonicalFilePath()
                              : chosen.absoluteFilePath() == current.absoluteFilePath();
        if (same)
            return true;
    }
    const EquipmentFilePaths paths = PathsFor(pathOf(mCd1.FileName));
    QStringList existing;
    for (const std::string& path : {paths.binary, paths.nameList}) {
        const QFileInfo file(QFile::decodeName(QByteArray::fromStdString(path)));
        if (file.exists())
            existing << file.fileName();
    }
    if (existing.isEmpty())
        return true;
    const QString folder = QDir::toNativeSeparators(chosen.absolutePath());
    const QString text =
        existing.size() == 1
            ? QStringLiteral("%1 in %2 already exists.\nReplace it?").arg(existing[0], folder)
            : QStringLiteral("%1 and %2 in %3 already exist.\nReplace them?")
                  .arg(existing[0], existing[1], folder);
    return AskYesNo(this, text);
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
