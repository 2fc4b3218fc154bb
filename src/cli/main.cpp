// kestrel-eqp: checks, exports and imports equipment file pairs from the
// shell, through the editor's own load, save and clipboard code.

#include <cstdio>
#include <exception>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "storage/ProgramArguments.h"

int main(int argc, char** argv) {
    std::vector<std::string> args = kestrel::ProgramArguments(argc, argv);
    try {
        return kestrel::cli::Run(args, std::cout, std::cerr);
    } catch (const std::exception& e) {
        std::cerr << "kestrel-eqp: " << e.what() << "\n";
    } catch (...) {
        std::cerr << "kestrel-eqp: unexpected failure\n";
    }
    return kestrel::cli::kExitUnreadable;
}
