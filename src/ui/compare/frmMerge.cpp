#include "ui/compare/frmMerge.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <unordered_map>

#include "model/FieldText.h"
#include "ui/compare/CompareActions.h"
#include "ui/compare/MergeModel.h"
#include "ui/document/Document.h"
#include "ui/document/EditorSession.h"
#include "ui/document/EquipmentTableModel.h"
#include "ui/platform/BusyPointer.h"
#include "ui/platform/CodePageText.h"
#include "ui/platform/MessageBox.h"

namespace kestrel::ui {

namespace {
// Columns are sized from the headings and the first rows, never from all
// of tens of thousands of rows.
constexpr int kRowsMeasured = 60;

QCheckBox* filterBox(const QString& text, const QString& name, QWidget* parent) {
    auto* box = new QCheckBox(text, parent);
    box->setChecked(true);
    box->setObjectName(name);
    QString accessible = text;
    box->setAccessibleName(accessible.remove(QLatin1Char('&')));
    return box;
}

QLabel* legendLabel(const QString& text, const QColor& colour, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setStyleSheet(QStringLiteral("QLabel { background-color: %1; color: black; "
                                        "padding: 1px 6px; }")
                             .arg(colour.name()));
    return label;
}

QStringList namesOf(const QStringList& others) {
    QStringList names{QStringLiteral("this list")};
    names << others;
    return names;
}
}  // namespace

frmMerge::frmMerge(EditorSession& session, std::unique_ptr<Equipments> base,
                   std::vector<std::unique_ptr<Equipments>> others, const QStringList& otherNames,
                   const QStringList& notes, QWidget* parent)
    : ListFollowingWindow(*session.document().model(), parent),
      mSession(session),
      mDocument(session.document()),
      mBase(std::move(base)),
      mOthers(std::move(others)),
      mReadNotes(notes) {
    setObjectName(QStringLiteral("frmMerge"));
    setAccessibleName(QStringLiteral("Merge"));
    setWindowTitle(QStringLiteral("Merge with %1").arg(otherNames.join(QStringLiteral(", "))));
    setAttribute(Qt::WA_DeleteOnClose);
    const QStringList names = namesOf(otherNames);

    auto* top = new QHBoxLayout;
    auto* matchLabel = new QLabel(QStringLiteral("&Match by"), this);
    mMatchBy = new QComboBox(this);
    mMatchBy->setObjectName(QStringLiteral("cmbMatchBy"));
    mMatchBy->setAccessibleName(QStringLiteral("Match by"));
    mMatchBy->addItems({QStringLiteral("code"), QStringLiteral("position")});
    matchLabel->setBuddy(mMatchBy);
    mShowConflicts =
        filterBox(QStringLiteral("with &conflicts"), QStringLiteral("chkConflicts"), this);
    mShowOthers =
        filterBox(QStringLiteral("with&out conflicts"), QStringLiteral("chkOthers"), this);
    top->addWidget(matchLabel);
    top->addWidget(mMatchBy);
    top->addSpacing(16);
    top->addWidget(new QLabel(QStringLiteral("Show records:"), this));
    top->addWidget(mShowConflicts);
    top->addWidget(mShowOthers);
    top->addStretch(1);

    // Which colour stands for which list.
    auto* legend = new QHBoxLayout;
    legend->addWidget(new QLabel(QStringLiteral("Values from:"), this));
    legend->addWidget(legendLabel(QStringLiteral("base"), palette().color(QPalette::Base), this));
    for (int k = 0; k < names.size(); ++k)
        legend->addWidget(legendLabel(names[k], MergeModel::modColour(k), this));
    legend->addWidget(
        legendLabel(QStringLiteral("\u26a0 conflict to choose"), QColor(255, 220, 220), this));
    legend->addStretch(1);

    mSummary = makeSummary();
    mNotes = makeNotes();

    mModel = new MergeModel(names, this);
    mTable = makeListing(mModel, QStringLiteral("tblMerge"), QStringLiteral("Merge table"));

    mTakeSource = new QComboBox(this);
    mTakeSource->setObjectName(QStringLiteral("cmbTakeSource"));
    mTakeSource->setAccessibleName(QStringLiteral("Source to take from"));
    mTakeSource->addItem(QStringLiteral("base"), kFromBase);
    for (int k = 0; k < names.size(); ++k)
        mTakeSource->addItem(names[k], k);
    mTake = new QPushButton(QStringLiteral("&Take from"), this);
    mTake->setObjectName(QStringLiteral("cmdTakeFrom"));
    mTake->setAccessibleName(QStringLiteral("Take from"));
    mTake->setToolTip(
        QStringLiteral("Settle the conflicts of the selected records for the list named "
                       "beside it"));
    mMergeInto = new QPushButton(QStringLiteral("Merge &into list"), this);
    mMergeInto->setObjectName(QStringLiteral("cmdMergeIntoList"));
    mMergeInto->setAccessibleName(QStringLiteral("Merge into list"));
    mMergeInto->setToolTip(
        QStringLiteral("Put the whole merge into the open list as one command; every conflict "
                       "needs a choice first"));
    auto* closeButton = new QPushButton(QStringLiteral("Close"), this);
    closeButton->setObjectName(QStringLiteral("cmdClose"));
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(mTake);
    bottom->addWidget(mTakeSource);
    bottom->addSpacing(16);
    bottom->addWidget(mMergeInto);
    bottom->addWidget(closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(legend);
    layout->addWidget(mSummary);
    layout->addWidget(mNotes);
    layout->addWidget(mTable, 1);
    layout->addLayout(bottom);

    connect(mMatchBy, &QComboBox::currentIndexChanged, this, [this] { workOutAgain(); });
    for (QCheckBox* box : {mShowConflicts, mShowOthers}) {
        connect(box, &QCheckBox::toggled, this, [this] {
            mModel->setShown(mShowConflicts->isChecked(), mShowOthers->isChecked());
            updateState();
        });
    }
    connect(mTake, &QPushButton::clicked, this, &frmMerge::cmdTakeFrom_Click);
    connect(mMergeInto, &QPushButton::clicked, this, &frmMerge::cmdMergeIntoList_Click);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(mTable, &QTableView::clicked, this,
            [this](const QModelIndex& index) { offerChoices(index); });
    // A double-click, or Enter from the keyboard, shows the record in the list.
    connect(mTable, &QTableView::activated, this, [this](const QModelIndex& index) {
        refresh();
        if (index.row() >= mModel->rowCount())
            return;
        const std::int32_t here = mMerge->entries()[mModel->entryAt(index.row())].partners[0];
        if (here > 0)
            mSession.revealRecord(here);
    });
    connect(mTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { updateState(); });

    workOutAgain();
    placeOverListWindow(1100, 640);
}

frmMerge::~frmMerge() {
    // The model points into the merge, which goes first.
    mModel->setMerge(nullptr);
}

frmMerge::ChoiceKey frmMerge::keyOf(std::size_t conflict) const {
    const MergeConflict& c = mMerge->conflicts()[conflict];
    const int kind = static_cast<int>(c.kind);
    if (c.kind == MergeConflict::Kind::TrailingBytes)
        return {kind, 0, 0, 0, -1};
    const MergeEntry& e = mMerge->entries()[c.entry];
    if (!e.added())
        return {kind, e.base, 0, 0, c.field};
    Long code = 0;
    for (int k = 0; k < mMerge->modCount(); ++k) {
        if (const Equipment* r = mMerge->modRecord(e, k)) {
            code = r->EqCode();
            break;
        }
    }
    return {kind, 0, code, mNthOfCode[c.entry], c.field};
}

bool frmMerge::settle(std::size_t conflict, int source) {
    if (!mMerge->choose(conflict, source))
        return false;
    mChoices[keyOf(conflict)] = source;
    return true;
}

void frmMerge::workOut() {
    BusyGuard busy;
    mModel->setMerge(nullptr);
    // The list's own records, shared: an edit changes one in place and
    // merges again, a removal leaves this copy's record alive until then.
    mHere = std::make_unique<Equipments>(mDocument.equipments());
    std::vector<const Equipments*> mods{mHere.get()};
    for (const auto& other : mOthers)
        mods.push_back(other.get());
    const MatchBy by = mMatchBy->currentIndex() == 1 ? MatchBy::Position : MatchBy::Code;
    mMerge = std::make_unique<EquipmentMerge>(*mBase, std::move(mods), by);

    const auto& entries = mMerge->entries();
    mNthOfCode.assign(entries.size(), 0);
    std::unordered_map<Long, int> seen;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!entries[i].added())
            continue;
        for (int k = 0; k < mMerge->modCount(); ++k) {
            if (const Equipment* r = mMerge->modRecord(entries[i], k)) {
                mNthOfCode[i] = seen[r->EqCode()]++;
                break;
            }
        }
    }
    const auto& conflicts = mMerge->conflicts();
    for (std::size_t c = 0; c < conflicts.size(); ++c) {
        // The end of the binary file stays this list's: the merge puts records
        // into it, never the bytes after them.
        if (conflicts[c].kind == MergeConflict::Kind::TrailingBytes) {
            mMerge->choose(c, conflicts[c].mods.front() == 0 ? 0 : kFromBase);
            continue;
        }
        const auto chosen = mChoices.find(keyOf(c));
        if (chosen != mChoices.end())
            mMerge->choose(c, chosen->second);
    }
    mModel->setMerge(mMerge.get());

    QStringList notes = mReadNotes;
    if (const int poor = mMerge->poorlyMatchedMod(); poor >= 0) {
        notes << QStringLiteral(
                     "Most records of %1 match no record of the base by code: it may be "
                     "renumbered; try matching by position.")
                     .arg(mModel->modName(poor));
    }
    if (!mMerge->firstRecordKeptFrom().empty())
        notes << QStringLiteral("Record 1 is never changed by a merge; it stays as it is.");
    mNotes->setText(notes.join(QLatin1Char('\n')));
    mNotes->setVisible(!notes.isEmpty());
    fitColumns();
    updateState();
}

void frmMerge::fitColumns() {
    const QFontMetrics metrics = mTable->fontMetrics();
    QFont bold = mTable->font();
    bold.setBold(true);
    const QFontMetrics boldMetrics(bold);
    const int rows = std::min(mModel->rowCount(), kRowsMeasured);
    for (int c = 0; c < mModel->columnCount(); ++c) {
        int width = mTable->horizontalHeader()->fontMetrics().horizontalAdvance(
                        mModel->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString()) +
                    24;
        for (int r = 0; r < rows; ++r) {
            const QModelIndex index = mModel->index(r, c);
            const bool conflict = mModel->data(index, MergeModel::ConflictRole).toInt() >= 0;
            width = std::max(
                width,
                (conflict ? boldMetrics : metrics).horizontalAdvance(index.data().toString()) + 12);
        }
        mTable->setColumnWidth(c, std::min(width, 420));
    }
}

void frmMerge::updateState() {
    const std::size_t conflicts = mMerge->conflicts().size();
    const std::size_t open = mMerge->unsettled();
    const auto touched = static_cast<qsizetype>(mMerge->entries().size());
    mSummary->setText(
        touched == 0 ? QStringLiteral("The mods change nothing of the base.")
                     : QStringLiteral("%1 records touched by the mods, %2 conflicts, %3 without "
                                      "a choice")
                           .arg(touched)
                           .arg(conflicts)
                           .arg(open));
    mMergeInto->setEnabled(open == 0 && touched > 0);
    bool anyConflict = false;
    for (const QModelIndex& index : mTable->selectionModel()->selectedRows())
        anyConflict = anyConflict || !mModel->conflictsOf(mModel->entryAt(index.row())).empty();
    mTake->setEnabled(anyConflict);
}

bool frmMerge::choose(int row, int column, int source) {
    refresh();
    const int conflict = mModel->conflictAt(row, column);
    if (conflict < 0 || !settle(static_cast<std::size_t>(conflict), source))
        return false;
    mModel->choicesChanged();
    updateState();
    return true;
}

void frmMerge::offerChoices(const QModelIndex& index) {
    const int conflict = mModel->conflictAt(index.row(), index.column());
    if (conflict < 0)
        return;
    const MergeConflict& c = mMerge->conflicts()[static_cast<std::size_t>(conflict)];
    const MergeEntry& e = mMerge->entries()[c.entry];
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("mnuChoices"));
    auto offer = [&](int source, const QString& text) {
        QAction* action = menu.addAction(text);
        action->setData(source);
        action->setCheckable(true);
        action->setChecked(mMerge->choice(static_cast<std::size_t>(conflict)) == source);
    };
    auto value = [&](const Equipment* record) {
        if (c.kind == MergeConflict::Kind::RemovedAndChanged)
            return record ? QStringLiteral("keep the record") : QStringLiteral("remove it");
        return FromCodePage(FieldValueText(*record, c.field));
    };
    if (!e.added())
        offer(kFromBase, QStringLiteral("base: %1").arg(value(mMerge->baseRecord(e))));
    for (int k : c.mods)
        offer(k, QStringLiteral("%1: %2").arg(mModel->modName(k), value(mMerge->modRecord(e, k))));
    const QRect cell = mTable->visualRect(index);
    if (QAction* chosen = menu.exec(mTable->viewport()->mapToGlobal(cell.bottomLeft())))
        choose(index.row(), index.column(), chosen->data().toInt());
}

void frmMerge::setTakeSource(int source) {
    mTakeSource->setCurrentIndex(mTakeSource->findData(source));
}

void frmMerge::cmdTakeFrom_Click() {
    if (stale()) {
        workOutAgain();
        return;
    }
    const int source = mTakeSource->currentData().toInt();
    bool any = false;
    for (const QModelIndex& index : mTable->selectionModel()->selectedRows()) {
        for (std::size_t c : mModel->conflictsOf(mModel->entryAt(index.row())))
            any = settle(c, source) || any;
    }
    if (!any)
        return;
    mModel->choicesChanged();
    updateState();
}

// A stale listing may not be the merge the user chose for: the click only
// brings it up to date, for the user to look again.
void frmMerge::cmdMergeIntoList_Click() {
    if (stale()) {
        workOutAgain();
        return;
    }
    if (!mMerge->complete())
        return;
    QStringList others;
    for (int k = 1; k < mMerge->modCount(); ++k)
        others << mModel->modName(k);
    std::optional<QString> refusal;
    MergeIntoList(mDocument, *mMerge, mModel->result(),
                  QStringLiteral("Merge with %1").arg(others.join(QStringLiteral(", "))), &refusal);
    if (refusal)
        MsgBox(*refusal);
    refresh();
}

}  // namespace kestrel::ui
