#include "cli/CheckCommand.h"

#include <stdexcept>

#include "cli/Commands.h"
#include "cli/Shown.h"
#include "text/CodePage.h"

namespace kestrel::cli {

namespace {

std::string csvField(const std::string& utf8) {
    if (utf8.find_first_of(",\"\r\n") == std::string::npos)
        return utf8;
    std::string quoted = "\"";
    for (char c : utf8) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

void printCsv(const std::vector<const Problem*>& problems, std::ostream& out) {
    out << "severity,record,EqCode,EqName,field,message\r\n";
    for (const Problem* p : problems) {
        out << SeverityName(p->severity) << ',';
        if (p->record != 0)
            out << p->record << ',' << p->eqCode << ',' << csvField(CodePageToUtf8(p->eqName));
        else
            out << ",,";
        out << ',' << (p->field >= 0 ? fieldName(p->field) : "") << ','
            << csvField(CodePageToUtf8(p->message)) << "\r\n";
    }
}

std::string counted(std::size_t n, const char* what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

}  // namespace

CheckOptions ParseCheckOptions(const std::vector<std::string>& args) {
    CheckOptions options;
    std::string format = "text";
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--format" || a == "-f") {
            if (i + 1 >= args.size())
                throw std::invalid_argument(a + " needs text or csv");
            format = args[++i];
        } else if (a.rfind("--format=", 0) == 0) {
            format = a.substr(9);
        } else if (a == "--where") {
            if (i + 1 >= args.size())
                throw std::invalid_argument(a + " needs TERMS");
            options.where = args[++i];
        } else if (a.rfind("--where=", 0) == 0) {
            options.where = a.substr(8);
        } else if (a == "--errors-only") {
            options.errorsOnly = true;
        } else if (a.size() > 1 && a[0] == '-') {
            throw std::invalid_argument("unknown option " + a);
        } else {
            paths.push_back(a);
        }
    }
    if (format != "text" && format != "csv")
        throw std::invalid_argument("unknown format \"" + format + "\" (text or csv)");
    if (paths.size() != 1)
        throw std::invalid_argument("check takes one PATH");
    options.csv = format == "csv";
    options.path = paths[0];
    return options;
}

int PrintProblems(const std::vector<Problem>& problems, const CheckOptions& options,
                  std::ostream& out, std::ostream& err) {
    std::vector<const Problem*> shown;
    for (const Problem& p : problems) {
        if (!options.errorsOnly || p.severity == Severity::Error)
            shown.push_back(&p);
    }
    if (options.csv) {
        printCsv(shown, out);
    } else {
        for (const Problem* p : shown)
            out << CodePageToUtf8(Shown(FormatProblem(*p))) << "\n";
    }
    const std::size_t errors = CountOf(problems, Severity::Error);
    err << "kestrel-eqp: " << counted(errors, "error");
    if (!options.errorsOnly)
        err << ", " << counted(CountOf(problems, Severity::Warning), "warning");
    err << "\n";
    return shown.empty() ? kExitOk : kExitProblems;
}

}  // namespace kestrel::cli
