// The words of the Perl highlighter: built-in functions and control words, named
// special variables, word operators and pragmas.

#include "qvedit/highlighters/QvHighlighterPerl.h"

using namespace QvPerl;

namespace {

// The characters a word spans: a word may begin with '$', '%' or '@'.
constexpr TQvCharTable MakeHashSpanTable()
{
    TQvCharTable table = MakeWordCharTable();
    table['$'] = true;
    table['%'] = true;
    table['@'] = true;
    return table;
}

// Each character counts with its code.
constexpr TQvValueTable MakeCodeValueTable()
{
    TQvValueTable table{};
    for (int c = 0; c < 256; ++c)
        table[c] = c;
    return table;
}

constexpr Integer KeywordSlotCount = 2168;

constexpr TQvKeyword KeywordList[] = {
    // Functions and control words.
    {"abs", tkKey}, {"accept", tkKey}, {"alarm", tkKey}, {"atan2", tkKey}, {"bind", tkKey},
    {"binmode", tkKey}, {"bless", tkKey}, {"caller", tkKey}, {"chdir", tkKey}, {"chmod", tkKey},
    {"chomp", tkKey}, {"chop", tkKey}, {"chown", tkKey}, {"chr", tkKey}, {"chroot", tkKey},
    {"close", tkKey}, {"closedir", tkKey}, {"connect", tkKey}, {"cos", tkKey}, {"crypt", tkKey},
    {"dbmclose", tkKey}, {"dbmopen", tkKey}, {"defined", tkKey}, {"delete", tkKey},
    {"die", tkKey}, {"do", tkKey}, {"dump", tkKey}, {"each", tkKey}, {"else", tkKey},
    {"elsif", tkKey}, {"endgrent", tkKey}, {"endhostent", tkKey}, {"endnetent", tkKey},
    {"endprotoent", tkKey}, {"endpwent", tkKey}, {"endservent", tkKey}, {"eof", tkKey},
    {"eval", tkKey}, {"exec", tkKey}, {"exists", tkKey}, {"exit", tkKey}, {"exp", tkKey},
    {"fcntl", tkKey}, {"fileno", tkKey}, {"flock", tkKey}, {"for", tkKey}, {"foreach", tkKey},
    {"fork", tkKey}, {"format", tkKey}, {"formline", tkKey}, {"getc", tkKey},
    {"getgrent", tkKey}, {"getgrgid", tkKey}, {"getgrnam", tkKey}, {"gethostbyaddr", tkKey},
    {"gethostbyname", tkKey}, {"gethostent", tkKey}, {"getlogin", tkKey},
    {"getnetbyaddr", tkKey}, {"getnetbyname", tkKey}, {"getnetent", tkKey},
    {"getpeername", tkKey}, {"getpgrp", tkKey}, {"getppid", tkKey}, {"getpriority", tkKey},
    {"getprotobyname", tkKey}, {"getprotobynumber", tkKey}, {"getprotoent", tkKey},
    {"getpwent", tkKey}, {"getpwnam", tkKey}, {"getpwuid", tkKey}, {"getservbyname", tkKey},
    {"getservbyport", tkKey}, {"getservent", tkKey}, {"getsockname", tkKey},
    {"getsockopt", tkKey}, {"glob", tkKey}, {"gmtime", tkKey}, {"goto", tkKey}, {"grep", tkKey},
    {"hex", tkKey}, {"if", tkKey}, {"import", tkKey}, {"index", tkKey}, {"int", tkKey},
    {"ioctl", tkKey}, {"join", tkKey}, {"keys", tkKey}, {"kill", tkKey}, {"last", tkKey},
    {"lc", tkKey}, {"lcfirst", tkKey}, {"length", tkKey}, {"link", tkKey}, {"listen", tkKey},
    {"local", tkKey}, {"localtime", tkKey}, {"log", tkKey}, {"lstat", tkKey}, {"m", tkKey},
    {"map", tkKey}, {"mkdir", tkKey}, {"msgctl", tkKey}, {"msgget", tkKey}, {"msgrcv", tkKey},
    {"msgsnd", tkKey}, {"my", tkKey}, {"next", tkKey}, {"no", tkKey}, {"oct", tkKey},
    {"open", tkKey}, {"opendir", tkKey}, {"ord", tkKey}, {"pack", tkKey}, {"package", tkKey},
    {"pipe", tkKey}, {"pop", tkKey}, {"pos", tkKey}, {"print", tkKey}, {"push", tkKey},
    {"q", tkKey}, {"qq", tkKey}, {"quotemeta", tkKey}, {"qw", tkKey}, {"qx", tkKey},
    {"rand", tkKey}, {"read", tkKey}, {"readdir", tkKey}, {"readlink", tkKey}, {"recv", tkKey},
    {"redo", tkKey}, {"ref", tkKey}, {"rename", tkKey}, {"require", tkKey}, {"reset", tkKey},
    {"return", tkKey}, {"reverse", tkKey}, {"rewinddir", tkKey}, {"rindex", tkKey},
    {"rmdir", tkKey}, {"scalar", tkKey}, {"seek", tkKey}, {"seekdir", tkKey}, {"select", tkKey},
    {"semctl", tkKey}, {"semget", tkKey}, {"semop", tkKey}, {"send", tkKey},
    {"setgrent", tkKey}, {"sethostent", tkKey}, {"setnetent", tkKey}, {"setpgrp", tkKey},
    {"setpriority", tkKey}, {"setprotoent", tkKey}, {"setpwent", tkKey}, {"setservent", tkKey},
    {"setsockopt", tkKey}, {"shift", tkKey}, {"shmctl", tkKey}, {"shmget", tkKey},
    {"shmread", tkKey}, {"shmwrite", tkKey}, {"shutdown", tkKey}, {"sin", tkKey},
    {"sleep", tkKey}, {"socket", tkKey}, {"socketpair", tkKey}, {"sort", tkKey},
    {"splice", tkKey}, {"split", tkKey}, {"sprintf", tkKey}, {"sqrt", tkKey}, {"srand", tkKey},
    {"stat", tkKey}, {"study", tkKey}, {"sub", tkKey}, {"substr", tkKey}, {"symlink", tkKey},
    {"syscall", tkKey}, {"sysread", tkKey}, {"system", tkKey}, {"syswrite", tkKey},
    {"tell", tkKey}, {"telldir", tkKey}, {"tie", tkKey}, {"time", tkKey}, {"times", tkKey},
    {"tr", tkKey}, {"truncate", tkKey}, {"uc", tkKey}, {"ucfirst", tkKey}, {"umask", tkKey},
    {"undef", tkKey}, {"unless", tkKey}, {"unlink", tkKey}, {"unpack", tkKey},
    {"unshift", tkKey}, {"untie", tkKey}, {"use", tkKey}, {"utime", tkKey}, {"values", tkKey},
    {"vec", tkKey}, {"wait", tkKey}, {"waitpid", tkKey}, {"wantarray", tkKey}, {"warn", tkKey},
    {"while", tkKey}, {"write", tkKey},
    // Named special variables.
    {"$ACCUMULATOR", tkVariable}, {"$ARG", tkVariable}, {"$ARGV", tkVariable},
    {"$BASETIME", tkVariable}, {"$CHILD_ERROR", tkVariable}, {"$DEBUGGING", tkVariable},
    {"$EFFECTIVE_GROUP_ID", tkVariable}, {"$EFFECTIVE_USER_ID", tkVariable},
    {"$EGID", tkVariable}, {"$ENV", tkVariable}, {"$ERRNO", tkVariable}, {"$EUID", tkVariable},
    {"$EVAL_ERROR", tkVariable}, {"$EXECUTABLE_NAME", tkVariable},
    {"$FORMAT_FORMFEED", tkVariable}, {"$FORMAT_LINES_LEFT", tkVariable},
    {"$FORMAT_LINES_PER_PAGE", tkVariable}, {"$FORMAT_LINE_BREAK_CHARACTERS", tkVariable},
    {"$FORMAT_NAME", tkVariable}, {"$FORMAT_PAGE_NUMBER", tkVariable},
    {"$FORMAT_TOP_NAME", tkVariable}, {"$GID", tkVariable}, {"$INPLACE_EDIT", tkVariable},
    {"$INPUT_LINE_NUMBER", tkVariable}, {"$INPUT_RECORD_SEPARATOR", tkVariable},
    {"$LAST_PAREN_MATCH", tkVariable}, {"$LIST_SEPARATOR", tkVariable}, {"$MATCH", tkVariable},
    {"$MULTILINE_MATCHING", tkVariable}, {"$NR", tkVariable}, {"$OFMT", tkVariable},
    {"$ORS", tkVariable}, {"$OS_ERROR", tkVariable}, {"$OUTPUT_AUTOFLUSH", tkVariable},
    {"$OUTPUT_FIELD_SEPARATOR", tkVariable}, {"$PERLDB", tkVariable},
    {"$PERL_VERSION", tkVariable}, {"$PID", tkVariable}, {"$POSTMATCH", tkVariable},
    {"$PREMATCH", tkVariable}, {"$PROCESS_ID", tkVariable}, {"$PROGRAM_NAME", tkVariable},
    {"$REAL_GROUP_ID", tkVariable}, {"$REAL_USER_ID", tkVariable}, {"$RS", tkVariable},
    {"$SIG", tkVariable}, {"$SUBSCRIPT_SEPARATOR", tkVariable}, {"$SUBSEP", tkVariable},
    {"$SYSTEM_FD_MAX", tkVariable}, {"$UID", tkVariable}, {"$WARNING", tkVariable},
    {"%INC", tkVariable}, {"@ARGV", tkVariable}, {"@INC", tkVariable},
    // Word operators.
    {"and", tkOperator}, {"cmp", tkOperator}, {"eq", tkOperator}, {"ge", tkOperator},
    {"gt", tkOperator}, {"le", tkOperator}, {"lt", tkOperator}, {"ne", tkOperator},
    {"not", tkOperator}, {"or", tkOperator}, {"xor", tkOperator},
    // Pragmas.
    {"constant", tkPragma}, {"diagnostics", tkPragma}, {"integer", tkPragma},
    {"less", tkPragma}, {"locale", tkPragma}, {"sigtrap", tkPragma}, {"strict", tkPragma},
    {"subs", tkPragma}, {"vars", tkPragma},
};

}  // namespace

const TQvKeywordTable& TQvPerlHighlighter::Keywords()
{
    static const TQvKeywordTable table(
        KeywordSlotCount, TQvKeywordHashing{MakeHashSpanTable(), MakeCodeValueTable(), false},
        KeywordList, tkIdentifier);
    return table;
}
