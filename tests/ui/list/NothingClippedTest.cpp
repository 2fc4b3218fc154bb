#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <set>
#include <vector>

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

// The window within its screen; every control of its form brought into
// view by the scroll bars, and by Tab as the focus reaches it.
void expectWhollyOnScreenAndEveryControlReachable(QWidget& window) {
    const QRect screen = window.screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(window.frameGeometry()))
        << "window " << window.frameGeometry().width() << "x" << window.frameGeometry().height()
        << " on a screen of " << screen.width() << "x" << screen.height();
    auto* scroller = window.findChild<QScrollArea*>();
    ASSERT_NE(scroller, nullptr);
    QWidget* viewport = scroller->viewport();
    const auto inView = [&](QWidget* w) {
        const QRect at(w->mapTo(viewport, QPoint(0, 0)), w->size());
        return viewport->rect().contains(at);
    };
    std::vector<QWidget*> controls;
    for (QWidget* w : scroller->widget()->findChildren<QWidget*>()) {
        if (w->isVisibleTo(&window) && (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy() &&
            !qobject_cast<QComboBox*>(w->parentWidget()))
            controls.push_back(w);
    }
    ASSERT_GT(controls.size(), 60u);
    for (QWidget* w : controls) {
        scroller->ensureWidgetVisible(w, 0, 0);
        EXPECT_TRUE(inView(w)) << w->objectName().toStdString() << " out of reach by mouse";
    }
    scroller->ensureWidgetVisible(controls.front());
    QWidget* first = window.findChild<QWidget*>(QStringLiteral("cmbClass"));
    first->setFocus(Qt::TabFocusReason);
    std::set<QWidget*> reached;
    for (std::size_t i = 0; i < controls.size() + 5; ++i) {
        QWidget* focus = window.focusWidget();
        ASSERT_NE(focus, nullptr);
        reached.insert(focus);
        ASSERT_TRUE(scroller->widget()->isAncestorOf(focus))
            << focus->objectName().toStdString() << " takes the focus outside the form";
        EXPECT_TRUE(inView(focus)) << focus->objectName().toStdString() << " out of view by Tab";
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    EXPECT_GE(reached.size(), controls.size() - 2);
}

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
        expectWhollyOnScreenAndEveryControlReachable(*properties);
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
