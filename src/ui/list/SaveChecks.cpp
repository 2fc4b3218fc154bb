#include "ui/list/SaveChecks.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QScreen>
#include <algorithm>
#include <utility>

#include "check/Problem.h"
#include "storage/EquipmentFiles.h"
#include "storage/Messages.h"
#include "storage/PairPaths.h"
#include "text/CodePage.h"

namespace kestrel::ui {

namespace {

struct Incomplete {
    std::string pair;  // the binary file the list was read from, links followed
    std::string found;
};
Incomplete& incomplete() {
    static Incomplete state;
    return state;
}

SaveOverIncompleteHandler& questionSlot() {
    static SaveOverIncompleteHandler handler;
    return handler;
}

QString text(const std::string& bytes) {
    return QString::fromStdString(CodePageToUtf8(bytes));
}

FitValuesHandler& fitSlot() {
    static FitValuesHandler handler;
    return handler;
}

// A value as the line of a change shows it: texts quoted with their control
// characters spelled out, so that a cut or a dropped zero shows.
QString shownValue(const Equipment& record, int field) {
    if (fieldKind(field) == FieldKind::Text)
        return QLatin1Char('"') + text(SpelledOut(record.text(field))) + QLatin1Char('"');
    return QString::number(record.number(field));
}

bool askSaveOverIncomplete(QWidget* parent, const QString& question) {
    if (questionSlot())
        return questionSlot()(question);
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kAppTitle), question,
                    QMessageBox::Save | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Save;
}

}  // namespace

LoadReport LoadListAndReport(Equipments& equipments) {
    LoadReport report = LoadEquipments(equipments);
    const std::string message = report.message();
    incomplete() = Incomplete{};
    if (!report.complete)
        incomplete() = Incomplete{FollowLinks(equipments.DataPath()), message};
    if (!message.empty())
        ReportMessage(message);
    return report;
}

bool ListIsIncomplete() {
    return !incomplete().pair.empty();
}

SaveChangesAnswer UnsavedChangesDefault() {
    return ListIsIncomplete() ? SaveChangesAnswer::Discard : SaveChangesAnswer::Save;
}

bool MaySaveTo(QWidget* parent, const std::string& path) {
    if (!IsEquipmentFileName(path)) {
        MsgBox(text(path) + QStringLiteral(" is not an equipment file: its name must end in .EQP. "
                                           "Nothing was saved."));
        return false;
    }
    if (!ListIsIncomplete() || FollowLinks(path) != incomplete().pair)
        return true;
    QString question =
        QStringLiteral("This list was not read completely from the pair it came from:\n") +
        text(incomplete().found) +
        QStringLiteral(
            "\n\nSaving it there replaces both files with what was "
            "read. Save anyway?");
    return askSaveOverIncomplete(parent, question);
}

QString FitValuesQuestion(const Equipments& list, const std::vector<RecordFit>& fits) {
    constexpr int kShown = 20;
    int values = 0;
    QString lines;
    for (const RecordFit& fit : fits) {
        const Equipment& now = *list.Item(fit.position);
        Problem where;
        where.record = fit.position;
        where.eqCode = now.EqCode();
        where.eqName = now.EqName();
        for (int field : fit.fields) {
            if (++values > kShown)
                continue;
            lines += text(FormatProblem(where)) + QString::fromLatin1(fieldName(field)) +
                     QLatin1Char(' ') + shownValue(now, field) + QStringLiteral(" \u2192 ") +
                     shownValue(fit.fitted, field) + QLatin1Char('\n');
        }
    }
    if (values > kShown)
        lines += QStringLiteral("and %1 more\n").arg(values - kShown);
    return QStringLiteral("Saving changes %1 value%2 to what the file can hold:\n\n")
               .arg(values)
               .arg(values == 1 ? QString() : QStringLiteral("s")) +
           lines +
           QStringLiteral(
               "\nAfter the save the list shows the values as saved; Undo takes them "
               "back. Save?");
}

bool MayFitValues(QWidget* parent, const Equipments& list, const std::vector<RecordFit>& fits) {
    const QString question = FitValuesQuestion(list, fits);
    if (fitSlot())
        return fitSlot()(question);
    QMessageBox box(QMessageBox::Question, QString::fromLatin1(kAppTitle), question,
                    QMessageBox::Save | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    // One change a line, unbroken where the screen has room: a box sizes
    // itself to its text on showing, and a spacer across its grid is the
    // width it keeps to.
    int widest = 0;
    for (const QString& line : question.split(QLatin1Char('\n')))
        widest = std::max(widest, box.fontMetrics().horizontalAdvance(line));
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const int room = screen ? screen->availableGeometry().width() * 3 / 4 : widest;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(new QSpacerItem(std::min(widest + box.fontMetrics().height() * 5, room), 0,
                                      QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    return box.exec() == QMessageBox::Save;
}

FitValuesHandler setFitValuesHandler(FitValuesHandler handler) {
    return std::exchange(fitSlot(), std::move(handler));
}

void ListSavedTo(const std::string& path) {
    (void)path;
    incomplete() = Incomplete{};
}

SaveOverIncompleteHandler setSaveOverIncompleteHandler(SaveOverIncompleteHandler handler) {
    return std::exchange(questionSlot(), std::move(handler));
}

}  // namespace kestrel::ui
