#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>
#include <algorithm>
#include <functional>
#include <random>

#include "model/FieldText.h"
#include "support/XmlCheck.h"
#include "ui/document/Document.h"
#include "ui/document/ListFixture.h"
#include "ui/list/ChartPanel.h"
#include "ui/list/ChartView.h"
#include "ui/list/FilterBar.h"
#include "ui/list/ListActions.h"
#include "ui/list/RecordRows.h"
#include "ui/list/SelectionSummary.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/Grid.h"
#include "ui/properties/UpdateCommand.h"
#include "ui/properties/frmEquipment.h"

using namespace kestrel;
using namespace kestrel::ui;

namespace {

Equipment unit(int n, int softAttack, int cost, int cls = 0) {
    Equipment e;
    e.setEqCode(n);
    e.setEqName("Unit " + std::to_string(n));
    e.setSoftAttack(softAttack);
    e.setPrestigeCost(cost);
    e.setEqClass(cls);
    e.setCountry(1);
    return e;
}

// Records 2 and 3 share a spot; the others lie apart, cost rising with attack.
std::vector<Equipment> balanced() {
    return {unit(1, 10, 120, 0),  unit(2, 40, 240, 1),  unit(3, 40, 240, 1),  unit(4, 80, 360, 2),
            unit(5, 120, 480, 0), unit(6, 160, 600, 1), unit(7, 200, 720, 2), unit(8, 250, 840, 0)};
}

struct ChartPanelTest : ListFixture {
    void SetUp() override {
        ListFixture::SetUp();
        load(balanced());
        window->show();
        panel().toggle();
        QApplication::processEvents();
    }
    ChartPanel& panel() { return *FindChartPanel(*window); }
    ChartView& view() { return panel().view(); }
    QPoint at(std::int32_t record) {
        const std::optional<QPointF> place = view().placeOf(record);
        EXPECT_TRUE(place) << "record " << record << " is not drawn";
        return place ? place->toPoint() : QPoint();
    }
    // The mouse over a spot, as the window system reports it.
    void hover(QPoint spot) {
        QMouseEvent move(QEvent::MouseMove, QPointF(spot), view().mapToGlobal(QPointF(spot)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&view(), &move);
    }
    std::vector<std::int32_t> drawn() {
        std::vector<std::int32_t> records;
        for (const ChartPoint& p : view().chart().points)
            records.push_back(p.record);
        return records;
    }
    // The chart shows exactly the records that keep holds for, at their
    // values of the drawn fields.
    void expectChartOf(const std::function<bool(const Equipment&)>& keep, const char* step) {
        SCOPED_TRACE(step);
        const Chart& chart = view().chart();
        std::vector<std::int32_t> expected;
        for (std::int32_t p = 1; p <= mdlGeneral::gEquipments().Count(); ++p) {
            if (keep(*mdlGeneral::gEquipments().Item(p)))
                expected.push_back(p);
        }
        EXPECT_EQ(drawn(), expected);
        for (const ChartPoint& point : chart.points) {
            const Equipment& e = *mdlGeneral::gEquipments().Item(point.record);
            EXPECT_EQ(point.x, e.PrestigeCost()) << "record " << point.record;
            EXPECT_EQ(point.y, e.SoftAttack()) << "record " << point.record;
        }
        const QString count = QStringLiteral("%1 point").arg(expected.size());
        EXPECT_TRUE(panel().accessibleDescription().contains(count))
            << panel().accessibleDescription().toStdString();
    }
    void update(std::int32_t position, const std::function<void(Equipment&)>& change) {
        Equipment before = *mdlGeneral::gEquipments().Item(position);
        Equipment after = before;
        change(after);
        mdlGeneral::document().undoStack()->push(
            new UpdateCommand(mdlGeneral::document(), position, before, after));
    }
};

TEST_F(ChartPanelTest, TheActionShowsTheDockWithItsBoxes) {
    QAction* action = window->actions().action(Command::Chart);
    EXPECT_EQ(action->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_B));
    EXPECT_EQ(panel().accessibleName(), QStringLiteral("Chart"));
    QStringList names;
    for (QComboBox* box : {panel().xBox(), panel().yBox(), panel().colourBox()})
        names << box->accessibleName();
    EXPECT_EQ(names, (QStringList{"X", "Y", "Colour"}));
    EXPECT_EQ(panel().colourBox()->currentData().toInt(), -1);
    EXPECT_TRUE(panel().isVisible());
    action->trigger();
    EXPECT_FALSE(panel().isVisible());
    action->trigger();
    EXPECT_TRUE(panel().isVisible());
}

TEST_F(ChartPanelTest, HoveringNamesEveryRecordOnTheSpotAsTheProblemsPanelDoes) {
    struct Case {
        const char* filter;
        std::int32_t hovered;
        QString names;
    };
    const Case cases[] = {
        {"", 2, "record 2 (N 2, \"Unit 2\")\nrecord 3 (N 3, \"Unit 3\")"},
        {"", 7, "record 7 (N 7, \"Unit 7\")"},
        // Under a filter the names are the records', not the rows'.
        {"SA>=100", 6, "record 6 (N 6, \"Unit 6\")"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.filter);
        window->filterBar().edit()->setText(QString::fromLatin1(c.filter));
        QApplication::processEvents();
        hover(at(c.hovered));
        EXPECT_EQ(view().names(), c.names);
        EXPECT_EQ(panel().namesLine()->text(), QString(c.names).replace('\n', "; "));
    }
    // Beyond ten records on a spot the rest are counted.
    std::vector<Equipment> crowd;
    for (int i = 1; i <= 13; ++i)
        crowd.push_back(unit(i, 50, 100));
    window->filterBar().clear();
    load(crowd);
    hover(at(1));
    const QStringList lines = view().names().split('\n');
    ASSERT_EQ(lines.size(), 11);
    EXPECT_EQ(lines[9], QStringLiteral("record 10 (N 10, \"Unit 10\")"));
    EXPECT_EQ(lines[10], QStringLiteral("and 3 more"));
}

TEST_F(ChartPanelTest, ClicksAndRectanglesSelectTheirRecordsInTheGrid) {
    // A click selects the records on the spot; Ctrl adds, and takes back.
    QTest::mouseClick(&view(), Qt::LeftButton, {}, at(4));
    EXPECT_EQ(mdlGeneral::SelectedPositions(), (std::vector<std::int32_t>{4}));
    QTest::mouseClick(&view(), Qt::LeftButton, Qt::ControlModifier, at(2));
    EXPECT_EQ(mdlGeneral::SelectedPositions(), (std::vector<std::int32_t>{2, 3, 4}));
    QTest::mouseClick(&view(), Qt::LeftButton, Qt::ControlModifier, at(4));
    EXPECT_EQ(mdlGeneral::SelectedPositions(), (std::vector<std::int32_t>{2, 3}));

    // A rectangle from record 4's point to record 7's takes those between,
    // also with a filter on that hides one of them.
    struct Case {
        const char* filter;
        std::vector<std::int32_t> selected;
    };
    for (const Case& c : {Case{"", {4, 5, 6, 7}}, Case{"Name!=\"Unit 5\"", {4, 6, 7}}}) {
        SCOPED_TRACE(c.filter);
        window->filterBar().edit()->setText(QString::fromLatin1(c.filter));
        QApplication::processEvents();
        const QPoint from = at(4) + QPoint(-2, 2);
        const QPoint to = at(7) + QPoint(2, -2);
        QTest::mousePress(&view(), Qt::LeftButton, {}, from);
        QTest::mouseMove(&view(), (from + to) / 2);
        QTest::mouseMove(&view(), to);
        QTest::mouseRelease(&view(), Qt::LeftButton, {}, to);
        EXPECT_EQ(mdlGeneral::SelectedPositions(), c.selected);
        for (std::int32_t p : drawn()) {
            const bool selected = std::count(c.selected.begin(), c.selected.end(), p) > 0;
            EXPECT_EQ(view().marked(p), selected) << "record " << p;
        }
    }

    // The marks follow a selection made in the grid.
    window->filterBar().clear();
    mdlGeneral::SelectPositions({1, 8}, 1);
    for (std::int32_t p : drawn())
        EXPECT_EQ(view().marked(p), p == 1 || p == 8) << "record " << p;
}

TEST_F(ChartPanelTest, KeysWalkThePointsInXOrderAndEnterSelects) {
    view().setFocus();
    QTest::keyClick(&view(), Qt::Key_End);
    EXPECT_EQ(view().focusedRecord(), 8);
    QTest::keyClick(&view(), Qt::Key_Home);
    std::vector<std::int32_t> walked{view().focusedRecord()};
    for (int i = 0; i < 8; ++i) {
        QTest::keyClick(&view(), Qt::Key_Right);
        walked.push_back(view().focusedRecord());
    }
    // The last key finds no further point and stays.
    EXPECT_EQ(walked, (std::vector<std::int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 8}));
    QTest::keyClick(&view(), Qt::Key_Left);
    QTest::keyClick(&view(), Qt::Key_Return);
    EXPECT_EQ(mdlGeneral::SelectedPositions(), (std::vector<std::int32_t>{7}));
    EXPECT_TRUE(view().names().startsWith(QStringLiteral("record 7 (N 7, \"Unit 7\"): P 720")))
        << view().names().toStdString();

    // A double-click opens the record in the properties window.
    QTest::mouseDClick(&view(), Qt::LeftButton, {}, at(5));
    frmEquipment* details = mdlGeneral::propertiesWindow();
    ASSERT_NE(details, nullptr);
    EXPECT_EQ(details->recordPosition(), 5);
}

TEST_F(ChartPanelTest, TheChartFollowsTheFilterEditsUndoRedoAndALoad) {
    expectChartOf([](const Equipment&) { return true; }, "every record");
    window->filterBar().edit()->setText(QStringLiteral("SA>=100"));
    expectChartOf([](const Equipment& e) { return e.SoftAttack() >= 100; }, "filter");
    // An edit that takes a record out of what the filter keeps.
    update(6, [](Equipment& e) { e.setSoftAttack(20); });
    expectChartOf([](const Equipment& e) { return e.SoftAttack() >= 100; }, "edit");
    EXPECT_EQ(drawn(), (std::vector<std::int32_t>{5, 7, 8}));
    mdlGeneral::document().undoStack()->undo();
    expectChartOf([](const Equipment& e) { return e.SoftAttack() >= 100; }, "undo");
    EXPECT_EQ(drawn(), (std::vector<std::int32_t>{5, 6, 7, 8}));
    mdlGeneral::document().undoStack()->redo();
    EXPECT_EQ(drawn(), (std::vector<std::int32_t>{5, 7, 8}));
    // Another field drawn follows its own edits.
    panel().chooseFields(static_cast<int>(Field::PrestigeCost), static_cast<int>(Field::SoftAttack),
                         static_cast<int>(Field::EqClass));
    EXPECT_EQ(view().chart().colourField, static_cast<int>(Field::EqClass));
    window->filterBar().clear();
    std::vector<Equipment> other = balanced();
    other.resize(3);
    other[0].setPrestigeCost(999);
    load(other);
    expectChartOf([](const Equipment&) { return true; }, "load");
    EXPECT_EQ(view().chart().points.front().x, 999);
}

TEST_F(ChartPanelTest, PicturesAreWrittenWholeAsPngOrSvg) {
    QTemporaryDir dir;
    window->filterBar().edit()->setText(QStringLiteral("SA>=100"));
    const QString png = dir.filePath(QStringLiteral("chart.png"));
    fake.onFileName = [&](bool save, const QString&) -> std::optional<QString> {
        EXPECT_TRUE(save);
        return png;
    };
    panel().saveButton()->click();
    QImage image(png);
    ASSERT_FALSE(image.isNull());
    EXPECT_GE(image.width(), 640);
    EXPECT_GE(image.height(), 400);

    const QString svg = dir.filePath(QStringLiteral("chart.SVG"));
    ASSERT_TRUE(panel().writePicture(svg));
    QFile file(svg);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::string text = file.readAll().toStdString();
    kestrel::testing::XmlReader reader;
    const std::unique_ptr<kestrel::testing::XmlElement> root = reader.read(text);
    ASSERT_TRUE(root) << reader.error();
    std::vector<const kestrel::testing::XmlElement*> circles;
    root->collect("circle", circles);
    ASSERT_EQ(circles.size(), 4u);
    EXPECT_EQ(circles[0]->children.at(0)->text.rfind("record 5 (N 5, \"Unit 5\")", 0), 0u);

    // A folder that is not there: refused with a message, nothing left.
    const QString nowhere = dir.filePath(QStringLiteral("gone/chart.png"));
    EXPECT_FALSE(panel().writePicture(nowhere));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("chart.png"))) << messages[0].toStdString();
    EXPECT_FALSE(QFile::exists(nowhere));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

// Hit-testing goes through the points sorted left to right: it must find
// what looking at every point finds, on a crowded chart.
TEST_F(ChartPanelTest, PointsUnderTheMouseAndInARectangleAreThoseAPlainSearchFinds) {
    std::mt19937 random(26);
    std::vector<Equipment> crowd;
    for (int i = 1; i <= 400; ++i)
        crowd.push_back(
            unit(i, static_cast<int>(random() % 20), 12 * static_cast<int>(random() % 20)));
    load(crowd);
    std::vector<std::pair<std::int32_t, QPointF>> places;
    for (std::int32_t record : drawn())
        places.emplace_back(record, *view().placeOf(record));
    auto plainAt = [&places](QPointF at) {
        std::vector<std::int32_t> found;
        for (const auto& [record, place] : places) {
            const QPointF d = place - at;
            if (d.x() * d.x() + d.y() * d.y() <= ChartView::kReach * ChartView::kReach)
                found.push_back(record);
        }
        return found;
    };
    const double r = ChartView::kReach;
    for (const auto& [record, place] : places) {
        for (QPointF off : {QPointF(0, 0), QPointF(r, 0), QPointF(-r, 0), QPointF(0, r),
                            QPointF(3.6, 3.6), QPointF(-3.6, -3.5), QPointF(r + 0.01, 0)}) {
            EXPECT_EQ(view().recordsAt(place + off), plainAt(place + off)) << "record " << record;
        }
    }
    const QRectF area = view().rect();
    for (int i = 0; i < 200; ++i) {
        std::uniform_real_distribution<double> x(area.left(), area.right());
        std::uniform_real_distribution<double> y(area.top(), area.bottom());
        const QRectF rect(QPointF(x(random), y(random)), QPointF(x(random), y(random)));
        std::vector<std::int32_t> inside;
        for (const auto& [record, place] : places) {
            if (rect.normalized().contains(place))
                inside.push_back(record);
        }
        EXPECT_EQ(view().recordsInside(rect), inside) << "rectangle " << i;
    }
}

// The view keeps the chart drawn without the marks and mends it as the
// selection changes: what it shows must be what a view drawing the chart
// afresh shows.
TEST_F(ChartPanelTest, MarksFollowingTheSelectionLookAsAFreshDrawing) {
    panel().chooseFields(static_cast<int>(Field::PrestigeCost), static_cast<int>(Field::SoftAttack),
                         static_cast<int>(Field::EqClass));
    const std::vector<std::vector<std::int32_t>> selections = {
        {4, 5, 6, 7}, {2, 3}, {1, 8}, {1, 2, 3, 4, 5, 6, 7, 8}, {5}, {2, 3, 7}};
    for (const std::vector<std::int32_t>& selected : selections) {
        SCOPED_TRACE(::testing::PrintToString(selected));
        mdlGeneral::SelectPositions(selected, selected.front());
        // A chart worked out anew while every record is selected leaves
        // every point out of what it keeps drawn.
        if (selected.size() == 8)
            panel().chooseFields(static_cast<int>(Field::PrestigeCost),
                                 static_cast<int>(Field::SoftAttack), -1);
        view().clearFocus();
        QApplication::processEvents();
        const QImage shown = view().grab().toImage();
        ChartView fresh(window->session(), grid(), view().parentWidget());
        fresh.setFields(view().xField(), view().yField(), view().colourField());
        fresh.resize(view().size());
        EXPECT_TRUE(shown == fresh.grab().toImage());
    }
}

// Selected records' points are stamped once per spot, the last of a spot
// on top: each point must show the colour of the last record drawn there,
// however many records share it, and none may be left out.
TEST_F(ChartPanelTest, EverySelectedPointShowsTheLastRecordOfItsSpot) {
    // Records 2 and 3 share a spot in two colours; 9 to 40 pile onto 8's.
    std::vector<Equipment> records = balanced();
    records[2].setEqClass(2);
    for (int n = 9; n <= 40; ++n)
        records.push_back(unit(n, 250, 840, n % 3));
    load(records);
    panel().chooseFields(static_cast<int>(Field::PrestigeCost), static_cast<int>(Field::SoftAttack),
                         static_cast<int>(Field::EqClass));
    std::vector<std::int32_t> all;
    for (std::int32_t p = 1; p <= mdlGeneral::gEquipments().Count(); ++p)
        all.push_back(p);
    mdlGeneral::SelectPositions(all, 1);
    view().clearFocus();
    QApplication::processEvents();
    const QImage shown = view().grab().toImage();
    const Chart& chart = view().chart();
    ASSERT_EQ(chart.points.size(), all.size());
    const qreal dpr = shown.devicePixelRatio();
    for (const ChartPoint& point : chart.points) {
        const QPoint spot = at(point.record);
        // The colour of the last point drawn at the same place.
        std::uint32_t rgb = 0;
        for (const ChartPoint& other : chart.points) {
            if (at(other.record) == spot)
                rgb = other.colour >= 0 ? chart.legend[static_cast<std::size_t>(other.colour)].rgb
                                        : kChartPointRgb;
        }
        const QColor pixel = shown.pixelColor(
            QPoint(static_cast<int>(spot.x() * dpr), static_cast<int>(spot.y() * dpr)));
        EXPECT_EQ(pixel.rgb() & 0xFFFFFF, rgb) << "record " << point.record;
    }
}

// The status bar's figures for the clicked column over the selected records.
struct SelectionStatisticsTest : ListFixture {
    void SetUp() override {
        ListFixture::SetUp();
        load(balanced());
        window->show();
        QApplication::processEvents();
    }
    std::string shown() {
        QApplication::processEvents();
        auto* label = window->findChild<SelectionSummary*>();
        return label && label->isVisible() ? label->text().toStdString() : std::string();
    }
    void clickColumn(int col) {
        QTableView* view = grid().view();
        const QRect cell = view->visualRect(view->model()->index(0, col));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    }
};

// The line a plain loop gives for a number field.
std::string numbersLine(const std::vector<std::int32_t>& selected, int field, const char* label) {
    std::int64_t sum = 0, low = INT64_MAX, high = INT64_MIN;
    for (std::int32_t p : selected) {
        const std::int64_t v = mdlGeneral::gEquipments().Item(p)->number(field);
        sum += v;
        low = std::min(low, v);
        high = std::max(high, v);
    }
    QString mean =
        QLocale(QLocale::English).toString(static_cast<double>(sum) / selected.size(), 'f', 1);
    if (mean.endsWith(QStringLiteral(".0")))
        mean.chop(2);
    const QLocale grouped(QLocale::English);
    return QStringLiteral("%1 selected \u00B7 %2 sum %3 \u00B7 mean %4 \u00B7 min %5 \u00B7 max %6")
        .arg(selected.size())
        .arg(QString::fromLatin1(label), grouped.toString(sum), mean, grouped.toString(low),
             grouped.toString(high))
        .toStdString();
}

TEST_F(SelectionStatisticsTest, FiguresOfTheClickedColumnOverTheSelectedShownRecords) {
    // All selected, then a filter: the figures are the shown records'.
    window->filterBar().edit()->setText(QStringLiteral("P>=300"));
    grid().SelectAll();
    clickColumn(static_cast<int>(Field::SoftAttack));
    grid().SelectAll();
    const std::vector<std::int32_t> shownRecords{4, 5, 6, 7, 8};
    EXPECT_EQ(mdlGeneral::SelectedPositions(), shownRecords);
    EXPECT_EQ(shown(), numbersLine(shownRecords, static_cast<int>(Field::SoftAttack), "SA"));

    // The key moves the column on from the clicked one.
    QTest::keyClick(grid().view(), Qt::Key_Right, Qt::ShiftModifier);
    grid().SelectAll();
    EXPECT_EQ(grid().currentColumn(), static_cast<int>(Field::HardAttack));
    EXPECT_EQ(shown(), numbersLine(shownRecords, static_cast<int>(Field::HardAttack), "HA"));

    // An edit of a selected record shows at once.
    clickColumn(static_cast<int>(Field::PrestigeCost));
    grid().SelectAll();
    mdlGeneral::document().setNumbers(static_cast<int>(Field::PrestigeCost), {{8, 1200}});
    EXPECT_EQ(shown(), numbersLine(shownRecords, static_cast<int>(Field::PrestigeCost), "P"));

    // A coded column counts its words, the most common first.
    window->filterBar().clear();
    clickColumn(static_cast<int>(Field::EqClass));
    grid().SelectAll();
    const QString line = QString::fromStdString(shown());
    EXPECT_TRUE(line.startsWith(QStringLiteral("8 selected \u00B7 CL "))) << line.toStdString();
    const QStringList parts = line.split(QStringLiteral(" \u00B7 "));
    ASSERT_EQ(parts.size(), 4);
    EXPECT_TRUE(parts[1].endsWith(QStringLiteral(" 3")) && parts[2].endsWith(QStringLiteral(" 3")))
        << line.toStdString();
    EXPECT_TRUE(parts[3].endsWith(QStringLiteral(" 2"))) << line.toStdString();

    // Nor has a text column: the count alone would repeat the record counts.
    clickColumn(static_cast<int>(Field::EqName));
    grid().SelectAll();
    ASSERT_EQ(grid().currentColumn(), static_cast<int>(Field::EqName));
    EXPECT_EQ(shown(), "");

    // One record alone has no figures to speak of.
    mdlGeneral::SelectPositions({2}, 2);
    EXPECT_EQ(shown(), "");
}

}  // namespace
