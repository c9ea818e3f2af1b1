// Lines added, inserted or deleted in a batch of changes: the batch repaints from its first
// changed line down once it ends, text and gutter, and a file loaded into a shown editor
// does not ask for the window's metrics once per line.
#include "EditorFixture.h"

#include "platform/runtime/Streams.h"

#include <QApplication>
#include <QProxyStyle>
#include <QStyleFactory>

#include <functional>
#include <string>
#include <vector>

namespace {

// The application's style, counting how often the scroll bars' width is asked for.
class TCountingStyle : public QProxyStyle {
public:
    explicit TCountingStyle(const QString& Base) : QProxyStyle(QStyleFactory::create(Base)) {}
    int pixelMetric(PixelMetric Metric, const QStyleOption* Option, const QWidget* Widget) const override
    {
        if (Metric == PM_ScrollBarExtent)
            ++Asked;
        return QProxyStyle::pixelMetric(Metric, Option, Widget);
    }
    mutable int Asked = 0;
};

// How often Body asks the application's style for the scroll bars' width.
int ScrollBarMetricsAskedBy(const std::function<void()>& Body)
{
    const QString previous = QApplication::style()->name();
    auto* counting = new TCountingStyle(previous);
    QApplication::setStyle(counting);  // the application owns it
    Body();
    const int asked = counting->Asked;
    QApplication::setStyle(QStyleFactory::create(previous));
    return asked;
}

std::string NumberedLines(int Count)
{
    std::string text;
    for (int i = 1; i <= Count; ++i)
        text += "line " + std::to_string(i) + "\n";
    return text;
}

// The clip rectangles of the editor's paints.
struct TPaintLog {
    std::vector<TRect> Clips;
    void Painted(TObject*, TCanvas* Canvas) { Clips.push_back(Canvas->GetClipRect()); }
};

class EditorBatchRepaintTest : public EditorFixture {
protected:
    TQvEditStringList& Buffer() { return *Editor().GetLines(); }

    // Paints what is pending, then runs Change as one batch and paints again; the clip of
    // that paint (empty when nothing was painted).
    TRect RepaintedBy(const std::function<void(TQvEditStringList&)>& Change)
    {
        QApplication::processEvents();
        Editor().Update();
        TPaintLog log;
        Editor().OnPaint = TPaintEvent(&log, &TPaintLog::Painted);
        Buffer().BeginUpdate();
        Change(Buffer());
        Buffer().EndUpdate();
        Editor().Update();
        Editor().OnPaint = TPaintEvent();
        return log.Clips.empty() ? TRect{} : log.Clips.back();
    }
    // Top of Line (1-based) in the window, the text shown from the first line.
    int TopOf(int Line) { return (Line - 1) * Editor().GetLineHeight(); }
};

TEST_F(EditorBatchRepaintTest, ABatchRepaintsFromItsFirstChangedLineDownWithTheGutter)
{
    Editor().GetGutter()->SetShowLineNumbers(true);
    SetText(NumberedLines(40));
    const int bottom = Editor().ClientHeight();
    ASSERT_LT(TopOf(12), bottom);

    struct TCase {
        const char* Name;
        std::function<void(TQvEditStringList&)> Change;
        int FirstLine;  // the first line whose text changed
    };
    const std::vector<TCase> cases = {
        {"insert", [](TQvEditStringList& l) { l.Insert(9, "new"); }, 10},
        {"delete", [](TQvEditStringList& l) { l.Delete(9); }, 10},
        {"insert below, then delete above",
         [](TQvEditStringList& l) {
             l.Insert(11, "new");
             l.Delete(7);
         },
         8},
        {"delete below, then insert above",
         [](TQvEditStringList& l) {
             l.Delete(10);
             l.Insert(5, "new");
         },
         6},
    };
    for (const TCase& c : cases) {
        const TRect clip = RepaintedBy(c.Change);
        EXPECT_EQ(clip.Left, 0) << c.Name << ": the gutter's numbers move too";
        EXPECT_EQ(clip.Top, TopOf(c.FirstLine)) << c.Name << ": the lines above stay";
        EXPECT_GE(clip.Bottom, bottom) << c.Name;
        EXPECT_GE(clip.Right, Editor().ClientWidth()) << c.Name;
    }

    // Lines added after a short text are painted where they appear.
    SetText(NumberedLines(3));
    const TRect clip = RepaintedBy([](TQvEditStringList& l) {
        l.Add("four");
        l.Add("five");
    });
    EXPECT_EQ(clip.Top, TopOf(4));
    EXPECT_GE(clip.Bottom, TopOf(6));
}

TEST_F(EditorBatchRepaintTest, AFileLoadedIntoAShownEditorAsksForTheMetricsOncePerBatch)
{
    // Enough lines for the vertical scroll bar, whose width the client's width depends on.
    SetText(NumberedLines(100));
    Editor().Update();
    const std::string file = NumberedLines(20000);
    TStringStream in(file);
    const int asked = ScrollBarMetricsAskedBy([&] {
        Buffer().LoadFromStream(&in);
        Editor().Update();
    });
    EXPECT_EQ(Buffer().GetCount(), 20000);
    EXPECT_EQ(Buffer().Get(19999), "line 20000");
    EXPECT_LT(asked, 100) << "asked per line loaded";
}

}  // namespace
