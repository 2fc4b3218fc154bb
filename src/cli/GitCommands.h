#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kestrel::cli {

extern const char kGitHelp[];

// kestrel-eqp git-textconv FILE and git-merge BASE OURS THEIRS PATH, which
// git runs for a pair kept in a repository. A wrong command line throws
// std::invalid_argument with the reason.
int RunGit(const std::string& command, const std::vector<std::string>& args, std::ostream& out,
           std::ostream& err);

}  // namespace kestrel::cli
