// The keywords of the style-sheet highlighter.

#include "qvedit/highlighters/QvHighlighterCss.h"

namespace QvCSS {

namespace {

const TQvKeyword Keywords[] = {
    // Units.
    {"cm", tkKey}, {"deg", tkKey}, {"em", tkKey}, {"ex", tkKey}, {"grad", tkKey},
    {"Hz", tkKey}, {"in", tkKey}, {"kHz", tkKey}, {"mm", tkKey}, {"ms", tkKey},
    {"pc", tkKey}, {"pt", tkKey}, {"px", tkKey}, {"rad", tkKey}, {"s", tkKey},
    // Font descriptors.
    {"ascent", tkKey}, {"baseline", tkKey}, {"b-box", tkKey}, {"cap-height", tkKey},
    {"centerline", tkKey}, {"definition-src", tkKey}, {"descent", tkKey},
    {"mathline", tkKey}, {"panose-1", tkKey}, {"slope", tkKey}, {"src", tkKey},
    {"stemh", tkKey}, {"stemv", tkKey}, {"top-line", tkKey}, {"unicode-range", tkKey},
    {"units-per-em", tkKey}, {"widths", tkKey}, {"x-height", tkKey},
    // Property names and other words.
    {"azimuth", tkKey}, {"background", tkKey}, {"background-attachment", tkKey},
    {"background-color", tkKey}, {"background-image", tkKey},
    {"background-position", tkKey}, {"background-position-x", tkKey},
    {"background-position-y", tkKey}, {"behavior", tkKey}, {"border", tkKey},
    {"border-bottom", tkKey}, {"border-bottom-color", tkKey},
    {"border-bottom-style", tkKey}, {"border-bottom-width", tkKey},
    {"border-collapse", tkKey}, {"border-color", tkKey}, {"border-left", tkKey},
    {"border-left-color", tkKey}, {"border-left-style", tkKey},
    {"border-left-width", tkKey}, {"border-right", tkKey}, {"border-right-color", tkKey},
    {"border-right-style", tkKey}, {"border-right-width", tkKey},
    {"border-spacing", tkKey}, {"border-style", tkKey}, {"border-top", tkKey},
    {"border-top-color", tkKey}, {"border-top-style", tkKey}, {"border-top-width", tkKey},
    {"border-width", tkKey}, {"bottom", tkKey}, {"caption-side", tkKey}, {"clear", tkKey},
    {"clip", tkKey}, {"color", tkKey}, {"content", tkKey}, {"counter", tkKey},
    {"counter-increment", tkKey}, {"counter-reset", tkKey}, {"cue", tkKey},
    {"cue-after", tkKey}, {"cue-before", tkKey}, {"cursor", tkKey}, {"direction", tkKey},
    {"display", tkKey}, {"elevation", tkKey}, {"empty-cells", tkKey}, {"filter", tkKey},
    {"float", tkKey}, {"font", tkKey}, {"font-family", tkKey}, {"font-size", tkKey},
    {"font-size-adjust", tkKey}, {"font-stretch", tkKey}, {"font-style", tkKey},
    {"font-variant", tkKey}, {"font-weight", tkKey}, {"height", tkKey},
    {"ime-mode", tkKey}, {"layout-grid", tkKey}, {"layout-grid-line", tkKey},
    {"layout-grid-mode", tkKey}, {"layout-grid-type", tkKey}, {"left", tkKey},
    {"letter-spacing", tkKey}, {"line-break", tkKey}, {"line-height", tkKey},
    {"list-style", tkKey}, {"list-style-image", tkKey}, {"list-style-position", tkKey},
    {"list-style-type", tkKey}, {"margin", tkKey}, {"margin-bottom", tkKey},
    {"margin-left", tkKey}, {"margin-right", tkKey}, {"margin-top", tkKey},
    {"marker-offset", tkKey}, {"marks", tkKey}, {"max-height", tkKey},
    {"max-width", tkKey}, {"min-height", tkKey}, {"min-width", tkKey}, {"orphans", tkKey},
    {"outline", tkKey}, {"outline-color", tkKey}, {"outline-style", tkKey},
    {"outline-width", tkKey}, {"overflow", tkKey}, {"overflow-x", tkKey},
    {"overflow-y", tkKey}, {"padding", tkKey}, {"padding-bottom", tkKey},
    {"padding-left", tkKey}, {"padding-right", tkKey}, {"padding-top", tkKey},
    {"page", tkKey}, {"page-break-after", tkKey}, {"page-break-before", tkKey},
    {"page-break-inside", tkKey}, {"pause", tkKey}, {"pause-after", tkKey},
    {"pause-before", tkKey}, {"pitch", tkKey}, {"pitch-range", tkKey},
    {"play-during", tkKey}, {"position", tkKey}, {"quotes", tkKey}, {"richness", tkKey},
    {"right", tkKey}, {"ruby-align", tkKey}, {"ruby-overhang", tkKey},
    {"ruby-position", tkKey}, {"run-in", tkKey}, {"scrollbar-3d-light-color", tkKey},
    {"scrollbar-arrow-color", tkKey}, {"scrollbar-base-color", tkKey},
    {"scrollbar-dark-shadow-color", tkKey}, {"scrollbar-face-color", tkKey},
    {"scrollbar-highlight-color", tkKey}, {"scrollbar-shadow-color", tkKey},
    {"size", tkKey}, {"speak", tkKey}, {"speak-header", tkKey}, {"speak-numeral", tkKey},
    {"speak-punctuation", tkKey}, {"speech-rate", tkKey}, {"stress", tkKey},
    {"table-layout", tkKey}, {"text-align", tkKey}, {"text-autospace", tkKey},
    {"text-decoration", tkKey}, {"text-indent", tkKey}, {"text-justify", tkKey},
    {"text-kashida-space", tkKey}, {"text-shadow", tkKey}, {"text-transform", tkKey},
    {"text-underline-position", tkKey}, {"top", tkKey}, {"unicode-bidi", tkKey},
    {"vertical-align", tkKey}, {"visibility", tkKey}, {"voice-family", tkKey},
    {"volume", tkKey}, {"white-space", tkKey}, {"widows", tkKey}, {"width", tkKey},
    {"word-break", tkKey}, {"word-spacing", tkKey}, {"word-wrap", tkKey},
    {"writing-mode", tkKey}, {"z-index", tkKey}, {"zoom", tkKey},
};

}  // namespace

std::span<const TQvKeyword> KeywordList()
{
    return Keywords;
}

}  // namespace QvCSS
