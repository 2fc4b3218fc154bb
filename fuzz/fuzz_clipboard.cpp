// Whatever the clipboard holds, decoding must not crash; whatever decodes must
// encode and decode again to the same records.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "storage/ClipboardText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    auto first = kestrel::DecodeClipboardText(text);
    if (!first.ok()) {
        if (!first.records.empty())
            __builtin_trap();
        return 0;
    }
    std::vector<kestrel::EquipmentRef> refs;
    for (const auto& e : first.records)
        refs.push_back(std::make_shared<kestrel::Equipment>(e));
    auto again = kestrel::DecodeClipboardText(kestrel::EncodeClipboardText(refs));
    if (!again.ok() || again.records.size() != first.records.size())
        __builtin_trap();
    for (std::size_t i = 0; i < refs.size(); ++i) {
        // Text lines may lose zero bytes on the way; compare the re-encoded form.
        std::vector<kestrel::EquipmentRef> a{refs[i]};
        std::vector<kestrel::EquipmentRef> b{
            std::make_shared<kestrel::Equipment>(again.records[i])};
        if (kestrel::EncodeClipboardText(a) != kestrel::EncodeClipboardText(b))
            __builtin_trap();
    }
    return 0;
}
