#include "ui/list/FilterBar.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "model/RecordFilter.h"
#include "text/CodePage.h"
#include "ui/list/RecordFilterProxy.h"
#include "ui/list/RecordRows.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/Grid.h"

namespace kestrel::ui {

namespace {
const char kHelp[] =
    "Keeps the rows that match every term: a word found in any cell (germ, \"Tiger I\"), "
    "or a column with = != < <= > >= ~ (contains) or & (bit set): Co=Germany SA>=10 "
    "Name~tiger US&4. Escape clears it.";

// Escape empties the box, as the box's own undo would not.
class EscapeClears : public QObject {
public:
    EscapeClears(FilterBar* bar) : QObject(bar), mBar(bar) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            mBar->clear();
            return true;
        }
        return false;
    }

private:
    FilterBar* mBar;
};
}  // namespace

FilterBar::FilterBar(RecordFilterProxy& proxy, QWidget* parent) : QWidget(parent), mProxy(proxy) {
    setObjectName(QStringLiteral("FilterBar"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    auto* label = new QLabel(QStringLiteral("&Filter:"), this);
    mEdit = new QLineEdit(this);
    mEdit->setObjectName(QStringLiteral("txtFilter"));
    mEdit->setAccessibleName(QStringLiteral("Filter"));
    mEdit->setPlaceholderText(QStringLiteral("germ   Co=Germany SA>=10   Name~\"Tiger I\""));
    mEdit->setClearButtonEnabled(true);
    mEdit->setToolTip(QString::fromLatin1(kHelp));
    mEdit->installEventFilter(new EscapeClears(this));
    label->setBuddy(mEdit);
    layout->addWidget(label);
    layout->addWidget(mEdit, 1);
    connect(mEdit, &QLineEdit::textChanged, this, &FilterBar::apply);
}

void FilterBar::clear() {
    mEdit->clear();
}

void FilterBar::apply(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    std::optional<std::string> bytes =
        Utf8ToCodePage(std::string_view(utf8.constData(), utf8.size()));
    FilterParse parse;
    if (bytes)
        parse = ParseFilter(*bytes);
    else
        parse.error = "The filter holds a character no record can hold.";
    if (!parse.ok()) {
        mError = QString::fromStdString(CodePageToUtf8(parse.error));
        mEdit->setStyleSheet(QStringLiteral("QLineEdit { border: 2px solid #d00000; }"));
        mEdit->setToolTip(mError);
        return;
    }
    if (!mError.isEmpty()) {
        mError.clear();
        mEdit->setStyleSheet(QString());
        mEdit->setToolTip(QString::fromLatin1(kHelp));
    }
    // The same records stay selected as rows come and go.
    const std::vector<std::int32_t> selected = mdlGeneral::SelectedPositions();
    const std::int32_t current = mdlGeneral::PositionOfRow(mdlGeneral::UnitList().Row());
    mProxy.setFilter(std::move(parse.filter));
    mdlGeneral::SelectPositions(selected, current);
    if (int row = mdlGeneral::RowOfPosition(current))
        mdlGeneral::UnitList().ShowRow(row);
}

}  // namespace kestrel::ui
