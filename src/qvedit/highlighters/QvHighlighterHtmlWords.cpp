// The data of the HTML highlighter: the named entities and the tag words.

#include "qvedit/highlighters/QvHighlighterHtml.h"

namespace QvHTML {

const std::array<const char*, EscapeAmpCount> EscapeAmps = {
    "&Alpha;", "&Beta;", "&Gamma;", "&Delta;", "&Epsilon;", "&Zeta;", "&Eta;", "&Theta;",
    "&Iota;", "&Kappa;", "&Lambda;", "&Mu;", "&Nu;", "&Xi;", "&Omicron;", "&Pi;", "&Rho;",
    "&Sigma;", "&Tau;", "&Upsilon;", "&Phi;", "&Chi;", "&Psi;", "&Omega;", "&alpha;",
    "&beta;", "&gamma;", "&delta;", "&epsilon;", "&zeta;", "&eta;", "&theta;", "&iota;",
    "&kappa;", "&lambda;", "&mu;", "&nu;", "&xi;", "&omicron;", "&pi;", "&rho;",
    "&sigmaf;", "&sigma;", "&tau;", "&upsilon;", "&phi;", "&chi;", "&psi;", "&omega;",
    "&thetasym;", "&upsih;", "&piv;", "&bull;", "&hellip;", "&prime;", "&Prime;",
    "&oline;", "&frasl;", "&weierp;", "&image;", "&real;", "&trade;", "&alefsym;",
    "&larr;", "&uarr;", "&rarr;", "&darr;", "&harr;", "&crarr;", "&lArr;", "&uArr;",
    "&rArr;", "&dArr;", "&hArr;", "&forall;", "&part;", "&exist;", "&empty;", "&nabla;",
    "&isin;", "&notin;", "&ni;", "&prod;", "&sum;", "&minus;", "&lowast;", "&radic;",
    "&prop;", "&infin;", "&ang;", "&and;", "&or;", "&cap;", "&cup;", "&int;", "&there4;",
    "&sim;", "&cong;", "&asymp;", "&ne;", "&equiv;", "&le;", "&ge;", "&sub;", "&sup;",
    "&nsub;", "&sube;", "&supe;", "&oplus;", "&otimes;", "&perp;", "&sdot;", "&lceil;",
    "&rceil;", "&lfloor;", "&rfloor;", "&lang;", "&rang;", "&loz;", "&spades;", "&clubs;",
    "&hearts;", "&diams;", "&lsquo;", "&rsquo;", "&sbquo;", "&ldquo;", "&rdquo;",
    "&bdquo;", "&dagger;", "&Dagger;", "&permil;", "&lsaquo;", "&rsaquo;", "&quot;",
    "&amp;", "&lt;", "&gt;", "&ndash;", "&mdash;", "&nbsp;", "&thinsp;", "&ensp;",
    "&emsp;", "&iexcl;", "&cent;", "&pound;", "&curren;", "&yen;", "&brvbar;", "&brkbar;",
    "&sect;", "&uml;", "&die;", "&copy;", "&ordf;", "&laquo;", "&not;", "&shy;", "&reg;",
    "&macr;", "&hibar;", "&deg;", "&plusmn;", "&sup2;", "&sup3;", "&acute;", "&micro;",
    "&para;", "&middot;", "&cedil;", "&sup1;", "&ordm;", "&raquo;", "&frac14;", "&frac12;",
    "&frac34;", "&iquest;", "&Agrave;", "&Aacute;", "&Acirc;", "&Atilde;", "&Auml;",
    "&Aring;", "&AElig;", "&Ccedil;", "&Egrave;", "&Eacute;", "&Ecirc;", "&Euml;",
    "&Igrave;", "&Iacute;", "&Icirc;", "&Iuml;", "&ETH;", "&Ntilde;", "&Ograve;",
    "&Oacute;", "&Ocirc;", "&Otilde;", "&Ouml;", "&times;", "&Oslash;", "&Ugrave;",
    "&Uacute;", "&Ucirc;", "&Uuml;", "&Yacute;", "&THORN;", "&szlig;", "&agrave;",
    "&aacute;", "&acirc;", "&atilde;", "&auml;", "&aring;", "&aelig;", "&ccedil;",
    "&egrave;", "&eacute;", "&ecirc;", "&euml;", "&igrave;", "&iacute;", "&icirc;",
    "&iuml;", "&eth;", "&ntilde;", "&ograve;", "&oacute;", "&ocirc;", "&otilde;", "&ouml;",
    "&divide;", "&oslash;", "&ugrave;", "&uacute;", "&ucirc;", "&uuml;", "&yacute;",
    "&thorn;", "&yuml;", "&euro;", "&OElig;", "&oelig;", "&scaron;", "&Scaron;", "&fnof;",
    "&circ;",
};

namespace {

const char* const TagWords[] = {
    // Tags.
    "A", "ABBR", "ACRONYM", "ADDRESS", "APPLET", "AREA", "B", "BASE", "BASEFONT",
    "BGSOUND", "BIG", "BLINK", "BLOCKQUOTE", "BODY", "BR", "BUTTON", "CAPTION", "CENTER",
    "CITE", "CODE", "COL", "COLGROUP", "COMMENT", "DD", "DEL", "DFN", "DIR", "DIV", "DL",
    "DT", "EM", "EMBED", "FIELDSET", "FONT", "FORM", "FRAME", "FRAMESET", "H1", "H2", "H3",
    "H4", "H5", "H6", "HEAD", "HR", "HTML", "I", "IFRAME", "ILAYER", "IMG", "INPUT", "INS",
    "ISINDEX", "KBD", "KEYGEN", "LABEL", "LAYER", "LEGEND", "LI", "LINK", "LISTING", "MAP",
    "MARQUEE", "MENU", "META", "MULTICOL", "NEXTID", "NOBR", "NOEMBED", "NOFRAMES",
    "NOLAYER", "NOSCRIPT", "OBJECT", "OL", "OPTION", "P", "PARAM", "PLAINTEXT", "PRE", "Q",
    "S", "SAMP", "SCRIPT", "SELECT", "SERVER", "SMALL", "SPACER", "SPAN", "STRIKE",
    "STRONG", "STYLE", "SUB", "SUP", "TABLE", "TBODY", "TD", "TEXTAREA", "TFOOT", "TH",
    "THEAD", "TITLE", "TR", "TT", "U", "UL", "VAR", "WBR", "XMP",
    // Closing words: every tag but those that have no end tag.
    "/A", "/ABBR", "/ACRONYM", "/ADDRESS", "/APPLET", "/B", "/BIG", "/BLINK",
    "/BLOCKQUOTE", "/BODY", "/BUTTON", "/CAPTION", "/CENTER", "/CITE", "/CODE",
    "/COLGROUP", "/COMMENT", "/DD", "/DEL", "/DFN", "/DIR", "/DIV", "/DL", "/DT", "/EM",
    "/EMBED", "/FIELDSET", "/FONT", "/FORM", "/FRAMESET", "/H1", "/H2", "/H3", "/H4",
    "/H5", "/H6", "/HEAD", "/HTML", "/I", "/IFRAME", "/ILAYER", "/INS", "/KBD", "/LABEL",
    "/LAYER", "/LEGEND", "/LI", "/LISTING", "/MAP", "/MARQUEE", "/MENU", "/MULTICOL",
    "/NOBR", "/NOEMBED", "/NOFRAMES", "/NOLAYER", "/NOSCRIPT", "/OBJECT", "/OL", "/OPTION",
    "/P", "/PRE", "/Q", "/S", "/SAMP", "/SCRIPT", "/SELECT", "/SERVER", "/SMALL", "/SPAN",
    "/STRIKE", "/STRONG", "/STYLE", "/SUB", "/SUP", "/TABLE", "/TBODY", "/TD", "/TEXTAREA",
    "/TFOOT", "/TH", "/THEAD", "/TITLE", "/TR", "/TT", "/U", "/UL", "/VAR", "/XMP",
    // The document type declaration.
    "!DOCTYPE",
};

}  // namespace

std::span<const char* const> TagWordList()
{
    return TagWords;
}

}  // namespace QvHTML
