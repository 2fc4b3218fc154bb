#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStyle>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include "ui/NothingClipped.h"
#include "ui/document/Document.h"
#include "ui/list/ColumnFit.h"
#include "ui/list/frmEqs.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/Grid.h"
#include "ui/properties/frmEquipment.h"
#include "vocabulary/LookupTables.h"

using namespace kestrel;
using namespace kestrel::ui;
using kestrel_test::expectNothingClipped;

namespace {

TEST(NothingClipped, BothWindowsShowEveryTextInFull) {
    InitLookupTables();
    mdlGeneral::ResetEquipments();
    {
        frmEqs list;
        list.show();
        Equipment widest;
        widest.setEqCode(32767);
        widest.setEqName("Panzer IV Ausf. H");
        widest.setPrestigeCost(65520);
        widest.setUnitSpecial(0x255);
        widest.setCountry(25);
        widest.setIconName("ic_pz4h");
        std::vector<Equipment> records(5, widest);
        auto all = std::make_unique<Equipments>();
        for (Equipment& e : records)
            all->Add(e);
        all->setDataPath(QDir::temp().filePath(QStringLiteral("EQUIP97.EQP")).toStdString());
        mdlGeneral::document().replaceAll(std::move(all), true);
        list.UnitList().setRow(5);
        mdlGeneral::ShowEquipmentDetails();
        frmEquipment* properties = mdlGeneral::propertiesWindow();
        ASSERT_NE(properties, nullptr);
        properties->txtRowMeter->setText(QStringLiteral("32767 / 32767"));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(properties));

        expectNothingClipped(list);
        expectNothingClipped(*properties);
        ColumnFit& fit = *list.UnitList().findChild<ColumnFit*>();
        QTableView* view = list.UnitList().view();
        for (int c = 0; c < list.UnitList().Cols(); ++c)
            EXPECT_GE(view->columnWidth(c), fit.cellWidth(list.UnitList().DisplayText(5, c))) << c;

        const QString grabs = qEnvironmentVariable("KESTREL_GRAB_DIR");
        if (!grabs.isEmpty()) {
            const QString scale = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1"));
            list.grab().save(QDir(grabs).filePath(QStringLiteral("list-x%1.png").arg(scale)));
            properties->grab().save(
                QDir(grabs).filePath(QStringLiteral("properties-x%1.png").arg(scale)));
        }
        delete properties;
    }
    mdlGeneral::ResetEquipments();
}

}  // namespace
