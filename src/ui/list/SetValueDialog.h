#pragma once

#include <QDialog>
#include <cstdint>
#include <memory>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kestrel::ui {

// "Set value": one field of the selected records set at once. As the value
// is typed the dialog says how many records it changes and how many keep
// their value. A value that cannot be read, or that a record's field cannot
// hold, is refused in the dialog with the reason; nothing changes then. The
// last field and change applied are offered again next time.
class SetValueDialog : public QDialog {
    Q_OBJECT
public:
    SetValueDialog(std::vector<std::int32_t> positions, QWidget* parent = nullptr);

    QComboBox* fieldBox() const { return mField; }
    QComboBox* howBox() const { return mHow; }
    QLineEdit* valueBox() const { return mValue; }
    QLabel* messageLabel() const { return mMessage; }
    QPushButton* okButton() const { return mOk; }

    // Reads the value and pushes the change; false, with the reason shown,
    // when it is refused.
    bool tryApply();

private:
    void fieldChanged();
    void refuse(const QString& reason);
    // The counts and the change box's words for what is typed now.
    void describe();
    // The records that would change and their new values, or why not. The
    // counts work it out at every keystroke and OK needs it once more: it is
    // kept until the field, the change, the value or the list changes.
    struct Outcome;
    const Outcome& outcome() const;
    Outcome workOut() const;
    void remember() const;

    std::vector<std::int32_t> mPositions;
    QComboBox* mField = nullptr;
    QComboBox* mHow = nullptr;
    QLineEdit* mValue = nullptr;
    QLabel* mScope = nullptr;
    QLabel* mMessage = nullptr;
    QPushButton* mOk = nullptr;
    mutable std::shared_ptr<Outcome> mOutcome;
    mutable int mOutcomeField = -1;
    mutable int mOutcomeHow = -1;
    mutable QString mOutcomeText;
};

}  // namespace kestrel::ui
