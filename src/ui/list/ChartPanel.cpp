#include "ui/list/ChartPanel.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>

#include "model/ChartSvg.h"
#include "model/FieldTable.h"
#include "model/FieldText.h"
#include "ui/document/EditorSession.h"
#include "ui/list/ChartView.h"
#include "ui/platform/CodePageText.h"

namespace kestrel::ui {

namespace {

// A field as the chart's axes title it: "SA (SoftAttack)", or the property
// name alone for the unknown bytes, whose headings all read "U".
QString fieldChoice(int field) {
    const FieldInfo& info = fieldInfo(field);
    if (std::strcmp(info.heading, "U") == 0)
        return QString::fromLatin1(info.name);
    return QStringLiteral("%1 (%2)").arg(QString::fromLatin1(info.heading),
                                         QString::fromLatin1(info.name));
}

QComboBox* fieldBox(QWidget* parent, const char* name, bool none) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    // Sized to the longest field name, the three boxes pushed the list window
    // past a 1600-pixel screen at 200 %; they share the row's width instead.
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(14);
    if (none)
        box->addItem(QStringLiteral("None"), -1);
    for (int field = 0; field < kFieldCount; ++field) {
        if (ChartCanShow(field))
            box->addItem(fieldChoice(field), field);
    }
    return box;
}

// The smallest picture saved: about a page's width of a report.
constexpr QSize kSmallestPicture(640, 400);

}  // namespace

ChartPanel::ChartPanel(QMainWindow& window, EditorSession& session, Grid& grid)
    : QDockWidget(QStringLiteral("Chart"), &window), mSession(session) {
    setObjectName(QStringLiteral("Chart"));
    setAccessibleName(QStringLiteral("Chart"));
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                QDockWidget::DockWidgetFloatable);

    auto* body = new QWidget(this);
    body->setObjectName(QStringLiteral("ChartBody"));
    auto* boxes = new QHBoxLayout;
    boxes->setContentsMargins(0, 0, 0, 0);
    struct Box {
        QComboBox** box;
        const char* name;
        const char* label;
        const char* accessible;
        bool none;
    };
    const Box wanted[] = {{&mXBox, "cmbChartX", "&X:", "X", false},
                          {&mYBox, "cmbChartY", "&Y:", "Y", false},
                          {&mColourBox, "cmbChartColour", "C&olour:", "Colour", true}};
    for (const Box& want : wanted) {
        QComboBox* box = fieldBox(body, want.name, want.none);
        box->setAccessibleName(QString::fromLatin1(want.accessible));
        auto* label = new QLabel(QString::fromLatin1(want.label), body);
        label->setBuddy(box);
        boxes->addWidget(label);
        boxes->addWidget(box, 1);
        boxes->addSpacing(8);
        *want.box = box;
    }
    mSave = new QPushButton(QStringLiteral("Save &picture\u2026"), body);
    mSave->setObjectName(QStringLiteral("cmdSavePicture"));
    boxes->addWidget(mSave);

    mView = new ChartView(session, grid, body);
    mNames = new QLabel(body);
    mNames->setObjectName(QStringLiteral("lblChartNames"));
    mNames->setAccessibleName(QStringLiteral("Records at the point"));
    mNames->setTextFormat(Qt::PlainText);
    // A long list of names is cut rather than widening the dock.
    mNames->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    mNames->setMinimumHeight(fontMetrics().height());

    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(4);
    layout->addLayout(boxes);
    layout->addWidget(mView, 1);
    layout->addWidget(mNames);
    setWidget(body);

    QWidget::setTabOrder(mXBox, mYBox);
    QWidget::setTabOrder(mYBox, mColourBox);
    QWidget::setTabOrder(mColourBox, mSave);
    QWidget::setTabOrder(mSave, mView);

    connect(mView, &ChartView::namesChanged, this, [this](const QString& names) {
        QString line = names;
        line.replace(QLatin1Char('\n'), QStringLiteral("; "));
        mNames->setText(line);
    });
    connect(mView, &ChartView::summaryChanged, this, &QWidget::setAccessibleDescription);
    for (QComboBox* box : {mXBox, mYBox, mColourBox})
        connect(box, &QComboBox::currentIndexChanged, this, &ChartPanel::fieldsChosen);
    connect(mSave, &QPushButton::clicked, this, &ChartPanel::savePicture);

    // What a modder weighs most: attack against the price paid for it.
    chooseFields(static_cast<int>(Field::PrestigeCost), static_cast<int>(Field::SoftAttack), -1);
    fieldsChosen();
    window.addDockWidget(Qt::BottomDockWidgetArea, this);
    hide();
}

ChartPanel::~ChartPanel() = default;

void ChartPanel::chooseFields(int xField, int yField, int colourField) {
    mXBox->setCurrentIndex(std::max(0, mXBox->findData(xField)));
    mYBox->setCurrentIndex(std::max(0, mYBox->findData(yField)));
    mColourBox->setCurrentIndex(std::max(0, mColourBox->findData(colourField)));
}

void ChartPanel::fieldsChosen() {
    mView->setFields(mXBox->currentData().toInt(), mYBox->currentData().toInt(),
                     mColourBox->currentData().toInt());
}

void ChartPanel::toggle() {
    if (isVisible()) {
        hide();
        return;
    }
    show();
    raise();
    mView->setFocus(Qt::OtherFocusReason);
    if (mSized)
        return;
    mSized = true;
    // The first time, a good share of the window, the grid keeping the rest.
    if (auto* window = qobject_cast<QMainWindow*>(parentWidget()))
        window->resizeDocks({this}, {window->height() * 2 / 5}, Qt::Vertical);
}

QSize ChartPanel::pictureSize() const {
    return mView->size().expandedTo(kSmallestPicture);
}

void ChartPanel::savePicture() {
    QString folder = mLastFolder;
    if (folder.isEmpty()) {
        const QString pair = mSession.pairPath();
        folder = pair.isEmpty() ? QDir::currentPath() : QFileInfo(pair).absolutePath();
    }
    const Chart& chart = mView->chart();
    const QString name =
        QStringLiteral("%1 against %2.png")
            .arg(FromCodePage(FieldLabel(chart.y.field)), FromCodePage(FieldLabel(chart.x.field)));
    const std::optional<QString> path =
        mSession.prompts().pictureFileName(this, QDir(folder).filePath(name));
    if (!path)
        return;
    mLastFolder = QFileInfo(*path).absolutePath();
    writePicture(*path);
}

bool ChartPanel::writePicture(const QString& path) {
    const bool svg = path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive);
    const QSize size = pictureSize();
    QSaveFile file(path);
    bool written = file.open(QIODevice::WriteOnly);
    if (written && svg) {
        const std::string text =
            ChartSvg(mView->chart(), mSession.equipments(), size.width(), size.height());
        written = file.write(text.data(), static_cast<qint64>(text.size())) ==
                  static_cast<qint64>(text.size());
    } else if (written) {
        const QImage picture = mView->picture(size, std::max<qreal>(1, devicePixelRatioF()));
        written = picture.save(&file, "PNG");
    }
    written = written && file.commit();
    if (!written) {
        mSession.prompts().message(this,
                                   QStringLiteral("The picture could not be written to "
                                                  "%1: %2")
                                       .arg(QDir::toNativeSeparators(path), file.errorString()));
    }
    return written;
}

ChartPanel* InstallChartPanel(QMainWindow& window, EditorSession& session, Grid& grid) {
    return new ChartPanel(window, session, grid);
}

ChartPanel* FindChartPanel(const QWidget& window) {
    return window.findChild<ChartPanel*>(QStringLiteral("Chart"), Qt::FindDirectChildrenOnly);
}

}  // namespace kestrel::ui
