#pragma once

#include <string_view>

namespace kestrel {

// Whether code-page text is really UTF-8 that was read as the code page: its
// bytes above 0x7F, all of them, form whole UTF-8 sequences, as "Ã©" (C3 A9)
// does for "é". Text a spreadsheet opened with the wrong encoding and saved
// again reads like that; a real name almost never does, since it would need
// a capital or accented letter followed at once by a symbol such as "©".
bool LooksLikeMisreadUtf8(std::string_view codePageBytes);

}  // namespace kestrel
