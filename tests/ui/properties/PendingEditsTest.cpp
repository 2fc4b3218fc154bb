#include <QFontMetrics>
#include <QStyle>
#include <QUndoStack>

#include "ui/document/Document.h"
#include "ui/list/FilterBar.h"
#include "ui/list/ListCommands.h"
#include "ui/list/RecordRows.h"
#include "ui/properties/PropertiesFixture.h"

using kestrel_test::PropertiesWindow;
using kestrel_test::shownTitle;
using namespace kestrel;
using namespace kestrel::ui;

namespace {

// Each way of leaving a record with an edit in its window, under each answer.
TEST_F(PropertiesWindow, EditsNotCommittedAreAskedAboutBeforeTheyWouldBeLost) {
    struct Action {
        const char* name;
        std::function<void(frmEquipment&)> run;
        int shownAfter;  // the record the window shows once the user went on
    };
    const std::vector<Action> actions = {
        {"next", [](frmEquipment& w) { w.cmdNext_Click(); }, 4},
        {"first", [](frmEquipment& w) { w.cmdFirst_Click(); }, 1},
        {"new", [](frmEquipment& w) { w.cmdNew_Click(); }, 6},
        {"double-click another row",
         [this](frmEquipment&) {
             grid().setRow(5);
             mdlGeneral::ShowEquipmentDetails();
         },
         5},
        {"close", [](frmEquipment& w) { w.close(); }, 0},
        {"before a load", [](frmEquipment&) { mdlGeneral::ConfirmPropertiesEdits(); }, 3},
    };
    const UpdateEditsAnswer answers[] = {UpdateEditsAnswer::Update, UpdateEditsAnswer::Discard,
                                         UpdateEditsAnswer::Cancel};
    for (const Action& action : actions) {
        for (UpdateEditsAnswer answer : answers) {
            const std::string step =
                std::string(action.name) + " / " + std::to_string(static_cast<int>(answer));
            load(5);
            frmEquipment* w = &show(3);
            EXPECT_FALSE(w->hasEdits()) << step;
            EXPECT_EQ(shownTitle(*w), "Unit2") << step;
            w->txtSA->setText("123");
            EXPECT_TRUE(w->hasEdits()) << step;
            EXPECT_EQ(shownTitle(*w), "Unit2*") << step;
            updateQuestions = 0;
            updateAnswers = {answer};
            action.run(*w);
            EXPECT_EQ(updateQuestions, 1) << step;
            EXPECT_EQ(item(3).SoftAttack(), answer == UpdateEditsAnswer::Update ? 123 : 2) << step;
            w = mdlGeneral::propertiesWindow();
            if (answer == UpdateEditsAnswer::Cancel) {
                ASSERT_NE(w, nullptr) << step;
                EXPECT_EQ(w->recordPosition(), 3) << step;
                EXPECT_EQ(w->txtSA->text(), "123") << step;
                EXPECT_EQ(grid().Row(), 3) << step;
                EXPECT_TRUE(w->hasEdits()) << step;
            } else if (action.shownAfter == 0) {
                EXPECT_EQ(w, nullptr) << step;
            } else {
                ASSERT_NE(w, nullptr) << step;
                EXPECT_EQ(w->recordPosition(), action.shownAfter) << step;
                EXPECT_FALSE(w->hasEdits()) << step;
            }
            delete mdlGeneral::propertiesWindow();
        }
    }
}

TEST_F(PropertiesWindow, ARecordThatLeavesTheListWithEditsCanComeBackWithThem) {
    load(5);
    frmEquipment& w = show(3);
    w.txtName->setText("Kept");
    updateAnswers = {UpdateEditsAnswer::Cancel, UpdateEditsAnswer::Update};
    cmdCut_Click();
    QCoreApplication::processEvents();  // asked once the cut is done
    EXPECT_EQ(updateQuestions, 1);
    ASSERT_EQ(mdlGeneral::propertiesWindow(), &w);  // Cancel: the edits stay in sight
    EXPECT_EQ(mdlGeneral::gEquipments().Count(), 4);
    w.cmdUpdate_Click();
    ASSERT_EQ(mdlGeneral::gEquipments().Count(), 5);
    EXPECT_EQ(item(3).EqName(), "Kept");
    EXPECT_EQ(item(3).SoftAttack(), 2);  // the rest as the record was
    EXPECT_EQ(w.recordPosition(), 3);
    EXPECT_FALSE(w.hasEdits());
    // It came back as one step of its own.
    mdlGeneral::document().undoStack()->undo();
    EXPECT_EQ(mdlGeneral::gEquipments().Count(), 4);

    frmEquipment& again = show(2);
    again.txtName->setText("Dropped");
    updateAnswers = {UpdateEditsAnswer::Discard};
    cmdCut_Click();
    QCoreApplication::processEvents();
    EXPECT_EQ(mdlGeneral::propertiesWindow(), nullptr);
    EXPECT_EQ(mdlGeneral::gEquipments().Count(), 3);
}

// With a filter on, grid rows are not record positions: the record being
// edited is recognised by its position, and Cancel goes back to its row.
TEST_F(PropertiesWindow, AFilteredGridAsksOnlyAboutAnotherRecordAndCancelKeepsTheEditedOne) {
    load(8);
    list->filterBar().edit()->setText(QStringLiteral("SA>2"));  // records 4 to 8 on rows 1 to 5
    ASSERT_EQ(grid().Rows(), 6);
    frmEquipment& w = show(2);
    ASSERT_EQ(w.recordPosition(), 5);
    w.txtName->setText("Edited");

    updateQuestions = 0;
    grid().setRow(2);
    mdlGeneral::ShowEquipmentDetails();
    EXPECT_EQ(updateQuestions, 0);
    EXPECT_EQ(w.recordPosition(), 5);

    w.txtName->setText("Edited");
    updateAnswers = {UpdateEditsAnswer::Cancel};
    grid().setRow(4);
    mdlGeneral::ShowEquipmentDetails();
    EXPECT_EQ(updateQuestions, 1);
    EXPECT_EQ(w.recordPosition(), 5);
    EXPECT_EQ(w.txtName->text(), "Edited");
    EXPECT_EQ(grid().Row(), 2);
    EXPECT_EQ(grid().RowSel(), 2);
    EXPECT_EQ(mdlGeneral::SelectedPositions(), std::vector<std::int32_t>{5});
}

TEST_F(PropertiesWindow, RowMeterShowsTheLargestCountsInFull) {
    load(3);
    frmEquipment& w = show(1);
    w.txtRowMeter->setText(QStringLiteral("32767 / 32767"));
    const int frame = w.txtRowMeter->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    EXPECT_GE(w.txtRowMeter->width() - 2 * frame - 4,
              w.txtRowMeter->fontMetrics().horizontalAdvance(w.txtRowMeter->text()));
    // The room came from the name box; nothing overlaps.
    EXPECT_LE(w.txtName->geometry().right(), w.cmdFirst->geometry().left());
    EXPECT_LE(w.cmdPrevious->geometry().right(), w.txtRowMeter->geometry().left());
    EXPECT_LE(w.txtRowMeter->geometry().right(), w.cmdNext->geometry().left());
}

}  // namespace
