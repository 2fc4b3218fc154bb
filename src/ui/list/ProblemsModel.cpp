#include "ui/list/ProblemsModel.h"

#include <QApplication>
#include <QIcon>
#include <QStyle>

#include "model/FieldTable.h"
#include "ui/list/ProblemTracker.h"
#include "ui/platform/CodePageText.h"

namespace kestrel::ui {

namespace {
const char* const kHeadings[] = {"", "Record", "Equipment name", "Field", "Message"};

QIcon severityIcon(Severity severity) {
    // Made once: the panel asks for every visible row on each repaint.
    static const QIcon error = QApplication::style()->standardIcon(QStyle::SP_MessageBoxCritical);
    static const QIcon warning = QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
    return severity == Severity::Error ? error : warning;
}

QString severityText(Severity severity) {
    return severity == Severity::Error ? QStringLiteral("Error") : QStringLiteral("Warning");
}

QString fieldText(int field) {
    return field >= 0 && field < kFieldCount ? QString::fromLatin1(fieldInfo(field).name)
                                             : QString();
}
}  // namespace

ProblemsModel::ProblemsModel(QObject* parent) : QAbstractTableModel(parent) {}

void ProblemsModel::follow(const ProblemTracker& tracker) {
    beginResetModel();
    if (mTracker)
        disconnect(mTracker, nullptr, this, nullptr);
    mTracker = &tracker;
    endResetModel();
    connect(&tracker, &ProblemTracker::problemsAboutToBeReset, this,
            &ProblemsModel::beginResetModel);
    connect(&tracker, &ProblemTracker::problemsReset, this, &ProblemsModel::endResetModel);
    connect(&tracker, &ProblemTracker::problemsAboutToBeRemoved, this,
            [this](int first, int last) { beginRemoveRows({}, first, last); });
    connect(&tracker, &ProblemTracker::problemsRemoved, this, &ProblemsModel::endRemoveRows);
    connect(&tracker, &ProblemTracker::problemsAboutToBeInserted, this,
            [this](int first, int last) { beginInsertRows({}, first, last); });
    connect(&tracker, &ProblemTracker::problemsInserted, this, &ProblemsModel::endInsertRows);
    connect(&tracker, &ProblemTracker::problemsChanged, this, [this](int first, int last) {
        emit dataChanged(index(first, 0), index(last, ColumnCount - 1));
    });
}

const Problem& ProblemsModel::problem(int row) const {
    const auto k = static_cast<std::size_t>(row);
    const std::vector<Problem>& load = mTracker->loadProblems();
    return k < load.size() ? load[k] : mTracker->listProblems()[k - load.size()];
}

int ProblemsModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !mTracker)
        return 0;
    return static_cast<int>(mTracker->loadProblems().size() + mTracker->listProblems().size());
}

int ProblemsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ProblemsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Problem& p = problem(index.row());
    const int column = index.column();
    if (role == ProblemRole)
        return index.row();
    if (role == SortRole) {
        switch (column) {
            case SeverityColumn:
                return p.severity == Severity::Error ? 0 : 1;
            case RecordColumn:
                return static_cast<int>(p.record);
            case NameColumn:
                return p.record == 0 ? QString() : FromCodePage(p.eqName);
            case FieldColumn:
                return fieldText(p.field);
            default:
                return FromCodePage(p.message);
        }
    }
    if (column == SeverityColumn) {
        if (role == Qt::DecorationRole)
            return severityIcon(p.severity);
        if (role == Qt::ToolTipRole || role == Qt::AccessibleTextRole)
            return severityText(p.severity);
        return {};
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (column) {
        case RecordColumn:
            return p.record == 0 ? QStringLiteral("file") : QString::number(p.record);
        case NameColumn:
            return p.record == 0 ? QString() : FromCodePage(p.eqName);
        case FieldColumn:
            return fieldText(p.field);
        default:
            return FromCodePage(p.message);
    }
}

QVariant ProblemsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromLatin1(kHeadings[section]);
    if (role == Qt::ToolTipRole || role == Qt::AccessibleTextRole)
        return section == SeverityColumn ? QStringLiteral("Severity")
                                         : QString::fromLatin1(kHeadings[section]);
    return {};
}

}  // namespace kestrel::ui
