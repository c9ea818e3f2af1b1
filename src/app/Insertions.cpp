#include "app/Insertions.h"

#include "qvedit/completion/QvCompletionLists.h"

namespace {

constexpr TInsertionKind Wrap = TInsertionKind::Wrap;
constexpr TInsertionKind Insert = TInsertionKind::Insert;

const TInsertion insertions[] = {
    // The insert page.
    {"SpeedButton2", "tInsert", "", "", Wrap, "<div align=\"left\">", "</div>"},
    {"SpeedButton3", "tInsert", "", "", Wrap, "<div align=\"center\">", "</div>"},
    {"SpeedButton4", "tInsert", "", "", Wrap, "<div align=\"right\">", "</div>"},
    {"SpeedButton35", "tInsert", "", "", Wrap, "<div align=\"justify\">", "</div>"},
    {"SpeedButton5", "tInsert", "", "", Wrap, "<b>", "</b>"},
    {"SpeedButton6", "tInsert", "", "", Wrap, "<i>", "</i>"},
    {"SpeedButton7", "tInsert", "", "", Wrap, "<u>", "</u>"},
    {"SpeedButton11", "tInsert", "", "", Wrap, "<form action=\"\" method=\"get\">\n", "\n</form>"},
    {"SpeedButton9", "tInsert", "", "", Insert,
     "<input type=\"text\" name=\"textfield\" value=\"\">", ""},
    {"SpeedButton12", "tInsert", "", "", Wrap, "<textarea name=\"textarea\">", "</textarea>"},
    {"SpeedButton8", "tInsert", "", "", Wrap, "<a href=\"\">", "</a>"},
    {"SpeedButton37", "tInsert", "", "", Wrap, "<a href=\"mailto:name@example.com\">", "</a>"},
    {"SpeedButton10", "tInsert", "", "", Insert, "<img src=\"\">", ""},
    {"SpeedButton13", "tInsert", "", "", Insert, "<hr>", ""},
    {"SpeedButton36", "tInsert", "", "", Wrap, "<blockquote>", "</blockquote>"},
    {"SpeedButton34", "tInsert", "", "", Wrap, "<ol>\n  <li>", "</li>\n</ol>"},
    {"SpeedButton33", "tInsert", "", "", Wrap, "<ul>\n  <li>", "</li>\n</ul>"},
    {"SpeedButton38", "tInsert", "", "", Wrap, "<table>\n", "\n</table>"},
    {"SpeedButton1", "tInsert", "Tr.", "", Wrap, "<tr>", "</tr>"},
    {"SpeedButton56", "tInsert", "Th", "", Wrap, "<th>", "</th>"},
    {"SpeedButton58", "tInsert", "Td", "", Wrap, "<td>", "</td>"},
    {"SpeedButton57", "tInsert", "Cp", "", Wrap, "<caption>", "</caption>"},
    {"SpeedButton28", "tInsert", "", "", Insert,
     "<input type=\"submit\" name=\"submit\" value=\"Submit\">", ""},
    {"SpeedButton29", "tInsert", "", "", Insert,
     "<input type=\"checkbox\" name=\"checkbox\" value=\"checkbox\">", ""},
    {"SpeedButton31", "tInsert", "", "", Insert,
     "<input type=\"radio\" name=\"radiobutton\" value=\"radiobutton\">", ""},
    {"SpeedButton30", "tInsert", "", "Список", Insert,
     "<select name=\"select\">\n"
     "<option value=\"option1\">Option 1</option>\n"
     "<option value=\"option2\">Option 2</option>\n"
     "</select>", ""},
    {"SpeedButton32", "tInsert", "", "", Insert,
     "<input type=\"hidden\" name=\"hiddenField1\" value=\"\">", ""},
    // The characters group.
    {"SpeedButton39", "gChars", "", "", Insert, "<br>", ""},
    {"SpeedButton40", "gChars", "", "Space", Insert, "&nbsp;", ""},
    {"SpeedButton41", "gChars", "", "", Insert, "&#8220;", ""},
    {"SpeedButton42", "gChars", "", "", Insert, "&#8221;", ""},
    {"SpeedButton43", "gChars", "", "", Insert, "&#8212;", ""},
    {"SpeedButton44", "gChars", "", "", Insert, "&#8364;", ""},
    {"SpeedButton45", "gChars", "", "", Insert, "&pound;", ""},
    {"SpeedButton46", "gChars", "", "", Insert, "&yen;", ""},
    {"SpeedButton47", "gChars", "", "", Insert, "&copy;", ""},
    {"SpeedButton48", "gChars", "", "", Insert, "&reg;", ""},
    {"SpeedButton49", "gChars", "", "", Insert, "&#8482;", ""},
    {"SpeedButton50", "gChars", "•", "", Insert, "&#8226;", ""},
    {"SpeedButton51", "gChars", "¶", "", Insert, "&para;", ""},
    {"SpeedButton52", "gChars", "°", "", Insert, "&deg;", ""},
    {"SpeedButton53", "gChars", "„", "", Insert, "&#8222;", ""},
    {"SpeedButton54", "gChars", "<", "", Insert, "&lt", ""},
    {"SpeedButton55", "gChars", ">", "", Insert, "&gt", ""},
    // The PHP page.
    {"SpeedButton14", "TabSheet1", "", "Cookie variable", Wrap,
     "<?php $HTTP_COOKIE_VARS[", "]; ?>"},
    {"SpeedButton15", "TabSheet1", "", "Form variables", Wrap, "<?php $HTTP_POST_VARS[", "]; ?>"},
    {"SpeedButton16", "TabSheet1", "", "URL variables", Wrap, "<?php $HTTP_GET_VARS[", "]; ?>"},
    {"SpeedButton19", "TabSheet1", "", "Session variables", Wrap,
     "<?php $HTTP_SESSION_VARS[", "]; ?>"},
    {"SpeedButton17", "TabSheet1", "", "Include", Wrap, "<?php include(", "); ?>"},
    {"SpeedButton18", "TabSheet1", "", "Require", Wrap, "<?php require(", "); ?>"},
    {"SpeedButton69", "TabSheet1", "<?", "PHP Tag", Wrap, "<?php ", " ?>"},
    {"SpeedButton70", "TabSheet1", "/**/", "Comment", Wrap, "/* ", " */"},
    {"SpeedButton20", "TabSheet1", "if", "", Wrap, "<?php if ", " ?>"},
    {"SpeedButton21", "TabSheet1", "else", "", Wrap, "<?php else ", " ?>"},
    {"SpeedButton22", "TabSheet1", "endif", "", Insert, "<?php endif; ?>", ""},
    {"SpeedButton23", "TabSheet1", "for", "", Wrap, "<?php for ($i=0; $i<$n; $i++) {\n", "\n} ?>"},
    {"SpeedButton24", "TabSheet1", "while", "", Wrap, "<?php while () {\n", "\n} ?>"},
    {"SpeedButton25", "TabSheet1", "do", "", Wrap, "<?php do {\n", "\n} while (); ?>"},
    {"SpeedButton26", "TabSheet1", "switch", "", Insert,
     "<?php switch ($i) {\n"
     "  case 0:\n"
     "\n"
     "    break;\n"
     "  case 1:\n"
     "\n"
     "    break;\n"
     "} ?>", ""},
    {"SpeedButton27", "TabSheet1", "print", "", Wrap, "print \"", "\";"},
    {"SpeedButton59", "TabSheet1", "echo", "", Wrap, "echo \"", "\";"},
    // The PHP templates group.
    {"SpeedButton60", "gTemplates", "send email", "", Insert,
     "@mail($email, $subject, $message, \"From: $from_email\");", ""},
    {"SpeedButton61", "gTemplates", "set cookies", "", Insert,
     "setcookie (\"Cookie Test\", $value,time()+3600);  /* expire in 1 hour */", ""},
    {"SpeedButton63", "gTemplates", "connect to MySql", "", Insert,
     " $link = mysql_connect(\"localhost\", \"user\", \"password\")\n"
     "   or die (\"Could not connect to MySQL\");\n"
     "\n"
     " mysql_select_db (\"my_database\")\n"
     "   or die (\"Could not select database\");", ""},
    {"SpeedButton62", "gTemplates", "MySql Query", "", Insert,
     "$query = \"SELECT * FROM my_table\";\n"
     "$result = mysql_query ($query)\n"
     "  or die (\"Query failed\");\n"
     "\n"
     "// printing HTML result\n"
     "\n"
     "print \"<table>\n"
     "\";\n"
     "while ($line = mysql_fetch_array($result)) {\n"
     "  print \"\t<tr>\n"
     "\";\n"
     "  while(list($col_name, $col_value) = each($line)) {\n"
     "    print \"\t\t<td>$col_value</td>\n"
     "\";\n"
     "  }\n"
     "  print \"\t</tr>\n"
     "\";\n"
     "}\n"
     "print \"</table>\n"
     "\";", ""},
    {"SpeedButton67", "gTemplates", "MySql close connection", "", Insert,
     "mysql_close($link);", ""},
    {"SpeedButton66", "gTemplates", "Header (Content-type)", "", Insert,
     "Header(\"Content-type: image/png\");", ""},
    {"SpeedButton65", "gTemplates", "Location (Redirect)", "", Insert,
     "Header(\"Location: http://www.example.com/\");", ""},
    {"SpeedButton64", "gTemplates", "Write to file", "", Insert,
     "$fp = fopen (\"file.txt\", \"w+\");\n"
     " fwrite ($fp, \"Test\");\n"
     " fclose ($fp);", ""},
    {"SpeedButton68", "gTemplates", "Read from file", "", Insert,
     "$fp = fopen (\"file.txt\", \"r\");\n"
     " $bytes = 4;\n"
     " $buffer = fread($fp, $bytes);\n"
     " fclose ($fp);\n"
     " print $buffer;", ""},
};


// "<!-- Комментарии -->" in code page 1251.
const char* const sidePaneCommentRow = "<!-- \xCA\xEE\xEC\xEC\xE5\xED\xF2\xE0\xF0\xE8\xE8 -->";

const char* const htmlAttributes[] = {
    "action", "align", "alink", "alt", "archive", "background", "bgcolor", "border",
    "cellpadding", "cellspacing", "checked", "class", "clear", "code", "color", "cols",
    "colspan", "content", "coords", "dir", "disabled", "enctype", "face", "frameborder",
    "height", "href", "hspace", "http-equiv", "id", "label", "lang", "link", "marginheight",
    "marginwidth", "maxlength", "method", "multiple", "name", "noresize", "noshade", "nowrap",
    "onblur", "onchange", "onclick", "onfocus", "onkeydown", "onkeyup", "onload",
    "onmousedown", "onmouseout", "onmouseover", "onmouseup", "onsubmit", "readonly", "rel",
    "rows", "rowspan", "scrolling", "selected", "shape", "size", "src", "style", "tabindex",
    "target", "text", "title", "type", "valign", "value", "vlink", "vspace", "width", "wrap",
};

std::vector<std::string> AttributeRows(std::string_view value)
{
    std::vector<std::string> rows;
    for (const char* name : htmlAttributes)
        rows.push_back(std::string(name) + "=\"" + std::string(value) + "\"");
    return rows;
}

}  // namespace

std::span<const TInsertion> Insertions()
{
    return insertions;
}

const TInsertion* FindInsertion(std::string_view Control)
{
    for (const TInsertion& insertion : insertions)
        if (Control == insertion.Control)
            return &insertion;
    return nullptr;
}

std::string InsertionText(const TInsertion& Insertion, std::string_view SelText)
{
    if (Insertion.Kind == TInsertionKind::Insert)
        return Insertion.Before;
    return std::string(Insertion.Before) + std::string(SelText) + Insertion.After;
}

std::vector<std::string> HtmlTagInsertRows(TTagListUse Use)
{
    std::vector<std::string> rows;
    for (const TQvCompletionRow& row : HtmlTagRows())
        rows.push_back(row.Insert);
    if (Use == TTagListUse::SidePane && !rows.empty())
        rows.front() = sidePaneCommentRow;
    return rows;
}

std::vector<std::string> HtmlAttributeRows()
{
    return AttributeRows("..");
}

std::vector<std::string> HtmlAttributeInsertRows()
{
    return AttributeRows("");
}
