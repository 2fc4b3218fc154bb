#include "text/Mojibake.h"

namespace kestrel {

bool LooksLikeMisreadUtf8(std::string_view bytes) {
    bool sequence = false;
    std::size_t i = 0;
    while (i < bytes.size()) {
        auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                             : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                            : 0;
        if (length == 0 || i + length > bytes.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            auto next = static_cast<unsigned char>(bytes[i + k]);
            if (next < 0x80 || next > 0xBF)
                return false;
        }
        // Overlong forms and surrogates are not UTF-8 any encoder writes.
        auto second = static_cast<unsigned char>(bytes[i + 1]);
        if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
            (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F))
            return false;
        sequence = true;
        i += length;
    }
    return sequence;
}

}  // namespace kestrel
