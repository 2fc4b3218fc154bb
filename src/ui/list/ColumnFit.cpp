#include "ui/list/ColumnFit.h"

#include <QAbstractProxyModel>
#include <QHeaderView>
#include <QSettings>
#include <QStyle>
#include <QTableView>
#include <algorithm>
#include <cmath>

#include "model/FieldTable.h"
#include "model/WidestTexts.h"
#include "ui/document/Document.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/CodePageText.h"
#include "ui/platform/Grid.h"
#include "ui/platform/Twips.h"

namespace kestrel::ui {

namespace {
const char kWidthsKey[] = "list/columnWidths";
// Widths summed per character miss kerning; a few of the widest are
// measured, not just one.
constexpr std::size_t kMeasured = 6;
constexpr std::size_t kMeasuredKept = 4096;
// The delegate's margin on both sides, and the grid line.
constexpr int kCellSpace = 2 * 3 + 1;

int pixelsToTwipsUp(int pixels) {
    return static_cast<int>(std::ceil(pixels * 1440.0 / logicalDpiX()));
}
}  // namespace

ColumnFit::ColumnFit(Grid& grid) : QObject(&grid), mGrid(grid) {
    setObjectName(QStringLiteral("ColumnFit"));
    mRemembered.assign(kFieldCount, 0);
    mUserSet.assign(kFieldCount, false);
    const QVariantList saved = QSettings().value(QLatin1String(kWidthsKey)).toList();
    for (int c = 0; c < kFieldCount && c < saved.size(); ++c)
        mRemembered[static_cast<std::size_t>(c)] = std::max(0, saved[c].toInt());
    connect(&grid, &Grid::UserColWidth, this, &ColumnFit::userResized);
    const QFontMetrics metrics = grid.view()->fontMetrics();
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        mByteWidths[static_cast<std::size_t>(b)] = static_cast<std::uint16_t>(
            std::max(0, metrics.horizontalAdvance(FromCodePage(std::string_view(&byte, 1)))));
    }
}

int ColumnFit::cellWidth(const QString& text) const {
    return mGrid.view()->fontMetrics().horizontalAdvance(text) + kCellSpace;
}

int ColumnFit::headingWidth(const QString& text) const {
    const QHeaderView* header = mGrid.view()->horizontalHeader();
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    // A heading is drawn in the header's font, which the style may make bold.
    QFont font = header->font();
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(text) + 2 * margin + kCellSpace;
}

std::vector<int> ColumnFit::neededPixels(int first, int last) const {
    const Equipments& equipments = mdlGeneral::document().equipments();
    const std::vector<std::vector<std::string>> widest =
        LongestFieldTexts(equipments, first, last, kMeasured, &mByteWidths);
    std::vector<int> pixels(widest.size(), 0);
    for (std::size_t c = 0; c < widest.size(); ++c)
        pixels[c] = neededPixels(widest[c]);
    return pixels;
}

int ColumnFit::neededPixels(const std::vector<std::string>& widest) const {
    const QFont& font = mGrid.view()->font();
    // Bounded: a list of unlike texts is measured again rather than held.
    if (font != mMeasuredFont || mMeasured.size() > kMeasuredKept) {
        mMeasured.clear();
        mMeasuredFont = font;
    }
    int pixels = 0;
    for (const std::string& text : widest) {
        auto at = mMeasured.find(text);
        if (at == mMeasured.end())
            at = mMeasured.emplace(text, cellWidth(FromCodePage(text))).first;
        pixels = std::max(pixels, at->second);
    }
    return pixels;
}

void ColumnFit::setPixels(int col, int pixels) {
    mFitting = true;
    mGrid.setColWidth(col, pixelsToTwipsUp(pixels));
    mFitting = false;
}

void ColumnFit::fitAll() {
    const int count = mdlGeneral::document().equipments().Count();
    std::fill(mUserSet.begin(), mUserSet.end(), false);
    const std::vector<int> needed = neededPixels(1, count);
    for (int c = 0; c < kFieldCount && c < mGrid.Cols(); ++c) {
        int pixels = std::max({TwipsToPixelsX(fieldInfo(c).widthTwips),
                               headingWidth(QString::fromLatin1(fieldInfo(c).heading)),
                               needed[static_cast<std::size_t>(c)]});
        const int remembered = mRemembered[static_cast<std::size_t>(c)];
        if (remembered > 0)
            pixels = std::max(pixels, TwipsToPixelsX(remembered));
        if (mGrid.view()->columnWidth(c) != pixels)
            setPixels(c, pixels);
    }
}

void ColumnFit::widenFor(int first, int last, int field) {
    if (field >= 0 && field < kFieldCount && field < mGrid.Cols()) {
        if (mUserSet[static_cast<std::size_t>(field)])
            return;
        const int pixels = neededPixels(LongestFieldTexts(
            mdlGeneral::document().equipments(), field, first, last, kMeasured, &mByteWidths));
        if (pixels > mGrid.view()->columnWidth(field))
            setPixels(field, pixels);
        return;
    }
    const std::vector<int> needed = neededPixels(first, last);
    for (int c = 0; c < kFieldCount && c < mGrid.Cols(); ++c) {
        if (mUserSet[static_cast<std::size_t>(c)])
            continue;
        const int pixels = needed[static_cast<std::size_t>(c)];
        if (pixels > mGrid.view()->columnWidth(c))
            setPixels(c, pixels);
    }
}

void ColumnFit::userResized(int col) {
    if (mFitting || col < 0 || col >= kFieldCount)
        return;
    mUserSet[static_cast<std::size_t>(col)] = true;
    mRemembered[static_cast<std::size_t>(col)] = mGrid.ColWidth(col);
    QVariantList saved;
    for (int twips : mRemembered)
        saved << twips;
    QSettings().setValue(QLatin1String(kWidthsKey), saved);
}

void ColumnFit::forgetUserWidths() {
    mRemembered.assign(kFieldCount, 0);
    mUserSet.assign(kFieldCount, false);
    QSettings().remove(QLatin1String(kWidthsKey));
    for (int c = 0; c < kFieldCount && c < mGrid.Cols(); ++c)
        mGrid.setColWidth(c, fieldInfo(c).widthTwips);
    fitAll();
}

ColumnFit* InstallColumnFit(Grid& grid) {
    auto* fit = new ColumnFit(grid);
    // The widths serve the whole list, whatever a filter shows of it: rows
    // are followed as the list numbers them, not as the filtered grid does.
    QAbstractItemModel* model = grid.model();
    if (auto* proxy = qobject_cast<QAbstractProxyModel*>(model))
        model = proxy->sourceModel();
    QObject::connect(model, &QAbstractItemModel::modelReset, fit, &ColumnFit::fitAll);
    QObject::connect(
        model, &QAbstractItemModel::rowsInserted, fit,
        [fit](const QModelIndex&, int first, int last) { fit->widenFor(first + 1, last + 1); });
    QObject::connect(model, &QAbstractItemModel::dataChanged, fit,
                     [fit](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                         fit->widenFor(
                             topLeft.row() + 1, bottomRight.row() + 1,
                             topLeft.column() == bottomRight.column() ? topLeft.column() : -1);
                     });
    fit->fitAll();
    return fit;
}

}  // namespace kestrel::ui
