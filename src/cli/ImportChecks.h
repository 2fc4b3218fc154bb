#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "model/Equipment.h"

namespace kestrel::cli {

// A value of an imported text that the pair cannot hold exactly as given.
struct InexactValue {
    int line = 0;
    std::string what;  // the field and how the file would change it
};

// Every value of records the save would change: an icon longer than 6
// bytes, a LastPart longer than 22, a cost that is not a multiple of 12,
// and the numbers in rounded (record, field) that were given with a
// fraction. lineOf gives the text's line of a record's field.
std::vector<InexactValue> InexactValues(const std::vector<Equipment>& records,
                                        const std::vector<std::pair<std::size_t, int>>& rounded,
                                        const std::function<int(std::size_t, int)>& lineOf);

}  // namespace kestrel::cli
