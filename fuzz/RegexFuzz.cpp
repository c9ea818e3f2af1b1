// Fuzz target of the regular-expression engine: compiles an arbitrary expression and runs
// it on an arbitrary input. Layout of the fuzz input: one byte of modifiers (bits i r s g
// m x), then the expression, a 0xFF separator byte, and the input. All the searches of one
// input share one operation of a small step budget: the default budget takes seconds under
// the fuzzer's instrumentation, and a small one shows sooner any work the budget misses.
// Errors raised as ERegex are expected; anything else (a crash, a hang, a sanitizer report,
// a match outside the input) is a finding.
#include "qvedit/search/QvRegex.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const int modifiers = data[0] & 0x3F;
    const std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t separator = rest.find('\xFF');
    const std::string expression = rest.substr(0, separator);
    const std::string input = separator == std::string::npos ? std::string() : rest.substr(separator + 1);

    TRegex re;
    for (int bit = 0; bit < 6; ++bit)
        re.SetModifier(bit + 1, (modifiers >> bit) & 1);
    re.SetExpression(expression);
    try {
        re.Compile();
        (void)re.Dump();
    } catch (const ERegex&) {
        return 0;
    }
    TRegexOperation operation(re, 2'000'000);
    try {
        int matches = 0;
        for (bool found = re.Exec(input); found && matches < 64; found = re.ExecNext()) {
            ++matches;
            (void)re.Match(re.SubExprMatchCount());
            if (re.MatchPos(0) < 1 || re.MatchPos(0) + re.MatchLen(0) > static_cast<int>(input.size()) + 1)
                __builtin_trap();
        }
        (void)re.Replace(input, "<$1|${2}|$&|\\$>", true);
    } catch (const ERegex&) {
    }
    return 0;
}
