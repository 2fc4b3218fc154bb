#include "ui/compare/frmCompare.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "model/FieldTable.h"
#include "model/FieldText.h"
#include "ui/compare/CompareActions.h"
#include "ui/compare/ComparisonModel.h"
#include "ui/document/Document.h"
#include "ui/document/EditorSession.h"
#include "ui/document/EquipmentTableModel.h"
#include "ui/platform/Grid.h"
#include "ui/platform/MessageBox.h"

namespace kestrel::ui {

namespace {
// Columns are sized from the headings and the first rows, never from all
// of tens of thousands of rows.
constexpr int kRowsMeasured = 60;

QCheckBox* filterBox(const QString& text, QWidget* parent) {
    auto* box = new QCheckBox(text, parent);
    box->setChecked(true);
    box->setAccessibleName(text);
    return box;
}
}  // namespace

frmCompare::frmCompare(EditorSession& session, std::unique_ptr<Equipments> other,
                       const QString& otherName, const QStringList& notes, QWidget* parent)
    : ListFollowingWindow(*session.document().model(), parent),
      mSession(session),
      mDocument(session.document()),
      mOther(std::move(other)),
      mOtherName(otherName),
      mReadNotes(notes) {
    setObjectName(QStringLiteral("frmCompare"));
    setAccessibleName(QStringLiteral("Comparison"));
    setWindowTitle(QStringLiteral("Comparison with %1").arg(otherName));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* top = new QHBoxLayout;
    auto* matchLabel = new QLabel(QStringLiteral("&Match by"), this);
    mMatchBy = new QComboBox(this);
    mMatchBy->setObjectName(QStringLiteral("cmbMatchBy"));
    mMatchBy->setAccessibleName(QStringLiteral("Match by"));
    mMatchBy->addItems({QStringLiteral("code"), QStringLiteral("position")});
    matchLabel->setBuddy(mMatchBy);
    mShowChanged = filterBox(QStringLiteral("&changed"), this);
    mShowChanged->setObjectName(QStringLiteral("chkChanged"));
    mShowOnlyHere = filterBox(QStringLiteral("only &here"), this);
    mShowOnlyHere->setObjectName(QStringLiteral("chkOnlyHere"));
    mShowOnlyThere = filterBox(QStringLiteral("only &there"), this);
    mShowOnlyThere->setObjectName(QStringLiteral("chkOnlyThere"));
    top->addWidget(matchLabel);
    top->addWidget(mMatchBy);
    top->addSpacing(16);
    top->addWidget(new QLabel(QStringLiteral("Show:"), this));
    top->addWidget(mShowChanged);
    top->addWidget(mShowOnlyHere);
    top->addWidget(mShowOnlyThere);
    top->addStretch(1);

    mSummary = makeSummary();
    mNotes = makeNotes();

    mModel = new ComparisonModel(mDocument, *mOther, this);
    mTable = makeListing(mModel, QStringLiteral("tblDifferences"), QStringLiteral("Differences"));

    mFields = new QListWidget(this);
    mFields->setObjectName(QStringLiteral("lstFields"));
    mFields->setAccessibleName(QStringLiteral("Fields to take"));
    for (int f = 0; f < kFieldCount; ++f) {
        const QString label = QString::fromLatin1(FieldLabel(f));
        const QString name = QString::fromLatin1(fieldName(f));
        auto* item = new QListWidgetItem(label == name ? name : label + QStringLiteral("  ") + name,
                                         mFields);
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Checked);
    }
    auto* allFields = new QPushButton(QStringLiteral("&All"), this);
    allFields->setObjectName(QStringLiteral("cmdAllFields"));
    allFields->setAccessibleName(QStringLiteral("Check all fields"));
    auto* noFields = new QPushButton(QStringLiteral("&None"), this);
    noFields->setObjectName(QStringLiteral("cmdNoFields"));
    noFields->setAccessibleName(QStringLiteral("Uncheck all fields"));
    auto* fieldsLabel = new QLabel(QStringLiteral("&Fields to take"), this);
    fieldsLabel->setBuddy(mFields);
    auto* fieldsPane = new QWidget(this);
    auto* fieldsColumn = new QVBoxLayout(fieldsPane);
    fieldsColumn->setContentsMargins(0, 0, 0, 0);
    fieldsColumn->addWidget(fieldsLabel);
    fieldsColumn->addWidget(mFields, 1);
    auto* fieldButtons = new QHBoxLayout;
    fieldButtons->addWidget(allFields);
    fieldButtons->addWidget(noFields);
    fieldsColumn->addLayout(fieldButtons);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(mTable);
    splitter->addWidget(fieldsPane);
    splitter->setStretchFactor(0, 1);
    splitter->setChildrenCollapsible(false);

    mFirstRecordNote = new QLabel(
        QStringLiteral("Record 1 is never changed by taking or removing; it stays as it is."),
        this);
    mFirstRecordNote->setObjectName(QStringLiteral("lblFirstRecord"));
    mFirstRecordNote->setWordWrap(true);
    mFirstRecordNote->hide();

    mTake = new QPushButton(QStringLiteral("Take from &other"), this);
    mTake->setObjectName(QStringLiteral("cmdTake"));
    mTake->setAccessibleName(QStringLiteral("Take from other"));
    mTake->setToolTip(
        QStringLiteral("Copy the checked fields of the other pair into the selected "
                       "changed records, and append the selected records found only "
                       "there"));
    mRemove = new QPushButton(QStringLiteral("&Remove here"), this);
    mRemove->setObjectName(QStringLiteral("cmdRemoveHere"));
    mRemove->setAccessibleName(QStringLiteral("Remove here"));
    mRemove->setToolTip(QStringLiteral("Remove the selected records found only in this list"));
    auto* closeButton = new QPushButton(QStringLiteral("Close"), this);
    closeButton->setObjectName(QStringLiteral("cmdClose"));
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(mFirstRecordNote, 1);
    bottom->addWidget(mTake);
    bottom->addWidget(mRemove);
    bottom->addWidget(closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(mSummary);
    layout->addWidget(mNotes);
    layout->addWidget(splitter, 1);
    layout->addLayout(bottom);

    connect(mMatchBy, &QComboBox::currentIndexChanged, this, [this] { workOutAgain(); });
    for (QCheckBox* box : {mShowChanged, mShowOnlyHere, mShowOnlyThere}) {
        connect(box, &QCheckBox::toggled, this, [this] {
            mModel->setShown(mShowChanged->isChecked(), mShowOnlyHere->isChecked(),
                             mShowOnlyThere->isChecked());
            updateSelectionState();
        });
    }
    auto checkAll = [this](Qt::CheckState state) {
        for (int i = 0; i < mFields->count(); ++i)
            mFields->item(i)->setCheckState(state);
    };
    connect(allFields, &QPushButton::clicked, this, [checkAll] { checkAll(Qt::Checked); });
    connect(noFields, &QPushButton::clicked, this, [checkAll] { checkAll(Qt::Unchecked); });
    connect(mFields, &QListWidget::itemChanged, this, [this] { updateSelectionState(); });
    connect(mTake, &QPushButton::clicked, this, &frmCompare::cmdTake_Click);
    connect(mRemove, &QPushButton::clicked, this, &frmCompare::cmdRemoveHere_Click);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    // A double-click, or Enter from the keyboard.
    connect(mTable, &QTableView::activated, this,
            [this](const QModelIndex& index) { showInList(index.row()); });
    connect(mTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { updateSelectionState(); });
    connect(mModel, &QAbstractItemModel::modelReset, this, [this] { updateSelectionState(); });

    workOutAgain();
    placeOverListWindow(1000, 600);
}

frmCompare::~frmCompare() = default;

void frmCompare::workOut() {
    const MatchBy by = mMatchBy->currentIndex() == 1 ? MatchBy::Position : MatchBy::Code;
    mModel->setComparison(CompareEquipments(mDocument.equipments(), *mOther, by));
    const EquipmentComparison& c = mModel->comparison();
    std::int64_t changed = 0, onlyHere = 0, onlyThere = 0;
    for (const auto& d : c.differences) {
        changed += d.kind == DifferenceKind::Changed;
        onlyHere += d.kind == DifferenceKind::OnlyInFirst;
        onlyThere += d.kind == DifferenceKind::OnlyInSecond;
    }
    mSummary->setText(c.identical()
                          ? QStringLiteral("The two lists are the same.")
                          : QStringLiteral("%1 changed, %2 only here, %3 only there, %4 the same")
                                .arg(changed)
                                .arg(onlyHere)
                                .arg(onlyThere)
                                .arg(c.same));
    QStringList notes = mReadNotes;
    if (!c.duplicates.empty()) {
        QStringList codes;
        for (const auto& d : c.duplicates) {
            if (codes.size() == 8) {
                codes << QStringLiteral("…");
                break;
            }
            codes << QString::number(d.code);
        }
        notes << QStringLiteral(
                     "Codes held by more than one record (%1) are matched in list "
                     "order.")
                     .arg(codes.join(QStringLiteral(", ")));
    }
    mNotes->setText(notes.join(QLatin1Char('\n')));
    mNotes->setVisible(!notes.isEmpty());
    fitColumns();
}

void frmCompare::fitColumns() {
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
            const QFontMetrics& m =
                mModel->data(index, ComparisonModel::ChangedRole).toBool() ? boldMetrics : metrics;
            width = std::max(width, m.horizontalAdvance(index.data().toString()) + 12);
        }
        mTable->setColumnWidth(c, std::min(width, 420));
    }
}

FieldMask frmCompare::fieldsToTake() const {
    FieldMask mask = 0;
    for (int f = 0; f < mFields->count(); ++f) {
        if (mFields->item(f)->checkState() == Qt::Checked)
            mask |= fieldBit(f);
    }
    return mask;
}

std::vector<RecordDifference> frmCompare::selectedDifferences() const {
    std::vector<RecordDifference> chosen;
    const QModelIndexList rows = mTable->selectionModel()->selectedRows();
    chosen.reserve(static_cast<std::size_t>(rows.size()));
    for (const QModelIndex& index : rows)
        chosen.push_back(mModel->differenceAt(index.row()));
    return chosen;
}

void frmCompare::updateSelectionState() {
    bool takeable = false, removable = false, first = false;
    const FieldMask fields = fieldsToTake();
    for (const RecordDifference& d : selectedDifferences()) {
        const bool atFirst = d.kind != DifferenceKind::OnlyInSecond && d.first == 1;
        first = first || atFirst;
        if (d.kind == DifferenceKind::OnlyInSecond)
            takeable = true;
        else if (d.kind == DifferenceKind::Changed && !atFirst && (d.fields & fields))
            takeable = true;
        else if (d.kind == DifferenceKind::OnlyInFirst && !atFirst)
            removable = true;
    }
    mTake->setEnabled(takeable);
    mRemove->setEnabled(removable);
    mFirstRecordNote->setVisible(first);
}

// A stale listing's rows may name records that have moved: the click only
// brings the listing up to date, for the user to choose again.
void frmCompare::cmdTake_Click() {
    if (stale()) {
        workOutAgain();
        return;
    }
    std::optional<QString> refusal;
    TakeFromOther(mDocument, *mOther, selectedDifferences(), fieldsToTake(), mOtherName, &refusal);
    if (refusal)
        MsgBox(*refusal);
    refresh();
}

void frmCompare::cmdRemoveHere_Click() {
    if (stale()) {
        workOutAgain();
        return;
    }
    RemoveHere(mDocument, selectedDifferences(), mOtherName);
    refresh();
}

void frmCompare::showInList(int row) {
    if (row < 0 || row >= mModel->rowCount())
        return;
    const RecordDifference& d = mModel->differenceAt(row);
    if (d.kind == DifferenceKind::OnlyInSecond)
        return;
    // A position: under a filter the list's view finds its row.
    mSession.revealRecord(d.first);
    if (QWidget* list = mSession.dialogParent()) {
        list->raise();
        list->activateWindow();
    }
}

}  // namespace kestrel::ui
