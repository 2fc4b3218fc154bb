#include "ui/list/frmEqs.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QScreen>
#include <QShortcut>
#include <QToolButton>

#include "storage/EquipmentFiles.h"
#include "storage/Messages.h"
#include "text/CodePage.h"
#include "ui/list/ListCommands.h"
#include "ui/list/SaveChecks.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/BusyPointer.h"
#include "ui/platform/Grid.h"
#include "ui/platform/Icons.h"
#include "ui/platform/MessageBox.h"
#include "ui/platform/Twips.h"
#include "vocabulary/LookupTables.h"

namespace kestrel::ui {

namespace {
const char kCaption[] = "Kestrel Editor for Ironfront II Equipment Files - by R. Varnek - Beta 1";

struct Column {
    const char* heading;
    int width;
};
const std::array<Column, 40> kColumns = {{
    {"N", 400},   {"Name", 1400}, {"CL", 1000}, {"SA", 350},       {"HA", 350},   {"AA", 350},
    {"NA", 350},  {"GD", 350},    {"AD", 350},  {"CD", 350},       {"TT", 1000},  {"I", 350},
    {"GR", 350},  {"SR", 350},    {"RDM", 350}, {"Mode", 1000},    {"Mth", 1000}, {"M", 350},
    {"F", 350},   {"A", 350},     {"U", 350},   {"P", 500},        {"U", 350},    {"U", 350},
    {"U", 350},   {"U", 350},     {"MA", 350},  {"YA", 350},       {"YE", 350},   {"Tr", 2000},
    {"Co", 1000}, {"US", 600},    {"U", 350},   {"U", 350},        {"U", 350},    {"Icon", 1000},
    {"AS", 1000}, {"MS", 1000},   {"DS", 1000}, {"Unknown", 1000},
}};

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
    setWindowTitle(QString::fromLatin1(kCaption) + QStringLiteral("[*]"));
    resize(TwipsToPixelsX(10275), TwipsToPixelsY(6870));

    mUnitList = new Grid(this);
    mUnitList->setObjectName(QStringLiteral("UnitList"));
    mUnitList->setGeometry(twipsRect(0, 510, 10335, 6405));

    mFrame1 = new QFrame(this);
    mFrame1->setObjectName(QStringLiteral("Frame1"));
    mFrame1->setFrameShape(QFrame::NoFrame);
    mFrame1->setGeometry(twipsRect(15, -45, 8100, 540));

    std::array<QToolButton*, 10> buttons{};
    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        const ButtonSpec& look = kButtons[i];
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
    mFrame1->setFocusPolicy(Qt::NoFocus);

    mImage1 = new QLabel(this);
    mImage1->setObjectName(QStringLiteral("Image1"));
    QRect image = twipsRect(8190, 75, 2040, 405);
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

    connect(mUnitList, &Grid::Click, this, &frmEqs::UnitList_Click);
    connect(mUnitList, &Grid::DblClick, this, &frmEqs::UnitList_DblClick);

    setMessageHandler([](const std::string& message) {
        MsgBox(QString::fromStdString(CodePageToUtf8(message)));
    });
    mdlGeneral::setListWindow(this);
    Form_Load();
}

frmEqs::~frmEqs() {
    if (mdlGeneral::listWindow() == this)
        mdlGeneral::setListWindow(nullptr);
}

void frmEqs::Form_Load() {
    InitLookupTables();
    Grid& grid = *mUnitList;
    grid.setCols(static_cast<int>(kColumns.size()));
    grid.setRows(0);
    std::string headings;
    for (std::size_t c = 0; c < kColumns.size(); ++c) {
        if (c > 0)
            headings += gTab;
        headings += kColumns[c].heading;
    }
    grid.AddItem(headings);
    grid.setFixedCols(3);
    for (std::size_t c = 0; c < kColumns.size(); ++c) {
        grid.setColWidth(static_cast<int>(c), kColumns[c].width);
        if (c == 1)
            grid.setColAlignment(1, 0);
    }
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
}

bool frmEqs::settleUnsavedChanges() {
    if (!isModified())
        return true;
    switch (AskSaveChanges(this, UnsavedChangesDefault())) {
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
    if (!settleUnsavedChanges()) {
        event->ignore();
        return;
    }
    event->accept();
    // Closing the list ends the editor: the properties window goes with it.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this && window->isVisible())
            window->close();
    }
}

void frmEqs::cmdLoad_Click() {
    if (!settleUnsavedChanges())
        return;
    if (!mCd1.ShowOpen(this))
        return;
    {
        BusyGuard busy(mUnitList);
        mdlGeneral::ResetEquipments();
        Equipments& equipments = mdlGeneral::gEquipments();
        equipments.setDataPath(pathOf(mCd1.FileName));
        LoadListAndReport(equipments);
        mUnitList->setRows(1);
        const std::int32_t n = equipments.Count();
        for (std::int32_t i = 1; i <= n; ++i)
            mdlGeneral::FillGridRow(*equipments.Item(i));
        if (mUnitList->Rows() > 1)
            mUnitList->setFixedRows(1);
    }
    // A list read only in part does not stand for the pair: it must not be
    // dropped or saved over it unasked.
    setModified(ListIsIncomplete());
    mdlGeneral::ListChanged();
}

void frmEqs::cmdSave_Click() {
    SaveList();
}

bool frmEqs::SaveList() {
    if (!mCd1.ShowSave(this) || !MaySaveTo(this, pathOf(mCd1.FileName)))
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
    if (reported)
        return false;
    ListSavedTo(pathOf(mCd1.FileName));
    setModified(false);
    return true;
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
