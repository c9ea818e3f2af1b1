#include "window/RecordingControl.h"

#include "platform/window/DragDrop.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <gtest/gtest.h>

#include <memory>

namespace {

// A recording control that writes each drag call to a journal shared by the controls
// of a test.
class TDragControl : public TRecordingControl {
public:
    TDragControl(TComponent* owner, const std::string& name, std::vector<std::string>* journal)
        : TRecordingControl(owner), name_(name), journal_(journal)
    {
    }

    bool Accepts = true;
    std::vector<std::string> DroppedFiles;
    TPoint DropPoint;
    BOOL DropInClient = FALSE;
    HDROP LastDrop = nullptr;
    bool FinishDrop = true;
    TObject* EndTarget = nullptr;

    void DragOver(TObject* source, int x, int y, TDragState state, bool& accept) override
    {
        TRecordingControl::DragOver(source, x, y, state, accept);
        const char* names[] = {"enter", "leave", "move"};
        Note(std::string(names[state]) + " from " + NameOf(source) + At(x, y));
        accept = Accepts;
        SetDragCursor(GetKeyState(VK_CONTROL) < 0 ? crMultiDrag : crDrag);
    }
    void DragDrop(TObject* source, int x, int y) override
    {
        Note("drop from " + NameOf(source) + At(x, y));
        TRecordingControl::DragDrop(source, x, y);
    }

protected:
    void DoStartDrag() override
    {
        Note("start");
        TRecordingControl::DoStartDrag();
    }
    void DragCanceled() override { Note("canceled"); }
    void DoEndDrag(TObject* target, int x, int y) override
    {
        Note("end on " + NameOf(target) + At(x, y));
        EndTarget = target;
        TRecordingControl::DoEndDrag(target, x, y);
    }
    void WMDropFiles(TWMDropFiles& message) override
    {
        auto drop = static_cast<HDROP>(message.Drop());
        LastDrop = drop;
        DroppedFiles.clear();
        const UINT count = DragQueryFile(drop, 0xFFFFFFFF, nullptr);
        for (UINT i = 0; i < count; ++i) {
            std::string name;
            const UINT length = DragQueryFile(drop, i, &name);
            EXPECT_EQ(length, name.size());
            DroppedFiles.push_back(name);
        }
        DropInClient = DragQueryPoint(drop, &DropPoint);
        if (FinishDrop)
            DragFinish(drop);
    }

private:
    void Note(const std::string& text) { journal_->push_back(name_ + " " + text); }
    static std::string NameOf(TObject* object)
    {
        auto* control = dynamic_cast<TDragControl*>(object);
        return control != nullptr ? control->name_ : "none";
    }
    static std::string At(int x, int y) { return " @" + std::to_string(x) + "," + std::to_string(y); }

    std::string name_;
    std::vector<std::string>* journal_;
};

// A shown form with controls A (10, 10) and B (150, 10), 100 x 80 each.
class DragDropTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(nullptr);
        Form->SetBounds(100, 100, 300, 200);
        A = new TDragControl(Form, "A", &Journal);
        B = new TDragControl(Form, "B", &Journal);
        A->SetParent(Form);
        A->SetBounds(10, 10, 100, 80);
        B->SetParent(Form);
        B->SetBounds(150, 10, 100, 80);
        Form->Show();
        QApplication::processEvents();
        A->Log.clear();
        B->Log.clear();
    }
    void TearDown() override { delete Form; }

    QWidget* ClientOf(TControl* control) const { return control->Window()->Client(); }

    // Mouse events go to A's client, as Qt sends them to the widget that was pressed;
    // the point is in the client coordinates of 'over'.
    void Mouse(QEvent::Type type, TControl* over, QPoint at, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QWidget* a = ClientOf(A);
        const QPoint local = a->mapFromGlobal(ClientOf(over)->mapToGlobal(at));
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        SendMouse(a, type, button, buttons, local, mods);
    }
    void Move(TControl* over, QPoint at, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        Mouse(QEvent::MouseMove, over, at, mods);
    }

    std::vector<std::string> Journal;
    TForm* Form = nullptr;
    TDragControl* A = nullptr;
    TDragControl* B = nullptr;
};

using Lines = std::vector<std::string>;

}  // namespace

TEST_F(DragDropTest, DragPastTheThresholdOntoAnotherControlAndDrop)
{
    Mouse(QEvent::MouseButtonPress, A, {20, 20});
    ASSERT_TRUE(A->MouseCapture());
    A->Log.clear();
    A->BeginDrag(false, 5);
    EXPECT_TRUE(A->Dragging());
    EXPECT_FALSE(B->Dragging());
    // The drag takes the mouse from the control.
    EXPECT_FALSE(A->MouseCapture());
    EXPECT_EQ(A->Log, Lines{"capturechanged"});
    EXPECT_EQ(Journal, Lines{"A start"});

    Move(A, {24, 23});  // under the threshold: nothing yet
    EXPECT_EQ(Journal, Lines{"A start"});
    Move(A, {26, 20});
    Move(B, {30, 40});
    Move(B, {31, 41}, Qt::ControlModifier);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::DragCopyCursor);
    Mouse(QEvent::MouseButtonRelease, B, {32, 42});

    EXPECT_EQ(Journal, (Lines{"A start", "A enter from A @26,20", "A move from A @26,20", "A leave from A @170,40",
                              "B enter from A @30,40", "B move from A @30,40", "B move from A @31,41",
                              "B leave from A @32,42", "B drop from A @32,42", "A end on B @32,42"}));
    EXPECT_FALSE(A->Dragging());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // The source saw no mouse move or release while it was dragged.
    EXPECT_EQ(A->Log, Lines{"capturechanged"});
}

TEST_F(DragDropTest, ImmediateDragAsksTheControlUnderTheMouseAtOnce)
{
    Mouse(QEvent::MouseButtonPress, A, {50, 50});
    A->BeginDrag(true);
    EXPECT_EQ(Journal, (Lines{"A start", "A enter from A @50,50", "A move from A @50,50"}));
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::DragMoveCursor);
    A->EndDrag(true);
    EXPECT_EQ(Journal.back(), "A end on A @50,50");
    EXPECT_EQ(Journal[Journal.size() - 2], "A drop from A @50,50");
}

TEST_F(DragDropTest, ReleaseWhereNobodyAcceptsCancels)
{
    B->Accepts = false;
    Mouse(QEvent::MouseButtonPress, A, {20, 20});
    A->BeginDrag(true);
    Move(B, {10, 10});
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::ForbiddenCursor);
    Journal.clear();
    Mouse(QEvent::MouseButtonRelease, B, {10, 10});
    EXPECT_EQ(Journal, (Lines{"B leave from A @10,10", "A canceled", "A end on none @150,10"}));

    // Outside the two controls: over the form, which has no OnDragOver and so refuses.
    A->BeginDrag(true);
    Move(A, {-5, 20});
    Journal.clear();
    Mouse(QEvent::MouseButtonRelease, A, {-5, 20});
    EXPECT_EQ(Journal, (Lines{"A canceled", "A end on none @-5,20"}));
}

TEST_F(DragDropTest, EscapeCancelsAndReleaseBeforeTheThresholdDropsNothing)
{
    Mouse(QEvent::MouseButtonPress, A, {20, 20});
    A->BeginDrag(true);
    Move(B, {5, 5});
    Journal.clear();
    SendKey(ClientOf(A), Qt::Key_Escape, Qt::NoModifier);
    EXPECT_EQ(Journal, (Lines{"B leave from A @5,5", "A canceled", "A end on none @145,5"}));
    EXPECT_FALSE(A->Dragging());
    EXPECT_TRUE(B->Log.empty());  // the key belonged to the drag

    Mouse(QEvent::MouseButtonPress, A, {20, 20});
    A->BeginDrag(false, 10);
    Journal.clear();
    A->Log.clear();
    Move(A, {25, 25});
    Mouse(QEvent::MouseButtonRelease, A, {25, 25});
    EXPECT_EQ(Journal, (Lines{"A canceled", "A end on none @25,25"}));
    EXPECT_EQ(A->Log, Lines{});  // no move and no MouseUp
}

TEST_F(DragDropTest, ATargetFreedDuringTheDragIsForgotten)
{
    Mouse(QEvent::MouseButtonPress, A, {20, 20});
    A->BeginDrag(true);
    Move(B, {5, 5});
    delete B;
    B = nullptr;
    Journal.clear();
    Mouse(QEvent::MouseButtonRelease, A, {20, 20});
    EXPECT_EQ(Journal, (Lines{"A canceled", "A end on none @20,20"}));
}

TEST_F(DragDropTest, AutomaticModeStartsADragFromAPress)
{
    A->SetDragMode(dmAutomatic);
    Mouse(QEvent::MouseButtonPress, A, {20, 20});
    EXPECT_TRUE(A->Dragging());
    EXPECT_TRUE(A->Log.empty());  // the press went to the drag, not the control
    A->EndDrag(false);
    EXPECT_FALSE(A->Dragging());
}

namespace {

// Handlers for the drag events of a control that is not derived for dragging.
struct TDragHandlers {
    std::vector<std::string> Calls;
    void Over(TObject*, TObject* source, int x, int y, TDragState state, bool& accept)
    {
        // accept starts true because the event is assigned
        Calls.push_back("over " + std::to_string(state) + (accept ? " accepting" : "") + " @" + std::to_string(x) +
                        "," + std::to_string(y) + (source != nullptr ? "" : " without source"));
    }
    void Drop(TObject* sender, TObject*, int x, int y)
    {
        Calls.push_back(std::string(sender != nullptr ? "drop" : "drop without sender") + " @" + std::to_string(x) +
                        "," + std::to_string(y));
    }
};

}  // namespace

TEST_F(DragDropTest, AnyControlTakesADropThroughItsEvents)
{
    TDragHandlers handlers;
    Form->OnDragOver = TDragOverEvent(&handlers, &TDragHandlers::Over);
    Form->OnDragDrop = TDragDropEvent(&handlers, &TDragHandlers::Drop);
    Mouse(QEvent::MouseButtonPress, A, {20, 20});
    A->BeginDrag(true);
    Move(A, {-5, 20});  // over the form's client area, left of A
    Journal.clear();
    Mouse(QEvent::MouseButtonRelease, A, {-5, 20});
    const std::string at = " @" + std::to_string(A->Left() - 5) + "," + std::to_string(A->Top() + 20);
    EXPECT_EQ(handlers.Calls, (Lines{"over 0 accepting" + at, "over 2 accepting" + at, "over 1 accepting" + at,
                                     "drop" + at}));
    EXPECT_EQ(A->EndTarget, Form);
}

// ---- Files from the desktop ------------------------------------------------------------

namespace {

// Drags mime data onto a widget and drops it; true when the drop was taken.
bool DropOn(QWidget* widget, const QMimeData& data, QPoint at)
{
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &drop);
    return drop.isAccepted();
}

}  // namespace

TEST_F(DragDropTest, DroppedFilesArriveAsOneMessageWithTheirNamesAndPoint)
{
    const QMimeData nothing;
    QMimeData urls;
    urls.setUrls({QUrl::fromLocalFile("/tmp/first file.php"), QUrl("https://example.com/x.html"),
                  QUrl::fromLocalFile(QString::fromUtf8("/tmp/Привет/second.html"))});
    EXPECT_FALSE(DropOn(ClientOf(A), urls, {5, 6}));  // A does not accept files yet

    DragAcceptFiles(A->Handle(), TRUE);
    EXPECT_FALSE(DropOn(ClientOf(A), nothing, {5, 6}));  // nothing that is a file
    ASSERT_TRUE(DropOn(ClientOf(A), urls, {5, 6}));
    EXPECT_EQ(A->DroppedFiles, (Lines{"/tmp/first file.php", "/tmp/Привет/second.html"}));
    EXPECT_EQ(A->DropPoint, (TPoint{5, 6}));
    EXPECT_EQ(A->DropInClient, TRUE);

    DragAcceptFiles(A->Handle(), FALSE);
    A->DroppedFiles.clear();
    EXPECT_FALSE(DropOn(ClientOf(A), urls, {5, 6}));
    EXPECT_TRUE(A->DroppedFiles.empty());
}

namespace {

// A drop from another program, as the window system hands it over: the address list's
// bytes as they came.
class TForeignDrop final : public QMimeData {
public:
    explicit TForeignDrop(QByteArray List) : list_(std::move(List)) {}
    bool hasFormat(const QString& Format) const override { return Format == "text/uri-list"; }
    QStringList formats() const override { return {"text/uri-list"}; }

protected:
    QVariant retrieveData(const QString& Format, QMetaType) const override
    {
        return hasFormat(Format) ? QVariant(list_) : QVariant();
    }

private:
    QByteArray list_;
};

}  // namespace

// A name that is not UTF-8 arrives byte for byte, percent-encoded or not, and only files
// of this machine are dropped files.
TEST_F(DragDropTest, DroppedAddressesGiveTheNamesBytesAndOnlyLocalFiles)
{
    DragAcceptFiles(A->Handle(), TRUE);
    const char list[] = "file:///tmp/bad%FF%FEname.php\r\n# a comment\r\nfile://localhost/tmp/a%20b\xFF\r\n"
                        "file://otherhost/tmp/c\r\nhttps://example.com/d\r\nFILE:/tmp/e%2g\0";
    const TForeignDrop data(QByteArray(list, sizeof list - 1));
    ASSERT_TRUE(DropOn(ClientOf(A), data, {1, 1}));
    EXPECT_EQ(A->DroppedFiles, (Lines{"/tmp/bad\xFF\xFEname.php", "/tmp/a b\xFF", "/tmp/e%2g"}));
    EXPECT_FALSE(DropOn(ClientOf(A), TForeignDrop("file://otherhost/tmp/c\r\n"), {1, 1}));
}

TEST_F(DragDropTest, ADropHandleDiesWithItsMessage)
{
    DragAcceptFiles(A->Handle(), TRUE);
    A->FinishDrop = false;  // a handler that forgets DragFinish leaks nothing
    QMimeData urls;
    urls.setUrls({QUrl::fromLocalFile("/tmp/a"), QUrl::fromLocalFile("/tmp/b")});
    ASSERT_TRUE(DropOn(ClientOf(A), urls, {1, 1}));
    EXPECT_EQ(A->DroppedFiles.size(), 2u);
    // The handle is gone: queries on it answer nothing, finishing it again is harmless.
    std::string name = "unchanged";
    EXPECT_EQ(DragQueryFile(A->LastDrop, 0xFFFFFFFF, nullptr), 0u);
    EXPECT_EQ(DragQueryFile(A->LastDrop, 0, &name), 0u);
    EXPECT_EQ(name, "unchanged");
    TPoint point{7, 7};
    EXPECT_EQ(DragQueryPoint(A->LastDrop, &point), FALSE);
    DragFinish(A->LastDrop);
    DragFinish(nullptr);
}
