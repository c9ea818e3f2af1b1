// Shared by the print engine's tests: the printer writes a PDF file in a temporary folder,
// and a recording canvas with the printer's resolution keeps every text output of the
// pages printed on it, gathered into the rows of each page.
#pragma once

#include "CommandOutput.h"
#include "platform/runtime/Classes.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/Graphics.h"
#include "platform/graphics/Printers.h"
#include "qvedit/print/QvEditPrint.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

// One printed row: its text outputs in order from the left.
struct TPrintedRow {
    Integer Top = 0;
    std::vector<TTextOutRecord> Pieces;  // the text, left of the number's
    std::string Number;                  // the line number printed left of the text

    std::string Text() const
    {
        std::string text;
        for (const TTextOutRecord& piece : Pieces)
            text += piece.Text;
        return text;
    }
    Integer Left() const { return Pieces.empty() ? 0 : Pieces.front().Cells.Left; }
};

class PrintEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = ::testing::TempDir() + "print_XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        pdf_ = dir_ + "/out.pdf";
        Printer()->SetPdfOutput(pdf_);
        dc_ = CreateCompatibleDC(Printer()->GetHandle());
        canvas_.SetHandle(dc_);
        SetTextOutLog(dc_, &log_);
        font_.SetName("Courier New");
        font_.SetSize(10);
        font_.SetColor(clBlack);
        print_.SetFont(&font_);
    }

    void TearDown() override
    {
        canvas_.SetHandle(nullptr);
        DeleteDC(dc_);
        Printer()->SetPdfOutput("");
        std::remove(pdf_.c_str());
        ::rmdir(dir_.c_str());
    }

    void SetText(const std::vector<std::string>& lines)
    {
        TStringList list;
        for (const std::string& line : lines)
            list.Add(line);
        print_.SetLines(&list);
    }

    // The rows printed on one page of the recording canvas, top to bottom. Outputs left
    // of the text's margin are line numbers; header and footer texts lie outside the
    // vertical margins and are left out.
    std::vector<TPrintedRow> PageRows(Integer page)
    {
        log_.clear();
        print_.PrintToCanvas(&canvas_, page);
        const TQvEditPrintMargins& m = *print_.GetMargins();
        std::map<Integer, TPrintedRow> rows;
        for (const TTextOutRecord& r : log_) {
            if (r.Cells.Top < m.PTop() || r.Cells.Top >= m.PBottom())
                continue;
            TPrintedRow& row = rows[r.Cells.Top];
            row.Top = r.Cells.Top;
            if (r.Cells.Right <= m.PLeft() && r.Cells.Left < m.PLeft())
                row.Number += r.Text;
            else
                row.Pieces.push_back(r);
        }
        std::vector<TPrintedRow> result;
        for (auto& [top, row] : rows)
            result.push_back(row);
        return result;
    }

    // Every text output of one page, header and footer included.
    std::vector<TTextOutRecord> PageOutputs(Integer page)
    {
        log_.clear();
        print_.PrintToCanvas(&canvas_, page);
        return log_;
    }

    // The distance between two rows, read from a page of two one-line rows.
    Integer RowHeight()
    {
        SetText({"a", "b"});
        const std::vector<TPrintedRow> rows = PageRows(1);
        return rows.at(1).Top - rows.at(0).Top;
    }

    // The characters a row holds: the length of a row cut from a line without breaks.
    Integer Columns()
    {
        SetText({std::string(1000, 'x')});
        return static_cast<Integer>(PageRows(1).at(0).Text().size());
    }

    // How many one-row lines fit on a page.
    Integer RowsPerPage()
    {
        const Integer height = RowHeight();
        const TQvEditPrintMargins& m = *print_.GetMargins();
        return (m.PBottom() - m.PTop()) / height;
    }

    std::string PdfText() const { return QvTest::CommandOutput("pdftotext -enc Latin1 '" + pdf_ + "' -"); }
    Integer PdfPages() const
    {
        const std::string info = QvTest::CommandOutput("pdfinfo '" + pdf_ + "'");
        const std::size_t at = info.find("Pages:");
        return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + 6);
    }


    std::string dir_;
    std::string pdf_;
    HDC dc_ = nullptr;
    TCanvas canvas_;
    std::vector<TTextOutRecord> log_;
    TFont font_;
    TQvEditPrint print_{nullptr};
};
