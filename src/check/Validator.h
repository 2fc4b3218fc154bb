#pragma once

#include <vector>

#include "check/Problem.h"
#include "model/Equipments.h"

namespace kestrel {

// The check of a list that the editor and kestrel-eqp share: what a save
// would refuse or change and what the game may trip on. Problems come in one
// order: those of the list as a whole first, then record by record, each
// record's in field order with its duplicate code last.

// Appends the problems of the record at position (1-based) that it has on
// its own, without looking at the other records.
void CheckRecord(const Equipment& record, Long position, std::vector<Problem>& out);

// Appends a problem for each record whose EqCode another record has too,
// naming the first other record with that code; in position order.
void CheckDuplicateCodes(const Equipments& list, std::vector<Problem>& out);

// Every problem of the list.
std::vector<Problem> CheckList(const Equipments& list);

// The errors that stop a save whose encoder gave up at counter: those of
// the record at that position, or, at Count + 1, the list's own.
std::vector<Problem> SaveRefusals(const Equipments& list, Long counter);

// Brings problems, a CheckList result, up to date after the record at
// position changed in place: its own problems are checked again and the
// duplicate codes of the whole list are found again, as its EqCode may have
// joined or left a group. Cheaper than CheckList on a large list; a command
// that adds, removes or moves records calls CheckList instead.
void RecheckRecord(const Equipments& list, Long position, std::vector<Problem>& problems);

}  // namespace kestrel
