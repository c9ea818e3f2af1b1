// Replacement templates, replacing and splitting, and the unit-level helpers.
#include "qvedit/search/QvRegex.h"

#include "platform/runtime/Classes.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

bool IsDecimalDigit(char c) { return c >= '0' && c <= '9'; }

// A group reference after "$" at `at`: "&" or a decimal number (saturating, any length),
// optionally in braces ('${}' is group 0). Returns false when there is no valid reference.
bool ParseGroupReference(const std::string& t, std::size_t at, int& group, std::size_t& end)
{
    constexpr int Saturated = 1'000'000;
    std::size_t p = at;
    const bool braced = p < t.size() && t[p] == '{';
    if (braced)
        ++p;
    bool found = false;
    group = 0;
    if (p < t.size() && t[p] == '&') {
        found = true;
        ++p;
    } else {
        while (p < t.size() && IsDecimalDigit(t[p])) {
            found = true;
            if (group < Saturated)
                group = group * 10 + (t[p] - '0');
            ++p;
        }
    }
    if (braced) {
        if (p >= t.size() || t[p] != '}')
            return false;
        ++p;
        found = true;  // '${}' is group 0
    }
    if (!found)
        return false;
    end = p;
    return true;
}

}  // namespace

std::string TRegex::Substitute(const std::string& templ)
{
    IsProgrammOk();
    if (!hasInput_)
        Error(reeNoInputStringSpecified);
    std::string result;
    result.reserve(templ.size());
    for (std::size_t i = 0; i < templ.size();) {
        const char c = templ[i];
        if (c == '$') {
            int group = 0;
            std::size_t end = 0;
            if (ParseGroupReference(templ, i + 1, group, end)) {
                if (group < NSUBEXP)
                    result += Match(group);
                i = end;
                continue;
            }
        } else if (c == '\\' && i + 1 < templ.size()) {
            result += templ[i + 1];
            i += 2;
            continue;
        }
        result += c;
        ++i;
    }
    return result;
}

// Every search of one Replace or Split shares the operation's step budget; when it runs
// out, ERegex leaves the object's input and groups (and the pieces) as they were.
std::string TRegex::Replace(const std::string& input, const std::string& replacement,
                            bool useSubstitution)
{
    std::string result;
    KeepStateOnError([&] {
        bool found = Exec(input);
        std::size_t previousEnd = 0;
        while (found) {
            const auto start = static_cast<std::size_t>(MatchPos(0) - 1);
            result.append(input_, previousEnd, start - previousEnd);
            result += useSubstitution ? Substitute(replacement) : replacement;
            previousEnd = start + static_cast<std::size_t>(MatchLen(0));
            found = ExecNext();
        }
        result.append(input_, previousEnd, std::string::npos);
    });
    return result;
}

void TRegex::Split(const std::string& input, TStrings* pieces)
{
    std::vector<std::string> found;
    KeepStateOnError([&] {
        bool more = Exec(input);
        std::size_t previousEnd = 0;
        while (more) {
            const auto start = static_cast<std::size_t>(MatchPos(0) - 1);
            found.push_back(input_.substr(previousEnd, start - previousEnd));
            previousEnd = start + static_cast<std::size_t>(MatchLen(0));
            more = ExecNext();
        }
        found.push_back(input_.substr(previousEnd));
    });
    pieces->Clear();
    for (const std::string& piece : found)
        pieces->Add(piece);
}

// ---- Unit-level helpers ------------------------------------------------------------------

std::string QuoteRegexMetaChars(const std::string& text)
{
    static const std::string Meta = "^$.[()|?+*\\{]}";
    std::string result;
    for (char c : text) {
        if (Meta.find(c) != std::string::npos)
            result += '\\';
        result += c;
    }
    return result;
}

bool ExecRegex(const std::string& expression, const std::string& input)
{
    TRegex re;
    re.SetExpression(expression);
    return re.Exec(input);
}

void SplitRegex(const std::string& expression, const std::string& input, TStrings* pieces)
{
    TRegex re;
    re.SetExpression(expression);
    re.Split(input, pieces);
}

std::string ReplaceRegex(const std::string& expression, const std::string& input,
                         const std::string& replacement, bool useSubstitution)
{
    TRegex re;
    re.SetExpression(expression);
    return re.Replace(input, replacement, useSubstitution);
}

namespace {

TObject* PackStartAndLength(int start, int length)
{
    const auto packed = static_cast<std::intptr_t>(start) + (static_cast<std::intptr_t>(length) << 16);
    return reinterpret_cast<TObject*>(packed);
}

}  // namespace

int RegexSubExpressions(const std::string& expression, TStrings* list, bool extendedSyntax)
{
    list->Clear();
    const int n = static_cast<int>(expression.size());
    struct Open {
        int item;   // index in the list
        int start;  // 0-based index of the "("
    };
    std::vector<Open> stack;
    bool extended = extendedSyntax;
    bool groupSpansAll = false;
    int i = 0;
    while (i < n) {
        const char c = expression[i];
        if (c == '\\') {
            i += 2;
        } else if (c == '[') {
            const int open = i;
            int p = i + 1;
            if (p < n && expression[p] == '^')
                ++p;
            if (p < n && expression[p] == ']')
                ++p;
            while (p < n && expression[p] != ']')
                p += expression[p] == '\\' ? 2 : 1;
            if (p >= n)
                return -(open + 1 + 1);
            i = p + 1;
        } else if (c == '#' && extended) {
            while (i < n && expression[i] != '\r' && expression[i] != '\n')
                ++i;
        } else if (c == '(' && i + 1 < n && expression[i + 1] == '?') {
            const std::size_t close = expression.find(')', static_cast<std::size_t>(i));
            if (close == std::string::npos)
                return -1;
            const std::string inner = expression.substr(static_cast<std::size_t>(i) + 2, close - i - 2);
            if (inner.empty() || inner[0] != '#') {
                int mask = extended ? rmX : 0;
                if (TRegex::ParseModifiersStr(inner, mask))
                    extended = (mask & rmX) != 0;
            }
            i = static_cast<int>(close) + 1;
        } else if (c == '(') {
            stack.push_back({list->Add(std::string()), i});
            ++i;
        } else if (c == ')') {
            if (stack.empty())
                return i + 1;
            const Open open = stack.back();
            stack.pop_back();
            if (open.start == 0 && i == n - 1)
                groupSpansAll = true;
            const int start = open.start + 1;  // 0-based index of the group's text
            const int length = i - start;
            list->SetStrings(open.item, expression.substr(static_cast<std::size_t>(start),
                                                          static_cast<std::size_t>(length)));
            list->SetObjects(open.item, PackStartAndLength(start + 1, length));
            ++i;
        } else {
            ++i;
        }
    }
    if (!stack.empty())
        return -1;
    if (!groupSpansAll)
        list->InsertObject(0, expression, PackStartAndLength(1, n));
    return 0;
}
