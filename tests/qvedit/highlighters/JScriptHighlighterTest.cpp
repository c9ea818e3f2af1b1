#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>

#include "GoldenDriver.h"
#include "HighlighterTestSupport.h"
#include "qvedit/highlighters/QvHighlighterJScript.h"

using namespace QvJScript;

namespace {

const std::map<std::string, int> JScriptKindNames = {
    {"tkComment", tkComment}, {"tkIdentifier", tkIdentifier},
    {"tkKey", tkKey},         {"tkNull", tkNull},
    {"tkNumber", tkNumber},   {"tkSpace", tkSpace},
    {"tkString", tkString},   {"tkSymbol", tkSymbol},
    {"tkUnknown", tkUnknown}, {"tkNonReservedKey", tkNonReservedKey},
    {"tkEvent", tkEvent},
};

// The keywords as the language defines them, kept apart from the implementation's list.
const char* const ReservedWords[] = {
    "abstract", "boolean", "break", "byte", "callee", "case", "catch", "char", "class",
    "const", "constructor", "continue", "debugger", "default", "delete", "do", "double",
    "else", "enum", "export", "extends", "false", "final", "finally", "float", "for",
    "function", "goto", "if", "implements", "import", "in", "instanceof", "int",
    "interface", "long", "NaN", "native", "new", "null", "package", "private", "protected",
    "prototype", "public", "return", "short", "start", "static", "super", "switch",
    "synchronized", "this", "throw", "throws", "transient", "true", "try", "typeof", "var",
    "void", "while", "with",};

const char* const EventNames[] = {
    "onAbort", "onBlur", "onChange", "onClick", "onDblClick", "onError", "onFocus",
    "onKeyDown", "onKeyPress", "onKeyUp", "onLoad", "onMouseDown", "onMouseMove",
    "onMouseOut", "onMouseOver", "onMouseUp", "onReset", "onSelect", "onSubmit", "onUnload",};

const char* const NonReservedWords[] = {
    "abs", "acos", "action", "alert", "align", "alinkColor", "All", "all", "Anchor",
    "anchor", "anchors", "appCodeName", "Applet", "applets", "appName", "appVersion",
    "Area", "Arguments", "arguments", "Array", "asin", "atan", "atan2", "back",
    "background", "bgColor", "big", "blink", "blur", "body", "bold", "Boolean", "border",
    "bottom", "Button", "call", "caller", "captureEvents", "ceil", "charAt", "charCodeAt",
    "Checkbox", "checked", "clear", "clearInterval", "clearTimeout", "click", "close",
    "closed", "color", "complete", "concat", "confirm", "cookie", "cos", "current", "Date",
    "defaultChecked", "defaultSelected", "defaultStatus", "defaultValue", "description",
    "display", "document", "domain", "E", "elements", "Embed", "embeds", "enabledPlugin",
    "encoding", "escape", "eval", "event", "exp", "fgColor", "filename", "FileUpload",
    "find", "fixed", "Float", "floor", "focus", "fontcolor", "fontsize", "Form", "form",
    "forms", "forward", "Frame", "frames", "fromCharCode", "Function", "getDate", "getDay",
    "getElementById", "getFullYear", "getHours", "getMilliseconds", "getMinutes",
    "getMonth", "getSeconds", "getTime", "getTimezoneOffset", "getUTCDate", "getUTCDay",
    "getUTCFullYear", "getUTCHours", "getUTCMilliseconds", "getUTCMinutes", "getUTCMonth",
    "getUTCSeconds", "getYear", "Global", "go", "handleEvent", "hash", "height", "Hidden",
    "History", "history", "home", "host", "hostname", "href", "hspace", "Image", "images",
    "index", "indexOf", "Infinity", "innerHeight", "innerWidth", "input", "isFinite",
    "isNaN", "italics", "java", "javaEnabled", "join", "lastIndexOf", "lastModified",
    "Layer", "layers", "left", "length", "Link", "link", "linkColor", "links", "LN10",
    "LN2", "Location", "location", "locationbar", "log", "LOG10E", "LOG2E", "logon",
    "lowsrc", "match", "Math", "max", "MAX_VALUE", "menubar", "method", "MimeType",
    "mimeTypes", "min", "MIN_VALUE", "moveBy", "moveTo", "name", "Navigator", "navigator",
    "NEGATIVE_INFINITY", "netscape", "next", "Null", "Number", "Object", "open", "opener",
    "Option", "options", "outerHeight", "outerWidth", "Packages", "pageX", "pageXOffset",
    "pageY", "pageYOffset", "parent", "parse", "parseFloat", "parseInt", "Password",
    "pathname", "personalbar", "PI", "platform", "Plugin", "plugins", "port",
    "POSITIVE_INFINITY", "pow", "previous", "print", "prompt", "protocol", "Radio",
    "random", "referrer", "refresh", "RegExp", "releaseEvents", "reload", "replace",
    "Reset", "reset", "resizeBy", "resizeTo", "reverse", "right", "round", "routeEvent",
    "screen", "scroll", "scrollbars", "scrollBy", "scrollTo", "search", "Select", "select",
    "selected", "selectedIndex", "self", "setDate", "setFullYear", "setHours",
    "setInterval", "setMilliseconds", "setMinutes", "setMonth", "setSeconds", "setTime",
    "setTimeout", "setUTCDate", "setUTCFullYear", "setUTCHours", "setUTCMilliseconds",
    "setUTCMinutes", "setUTCMonth", "setUTCSeconds", "setYear", "sin", "slice", "small",
    "sort", "split", "sqrt", "SQRT1_2", "SQRT2", "src", "status", "statusbar", "stop",
    "strike", "String", "style", "sub", "Submit", "submit", "substr", "substring",
    "suffixes", "sup", "tags", "taint", "taintEnabled", "tan", "target", "Text", "text",
    "Textarea", "title", "toGMTString", "toLocaleString", "toLowerCase", "toolbar", "top",
    "toSource", "toString", "toUpperCase", "toUTCString", "type", "Undefined", "undefined",
    "unescape", "untaint", "unwatch", "URL", "userAgent", "UTC", "value", "valueOf",
    "visibility", "vlinkColor", "vspace", "watch", "width", "Window", "window", "write",
    "writeln", "zIndex",};

std::set<std::string> AllKeywords()
{
    std::set<std::string> words;
    words.insert(std::begin(ReservedWords), std::end(ReservedWords));
    words.insert(std::begin(EventNames), std::end(EventNames));
    words.insert(std::begin(NonReservedWords), std::end(NonReservedWords));
    return words;
}

}  // namespace

TEST(JScriptHighlighter, GoldenTokenStreams)
{
    TQvJScriptHighlighter highlighter(nullptr);
    RunGoldenFile(highlighter, "jscript.golden", JScriptKindNames);
}

TEST(JScriptHighlighter, EveryKeywordHasItsKindInItsOwnCaseOnly)
{
    const std::set<std::string> listed = AllKeywords();
    TQvJScriptHighlighter h(nullptr);
    const auto check = [&](const char* const* begin, const char* const* end, int kind) {
        for (const char* const* word = begin; word != end; ++word) {
            const std::string keyword = *word;
            EXPECT_EQ(KindOfWholeLine(h, keyword), kind) << keyword;
            // The first letter in the other case is another word: a keyword only when listed.
            std::string flipped = keyword;
            const auto first = static_cast<unsigned char>(flipped[0]);
            flipped[0] = static_cast<char>(std::islower(first) ? std::toupper(first)
                                                                : std::tolower(first));
            if (flipped != keyword && !listed.count(flipped)) {
                EXPECT_EQ(KindOfWholeLine(h, flipped), tkIdentifier) << flipped;
            }
            // One more word character makes it an identifier.
            EXPECT_EQ(KindOfWholeLine(h, keyword + "_"), tkIdentifier) << keyword;
        }
    };
    check(std::begin(ReservedWords), std::end(ReservedWords), tkKey);
    check(std::begin(EventNames), std::end(EventNames), tkEvent);
    check(std::begin(NonReservedWords), std::end(NonReservedWords), tkNonReservedKey);
}

TEST(JScriptHighlighter, KeywordTableMatchesTheLanguage)
{
    EXPECT_EQ(std::size(ReservedWords), 63u);
    EXPECT_EQ(std::size(EventNames), 20u);
    EXPECT_EQ(std::size(NonReservedWords), 316u);
    EXPECT_EQ(AllKeywords().size(), 399u);  // no word listed twice

    const TQvKeywordTable& table = TQvJScriptHighlighter::Keywords();
    EXPECT_EQ(table.WordCount(), 399);
    EXPECT_EQ(table.SlotCount(), 253);
    const std::set<std::string> words = AllKeywords();
    // The slot count leaves no room to spare.
    EXPECT_EQ(LargestKeywordHash(table, {words.begin(), words.end()}), 252);
}

TEST(JScriptHighlighter, InterfaceValues)
{
    TQvJScriptHighlighter h(nullptr);
    EXPECT_EQ(h.GetLanguageName(), "JavaScript");
    EXPECT_EQ(h.GetDefaultFilter(), "Javascript Files (*.js)|*.js");
    EXPECT_GE(GetPlaceableHighlighters()->FindByName("JavaScript"), 0);

    ExpectCodeRoleAttributes(h);
    EXPECT_TRUE(h.CommentAttri()->GetStyle() == TFontStyles(fsItalic));
    EXPECT_TRUE(h.KeyAttri()->GetStyle() == TFontStyles(fsBold));
    EXPECT_TRUE(h.EventAttri()->GetStyle() == TFontStyles());

    EXPECT_EQ(h.GetRange(), rsUnknown);

    std::set<std::string> names;
    for (Integer i = 0; i < h.GetAttribCount(); ++i)
        names.insert(h.GetAttribute(i)->GetName());
    EXPECT_EQ(names, (std::set<std::string>{"Comment", "Identifier", "Reserved Word",
                                            "Non-reserved Keyword", "Event", "Number",
                                            "Space", "String", "Symbol"}));

    const TQvIdentChars chars = h.GetIdentChars();
    EXPECT_TRUE(chars.Contains('_'));
    EXPECT_TRUE(chars.Contains(static_cast<char>(255)));
    EXPECT_FALSE(chars.Contains(static_cast<char>(215)));
    EXPECT_FALSE(chars.Contains('$'));
}

TEST(JScriptHighlighter, TokenAttributesFollowTheKinds)
{
    TQvJScriptHighlighter h(nullptr);
    const std::string line = "Math.onBlur@";
    h.SetLine(line, 0);
    EXPECT_EQ(h.GetTokenAttribute(), h.NonReservedKeyAttri());
    h.Next();
    EXPECT_EQ(h.GetTokenAttribute(), h.SymbolAttri());
    h.Next();
    EXPECT_EQ(h.GetTokenAttribute(), h.EventAttri());
    h.Next();
    EXPECT_EQ(h.GetTokenID(), tkUnknown);
    EXPECT_EQ(h.GetTokenAttribute(), nullptr);  // unknown characters keep the editor's colours
    h.Next();
    EXPECT_TRUE(h.GetEol());
    EXPECT_EQ(h.GetTokenAttribute(), nullptr);
}

TEST(JScriptHighlighter, SampleSourceShowsEveryKind)
{
    TQvJScriptHighlighter h(nullptr);
    const std::string sample = h.GetSampleSource();
    EXPECT_EQ(std::count(sample.begin(), sample.end(), '\n'), 14);
    EXPECT_EQ(std::count(sample.begin(), sample.end(), '\r'), 14);
    EXPECT_NE(sample.back(), '\n');
    h.ResetRange();
    h.SetLine(sample, 0);
    std::set<int> kinds;
    while (!h.GetEol()) {
        kinds.insert(h.GetTokenKind());
        h.Next();
    }
    EXPECT_EQ(kinds, (std::set<int>{tkComment, tkIdentifier, tkKey, tkNumber, tkSpace, tkString,
                                    tkSymbol, tkUnknown, tkNonReservedKey, tkEvent}));
}
