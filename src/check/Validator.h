#pragma once

#include <string>
#include <vector>

#include "check/Problem.h"
#include "model/Equipments.h"

namespace kestrel {

struct SaveResult;

// The check of a list that the editor and kestrel-eqp share: what a save
// would refuse or change and what the game may trip on. Problems come in one
// order: those of the list as a whole first, then record by record, each
// record's in field order with its duplicate code last.

// Appends the problems of the record at position (1-based) that it has on
// its own, without looking at the other records.
void CheckRecord(const Equipment& record, Long position, std::vector<Problem>& out);

// Whether a record's problems can change with field: the fields CheckRecord
// and the duplicate check read, and EqName, which every problem carries. A
// change of any other field (an attack value, say) leaves them as they were.
bool CheckReadsField(int field);

// Appends a problem for each record whose EqCode another record has too,
// naming the first other record with that code; in position order.
void CheckDuplicateCodes(const Equipments& list, std::vector<Problem>& out);

// Every problem of the list.
std::vector<Problem> CheckList(const Equipments& list);

// The errors that stop a save whose encoder gave up at counter: those of
// the record at that position, or, at Count + 1, the list's own.
std::vector<Problem> SaveRefusals(const Equipments& list, Long counter);
// What the user is told of a save of list that failed: the save's message,
// and for a refused record one line for each of its values at fault.
std::string SaveFailureMessage(const Equipments& list, const SaveResult& result);

// One run of a problem list replaced: the problems at [first, first +
// removed) give way to inserted. Records inserted into the list or removed
// from it move the problems after the run: shift is added to their record.
struct ProblemSplice {
    std::size_t first = 0;
    std::size_t removed = 0;
    std::vector<Problem> inserted;
    Long shift = 0;
};

// What brings problems, a CheckList result, up to date after the records at
// positions (in any order) changed in place: their own problems, and the
// duplicate-code problems of the records that share an old or a new EqCode
// of theirs. Runs that stay as they are are left out. The splices come last
// run first, so that each applies to problems as the ones before it left
// them. The work grows with the problems that change and, when a code
// changed, with one pass over the codes of the list; a command that adds,
// removes or moves records calls CheckList instead. permuted: the records
// at positions only changed places among themselves (a move up or down), so
// that the list's codes are the codes they were.
std::vector<ProblemSplice> RecheckSplices(const Equipments& list, std::vector<Long> positions,
                                          const std::vector<Problem>& problems,
                                          bool permuted = false);

// What brings problems, a CheckList result, up to date after count records
// were inserted into the list at position (count > 0) or removed from there
// (count < 0); list is the list after. The first splice takes the records'
// own problems in or out and moves those after them; once it is applied,
// DuplicateSplices of codes settles the duplicates that name other records
// than before. The work grows with the problems after position.
ProblemSplice InsertOrRemoveSplice(const Equipments& list, Long position, Long count,
                                   const std::vector<Problem>& problems, std::vector<Long>& codes);

// What brings the duplicate-code problems of every record with one of codes
// up to date, last record first as RecheckSplices gives them.
std::vector<ProblemSplice> DuplicateSplices(const Equipments& list, std::vector<Long> codes,
                                            const std::vector<Problem>& problems);

// The problems of list after its records were put in another order (the
// record now at position p + 1 was at order[p] + 1), from problems, the
// CheckList result of the list before; equal to CheckList(list). A record's
// own problems only change position, so just the duplicate-code problems,
// which name another record, are made anew: a sort's re-check without
// checking every record again.
std::vector<Problem> PermutedProblems(const Equipments& list,
                                      const std::vector<std::int32_t>& order,
                                      std::vector<Problem> problems);

// Replaces the run splice names and moves the records after it.
void ApplySplice(std::vector<Problem>& problems, ProblemSplice splice);
// Adds shift to the record of every problem from first on.
void ShiftRecords(std::vector<Problem>& problems, std::size_t first, Long shift);

// Both of the above applied.
void RecheckInsertOrRemove(const Equipments& list, Long position, Long count,
                           std::vector<Problem>& problems);

// RecheckSplices applied.
void RecheckRecords(const Equipments& list, std::vector<Long> positions,
                    std::vector<Problem>& problems);
void RecheckRecord(const Equipments& list, Long position, std::vector<Problem>& problems);

}  // namespace kestrel
