#include "qvedit/core/QvEditStrConst.h"

#include <algorithm>
#include <iterator>

namespace {

struct TResStringEntry {
    TQvResStringId Id;
    const char* Text;
};

// Kept sorted by identifier so a lookup is a binary search.
constexpr TResStringEntry StringTable[] = {
    {QVS_AttrAssembler, "Assembler"},
    {QVS_AttrAttributeName, "Attribute Name"},
    {QVS_AttrAttributeValue, "Attribute Value"},
    {QVS_AttrCDATASection, "CDATA Section"},
    {QVS_AttrCharacter, "Character"},
    {QVS_AttrComment, "Comment"},
    {QVS_AttrDOCTYPESection, "DOCTYPE Section"},
    {QVS_AttrDataType, "Data Type"},
    {QVS_AttrDefaultPackage, "Default Packages"},
    {QVS_AttrElementName, "Element Name"},
    {QVS_AttrEntityReference, "Entity Reference"},
    {QVS_AttrEscapeAmpersand, "Escape Ampersand"},
    {QVS_AttrEvent, "Event"},
    {QVS_AttrException, "Exception"},
    {QVS_AttrFloat, "Float"},
    {QVS_AttrFunction, "Function"},
    {QVS_AttrHexadecimal, "Hexadecimal"},
    {QVS_AttrIdentifier, "Identifier"},
    {QVS_AttrIllegalChar, "Illegal Char"},
    {QVS_AttrInvalidSymbol, "Invalid Symbol"},
    {QVS_AttrKey, "Key"},
    {QVS_AttrMarker, "Marker"},
    {QVS_AttrNamespaceAttrName, "Namespace Attribute Name"},
    {QVS_AttrNamespaceAttrValue, "Namespace Attribute Value"},
    {QVS_AttrNonReservedKeyword, "Non-reserved Keyword"},
    {QVS_AttrNumber, "Number"},
    {QVS_AttrOctal, "Octal"},
    {QVS_AttrOperator, "Operator"},
    {QVS_AttrPLSQL, "PL/SQL Reserved Word"},
    {QVS_AttrPragma, "Pragma"},
    {QVS_AttrPreprocessor, "Preprocessor"},
    {QVS_AttrProcessingInstr, "Processing Instruction"},
    {QVS_AttrReservedWord, "Reserved Word"},
    {QVS_AttrSQLPlus, "SQL*Plus Command"},
    {QVS_AttrSpace, "Space"},
    {QVS_AttrString, "String"},
    {QVS_AttrSymbol, "Symbol"},
    {QVS_AttrTableName, "Table Name"},
    {QVS_AttrText, "Text"},
    {QVS_AttrUnknownWord, "Unknown Word"},
    {QVS_AttrValue, "Value"},
    {QVS_AttrVariable, "Variable"},
    {QVS_AttrWhitespace, "Whitespace"},

    {QVS_FilterCPP, "C++ Files (*.c,*.cpp,*.h,*.hpp)|*.c;*.cpp;*.h;*.hpp"},
    {QVS_FilterCSS, "Cascading Stylesheets (*.css)|*.css"},
    {QVS_FilterDFM, "Form Definition Files (*.dfm;*.xfm)|*.dfm;*.xfm"},
    {QVS_FilterHTML, "HTML Documents (*.htm,*.html)|*.htm;*.html"},
    {QVS_FilterJScript, "Javascript Files (*.js)|*.js"},
    {QVS_FilterPHP, "PHP Files (*.php,*.php3,*.phtml,*.inc)|*.php;*.php3;*.phtml;*.inc"},
    {QVS_FilterPerl, "Perl Files (*.pl,*.pm,*.cgi)|*.pl;*.pm;*.cgi"},
    {QVS_FilterSQL, "SQL Files (*.sql)|*.sql"},
    {QVS_FilterVBScript, "VBScript Files (*.vbs)|*.vbs"},
    {QVS_FilterXML, "XML Files (*.xml,*.xsd,*.xsl,*.xslt,*.dtd)|*.xml;*.xsd;*.xsl;*.xslt;*.dtd"},

    {QVS_LangCPP, "C++"},
    {QVS_LangCSS, "Cascading Style Sheet"},
    {QVS_LangDfm, "Form Definitions"},
    {QVS_LangGeneralMulti, "General Multi-Highlighter"},
    {QVS_LangHTML, "HTML"},
    {QVS_LangJScript, "JavaScript"},
    {QVS_LangPHP, "PHP"},
    {QVS_LangPerl, "Perl"},
    {QVS_LangSQL, "SQL"},
    {QVS_LangVBSScript, "MS VBScript"},
    {QVS_LangXML, "XML"},

    {QVS_EDuplicateShortcut, "Shortcut already exists"},
    {QVS_ScrollInfoFmt, "%d - %d"},
    {QVS_ScrollInfoFmtTop, "Top Line: %d"},
};

static_assert(std::is_sorted(std::begin(StringTable), std::end(StringTable),
                             [](const TResStringEntry& a, const TResStringEntry& b) {
                                 return a.Id < b.Id;
                             }),
              "the string table must stay sorted by identifier");

}  // namespace

std::string LoadResString(TQvResStringId id)
{
    const auto* found = std::lower_bound(
        std::begin(StringTable), std::end(StringTable), id,
        [](const TResStringEntry& entry, TQvResStringId key) { return entry.Id < key; });
    if (found == std::end(StringTable) || found->Id != id)
        return {};
    return found->Text;
}
