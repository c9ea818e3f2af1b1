// TRegex: the editor's own regular-expression engine for 8-bit text. An expression is
// compiled into a byte program of nodes, which a backtracking matcher runs over the input.
// The matcher keeps its choice points on a stack of its own, and both that stack and the
// work of an operation are bounded, so no expression and no input can overflow the stack
// or keep the editor busy without end: hitting a bound raises ERegex like any other error
// (reeBacktrackStackExceeded, reeBacktrackLimitExceeded).
#pragma once

#include "platform/runtime/Exceptions.h"
#include "platform/runtime/System.h"

#include <bitset>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TStrings;

// A set of characters (bytes).
using TSetOfREChar = std::bitset<256>;
// The case image used for every case-insensitive comparison.
using TRegexInvertCaseFunction = char (*)(char);

class ERegex : public Exception {
public:
    ERegex(std::string message, int errorCode, int compilerErrorPos)
        : Exception(std::move(message)), errorCode_(errorCode), compilerErrorPos_(compilerErrorPos)
    {
    }
    int ErrorCode() const { return errorCode_; }
    int CompilerErrorPos() const { return compilerErrorPos_; }

private:
    int errorCode_;
    int compilerErrorPos_;
};

// Error codes. Below 1000 the compiler's (the message then names the position), from 1000
// on the matcher's and the object's.
enum TRegexErrorCode : int {
    reeOk = 0,
    reeCompParseRegTooManyBrackets = 102,
    reeCompParseRegUnmatchedBrackets = 103,
    reeCompParseRegUnmatchedBrackets2 = 104,
    reeCompParseRegJunkOnEnd = 105,
    reePlusStarOperandCouldBeEmpty = 106,
    reeNestedSQP = 107,
    reeBadHexDigit = 108,
    reeInvalidRange = 109,
    reeParseAtomTrailingBackSlash = 110,
    reeNoHexCodeAfterBSlashX = 111,
    reeHexCodeAfterBSlashXTooBig = 112,
    reeUnmatchedSqBrackets = 113,
    reeInternalUrp = 114,
    reeQPSBFollowsNothing = 115,
    reeTrailingBackSlash = 116,
    reeRarseAtomInternalDisaster = 119,
    reeBRACESArgTooBig = 122,
    reeBracesMinParamGreaterMax = 124,
    reeUnclosedComment = 125,
    reeUnrecognizedModifier = 127,
    reeBadLinePairedSeparator = 128,
    reeRegRepeatCalledInappropriately = 1000,
    reeMatchPrimMemoryCorruption = 1001,
    reeMatchPrimCorruptedPointers = 1002,
    reeNoExpression = 1003,
    reeCorruptedProgram = 1004,
    reeNoInputStringSpecified = 1005,
    reeOffsetMustBeGreaterThen0 = 1006,
    reeExecNextWithoutExec = 1007,
    reeGetInputStringWithoutInputString = 1008,
    reeDumpCorruptedOpcode = 1011,
    reeModifierUnsupported = 1013,
    reeLoopStackExceeded = 1014,
    reeLoopWithoutEntry = 1015,
    // The two bounds that keep a search from crashing or freezing the editor.
    reeBacktrackStackExceeded = 1016,
    reeBacktrackLimitExceeded = 1017,
};

// Modifier bits of the mask.
enum TRegexModifierBit : int {
    rmI = 1,   // case-insensitive
    rmR = 2,   // Russian ranges
    rmS = 4,   // dot matches line separators
    rmG = 8,   // greedy quantifiers
    rmM = 16,  // multi-line anchors
    rmX = 32,  // extended syntax
};

// Defaults read by the constructor.
extern bool RegexModifierI;
extern bool RegexModifierR;
extern bool RegexModifierS;
extern bool RegexModifierG;
extern bool RegexModifierM;
extern bool RegexModifierX;
extern std::string RegexSpaceChars;
extern std::string RegexWordChars;
extern std::string RegexLineSeparators;
extern std::string RegexLinePairedSeparator;
extern TRegexInvertCaseFunction RegexInvertCaseFunction;

class TRegexCompiler;
class TRegexMatcher;
class TRegexProgramWalk;
struct TRegexBacktrack;

class TRegex {
public:
    static constexpr int NSUBEXP = 15;  // group 0 is the whole match, 1..14 the groups

    TRegex();
    virtual ~TRegex();
    TRegex(const TRegex&) = delete;
    TRegex& operator=(const TRegex&) = delete;

    static int VersionMajor() { return 1; }
    static int VersionMinor() { return 0; }

    // ---- Settings
    const std::string& GetExpression() const { return expression_; }
    void SetExpression(const std::string& value);
    // Index 1 i, 2 r, 3 s, 4 g, 5 m, 6 x; any other raises error 1013.
    bool GetModifier(int index);
    void SetModifier(int index, bool value);
    std::string GetModifierStr() const;
    void SetModifierStr(const std::string& value);
    // Letters set their bit, after "-" they clear it; any other character gives false.
    static bool ParseModifiersStr(const std::string& text, int& mask);
    const std::string& GetSpaceChars() const { return spaceChars_; }
    void SetSpaceChars(const std::string& value) { spaceChars_ = value; }
    const std::string& GetWordChars() const { return wordChars_; }
    void SetWordChars(const std::string& value);
    const std::string& GetLineSeparators() const { return lineSeparators_; }
    void SetLineSeparators(const std::string& value);
    std::string GetLinePairedSeparator() const;
    void SetLinePairedSeparator(const std::string& value);
    TRegexInvertCaseFunction GetInvertCase() const { return invertCase_; }
    void SetInvertCase(TRegexInvertCaseFunction value);
    // Upper case of the character in the ANSI code page, or its lower case when upper
    // case leaves it unchanged.
    static char InvertCaseFunction(char c);

    // ---- Compiling
    void Compile();
    int CompilerErrorPos() const { return compilerErrorPos_; }
    std::string Dump();
    std::string DumpOp(int op);

    // ---- Matching (positions are 1-based)
    std::string GetInputString() const;
    void SetInputString(const std::string& value);
    bool Exec(const std::string& input);
    // Searches Input where it lies, up to its first NUL, without keeping a copy of it: a
    // long line is not held twice. Afterwards MatchPos and MatchLen answer for it, while
    // Match, ExecPos and ExecNext see an empty input until another is set.
    bool ExecInPlace(std::string_view input);
    bool ExecPos(int offset = 1);
    bool ExecNext();
    int MatchPos(int index) const;
    int MatchLen(int index) const;
    std::string Match(int index) const;
    int SubExprMatchCount() const;

    // ---- Bounds
    // Searching counts its work in steps (a node visited, a choice resumed, a character
    // examined, scanned or compared). Only the engine's own work counts against a bound,
    // never what its caller does between searches: the clock is read inside the matcher,
    // every ClockEvery steps of the operation, and once more when a run of the matcher
    // (one ExecPrim, finding one match) that read it ends. The time between two readings
    // of the same run, over at least MeasuredStepsAtLeast steps, is the engine's alone; from
    // those the engine learns its time a step, and a search's or an operation's time is its
    // steps at that rate. A search starts with Exec or SetInputString and goes on with
    // ExecPos and ExecNext, so a loop of ExecNext, a Replace and a Split are one search
    // each. It gives up with ERegex (reeBacktrackLimitExceeded) once its time passes
    // SearchTime plus TimePerByte for every byte of its input: a runaway expression ends
    // within about a second of its own work, while an ordinary search of a long input runs
    // as long as it needs.
    // A caller whose work spans many inputs (find all or replace all over the lines of a
    // file) opens an operation between BeginOperation and EndOperation, best with a
    // TRegexOperation on the stack; pairs nest, only the outermost one counts. Within it
    // each search keeps its own bound, and all the searches together share the
    // operation's: SearchTime plus TimePerByte for every byte the caller says it has
    // scanned (GrowOperation). Ordinary work over a huge text never reaches it, while an
    // expression that is costly on every line ends the operation after a bounded time of
    // its own work, however long the caller takes between the lines.
    // Once the operation's bound is reached, every further search of the operation raises
    // 1017 at once, and growing it no longer helps.
    // Step budgets may be given as well (tests and fuzzing use them, because steps do not
    // depend on the machine): `budget` for the whole operation, grown by StepsPerByte a
    // byte, and `searchBudget` for each search; a search that exceeds either raises 1017
    // the same way. By default there is none.
    // Where a search fails with an error, the groups of the previous match stand; Replace
    // and Split also leave the input (and the pieces) as they were.
    // The clock gives nanoseconds, monotonic within a run of the matcher; it is told the
    // steps the operation has taken so far, which the processor-time clock ignores and a
    // test's clock may turn into time, so that a test's outcome does not depend on the
    // machine.
    using TClock = std::int64_t (*)(long steps);
    static constexpr std::int64_t SearchTime = 1'000'000'000;
    static constexpr std::int64_t TimePerByte = 320;
    static constexpr long StepsPerByte = 64;
    static constexpr long ClockEvery = 65'536;
    // Shorter stretches are not timed: reading the clock would weigh in them.
    static constexpr long MeasuredStepsAtLeast = 4'096;
    static constexpr long Unbounded = std::numeric_limits<long>::max();
    // The clock every bound is measured on; nullptr gives back the thread's processor time.
    // For tests, which need time to pass at a known rate.
    static void SetClock(TClock clock);
    static TClock GetClock();
    // Starts an operation (when none is open).
    void BeginOperation(long budget = Unbounded, long searchBudget = Unbounded);
    void EndOperation();
    // Grows the open operation's bounds for `bytes` more bytes of text to scan, unless the
    // operation is already spent; does nothing outside an operation.
    void GrowOperation(long bytes);
    // The steps the current operation (outside one: the current search) has used so far,
    // and its step budget.
    long StepsUsed() const { return stepsUsed_; }
    long OperationBudget() const { return stepBudget_; }
    // The input bytes looked at, over the same span as StepsUsed, while looking for where a
    // match may begin and for the last place of the literal every match contains. Not
    // steps: no bound counts them.
    long BytesScanned() const { return bytesScanned_; }

    // ---- Substitution and splitting
    std::string Substitute(const std::string& templ);
    std::string Replace(const std::string& input, const std::string& replacement,
                        bool useSubstitution = false);
    void Split(const std::string& input, TStrings* pieces);

    // ---- Errors
    virtual void Error(int code);  // raises ERegex
    virtual std::string ErrorMsg(int code);
    // The last error code; reading resets it to 0.
    int LastError();

private:
    friend class TRegexCompiler;
    friend class TRegexMatcher;

    bool IsProgrammOk();
    void CompileRegex();
    void DropProgram();
    // Forgets what was found out about the input (it or the program changed).
    void ForgetInputPlaces();
    bool ExecPrim(int offset);
    void StartInput();
    void ClearMatches();
    void StartBudget(long budget, long searchBudget);
    // SearchTime (or `base`) and TimePerByte for each of `bytes`, saturating.
    static std::int64_t TimeFor(long bytes, std::int64_t base = SearchTime);
    // The step count at which a search's matcher next calls Checkpoint.
    long NextCheckpoint() const;
    // Called by the matcher at that count: raises 1017 when a bound is passed.
    void Checkpoint(long steps);
    // Reads the clock at `steps`; the time since the last reading of the same run of the
    // matcher is measured work.
    void ReadClock(long steps);
    // A run of the matcher ends: the stretch since its last reading is measured too when it
    // is long enough; the next run starts without a reading.
    void EndRun(long steps, bool measure);
    // The engine's time for `steps` at the rate measured in the current operation so far;
    // 0 while nothing has been measured.
    std::int64_t TimeOfSteps(long steps) const;
    // The groups of the last match, kept aside while a call may fail.
    struct TGroups {
        std::ptrdiff_t start[NSUBEXP];
        std::ptrdiff_t end[NSUBEXP];
    };
    TGroups SaveGroups() const;
    void RestoreGroups(const TGroups& groups);
    // Runs `body`; when it raises ERegex, puts the input and the groups back as they were.
    void KeepStateOnError(const std::function<void()>& body);
    bool GroupTookPart(int index) const;
    bool CollectFirstChars(TRegexProgramWalk& walk, int from, TSetOfREChar& set, int limit, bool lineEndChars) const;
    void FillFirstCharSet();
    void FindStartAndMustLiteral();
    void FindLoopHeads();
    void FindPossessiveRepeats();
    void RebuildWordSet();
    void RebuildLineSeparatorSet();

    // Settings
    std::string expression_;
    int modifiers_ = 0;
    int compiledModifiers_ = 0;
    std::string spaceChars_;
    std::string wordChars_;
    std::string lineSeparators_;
    char pairHead_ = 0;
    char pairTail_ = 0;
    bool pairAssigned_ = false;
    TRegexInvertCaseFunction invertCase_ = nullptr;

    // The program and what the compiler learnt about it
    std::vector<std::uint8_t> program_;
    int prefixOffset_ = 0;      // a literal every match begins with: its place in the program
    int prefixLength_ = 0;      // and its length, 0 = none
    bool anchored_ = false;     // matches only at the input start
    int mustOffset_ = 0;        // a literal every match contains: its place in the program
    int mustLength_ = 0;        // and its length, 0 = none
    bool mustCaseless_ = false; // and whether it matches without regard to case
    TSetOfREChar firstCharSet_;
    int firstChars_[2] = {-1, -1};  // the members of a FirstCharSet of one or two, else -1
    std::vector<int> loopHeadSlot_;  // per program byte: the slot of a BRANCH loop head, or -1
    int loopHeadCount_ = 0;
    int groupCount_ = NSUBEXP;  // the whole match and the groups the program has
    std::vector<bool> possessive_;  // per program byte: a repeat that never gives back
    std::ptrdiff_t mustLastStart_ = -2;  // the last place of the literal in the input, -1 none, -2 not known
    // For each of firstChars_: its first place at or after firstCharFrom_ in the input (the
    // input's length: none), -1 while not known. The searches of one input take it from
    // here instead of looking for it again.
    std::ptrdiff_t firstCharFrom_[2] = {-1, -1};
    std::ptrdiff_t firstCharAt_[2] = {-1, -1};
    unsigned char invertTable_[256] = {};  // InvertCase of every byte, taken at compile time
    TSetOfREChar wordSet_;
    TSetOfREChar lineSeparatorSet_;
    int compilerErrorPos_ = 0;
    int lastError_ = 0;

    // The bounds of the current operation and of each of its searches. The clock is read
    // every ClockEvery steps of the operation, so that its many short searches seldom read
    // it.
    long stepBudget_ = Unbounded;
    long searchBudget_ = Unbounded;
    long searchStart_ = 0;  // stepsUsed_ when the current search began
    long stepsUsed_ = 0;
    long bytesScanned_ = 0;
    long nextClockRead_ = ClockEvery;
    std::int64_t timeAllowance_ = SearchTime;    // the operation's, grown by GrowOperation
    std::int64_t searchAllowance_ = SearchTime;  // the current search's, for its input
    std::int64_t readingTime_ = 0;   // the last reading of the current run of the matcher
    long readingSteps_ = -1;         // and the steps then; -1: none in this run
    std::int64_t measuredTime_ = 0;  // the engine's time measured in the operation
    long measuredSteps_ = 0;         // and the steps it took
    bool spent_ = false;  // the operation's own bound was passed
    int operationDepth_ = 0;

    // The bytes a search reads: the input, or the caller's during ExecInPlace.
    std::string_view Searched() const { return inPlace_ != nullptr ? *inPlace_ : std::string_view(input_); }

    // The input and the last match
    std::string input_;
    const std::string_view* inPlace_ = nullptr;  // set only while ExecInPlace searches
    bool hasInput_ = false;
    std::ptrdiff_t startp_[NSUBEXP];
    std::ptrdiff_t endp_[NSUBEXP];

    // The matcher's working memory, kept between searches so that a search allocates
    // nothing: the undo trail (a slot and its old value), the round starts of loops and
    // the backtrack stack.
    std::vector<std::pair<std::ptrdiff_t*, std::ptrdiff_t>> trail_;
    std::vector<std::ptrdiff_t> headRoundStart_;
    std::vector<TRegexBacktrack> backtrack_;
};

// Holds one operation across every search made during its lifetime (see
// TRegex::BeginOperation).
class TRegexOperation {
public:
    explicit TRegexOperation(TRegex& re, long budget = TRegex::Unbounded, long searchBudget = TRegex::Unbounded)
        : re_(re)
    {
        re_.BeginOperation(budget, searchBudget);
    }
    ~TRegexOperation() { re_.EndOperation(); }
    TRegexOperation(const TRegexOperation&) = delete;
    TRegexOperation& operator=(const TRegexOperation&) = delete;

private:
    TRegex& re_;
};

// Puts "\" before every metacharacter of the text.
std::string QuoteRegexMetaChars(const std::string& text);
bool ExecRegex(const std::string& expression, const std::string& input);
void SplitRegex(const std::string& expression, const std::string& input, TStrings* pieces);
std::string ReplaceRegex(const std::string& expression, const std::string& input,
                         const std::string& replacement, bool useSubstitution = false);
// Lists the parenthesised groups of the expression (item 0 the whole expression unless a
// group spans it all); each item's object holds start + length shl 16. Returns 0, -1 for
// an unclosed "(" or "(?", the position of an unmatched ")", or -(position of "[" + 1) for
// an unclosed "[".
int RegexSubExpressions(const std::string& expression, TStrings* list, bool extendedSyntax);
