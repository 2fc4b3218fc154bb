#include "ui/list/SaveChecks.h"

#include <QApplication>
#include <utility>

#include "check/Problem.h"
#include "storage/EquipmentFiles.h"
#include "text/CodePage.h"
#include "ui/platform/Prompts.h"

namespace kestrel::ui {

namespace {

QString text(const std::string& bytes) {
    return QString::fromStdString(CodePageToUtf8(bytes));
}

// A value as the line of a change shows it: texts quoted with their control
// characters spelled out, so that a cut or a dropped zero shows.
QString shownValue(const Equipment& record, int field) {
    if (fieldKind(field) == FieldKind::Text)
        return QLatin1Char('"') + text(SpelledOut(record.text(field))) + QLatin1Char('"');
    return QString::number(record.number(field));
}

}  // namespace

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
    return CurrentPrompts().fitValues(parent, FitValuesQuestion(list, fits));
}

}  // namespace kestrel::ui
