// TRegex: settings, modifiers, compiling on demand, the input and the match results,
// and the error messages.
#include "qvedit/search/QvRegex.h"
#include "qvedit/search/QvRegexCompiler.h"
#include "qvedit/search/QvRegexMatcher.h"
#include "qvedit/search/QvRegexProgram.h"

#include "platform/runtime/CodePages.h"
#include "platform/runtime/SysUtils.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <limits>

using namespace QvRegexProgram;

bool RegexModifierI = false;
bool RegexModifierR = true;
bool RegexModifierS = true;
bool RegexModifierG = true;
bool RegexModifierM = false;
bool RegexModifierX = false;
std::string RegexSpaceChars = " \t\n\r\f";
std::string RegexWordChars = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_";
std::string RegexLineSeparators = "\r\n";
std::string RegexLinePairedSeparator = "\r\n";
TRegexInvertCaseFunction RegexInvertCaseFunction = &TRegex::InvertCaseFunction;

namespace {

// The modifier letters in index order (index 1 = i).
constexpr char ModifierLetters[] = "irsgmx";

std::string CutAtNul(const std::string& text) { return text.substr(0, text.find('\0')); }

}  // namespace

TRegex::TRegex()
{
    modifiers_ = (RegexModifierI ? rmI : 0) | (RegexModifierR ? rmR : 0) |
                 (RegexModifierS ? rmS : 0) | (RegexModifierG ? rmG : 0) |
                 (RegexModifierM ? rmM : 0);
    spaceChars_ = RegexSpaceChars;
    SetWordChars(RegexWordChars);
    SetLineSeparators(RegexLineSeparators);
    SetLinePairedSeparator(RegexLinePairedSeparator);
    invertCase_ = RegexInvertCaseFunction;
    ClearMatches();
}

TRegex::~TRegex() = default;

// ---- Settings ----------------------------------------------------------------------------

void TRegex::SetExpression(const std::string& value)
{
    const std::string text = CutAtNul(value);
    if (text == expression_ && !program_.empty())
        return;
    expression_ = text;
    DropProgram();
}

bool TRegex::GetModifier(int index)
{
    if (index < 1 || index > 6)
        Error(reeModifierUnsupported);
    return (modifiers_ & (1 << (index - 1))) != 0;
}

void TRegex::SetModifier(int index, bool value)
{
    if (index < 1 || index > 6)
        Error(reeModifierUnsupported);
    const int bit = 1 << (index - 1);
    modifiers_ = value ? modifiers_ | bit : modifiers_ & ~bit;
}

std::string TRegex::GetModifierStr() const
{
    std::string result = "-";
    for (int i = 0; i < 6; ++i) {
        if (modifiers_ & (1 << i))
            result.insert(result.begin(), ModifierLetters[i]);
        else
            result.push_back(ModifierLetters[i]);
    }
    if (result.back() == '-')
        result.pop_back();
    return result;
}

void TRegex::SetModifierStr(const std::string& value)
{
    if (!ParseModifiersStr(value, modifiers_))
        Error(reeModifierUnsupported);
}

bool TRegex::ParseModifiersStr(const std::string& text, int& mask)
{
    bool on = true;
    for (char c : text) {
        if (c == '-') {
            on = false;
            continue;
        }
        const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        const char* letter = lower ? std::strchr(ModifierLetters, lower) : nullptr;
        if (letter == nullptr)
            return false;
        const int bit = 1 << (letter - ModifierLetters);
        mask = on ? mask | bit : mask & ~bit;
    }
    return true;
}

void TRegex::SetWordChars(const std::string& value)
{
    wordChars_ = value;
    RebuildWordSet();
}

void TRegex::SetLineSeparators(const std::string& value)
{
    if (value == lineSeparators_)
        return;
    lineSeparators_ = value;
    RebuildLineSeparatorSet();
    DropProgram();
}

std::string TRegex::GetLinePairedSeparator() const
{
    if (!pairAssigned_)
        return {};
    return std::string{pairHead_, pairTail_};
}

void TRegex::SetLinePairedSeparator(const std::string& value)
{
    if (value.empty()) {
        if (pairAssigned_) {
            pairAssigned_ = false;
            DropProgram();
        }
        return;
    }
    if (value.size() != 2 || value[0] == value[1])
        Error(reeBadLinePairedSeparator);
    if (pairAssigned_ && pairHead_ == value[0] && pairTail_ == value[1])
        return;
    pairHead_ = value[0];
    pairTail_ = value[1];
    pairAssigned_ = true;
    DropProgram();
}

void TRegex::SetInvertCase(TRegexInvertCaseFunction value)
{
    if (value == invertCase_)
        return;
    invertCase_ = value;
    DropProgram();
}

char TRegex::InvertCaseFunction(char c)
{
    const char upper = CharUpperA(c);
    return upper != c ? upper : CharLowerA(c);
}

void TRegex::RebuildWordSet()
{
    wordSet_.reset();
    for (char c : wordChars_)
        wordSet_.set(static_cast<unsigned char>(c));
}

void TRegex::RebuildLineSeparatorSet()
{
    lineSeparatorSet_.reset();
    for (char c : lineSeparators_)
        lineSeparatorSet_.set(static_cast<unsigned char>(c));
}

// ---- Compiling ---------------------------------------------------------------------------

void TRegex::DropProgram()
{
    program_.clear();
    ForgetInputPlaces();
}

void TRegex::ForgetInputPlaces()
{
    mustLastStart_ = -2;
    firstCharFrom_[0] = firstCharFrom_[1] = -1;
    firstCharAt_[0] = firstCharAt_[1] = -1;
}

void TRegex::Compile()
{
    if (expression_.empty())
        Error(reeNoExpression);
    CompileRegex();
}

void TRegex::CompileRegex()
{
    DropProgram();
    if (expression_.empty())
        Error(reeNoExpression);
    for (int c = 0; c < 256; ++c) {
        const char ch = static_cast<char>(c);
        invertTable_[c] = static_cast<unsigned char>(invertCase_ ? invertCase_(ch) : ch);
    }
    ClearMatches();  // the matcher resets only the groups of the new program
    std::vector<std::uint8_t> program;
    TRegexCompiler compiler(*this);
    compiler.Run(program);  // raises; then no program is left
    program_ = std::move(program);
    compiledModifiers_ = modifiers_;
    compilerErrorPos_ = 0;
    try {
        FindStartAndMustLiteral();
        FillFirstCharSet();
        FindLoopHeads();
        FindPossessiveRepeats();
    } catch (...) {
        DropProgram();
        throw;
    }
}

bool TRegex::IsProgrammOk()
{
    if (!program_.empty() && modifiers_ != compiledModifiers_)
        DropProgram();
    if (program_.empty())
        CompileRegex();
    if (program_.empty() || program_[0] != ProgramMagic)
        Error(reeCorruptedProgram);
    return true;
}

// ---- Input and results -------------------------------------------------------------------

std::string TRegex::GetInputString() const
{
    if (!hasInput_)
        const_cast<TRegex*>(this)->Error(reeGetInputStringWithoutInputString);
    return input_;
}

void TRegex::SetInputString(const std::string& value)
{
    input_.assign(value, 0, value.find('\0'));  // reuses the buffer of the last input
    StartInput();
}

// A new input: the facts kept about the last one (where its literal lies last) are
// not this one's, even where it lies at the same address.
void TRegex::StartInput()
{
    hasInput_ = true;
    ForgetInputPlaces();
    ClearMatches();
    if (operationDepth_ == 0)
        StartBudget(Unbounded, Unbounded);
    else
        searchStart_ = stepsUsed_;
    searchAllowance_ = TimeFor(static_cast<long>(Searched().size()));
}

void TRegex::StartBudget(long budget, long searchBudget)
{
    stepBudget_ = budget;
    searchBudget_ = searchBudget;
    searchStart_ = 0;
    stepsUsed_ = 0;
    bytesScanned_ = 0;
    nextClockRead_ = ClockEvery;
    timeAllowance_ = SearchTime;
    readingSteps_ = -1;
    measuredTime_ = 0;
    measuredSteps_ = 0;
    spent_ = false;
}

void TRegex::BeginOperation(long budget, long searchBudget)
{
    if (operationDepth_++ == 0)
        StartBudget(budget, searchBudget);
}

void TRegex::EndOperation()
{
    if (operationDepth_ > 0)
        --operationDepth_;
}

namespace {

constexpr long MostSteps = std::numeric_limits<long>::max();
constexpr std::int64_t MostTime = std::numeric_limits<std::int64_t>::max() / 2;

long AddSteps(long a, long b)
{
    return b > MostSteps - a ? MostSteps : a + b;
}

std::int64_t ThreadProcessorTime(long)
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

TRegex::TClock regexClock = ThreadProcessorTime;

}  // namespace

void TRegex::SetClock(TClock clock)
{
    regexClock = clock != nullptr ? clock : ThreadProcessorTime;
}

TRegex::TClock TRegex::GetClock()
{
    return regexClock;
}

std::int64_t TRegex::TimeFor(long bytes, std::int64_t base)
{
    if (bytes <= 0)
        return base;
    return bytes > (MostTime - base) / TimePerByte ? MostTime : base + TimePerByte * bytes;
}

void TRegex::GrowOperation(long bytes)
{
    if (operationDepth_ == 0 || bytes <= 0 || spent_ || stepsUsed_ > stepBudget_)
        return;
    if (stepBudget_ != Unbounded)
        stepBudget_ = AddSteps(stepBudget_, bytes > MostSteps / StepsPerByte ? MostSteps : StepsPerByte * bytes);
    timeAllowance_ = TimeFor(bytes, timeAllowance_);
}

std::int64_t TRegex::TimeOfSteps(long steps) const
{
    if (measuredSteps_ <= 0 || steps <= 0)
        return 0;
    const long double time = static_cast<long double>(steps) * static_cast<long double>(measuredTime_) /
                             static_cast<long double>(measuredSteps_);
    return time >= static_cast<long double>(MostTime) ? MostTime : static_cast<std::int64_t>(time);
}

long TRegex::NextCheckpoint() const
{
    if (spent_)
        return stepsUsed_;
    const long stepLimit = std::min(stepBudget_, AddSteps(searchStart_, searchBudget_));
    return std::min(AddSteps(stepLimit, 1), nextClockRead_);
}

void TRegex::Checkpoint(long steps)
{
    if (spent_ || steps > stepBudget_) {
        spent_ = operationDepth_ > 0;
        Error(reeBacktrackLimitExceeded);
    }
    if (steps - searchStart_ > searchBudget_)
        Error(reeBacktrackLimitExceeded);
    if (steps < nextClockRead_)
        return;
    nextClockRead_ = AddSteps(steps, ClockEvery);
    ReadClock(steps);
    if (operationDepth_ > 0 && TimeOfSteps(steps) > timeAllowance_) {
        spent_ = true;
        Error(reeBacktrackLimitExceeded);
    }
    if (TimeOfSteps(steps - searchStart_) > searchAllowance_)
        Error(reeBacktrackLimitExceeded);
}

void TRegex::ReadClock(long steps)
{
    const std::int64_t now = regexClock(steps);
    if (readingSteps_ >= 0 && steps - readingSteps_ >= MeasuredStepsAtLeast && now >= readingTime_) {
        measuredTime_ += now - readingTime_;
        measuredSteps_ += steps - readingSteps_;
    }
    readingTime_ = now;
    readingSteps_ = steps;
}

void TRegex::EndRun(long steps, bool measure)
{
    if (measure && readingSteps_ >= 0 && steps - readingSteps_ >= MeasuredStepsAtLeast)
        ReadClock(steps);
    readingSteps_ = -1;
}

void TRegex::ClearMatches()
{
    for (int i = 0; i < NSUBEXP; ++i) {
        startp_[i] = -1;
        endp_[i] = -1;
    }
}

TRegex::TGroups TRegex::SaveGroups() const
{
    TGroups groups;
    std::copy(startp_, startp_ + NSUBEXP, groups.start);
    std::copy(endp_, endp_ + NSUBEXP, groups.end);
    return groups;
}

void TRegex::RestoreGroups(const TGroups& groups)
{
    std::copy(groups.start, groups.start + NSUBEXP, startp_);
    std::copy(groups.end, groups.end + NSUBEXP, endp_);
}

void TRegex::KeepStateOnError(const std::function<void()>& body)
{
    const std::string savedInput = input_;
    const bool savedHasInput = hasInput_;
    const TGroups savedGroups = SaveGroups();
    try {
        body();
    } catch (const ERegex&) {
        input_ = savedInput;
        hasInput_ = savedHasInput;
        // What was learnt about the failed input does not hold for the earlier one.
        ForgetInputPlaces();
        RestoreGroups(savedGroups);
        throw;
    }
}

// A group took part when it has a start and an end that does not lie before it.
bool TRegex::GroupTookPart(int index) const
{
    return hasInput_ && index >= 0 && index < NSUBEXP && startp_[index] >= 0 &&
           endp_[index] >= startp_[index];
}

int TRegex::MatchPos(int index) const
{
    return GroupTookPart(index) ? static_cast<int>(startp_[index]) + 1 : -1;
}

int TRegex::MatchLen(int index) const
{
    return GroupTookPart(index) ? static_cast<int>(endp_[index] - startp_[index]) : -1;
}

std::string TRegex::Match(int index) const
{
    // After ExecInPlace the positions are the caller's text's, which is not kept.
    if (!GroupTookPart(index) || static_cast<std::size_t>(endp_[index]) > input_.size())
        return {};
    return input_.substr(static_cast<std::size_t>(startp_[index]),
                         static_cast<std::size_t>(endp_[index] - startp_[index]));
}

int TRegex::SubExprMatchCount() const
{
    if (!hasInput_)
        return -1;
    int result = NSUBEXP - 1;
    while (result > 0 && !GroupTookPart(result))
        --result;
    return result;
}

bool TRegex::Exec(const std::string& input)
{
    SetInputString(input);
    return ExecPrim(1);
}

bool TRegex::ExecInPlace(std::string_view input)
{
    const std::string_view searched = input.substr(0, input.find('\0'));
    // The last input's copy goes: nothing of it answers after this search.
    std::string().swap(input_);
    struct TInPlace {
        TRegex& Re;
        ~TInPlace()
        {
            Re.inPlace_ = nullptr;
            // Facts learnt about the caller's bytes are not the empty input's.
            Re.mustLastStart_ = -2;
        }
    } inPlace{*this};
    inPlace_ = &searched;
    StartInput();
    return ExecPrim(1);
}

bool TRegex::ExecPos(int offset) { return ExecPrim(offset); }

bool TRegex::ExecNext()
{
    if (program_.empty() || !GroupTookPart(0))
        Error(reeExecNextWithoutExec);
    int offset = static_cast<int>(endp_[0]) + 1;
    if (endp_[0] == startp_[0])
        ++offset;
    return ExecPrim(offset);
}

// ---- Errors ------------------------------------------------------------------------------

void TRegex::Error(int code)
{
    lastError_ = code;
    std::string message = ErrorMsg(code);
    if (code < 1000)
        message += " (pos " + std::to_string(compilerErrorPos_) + ")";
    throw ERegex(message, code, compilerErrorPos_);
}

int TRegex::LastError()
{
    const int result = lastError_;
    lastError_ = reeOk;
    return result;
}

std::string TRegex::ErrorMsg(int code)
{
    switch (code) {
    case reeOk: return "No errors";
    case reeCompParseRegTooManyBrackets: return "TRegex(comp): ParseReg Too Many ()";
    case reeCompParseRegUnmatchedBrackets: return "TRegex(comp): ParseReg Unmatched ()";
    case reeCompParseRegUnmatchedBrackets2: return "TRegex(comp): ParseReg Unmatched ()";
    case reeCompParseRegJunkOnEnd: return "TRegex(comp): ParseReg Junk On End";
    case reePlusStarOperandCouldBeEmpty: return "TRegex(comp): *+ Operand Could Be Empty";
    case reeNestedSQP: return "TRegex(comp): Nested *?+";
    case reeBadHexDigit: return "TRegex(comp): Bad Hex Digit";
    case reeInvalidRange: return "TRegex(comp): Invalid [] Range";
    case reeParseAtomTrailingBackSlash: return "TRegex(comp): Parse Atom Trailing \\";
    case reeNoHexCodeAfterBSlashX: return "TRegex(comp): No Hex Code After \\x";
    case reeHexCodeAfterBSlashXTooBig: return "TRegex(comp): Hex Code After \\x Is Too Big";
    case reeUnmatchedSqBrackets: return "TRegex(comp): Unmatched []";
    case reeInternalUrp: return "TRegex(comp): Internal Urp";
    case reeQPSBFollowsNothing: return "TRegex(comp): ?+*{ Follows Nothing";
    case reeTrailingBackSlash: return "TRegex(comp): Trailing \\";
    case reeRarseAtomInternalDisaster: return "TRegex(comp): RarseAtom Internal Disaster";
    case reeBRACESArgTooBig: return "TRegex(comp): BRACES Argument Too Big";
    case reeBracesMinParamGreaterMax: return "TRegex(comp): BRACE Min Param Greater then Max";
    case reeUnclosedComment: return "TRegex(comp): Unclosed (?#Comment)";
    case reeUnrecognizedModifier: return "TRegex(comp): Urecognized Modifier";
    case reeBadLinePairedSeparator:
        return "TRegex(comp): LinePairedSeparator must countain two different chars or no chars at all";
    case reeRegRepeatCalledInappropriately: return "TRegex(exec): RegRepeat Called Inappropriately";
    case reeMatchPrimMemoryCorruption: return "TRegex(exec): MatchPrim Memory Corruption";
    case reeMatchPrimCorruptedPointers: return "TRegex(exec): MatchPrim Corrupted Pointers";
    case reeNoExpression: return "TRegex(exec): Not Assigned Expression Property";
    case reeCorruptedProgram: return "TRegex(exec): Corrupted Program";
    case reeNoInputStringSpecified: return "TRegex(exec): No Inpit String Specified";
    case reeOffsetMustBeGreaterThen0: return "TRegex(exec): Offset Must Be Greater Then 0";
    case reeExecNextWithoutExec: return "TRegex(exec): ExecNext Without Exec[Pos]";
    case reeGetInputStringWithoutInputString:
        return "TRegex(exec): GetInputString Without InputString";
    case reeDumpCorruptedOpcode: return "TRegex(dump): Corrupted Opcode";
    case reeLoopStackExceeded: return "TRegex(exec): Loop Stack Exceeded";
    case reeLoopWithoutEntry: return "TRegex(exec): Loop Without LoopEntry !";
    case reeBacktrackStackExceeded: return "TRegex(exec): Backtrack Stack Exceeded";
    case reeBacktrackLimitExceeded: return "TRegex(exec): Too Much Backtracking";
    default: return "Unknown error";
    }
}
