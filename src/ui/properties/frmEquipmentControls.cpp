#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QShortcut>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <limits>

#include "ui/platform/PropertyPictures.h"
#include "ui/platform/Twips.h"
#include "ui/properties/frmEquipment.h"

namespace kestrel::ui {

namespace {

QRect twipsRect(int left, int top, int width, int height) {
    return QRect(TwipsToPixelsX(left), TwipsToPixelsY(top), TwipsToPixelsX(width),
                 TwipsToPixelsY(height));
}

QLineEdit* makeBox(QWidget* parent, const char* name, const QString& accessible, QRect rect) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setAccessibleName(accessible);
    box->setGeometry(rect);
    return box;
}

QLabel* makeLabel(QWidget* parent, const QString& text, QRect rect) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(rect);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

}  // namespace

// The window's controls in their fixed places, their names, tab order and
// the buttons' and keys' handlers.
void frmEquipment::createControls() {
    setObjectName(QStringLiteral("frmEquipment"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Equipment Properties"));
    // The controls keep their measured places on a form of fixed size; the
    // window shows as much of it as the screen has room for and scrolls the
    // rest, so that a large scale or a small screen leaves every control
    // within reach.
    auto* scroller = new QScrollArea(this);
    scroller->setObjectName(QStringLiteral("FormScroller"));
    scroller->setFrameShape(QFrame::NoFrame);
    // Tab goes from control to control, never to the scroller itself.
    scroller->setFocusPolicy(Qt::NoFocus);
    auto* form = new QWidget;
    form->setObjectName(QStringLiteral("Form"));
    form->setFixedSize(TwipsToPixelsX(8355), TwipsToPixelsY(7575));
    scroller->setWidget(form);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroller);
    // No larger than the form with a scroll bar beside it; as small as the
    // user likes, the scroll bars taking over.
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    setMaximumSize(form->size() + QSize(extent, extent));
    setMinimumSize(TwipsToPixelsX(2400), TwipsToPixelsY(1500));
    resize(form->size());
    // The layout is measured for 8-point type; larger desktop fonts would clip
    // the captions in their fixed places.
    QFont small = font();
    small.setPointSize(8);
    setFont(small);

    struct FrameSpec {
        int left, top, width, height;
    };
    const FrameSpec frameSpecs[9] = {{0, 0, 0, 0},           {5885, 2040, 2450, 3105},
                                     {30, 2715, 5800, 2400}, {5880, 435, 2450, 1605},
                                     {30, 1380, 5800, 1320}, {30, 435, 5800, 975},
                                     {30, 5130, 8300, 1860}, {30, -60, 8300, 555},
                                     {30, 7005, 8280, 555}};
    for (int i = 1; i <= 8; ++i) {
        frames[i] = new QGroupBox(form);
        frames[i]->setObjectName(QStringLiteral("Frame%1").arg(i));
        const FrameSpec& f = frameSpecs[i];
        frames[i]->setGeometry(twipsRect(f.left, f.top, f.width, f.height));
    }
    frames[6]->setTitle(QStringLiteral(" Unit Special "));

    // Button bar.
    QWidget* bar = frames[7];
    auto pictureButton = [&](const char* name, PropertyPicture picture, QSize size, int left,
                             const QString& tip) {
        auto* button = new QToolButton(bar);
        button->setObjectName(QLatin1String(name));
        button->setIcon(PropertyIcon(picture, size));
        button->setIconSize(size);
        button->setGeometry(
            QRect(QPoint(TwipsToPixelsX(left), TwipsToPixelsY(150)), size + QSize(4, 4)));
        button->setToolTip(tip);
        button->setAccessibleName(tip);
        return button;
    };
    cmdNew = pictureButton("cmdNew", PropertyPicture::New, QSize(23, 22), 60,
                           QStringLiteral("New equipment"));
    cmdUpdate = pictureButton("cmdUpdate", PropertyPicture::Update, QSize(23, 22), 480,
                              QStringLiteral("Update equipment"));
    txtEqCode = makeBox(bar, "txtEqCode", QStringLiteral("Equipment number"),
                        twipsRect(930, 170, 700, 360));
    QFont bold = txtEqCode->font();
    bold.setBold(true);
    txtEqCode->setFont(bold);
    txtName = makeBox(bar, "txtName", QStringLiteral("Name"), twipsRect(1700, 150, 3950, 400));
    QFont serif(QStringLiteral("Serif"), 12);
    serif.setStyleHint(QFont::Serif);
    serif.setBold(true);
    txtName->setFont(serif);
    QPalette navy = txtName->palette();
    navy.setColor(QPalette::Text, QColor(0, 0, 128));
    txtName->setPalette(navy);
    txtName->setText(QStringLiteral("XX"));
    // A record's name is as long as the file makes it; the box must not cut it.
    txtName->setMaxLength(std::numeric_limits<int>::max());
    cmdFirst = pictureButton("cmdFirst", PropertyPicture::First, QSize(20, 21), 5730,
                             QStringLiteral("First record"));
    cmdPrevious = pictureButton("cmdPrevious", PropertyPicture::Previous, QSize(20, 21), 6120,
                                QStringLiteral("Previous record"));
    txtRowMeter =
        makeBox(bar, "txtRowMeter", QStringLiteral("Record"), twipsRect(6510, 170, 960, 360));
    txtRowMeter->setReadOnly(true);
    txtRowMeter->setAlignment(Qt::AlignCenter);
    txtRowMeter->setFocusPolicy(Qt::NoFocus);
    txtRowMeter->setText(QStringLiteral("4 / 999"));
    // The meter holds the largest counts in full; the room comes from the
    // name box, and the two buttons before the meter move along.
    const int meterNeeds =
        txtRowMeter->fontMetrics().horizontalAdvance(QStringLiteral("32767 / 32767")) +
        2 * txtRowMeter->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 2 * 2 + 4;
    if (const int extra = meterNeeds - txtRowMeter->width(); extra > 0) {
        txtName->resize(txtName->width() - extra, txtName->height());
        for (QWidget* w : {static_cast<QWidget*>(cmdFirst), static_cast<QWidget*>(cmdPrevious)})
            w->move(w->x() - extra, w->y());
        txtRowMeter->setGeometry(txtRowMeter->geometry().adjusted(-extra, 0, 0, 0));
    }
    cmdNext = pictureButton("cmdNext", PropertyPicture::Next, QSize(20, 21), 7510,
                            QStringLiteral("Next record"));
    cmdLast = pictureButton("cmdLast", PropertyPicture::Last, QSize(20, 21), 7900,
                            QStringLiteral("Last record"));

    auto makeCombo = [](QWidget* parent, const char* name, const QString& accessible, QRect rect) {
        auto* combo = new QComboBox(parent);
        combo->setObjectName(QLatin1String(name));
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setAccessibleName(accessible);
        combo->setGeometry(rect);
        // A choice from the list is an edit like typing, kept when the
        // record is shown again.
        QObject::connect(combo, &QComboBox::activated, combo,
                         [combo] { combo->lineEdit()->setModified(true); });
        return combo;
    };

    // Frame5: icon, class, target type, country.
    QWidget* f5 = frames[5];
    makeLabel(f5, QStringLiteral("Icon:"), twipsRect(120, 180, 560, 330));
    txtIcon = makeBox(f5, "txtIcon", QStringLiteral("Icon"), twipsRect(700, 180, 1150, 330));
    makeLabel(f5, QStringLiteral("Class:"), twipsRect(2000, 180, 620, 330));
    cmbClass = makeCombo(f5, "cmbClass", QStringLiteral("Class"), twipsRect(2650, 180, 3030, 330));
    makeLabel(f5, QStringLiteral("Target Type:"), twipsRect(120, 570, 1150, 330));
    cmbTT = makeCombo(f5, "cmbTT", QStringLiteral("Target Type"), twipsRect(1280, 570, 1550, 330));
    makeLabel(f5, QStringLiteral("Country:"), twipsRect(2950, 570, 800, 330));
    cmbCountry =
        makeCombo(f5, "cmbCountry", QStringLiteral("Country"), twipsRect(3750, 570, 1930, 330));

    // Frame4: movement.
    QWidget* f4 = frames[4];
    makeLabel(f4, QStringLiteral("Movement Method:"), twipsRect(120, 190, 2100, 330));
    cmbMoveMethod = makeCombo(f4, "cmbMoveMethod", QStringLiteral("Movement Method"),
                              twipsRect(2250, 190, 3430, 330));
    makeLabel(f4, QStringLiteral("Move Mode:"), twipsRect(120, 570, 2100, 330));
    cmbMoveMode =
        makeCombo(f4, "cmbMoveMode", QStringLiteral("Move Mode"), twipsRect(2250, 570, 3430, 330));
    makeLabel(f4, QStringLiteral("Non-Organic Transport:"), twipsRect(120, 950, 2100, 330));
    cmbNOT = makeCombo(f4, "cmbNOT", QStringLiteral("Non-Organic Transport"),
                       twipsRect(2250, 950, 3430, 330));

    // Frame3: dates.
    QWidget* f3 = frames[3];
    struct DateSpec {
        const char *label, *accessible, *box, *spinner;
    };
    const DateSpec dates[3] = {{"Month Available:", "Month Available", "txtMA", "UpDown16"},
                               {"Year Available:", "Year Available", "txtYA", "UpDown17"},
                               {"Year Expire:", "Year Expire", "txtYE", "UpDown18"}};
    QLineEdit* dateBoxes[3];
    UpDown* dateSpinners[3];
    for (int i = 0; i < 3; ++i) {
        const int top = 220 + i * 450;
        makeLabel(f3, QLatin1String(dates[i].label), twipsRect(90, top, 1450, 330));
        dateBoxes[i] = makeBox(f3, dates[i].box, QLatin1String(dates[i].accessible),
                               twipsRect(1550, top, 560, 330));
        dateSpinners[i] = new UpDown(dateBoxes[i], 0, 10, 1, f3);
        dateSpinners[i]->setObjectName(QLatin1String(dates[i].spinner));
        dateSpinners[i]->setAccessibleName(QLatin1String(dates[i].accessible));
        dateSpinners[i]->setGeometry(twipsRect(2120, top, 240, 330));
    }
    txtMA = dateBoxes[0], txtYA = dateBoxes[1], txtYE = dateBoxes[2];
    UpDown16 = dateSpinners[0], UpDown17 = dateSpinners[1], UpDown18 = dateSpinners[2];

    // Frame2: the fifteen values, four rows.
    QWidget* f2 = frames[2];
    struct ValueSpec {
        int row, column;
        const char *tip, *accessible, *box, *mark;
        int max, step;
        QColor tint;
    };
    const ValueSpec values[15] = {
        {0, 0, "Prestige Cost", "Prestige Cost", "txtPC", "$", 65520, 12, QColor(176, 132, 20)},
        {0, 1, "", "Fuel", "txtF", "F", 255, 1, QColor(90, 90, 90)},
        {0, 2, "Ammo", "Ammo", "txtA", "A", 255, 1, QColor(120, 80, 40)},
        {1, 0, "Movement", "Movement", "txtM", "M", 255, 1, QColor(40, 120, 60)},
        {1, 1, "Range", "Range", "txtGR", "R", 255, 1, QColor(40, 100, 150)},
        {1, 2, "Initiative", "Initiative", "txtI", "I", 255, 1, QColor(130, 60, 150)},
        {1, 3, "Spotting", "Spotting", "txtSR", "S", 255, 1, QColor(30, 130, 140)},
        {2, 0, "Soft Attack", "Soft Attack", "txtSA", "SA", 255, 1, QColor(180, 50, 50)},
        {2, 1, "Hard Attack", "Hard Attack", "txtHA", "HA", 255, 1, QColor(150, 30, 30)},
        {2, 2, "Air Attack", "Air Attack", "txtAA", "AA", 255, 1, QColor(60, 90, 190)},
        {2, 3, "Naval Attack", "Naval Attack", "txtNA", "NA", 255, 1, QColor(20, 60, 130)},
        {3, 0, "Ground Defense", "Ground Defense", "txtGD", "GD", 255, 1, QColor(80, 110, 40)},
        {3, 1, "Air Defense", "Air Defense", "txtAD", "AD", 255, 1, QColor(70, 120, 200)},
        {3, 2, "Close Defense", "Close Defense", "txtCD", "CD", 255, 1, QColor(110, 80, 60)},
        {3, 3, "Range Defense Modifier", "Range Defense Modifier", "txtRDM", "RDM", 255, 1,
         QColor(100, 100, 140)},
    };
    QLineEdit* valueBoxes[15];
    for (int i = 0; i < 15; ++i) {
        const ValueSpec& v = values[i];
        const int left = 90 + v.column * 1420, top = 150 + v.row * 560;
        auto* icon = new QLabel(f2);
        icon->setGeometry(twipsRect(left, top, 450, 450));
        icon->setPixmap(ValueBadge(QLatin1String(v.mark), v.tint, icon->width()));
        icon->setScaledContents(true);
        icon->setToolTip(QLatin1String(v.tip));
        valueBoxes[i] = makeBox(f2, v.box, QLatin1String(v.accessible),
                                twipsRect(left + 470, top + 60, 680, 330));
        valueSpinners[i] = new UpDown(valueBoxes[i], 0, v.max, v.step, f2);
        valueSpinners[i]->setObjectName(QStringLiteral("UD") + QLatin1String(v.box));
        valueSpinners[i]->setAccessibleName(QLatin1String(v.accessible));
        valueSpinners[i]->setGeometry(twipsRect(left + 1160, top + 60, 230, 330));
    }
    txtPC = valueBoxes[0], txtF = valueBoxes[1], txtA = valueBoxes[2], txtM = valueBoxes[3];
    txtGR = valueBoxes[4], txtI = valueBoxes[5], txtSR = valueBoxes[6], txtSA = valueBoxes[7];
    txtHA = valueBoxes[8], txtAA = valueBoxes[9], txtNA = valueBoxes[10], txtGD = valueBoxes[11];
    txtAD = valueBoxes[12], txtCD = valueBoxes[13], txtRDM = valueBoxes[14];

    // Frame1: the unknown bytes.
    for (int i = 0; i < 8; ++i) {
        const int top = 170 + i * 360;
        makeLabel(frames[1], QStringLiteral("Unknown%1:").arg(i), twipsRect(120, top, 1100, 315));
        txtUnk[i] = makeBox(frames[1], QStringLiteral("txtUnk%1").arg(i).toLatin1().constData(),
                            QStringLiteral("Unknown%1").arg(i), twipsRect(1250, top, 1050, 315));
    }

    // Frame6: unit special.
    txtUS =
        makeBox(frames[6], "txtUS", QStringLiteral("Unit Special"), twipsRect(120, 330, 900, 330));
    struct CheckSpec {
        const char* caption;
        int column, place;
    };
    const CheckSpec checks[17] = {{"", 0, 0},
                                  {"Special 1 (?)", 1, 2},
                                  {"Special 2 (?)", 1, 3},
                                  {"Ignore Entrencements", 0, 0},
                                  {"Bridging", 0, 1},
                                  {"Cannot directly soft attack", 0, 2},
                                  {"Cannot directly hard attack", 0, 3},
                                  {"Cannot directly air attack", 0, 4},
                                  {"Can not be purchased", 0, 5},
                                  {"Special 9 (?) (naval + bunkers)", 1, 1},
                                  {"Treat all ground as clear terrain", 1, 0},
                                  {"Special 11 (?)", 2, 0},
                                  {"Special 12 (?)", 2, 1},
                                  {"Special 13 (?)", 2, 2},
                                  {"Special 14 (?)", 2, 3},
                                  {"Special 15 (?)", 2, 4},
                                  {"Special 16 (?)", 2, 5}};
    const int columnLeft[3] = {1060, 3700, 6700}, columnWidth[3] = {2620, 2950, 1560};
    for (int i = 1; i <= 16; ++i) {
        auto* box = new QCheckBox(QLatin1String(checks[i].caption), frames[6]);
        box->setObjectName(QStringLiteral("chkUS%1").arg(i));
        box->setAccessibleName(box->text());
        box->setGeometry(twipsRect(columnLeft[checks[i].column], 250 + checks[i].place * 260,
                                   columnWidth[checks[i].column], 255));
        chkUS[i] = box;
        connect(box, &QCheckBox::toggled, this, [this, i] { chkUS_Click(i); });
    }
    connect(txtUS, &QLineEdit::textChanged, this, [this] { txtUS_Change(); });

    // Frame8: sounds.
    QWidget* f8 = frames[8];
    makeLabel(f8, QStringLiteral("Attack Sound:"), twipsRect(120, 170, 1250, 330));
    txtAttackSound = makeBox(f8, "txtAttackSound", QStringLiteral("Attack Sound"),
                             twipsRect(1400, 170, 1200, 330));
    makeLabel(f8, QStringLiteral("Move Sound:"), twipsRect(2750, 170, 1150, 330));
    txtMoveSound =
        makeBox(f8, "txtMoveSound", QStringLiteral("Move Sound"), twipsRect(3950, 170, 1200, 330));
    makeLabel(f8, QStringLiteral("Death Sound:"), twipsRect(5300, 170, 1200, 330));
    txtDeathSound = makeBox(f8, "txtDeathSound", QStringLiteral("Death Sound"),
                            twipsRect(6550, 170, 1200, 330));

    // Tab order: the combo boxes first, then the rest top to bottom.
    QList<QWidget*> order = {cmbClass, cmbTT,       cmbCountry, cmbMoveMethod, cmbMoveMode,
                             cmbNOT,   cmdNew,      cmdUpdate,  txtEqCode,     txtName,
                             cmdFirst, cmdPrevious, cmdNext,    cmdLast,       txtIcon,
                             txtMA,    txtYA,       txtYE};
    for (QLineEdit* box : valueBoxes)
        order.append(box);
    for (QLineEdit* box : txtUnk)
        order.append(box);
    order.append(txtUS);
    for (int i = 1; i <= 16; ++i)
        order.append(chkUS[i]);
    order << txtAttackSound << txtMoveSound << txtDeathSound;
    for (int i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);

    connect(cmdNew, &QToolButton::clicked, this, &frmEquipment::cmdNew_Click);
    connect(cmdUpdate, &QToolButton::clicked, this, &frmEquipment::cmdUpdate_Click);
    connect(cmdFirst, &QToolButton::clicked, this, &frmEquipment::cmdFirst_Click);
    connect(cmdPrevious, &QToolButton::clicked, this, &frmEquipment::cmdPrevious_Click);
    connect(cmdNext, &QToolButton::clicked, this, &frmEquipment::cmdNext_Click);
    connect(cmdLast, &QToolButton::clicked, this, &frmEquipment::cmdLast_Click);

    auto shortcut = [this](QKeySequence keys, void (frmEquipment::*handler)()) {
        auto* s = new QShortcut(keys, this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, handler);
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Return), &frmEquipment::cmdUpdate_Click);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Enter), &frmEquipment::cmdUpdate_Click);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_N), &frmEquipment::cmdNew_Click);
    shortcut(QKeySequence(Qt::ALT | Qt::Key_Home), &frmEquipment::cmdFirst_Click);
    shortcut(QKeySequence(Qt::ALT | Qt::Key_Left), &frmEquipment::cmdPrevious_Click);
    shortcut(QKeySequence(Qt::ALT | Qt::Key_Right), &frmEquipment::cmdNext_Click);
    shortcut(QKeySequence(Qt::ALT | Qt::Key_End), &frmEquipment::cmdLast_Click);
}

}  // namespace kestrel::ui
