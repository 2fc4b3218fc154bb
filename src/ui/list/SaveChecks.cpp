#include "ui/list/SaveChecks.h"

#include <QApplication>
#include <utility>

#include "storage/EquipmentFiles.h"
#include "storage/Messages.h"
#include "storage/PairPaths.h"
#include "text/CodePage.h"
#include "ui/platform/Prompts.h"

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

QString text(const std::string& bytes) {
    return QString::fromStdString(CodePageToUtf8(bytes));
}

bool askSaveOverIncomplete(QWidget* parent, const QString& question) {
    return CurrentPrompts().saveOverIncomplete(parent, question);
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

void ListSavedTo(const std::string& path) {
    (void)path;
    incomplete() = Incomplete{};
}

}  // namespace kestrel::ui
