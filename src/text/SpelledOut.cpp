#include "text/SpelledOut.h"

namespace kestrel {

std::string SpelledOut(const std::string& text) {
    static const char digits[] = "0123456789ABCDEF";
    std::string shown;
    shown.reserve(text.size());
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            shown.push_back(c);
        } else if (c == '\r') {
            shown += "\\r";
        } else if (c == '\n') {
            shown += "\\n";
        } else if (c == '\t') {
            shown += "\\t";
        } else {
            shown += "\\x";
            shown.push_back(digits[byte >> 4]);
            shown.push_back(digits[byte & 15]);
        }
    }
    return shown;
}

}  // namespace kestrel
