#include "ui/document/ListFixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <memory>

#include "model/Equipments.h"
#include "model/FieldText.h"
#include "storage/ClipboardText.h"
#include "storage/EquipmentFiles.h"
#include "text/CodePage.h"
#include "ui/document/Document.h"
#include "ui/document/EquipmentTableModel.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/Grid.h"
#include "ui/platform/MessageBox.h"
#include "ui/properties/frmEquipment.h"

using namespace kestrel;
using namespace kestrel::ui;

void ListFixture::SetUp() {
    mdlGeneral::ResetEquipments();
    window.emplace();
    tester = std::make_unique<QAbstractItemModelTester>(
        mdlGeneral::document().model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    shownTester = std::make_unique<QAbstractItemModelTester>(
        grid().model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    fake.onMessage = [this](const QString& text) { messages.push_back(text); };
}

void ListFixture::TearDown() {
    delete mdlGeneral::propertiesWindow();
    shownTester.reset();
    tester.reset();
    window.reset();
    mdlGeneral::ResetEquipments();
}

Grid& ListFixture::grid() {
    return window->UnitList();
}

void ListFixture::load(const std::vector<Equipment>& records) {
    auto list = std::make_unique<Equipments>();
    for (const Equipment& e : records)
        list->Add(e);
    mdlGeneral::document().replaceAll(std::move(list), true);
}

std::vector<Equipment> ListFixture::current() const {
    std::vector<Equipment> out;
    for (const EquipmentRef& e : mdlGeneral::gEquipments())
        out.push_back(*e);
    return out;
}

void ListFixture::toClipboard(const std::vector<Equipment>& records) {
    std::vector<EquipmentRef> refs;
    for (const Equipment& e : records)
        refs.push_back(std::make_shared<Equipment>(e));
    QGuiApplication::clipboard()->setText(
        QString::fromStdString(CodePageToUtf8(EncodeClipboardText(refs))));
}

Equipment ListFixture::madeUp(std::mt19937& random, int number) {
    std::uniform_int_distribution<int> small(0, 30);
    Equipment e;
    e.setEqCode(small(random) * 100 + number);  // distinct codes
    e.setEqName("Unit " + std::to_string(number));
    e.setEqClass(static_cast<Byte>(small(random) % 22));
    e.setSoftAttack(static_cast<Byte>(small(random)));
    e.setCountry(small(random) % 5);  // repeated countries
    e.setPrestigeCost(12 * small(random));
    e.setIconName("ic" + std::to_string(number));
    e.setLastPart("end");
    return e;
}

std::string ListFixture::fileBytes(const std::vector<Equipment>& records) {
    Equipments list;
    for (const Equipment& e : records)
        list.Add(e);
    std::string names, binary;
    EXPECT_EQ(EncodeNameList(list, names), 0);
    EXPECT_EQ(EncodeBinaryFile(list, binary), 0);
    return names + '\0' + binary;
}

void ListFixture::expectList(const std::vector<Equipment>& records, const std::string& step) {
    EXPECT_EQ(fileBytes(current()), fileBytes(records)) << step;
    ASSERT_EQ(grid().Rows(), static_cast<int>(records.size()) + 1) << step;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        for (int c = 0; c < kFieldCount; ++c) {
            ASSERT_EQ(grid().TextMatrix(row, c), FieldValueText(records[i], c))
                << step << ": row " << row << " column " << c;
        }
    }
}
