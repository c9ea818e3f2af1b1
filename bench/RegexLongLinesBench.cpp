// Searches over the long lines of minified script and style bundles that Debian packages
// ship (scripts/lib.sh installs them with the benchmarks' packages): each line of 10 KB or
// more, each expression, all matches of the line as the editor's find all takes them.
// Our engine with its time bound beside PCRE2 without JIT, in the same run: per line and
// expression our outcome (matches, or the error that ended the search) and time, PCRE2's
// matches and time. A summary counts where ours gave up and how long PCRE2 took there.
#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include "qvedit/search/QvRegex.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Where the packages put their minified bundles.
const char* const BundleFolders[] = {"/usr/share/javascript", "/usr/share/fonts-font-awesome"};

const char* const Expressions[] = {
    "(\\w+)\\(",           "\\w+",          "function\\s*\\(",       "\"[^\"]*\"",   "\\{[^}]*\\}",
    "[a-z]+\\.[a-z]+",     "(\\w+)\\s*:\\s*(\\w+)", "\\bthis\\.\\w+", "(\\w+)=(\\w+)", "\\.(\\w+)\\s*\\{",
    "\\d+(\\.\\d+)?(px|em|%)", "(\\w+\\s?)+;",   "\\(.*\\)",         "\".*?\"",          "(\\w+\\.)+\\w+\\(",
    "[^;]*;",              "\\w+\\s*\\([^)]*\\)\\s*\\{", ".*function",
};

struct TLine {
    std::string file;
    int number;
    std::string text;
};

std::vector<TLine> LongLines()
{
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    for (const char* folder : BundleFolders) {
        if (!fs::is_directory(folder))
            continue;
        for (const auto& entry : fs::recursive_directory_iterator(folder, fs::directory_options::follow_directory_symlink))
            if (entry.is_regular_file() && !entry.is_symlink() &&
                (entry.path().string().ends_with(".min.js") || entry.path().string().ends_with(".min.css")))
                files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    std::vector<TLine> lines;
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        std::string text;
        for (int number = 1; std::getline(in, text); ++number)
            if (text.size() >= 10'000)
                lines.push_back({file.filename().string(), number, text});
    }
    return lines;
}

template <class F>
double Seconds(F&& f)
{
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Our find all on one line, as the editor's regular-expression engine runs it: one
// operation grown by the line. Returns the matches, or -code when a bound ended it.
long Ours(const char* expression, const std::string& line)
{
    TRegex re;
    re.SetExpression(expression);
    re.SetModifier(1, true);  // case-insensitive, as the find dialog searches by default
    TRegexOperation operation(re);
    re.GrowOperation(static_cast<long>(line.size()));
    long count = 0;
    try {
        for (bool found = re.Exec(line); found; found = re.ExecNext())
            ++count;
    } catch (const ERegex& e) {
        return -e.ErrorCode();
    }
    return count;
}

long Pcre(const char* expression, const std::string& line)
{
    int error = 0;
    PCRE2_SIZE offset = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(expression), PCRE2_ZERO_TERMINATED,
                                     PCRE2_DOTALL | PCRE2_CASELESS, &error, &offset, nullptr);
    pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
    long count = 0;
    PCRE2_SIZE start = 0;
    int rc = 0;
    while (start <= line.size() &&
           (rc = pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(line.data()), line.size(), start, 0, data, nullptr)) >= 0) {
        const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
        ++count;
        start = ovector[1] > ovector[0] ? ovector[1] : ovector[1] + 1;
    }
    if (rc < 0 && rc != PCRE2_ERROR_NOMATCH)
        count = rc;
    pcre2_match_data_free(data);
    pcre2_code_free(code);
    return count;
}

}  // namespace

int main()
{
    const std::vector<TLine> lines = LongLines();
    if (lines.empty()) {
        std::printf("no bundle found: run ./scripts/bench.sh, which installs the packages that ship them\n");
        return 1;
    }
    std::printf("%-28s %5s %8s  %-24s %10s %9s %10s %9s\n", "file", "line", "KB", "expression", "ours", "ours s",
                "PCRE2", "PCRE2 s");
    int searches = 0;
    int gaveUp = 0;
    int bothGaveUp = 0;  // PCRE2 ended with an error (its match limit) too
    int disagree = 0;
    double oursTotal = 0;
    double pcreTotal = 0;
    std::vector<double> pcreWhereOursGaveUp;
    for (const TLine& line : lines) {
        for (const char* expression : Expressions) {
            long ours = 0;
            long pcre = 0;
            const double oursSeconds = Seconds([&] { ours = Ours(expression, line.text); });
            const double pcreSeconds = Seconds([&] { pcre = Pcre(expression, line.text); });
            ++searches;
            oursTotal += oursSeconds;
            pcreTotal += pcreSeconds;
            if (ours < 0) {
                ++gaveUp;
                if (pcre >= 0)
                    pcreWhereOursGaveUp.push_back(pcreSeconds);
                else
                    ++bothGaveUp;
            } else if (ours != pcre && pcre >= 0) {
                ++disagree;
            }
            const std::string outcome = ours < 0 ? "error " + std::to_string(-ours) : std::to_string(ours);
            std::printf("%-28s %5d %8zu  %-24s %10s %9.3f %10ld %9.3f\n", line.file.c_str(), line.number,
                        line.text.size() / 1024, expression, outcome.c_str(), oursSeconds, pcre, pcreSeconds);
        }
    }
    int under01 = 0;
    int under05 = 0;
    for (const double s : pcreWhereOursGaveUp) {
        under01 += s < 0.1 ? 1 : 0;
        under05 += s < 0.5 ? 1 : 0;
    }
    std::printf("\n%zu lines, %d searches: ours gave up on %d; PCRE2 gave up on %d of them too and answered %zu "
                "(%d under 0.5 s, %d under 0.1 s); counts differ from PCRE2's on %d (where both answered); total time "
                "ours %.2f s, PCRE2 %.2f s (ratio %.2f)\n",
                lines.size(), searches, gaveUp, bothGaveUp, pcreWhereOursGaveUp.size(), under05, under01, disagree,
                oursTotal, pcreTotal, oursTotal / pcreTotal);
    return 0;
}
