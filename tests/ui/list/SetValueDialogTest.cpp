#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QUndoStack>

#include "model/FieldText.h"
#include "ui/document/Document.h"
#include "ui/document/ListFixture.h"
#include "ui/list/SetValueDialog.h"
#include "ui/mdlGeneral.h"
#include "vocabulary/LookupTables.h"

using namespace kestrel;
using namespace kestrel::ui;

namespace {

// Ten records: record n holds SA n - 1, class (n - 1) % 3 and US n - 1.
struct SetValue : ListFixture {
    std::vector<std::int32_t> all{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};

    void SetUp() override {
        ListFixture::SetUp();
        InitLookupTables();
        std::vector<Equipment> records;
        for (int i = 0; i < 10; ++i) {
            Equipment e;
            e.setEqCode(i);
            e.setEqName("Unit" + std::to_string(i));
            e.setSoftAttack(static_cast<Byte>(i));
            e.setEqClass(static_cast<Byte>(i % 3));
            e.setUnitSpecial(i);
            records.push_back(e);
        }
        load(records);
    }
    static void choose(SetValueDialog& dialog, Field field, int how = 0) {
        dialog.fieldBox()->setCurrentIndex(dialog.fieldBox()->findData(static_cast<int>(field)));
        dialog.howBox()->setCurrentIndex(how);
    }
    static QString scope(SetValueDialog& dialog) {
        return dialog.findChild<QLabel*>(QStringLiteral("lblScope"))->text();
    }
};

// What the dialog says before OK, as the value is typed: how many of the
// records (the first never counts) change, and what the change box reads.
TEST_F(SetValue, SaysHowManyRecordsChangeAndReadsTheChangeAsTyped) {
    const struct {
        Field field;
        int how;
        const char* value;
        const char* scope;
        const char* change;
    } cases[] = {
        // 1.1 to 4.4 round back to themselves; 5.5 goes to 6.
        {Field::SoftAttack, 0, "*1.1", "5 of 9 change; 4 keep their value.",
         "Multiply each value by 1.1"},
        {Field::SoftAttack, 0, "+5", "9 of 9 change.", "Add 5 to each value"},
        {Field::SoftAttack, 0, "-1", "9 of 9 change.", "Subtract 1 from each value"},
        {Field::SoftAttack, 0, "3", "8 of 9 change; 1 keeps its value.", "Set to the value"},
        {Field::EqClass, 0, "tank", "6 of 9 change; 3 keep their value.", "Set to the value"},
        {Field::UnitSpecial, 1, "1", "4 of 9 change; 5 keep their value.", "Set bit"},
        {Field::UnitSpecial, 2, "1", "5 of 9 change; 4 keep their value.", "Clear bit"},
        {Field::SoftAttack, 0, "", "Type a value to see how many of the 9 records change.",
         "Set to the value"},
        {Field::SoftAttack, 0, "+250", "No record changes with this value.",
         "Add 250 to each value"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        SetValueDialog dialog(all);
        choose(dialog, c.field, c.how);
        dialog.valueBox()->setText(QString::fromLatin1(c.value));
        EXPECT_EQ(
            scope(dialog),
            QLatin1String(c.scope) +
                QStringLiteral(" The first record of the list is selected; it is never changed."));
        EXPECT_EQ(dialog.howBox()->currentText(), QLatin1String(c.change));
    }
    EXPECT_EQ(mdlGeneral::document().undoStack()->count(), 0);
}

TEST_F(SetValue, RemembersTheLastFieldAndChange) {
    {
        SetValueDialog dialog({4, 5});
        choose(dialog, Field::UnitSpecial, 2);
        dialog.valueBox()->setText(QStringLiteral("3"));
        ASSERT_TRUE(dialog.tryApply());
    }
    SetValueDialog again({6});
    EXPECT_EQ(again.fieldBox()->currentData().toInt(), static_cast<int>(Field::UnitSpecial));
    EXPECT_EQ(again.howBox()->currentIndex(), 2);
    EXPECT_EQ(again.valueBox()->text(), QStringLiteral("3"));
    EXPECT_EQ(scope(again), QStringLiteral("1 of 1 changes."));
    // Written to the settings a moment later, for the next session.
    QElapsedTimer waited;
    waited.start();
    while (QSettings().value(QStringLiteral("setValue/value")).toString() != QStringLiteral("3") &&
           waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    QSettings settings;
    EXPECT_EQ(settings.value(QStringLiteral("setValue/field")).toString(),
              QString::fromLatin1(FieldLabel(static_cast<int>(Field::UnitSpecial))));
    EXPECT_EQ(settings.value(QStringLiteral("setValue/change")).toInt(), 2);
    EXPECT_EQ(settings.value(QStringLiteral("setValue/value")).toString(), QStringLiteral("3"));
}

// What the counts worked out as the value was typed is not applied to a list
// that changed since: OK adds to the values the records hold then.
TEST_F(SetValue, OkWorksOnTheListAsItIsThen) {
    SetValueDialog dialog({3, 4});
    choose(dialog, Field::SoftAttack);
    dialog.valueBox()->setText(QStringLiteral("+1"));
    Equipment changed = *mdlGeneral::gEquipments().Item(3);
    changed.setSoftAttack(40);
    mdlGeneral::document().replaceRecord(3, changed);
    ASSERT_TRUE(dialog.tryApply());
    EXPECT_EQ(mdlGeneral::gEquipments().Item(3)->SoftAttack(), 41);
    EXPECT_EQ(mdlGeneral::gEquipments().Item(4)->SoftAttack(), 4);
}

// Every refusal of a value gives the range the field takes.
TEST_F(SetValue, RefusalsGiveTheFieldsRange) {
    const struct {
        Field field;
        const char* value;
        const char* range;
    } cases[] = {
        {Field::SoftAttack, "ten", "SA takes 0 to 255."},
        {Field::SoftAttack, "256", "SA takes 0 to 255."},
        {Field::SoftAttack, "+250", "SA takes 0 to 255."},
        {Field::EqCode, "40000", "N takes 0 to 32767."},
        {Field::EqClass, "Zeppelin", "CL takes 0 to 21, or one of its words."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        SetValueDialog dialog(all);
        choose(dialog, c.field);
        dialog.valueBox()->setText(QString::fromLatin1(c.value));
        EXPECT_FALSE(dialog.tryApply());
        EXPECT_TRUE(dialog.messageLabel()->text().endsWith(QLatin1String(c.range)))
            << dialog.messageLabel()->text().toStdString();
    }
}

}  // namespace
