#pragma once

#include <QStringList>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

#include "model/EquipmentMerge.h"
#include "ui/compare/ListFollowingWindow.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableView;

namespace kestrel::ui {

class Document;
class EditorSession;
class MergeModel;

// The merge window: the open list, as the mod being worked on, merged with
// other mods of one base, field by field. It lists the records the mods
// touch with each value's source and the conflicts, takes the user's
// choices, and puts the whole merge into the open list as one command. The
// base and the other mods are held in memory only. The listing follows every
// change of the open list, its undo and redo included; the choices made
// stay as long as the conflict they settle does.
class frmMerge : public ListFollowingWindow {
    Q_OBJECT
public:
    // otherNames[k] names others[k]; notes: what reading the pairs found.
    frmMerge(EditorSession& session, std::unique_ptr<Equipments> base,
             std::vector<std::unique_ptr<Equipments>> others, const QStringList& otherNames,
             const QStringList& notes, QWidget* parent = nullptr);
    ~frmMerge() override;

    MergeModel& model() const { return *mModel; }
    QTableView& table() const { return *mTable; }
    const EquipmentMerge& merge() const { return *mMerge; }

    // Settles the conflict of a cell for source (kFromBase or a mod, 0 this
    // list): what a click on its value does. False when the cell holds no
    // conflict the source takes part in.
    bool choose(int row, int column, int source);
    // The buttons' commands: "Take from" settles the selected rows'
    // conflicts for the source the list beside it names.
    void setTakeSource(int source);
    void cmdTakeFrom_Click();
    void cmdMergeIntoList_Click();

protected:
    void workOut() override;

private:
    // What a choice settles, so that it outlives a merge done again: the
    // conflict's kind, the base record or the added record's code and
    // which of that code it is, and the field.
    using ChoiceKey = std::tuple<int, std::int32_t, Long, int, int>;

    void fitColumns();
    void updateState();
    void offerChoices(const QModelIndex& index);
    ChoiceKey keyOf(std::size_t conflict) const;
    bool settle(std::size_t conflict, int source);

    EditorSession& mSession;
    Document& mDocument;
    std::unique_ptr<Equipments> mBase;
    std::vector<std::unique_ptr<Equipments>> mOthers;
    QStringList mReadNotes;
    // This list's records at the last merge: the merge points into them.
    std::unique_ptr<Equipments> mHere;
    std::unique_ptr<EquipmentMerge> mMerge;
    std::vector<int> mNthOfCode;  // per added entry, which of its code it is
    std::map<ChoiceKey, int> mChoices;
    MergeModel* mModel = nullptr;
    QTableView* mTable = nullptr;
    QComboBox* mMatchBy = nullptr;
    QCheckBox* mShowConflicts = nullptr;
    QCheckBox* mShowOthers = nullptr;
    QComboBox* mTakeSource = nullptr;
    QLabel* mSummary = nullptr;
    QLabel* mNotes = nullptr;
    QPushButton* mTake = nullptr;
    QPushButton* mMergeInto = nullptr;
};

}  // namespace kestrel::ui
