// windows.h first: shellapi.h relies on its types.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>

#include "storage/ProgramArguments.h"

namespace kestrel {

namespace {

std::string utf8(const wchar_t* wide) {
    int size = ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return std::string();
    std::string out(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, out.data(), size, nullptr, nullptr);
    out.pop_back();
    return out;
}

}  // namespace

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    // A clip text's CR LF would otherwise gain a CR on the way out, and lose
    // it on the way in.
    ::_setmode(::_fileno(stdin), _O_BINARY);
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);

    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!wide)
        return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::vector<std::string> args;
    for (int k = 1; k < count; ++k)
        args.push_back(utf8(wide[k]));
    ::LocalFree(wide);
    return args;
}

}  // namespace kestrel
