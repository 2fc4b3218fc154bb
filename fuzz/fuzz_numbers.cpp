// Both number readers must accept any bytes without undefined behaviour, and
// agree with each other where their rules coincide.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "text/NumberReaders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    auto whole = kestrel::ReadWholeNumber(text);
    auto leading = kestrel::ReadLeadingNumber(text);
    if (whole && !kestrel::FitsLong(*whole))
        __builtin_trap();
    // A plain run of decimal digits reads the same both ways.
    bool digitsOnly = size > 0 && size < 10;
    for (char c : text)
        digitsOnly = digitsOnly && c >= '0' && c <= '9';
    if (digitsOnly && (!whole || !leading || *whole != *leading))
        __builtin_trap();
    return 0;
}
