#include "model/RecordName.h"

#include "text/SpelledOut.h"

namespace kestrel {

std::string RecordName(Long record, Long eqCode, const Text& eqName) {
    return "record " + std::to_string(record) + " (N " + std::to_string(eqCode) + ", \"" +
           SpelledOut(eqName) + "\")";
}

}  // namespace kestrel
