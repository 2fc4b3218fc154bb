#include "ui/list/FitValuesCommand.h"

#include "ui/document/Document.h"

namespace kestrel::ui {

FitValuesCommand::FitValuesCommand(Document& document, std::vector<RecordFit> fits)
    : ListCommand(document, QStringLiteral("Fit values to the file")), mFits(std::move(fits)) {
    mBefore.reserve(mFits.size());
    for (const RecordFit& fit : mFits)
        mBefore.push_back(*document.equipments().Item(fit.position));
}

void FitValuesCommand::apply() {
    for (const RecordFit& fit : mFits)
        document().replaceRecord(fit.position, fit.fitted);
}

void FitValuesCommand::revert() {
    for (std::size_t k = 0; k < mFits.size(); ++k)
        document().replaceRecord(mFits[k].position, mBefore[k]);
}

}  // namespace kestrel::ui
