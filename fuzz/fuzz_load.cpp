// Any pair of files must load without crashing; whatever loads cleanly and
// can be saved must load again to the same records.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/Equipments.h"
#include "storage/EquipmentFiles.h"
#include "vocabulary/LookupTables.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static bool ready = (kestrel::InitLookupTables(), true);
    (void)ready;
    if (size < 2)
        return 0;
    // The first two bytes say where the name list ends and the binary file begins.
    std::size_t split = (data[0] | (data[1] << 8)) % (size - 1);
    std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);
    std::string_view names = rest.substr(0, split);
    std::string_view binary = rest.substr(split);

    kestrel::Equipments first;
    if (kestrel::DecodeEquipmentPair(names, binary, first) != 0)
        return 0;

    std::string nameBytes, binaryBytes;
    if (kestrel::EncodeNameList(first, nameBytes) != 0)
        return 0;
    if (kestrel::EncodeBinaryFile(first, binaryBytes) != 0)
        return 0;
    kestrel::Equipments again;
    if (kestrel::DecodeEquipmentPair(nameBytes, binaryBytes, again) != 0)
        __builtin_trap();
    if (again.Count() != first.Count())
        __builtin_trap();
    for (std::int32_t i = 1; i <= first.Count(); ++i) {
        if (*again.Item(i) != *first.Item(i))
            __builtin_trap();
    }
    return 0;
}
