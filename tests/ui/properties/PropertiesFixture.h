#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <QUndoStack>
#include <QWindow>
#include <memory>

#include "support/FakePrompts.h"
#include "ui/document/Document.h"
#include "ui/list/ListCommands.h"
#include "ui/list/frmEqs.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/Grid.h"
#include "ui/platform/MessageBox.h"
#include "ui/properties/frmEquipment.h"
#include "vocabulary/LookupTables.h"

// The list window with a list of made-up records, and the properties window
// shown on one of them.
namespace kestrel_test {

using namespace kestrel;
using namespace kestrel::ui;

inline Equipment sample(int i) {
    Equipment e;
    e.setEqCode(i);
    e.setEqName("Unit" + std::to_string(i));
    e.setEqClass(static_cast<Byte>(i % 22));
    e.setSoftAttack(static_cast<Byte>(i % 200));
    e.setHardAttack(3);
    e.setTargetType(2);
    e.setMoveMode(1);
    e.setMovementMode(11);
    e.setFuel(40);
    e.setPrestigeCost(300);
    e.setMonthAvail(4);
    e.setYearAvail(41);
    e.setYearExpire(45);
    e.setNonOrganicTransport(3);
    e.setCountry(25);
    e.setUnitSpecial(5);
    e.setUnk7(9);
    e.setIconName("ic" + std::to_string(i));
    e.setAttackSound(-7);
    e.setMoveSound(2);
    e.setDeathSound(3);
    e.setLastPart("tail");
    return e;
}

// The title as the window system shows it: the [*] marker resolved.
inline QString shownTitle(QWidget& w) {
    return w.windowHandle() ? w.windowHandle()->title() : w.windowTitle();
}

struct PropertiesWindow : ::testing::Test {
    FakePrompts fake;
    std::unique_ptr<frmEqs> list;
    std::vector<QString> messages;
    // Answers to "Update equipment?", in order; asking with none left fails.
    std::vector<UpdateEditsAnswer> updateAnswers;
    int updateQuestions = 0;

    void SetUp() override {
        InitLookupTables();
        mdlGeneral::ResetEquipments();
        mdlGeneral::gCurrentIndex = 0;
        list = std::make_unique<frmEqs>();
        fake.onMessage = [this](const QString& text) { messages.push_back(text); };
        fake.onUpdateEdits = [this] {
            ++updateQuestions;
            if (updateAnswers.empty()) {
                ADD_FAILURE() << "\"Update equipment?\" was not expected";
                return UpdateEditsAnswer::Cancel;
            }
            UpdateEditsAnswer answer = updateAnswers.front();
            updateAnswers.erase(updateAnswers.begin());
            return answer;
        };
    }
    void TearDown() override {
        delete mdlGeneral::propertiesWindow();
        list.reset();
    }
    Grid& grid() { return mdlGeneral::UnitList(); }
    void load(int n) {
        mdlGeneral::ResetEquipments();
        std::vector<Equipment> records;
        for (int i = 0; i < n; ++i)
            records.push_back(sample(i));
        mdlGeneral::document().insertRecords(1, records);
    }
    frmEquipment& show(int row) {
        grid().setRow(row);
        mdlGeneral::ShowEquipmentDetails();
        return *mdlGeneral::propertiesWindow();
    }
    const Equipment& item(int i) { return *mdlGeneral::gEquipments().Item(i); }
};

}  // namespace kestrel_test
