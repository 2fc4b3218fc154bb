// kestrel-eqp: checks, exports and imports equipment file pairs from the
// shell, through the editor's own load, save and clipboard code.

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "storage/ProgramArguments.h"

#if defined(__GLIBC__) && defined(__linux__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#endif

namespace {

// A run reads a few pairs, holds each as records and writes one: tens of MB
// touched once, in a program that lives a fraction of a second. Taking that
// memory from the system a page of 4 kB at a time is most of what a run
// costs (a fault per page); in large pages it is a few hundred faults.
// Buffers as large as a pair come from the heap, and what is freed stays in
// it for the next pair instead of going back and being faulted in again.
void KeepTheHeapInLargePages() {
#if defined(__GLIBC__) && defined(__linux__)
    constexpr std::size_t kLargePage = std::size_t(2) << 20;
    constexpr std::size_t kGrowth = std::size_t(64) << 20;
    mallopt(M_MMAP_THRESHOLD, 32 << 20);  // glibc's largest
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    mallopt(M_TOP_PAD, static_cast<int>(kGrowth));
    const auto before = reinterpret_cast<std::uintptr_t>(::sbrk(0));
    // An allocation larger than what the heap holds grows it by the pad;
    // only the pages used are ever taken from the system.
    void* volatile first = std::malloc(std::size_t(1) << 20);
    const auto after = reinterpret_cast<std::uintptr_t>(::sbrk(0));
    std::free(first);
    const std::uintptr_t start = (before + kLargePage - 1) & ~(kLargePage - 1);
    const std::uintptr_t end = after & ~(kLargePage - 1);
    // Advice only: where large pages are off or refused, nothing changes.
    if (end > start)
        ::madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
#endif
}

}  // namespace

int main(int argc, char** argv) {
    KeepTheHeapInLargePages();
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
