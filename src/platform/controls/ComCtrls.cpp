// Page controls and tab sheets: a QTabBar on the page control's client area, and the
// sheets below (or beside) it, one shown at a time.
#include "platform/controls/ComCtrls.h"

#include "platform/controls/StdCtrlsQt.h"
#include "platform/window/ControlsQt.h"

#include <QSignalBlocker>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>

#include <algorithm>

namespace {

QTabBar* TabBar(const TPageControl* control)
{
    return control->Window()->Client()->findChild<QTabBar*>(QString(), Qt::FindDirectChildrenOnly);
}

// The frame around the pages, under them: the style's frame of a tab widget's pane.
class QvPageFrame final : public QWidget {
public:
    QvPageFrame(QWidget* parent, QTabBar* bar) : QWidget(parent), bar_(bar) {}

    // How far the pages stay inside the frame, so that it shows.
    int Inset() const { return style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QStylePainter painter(this);
        QStyleOptionTabWidgetFrame option;
        option.initFrom(this);
        option.shape = bar_->shape();
        option.tabBarSize = bar_->size();
        option.lineWidth = Inset();
        painter.drawPrimitive(QStyle::PE_FrameTabWidget, option);
    }

private:
    QTabBar* bar_;
};

QvPageFrame* PageFrame(const TPageControl* control)
{
    return control->Window()->Client()->findChild<QvPageFrame*>(QString(), Qt::FindDirectChildrenOnly);
}

QTabBar::Shape TabShape(TTabPosition position)
{
    switch (position) {
    case tpBottom: return QTabBar::RoundedSouth;
    case tpLeft: return QTabBar::RoundedWest;
    case tpRight: return QTabBar::RoundedEast;
    default: return QTabBar::RoundedNorth;
    }
}

}  // namespace

// ---- TTabSheet --------------------------------------------------------------------------

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner)
{
    SetVisible(false);  // the page control shows its active page
}

TPageControl* TTabSheet::PageControl() const
{
    return dynamic_cast<TPageControl*>(Parent());
}

void TTabSheet::SetPageControl(TPageControl* Value)
{
    SetParent(Value);
}

void TTabSheet::SetCaption(const std::string& Value)
{
    caption_ = Value;
    if (TPageControl* pages = PageControl())
        pages->PageCaptionChanged(this);
}

int TTabSheet::PageIndex() const
{
    const TPageControl* pages = PageControl();
    if (pages == nullptr)
        return -1;
    for (int i = 0; i < pages->PageCount(); ++i)
        if (pages->Pages(i) == this)
            return i;
    return -1;
}

// ---- TPageControl -----------------------------------------------------------------------

TPageControl::TPageControl(TComponent* AOwner) : TWinControl(AOwner)
{
    auto* bar = new QTabBar(Window()->Client());
    bar->setFocusPolicy(Qt::NoFocus);
    bar->setDrawBase(true);
    bar->show();
    auto* frame = new QvPageFrame(Window()->Client(), bar);
    frame->lower();
    frame->show();
    ConnectGuarded(bar, &QTabBar::currentChanged, this, [this](int index) {
        ShowPage(index);
        if (OnChange)
            OnChange(this);
    });
    SetBounds(0, 0, 289, 193);
}

TPageControl::~TPageControl() = default;

TTabSheet* TPageControl::Pages(int Index) const
{
    if (Index < 0 || Index >= PageCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return pages_[static_cast<std::size_t>(Index)];
}

TTabSheet* TPageControl::ActivePage() const
{
    return active_ >= 0 ? pages_[static_cast<std::size_t>(active_)] : nullptr;
}

void TPageControl::SetActivePage(TTabSheet* Value)
{
    const auto it = std::find(pages_.begin(), pages_.end(), Value);
    if (it == pages_.end())
        throw EInvalidOperation("The sheet is no page of this page control");
    ShowPage(static_cast<int>(it - pages_.begin()));
}

int TPageControl::ActivePageIndex() const
{
    return active_;
}

void TPageControl::SetActivePageIndex(int Value)
{
    ShowPage(Value >= 0 && Value < PageCount() ? Value : -1);
}

void TPageControl::SetTabPosition(TTabPosition Value)
{
    tabPosition_ = Value;
    TabBar(this)->setShape(TabShape(Value));
    LayoutPages();
}

void TPageControl::PageCaptionChanged(TTabSheet* Page)
{
    const auto it = std::find(pages_.begin(), pages_.end(), Page);
    if (it != pages_.end())
        TabBar(this)->setTabText(static_cast<int>(it - pages_.begin()), QString::fromUtf8(Page->Caption()));
    LayoutPages();
}

void TPageControl::ControlListChanged(TControl* Control, bool Inserted)
{
    QTabBar* bar = TabBar(this);
    const QSignalBlocker quiet(bar);
    if (Inserted) {
        auto* sheet = dynamic_cast<TTabSheet*>(Control);
        if (sheet == nullptr)
            return;
        pages_.push_back(sheet);
        bar->addTab(QString::fromUtf8(sheet->Caption()));
        sheet->SetVisible(false);
        LayoutPages();
        if (active_ < 0)
            ShowPage(0);
        return;
    }
    // A sheet being destroyed is no TTabSheet any more: it is found by its address.
    const auto it = std::find_if(pages_.begin(), pages_.end(),
                                 [Control](TTabSheet* page) { return static_cast<TControl*>(page) == Control; });
    if (it == pages_.end())
        return;
    const int index = static_cast<int>(it - pages_.begin());
    pages_.erase(it);
    bar->removeTab(index);
    if (index < active_) {
        --active_;
    } else if (index == active_) {
        active_ = -1;
        ShowPage(std::min(index, PageCount() - 1));
    }
}

void TPageControl::WMSize(TWMSize& Message)
{
    TWinControl::WMSize(Message);
    LayoutPages();
}

void TPageControl::ShowPage(int Index)
{
    active_ = Index;
    for (int i = 0; i < PageCount(); ++i)
        pages_[static_cast<std::size_t>(i)]->SetVisible(i == Index);
    QTabBar* bar = TabBar(this);
    const QSignalBlocker quiet(bar);
    bar->setCurrentIndex(Index);
}

void TPageControl::LayoutPages()
{
    QTabBar* bar = TabBar(this);
    const TRect client = ClientRect();
    const QSize hint = bar->sizeHint();
    const bool vertical = tabPosition_ == tpLeft || tabPosition_ == tpRight;
    const int strip = PageCount() == 0 ? 0 : vertical ? hint.width() : hint.height();
    TRect page = client;
    switch (tabPosition_) {
    case tpLeft:
        bar->setGeometry(0, 0, strip, client.Height());
        page.Left += strip;
        break;
    case tpRight:
        bar->setGeometry(client.Width() - strip, 0, strip, client.Height());
        page.Right -= strip;
        break;
    case tpBottom:
        bar->setGeometry(0, client.Height() - strip, client.Width(), strip);
        page.Bottom -= strip;
        break;
    default:
        bar->setGeometry(0, 0, client.Width(), strip);
        page.Top += strip;
        break;
    }
    QvPageFrame* frame = PageFrame(this);
    frame->setGeometry(page.Left, page.Top, page.Width(), page.Height());
    frame->setVisible(PageCount() > 0);
    const int inset = frame->Inset();
    page = {page.Left + inset, page.Top + inset, page.Right - inset, page.Bottom - inset};
    for (TTabSheet* sheet : pages_)
        sheet->SetBoundsRect(page);
}
