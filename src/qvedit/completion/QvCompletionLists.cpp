// The shipped completion lists, read once from their compiled-in data: one row a line;
// an HTML line holds the shown text, a tab and the inserted text.
#include "qvedit/completion/QvCompletionLists.h"

#include <cstddef>
#include <string_view>

extern const unsigned char QvDataHtmlTags[];
extern const std::size_t QvDataHtmlTagsSize;
extern const unsigned char QvDataPhpNames[];
extern const std::size_t QvDataPhpNamesSize;

namespace {

std::vector<std::string_view> Lines(const unsigned char* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::vector<TQvCompletionRow> ReadHtmlRows()
{
    std::vector<TQvCompletionRow> rows;
    for (std::string_view line : Lines(QvDataHtmlTags, QvDataHtmlTagsSize)) {
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos)
            rows.push_back({std::string(line), std::string(line)});
        else
            rows.push_back({std::string(line.substr(0, tab)), std::string(line.substr(tab + 1))});
    }
    return rows;
}

std::vector<std::string> ReadPhpRows()
{
    std::vector<std::string> rows;
    for (std::string_view line : Lines(QvDataPhpNames, QvDataPhpNamesSize))
        rows.emplace_back(line);
    return rows;
}

}  // namespace

const std::vector<TQvCompletionRow>& HtmlTagRows()
{
    static const std::vector<TQvCompletionRow> rows = ReadHtmlRows();
    return rows;
}

const std::vector<std::string>& PhpCompletionRows()
{
    static const std::vector<std::string> rows = ReadPhpRows();
    return rows;
}

void AssignHtmlTagRows(TStrings& items, TStrings& inserts)
{
    items.BeginUpdate();
    inserts.BeginUpdate();
    items.Clear();
    inserts.Clear();
    for (const TQvCompletionRow& row : HtmlTagRows()) {
        items.Add(row.Display);
        inserts.Add(row.Insert);
    }
    inserts.EndUpdate();
    items.EndUpdate();
}

void AssignPhpCompletionRows(TStrings& items)
{
    items.BeginUpdate();
    items.Clear();
    for (const std::string& row : PhpCompletionRows())
        items.Add(row);
    items.EndUpdate();
}
