#pragma once
// The keyword texts of the SQL highlighter, per dialect.
//
// The SQL highlighter loads its keywords at run time: for the chosen dialect it splits
// each text below into words (with the dialect's word characters) and stores every word
// in its keyword hash list with the text's token kind. The texts are comma-separated
// words, each in the case written; lookup ignores case.

#include <span>

#include "platform/runtime/System.h"

namespace QvSQL {

// Token kinds of the SQL highlighter; the ordinals are stored and reported.
enum TtkTokenKind : Byte {
    tkComment,
    tkDatatype,
    tkDefaultPackage,
    tkException,
    tkFunction,
    tkIdentifier,
    tkKey,
    tkNull,
    tkNumber,
    tkSpace,
    tkPLSQL,
    tkSQLPlus,
    tkString,
    tkSymbol,
    tkTableName,
    tkUnknown,
    tkVariable,
};

enum TSQLDialect : Byte {
    sqlStandard,
    sqlInterbase6,
    sqlMSSQL7,
    sqlMySQL,
    sqlOracle,
    sqlSybase,
    sqlIngres,
    sqlMSSQL2K,
};

}  // namespace QvSQL

// One keyword text and the token kind its words receive.
struct TQvSQLKeywordText {
    QvSQL::TtkTokenKind Kind;
    const char* Words;
};

// The keyword texts of a dialect, in the order in which they are loaded.
std::span<const TQvSQLKeywordText> SQLKeywordTexts(QvSQL::TSQLDialect dialect);
