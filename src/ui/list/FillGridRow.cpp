#include <string>

#include "ui/list/frmEqs.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/Grid.h"
#include "vocabulary/LookupTables.h"

namespace mdlGeneral {

using namespace kestrel;

kestrel::ui::Grid& UnitList() {
    return listWindow()->UnitList();
}

void MarkModified() {
    if (listWindow())
        listWindow()->setModified(true);
}

std::string GridRowText(const Equipment& e) {
    const std::string& t = gTab;
    auto n = [](std::int64_t v) { return std::to_string(v); };
    std::string row;
    row.reserve(200);
    row += n(e.EqCode()) + t + e.EqName() + t + WordOf(ClassNames, e.EqClass()) + t;
    row += n(e.SoftAttack()) + t + n(e.HardAttack()) + t + n(e.AirAttack()) + t +
           n(e.NavalAttack()) + t + n(e.GroundDefense()) + t + n(e.AirDefense()) + t +
           n(e.CloseDefense()) + t;
    row += WordOf(TargetTypeNames, e.TargetType()) + t;
    row += n(e.Initiative()) + t + n(e.GunRange()) + t + n(e.SpottingRange()) + t +
           n(e.RangeDefenseModifier()) + t;
    row += WordOf(MoveModeNames, e.MoveMode()) + t;
    row += WordOf(MovementMethodNames, e.MovementMode()) + t;
    row += n(e.Movement()) + t + n(e.Fuel()) + t + n(e.Ammunition()) + t + n(e.Unk0()) + t +
           n(e.PrestigeCost()) + t + n(e.Unk1()) + t + n(e.Unk2()) + t + n(e.Unk3()) + t +
           n(e.Unk4()) + t + n(e.MonthAvail()) + t + n(e.YearAvail()) + t + n(e.YearExpire()) + t;
    row += WordOf(TransportNames, e.NonOrganicTransport()) + t;
    row += WordOf(CountryNames, e.Country()) + t;
    row += n(e.UnitSpecial()) + t + n(e.Unk5()) + t + n(e.Unk6()) + t + n(e.Unk7()) + t;
    row += e.IconName() + t + n(e.AttackSound()) + t + n(e.MoveSound()) + t + n(e.DeathSound()) +
           t + e.LastPart();
    return row;
}

void FillGridRow(const Equipment& equipment, std::optional<int> index) {
    kestrel::ui::Grid& grid = UnitList();
    std::string row = GridRowText(equipment);
    if (index) {
        grid.AddItem(row, *index);
    } else {
        grid.AddItem(row);
    }
}

}  // namespace mdlGeneral
