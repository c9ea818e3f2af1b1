#include "app/FormAbout.h"

#include "app/MainFormParts.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/graphics/Graphics.h"
#include "platform/graphics/Jpeg.h"
#include "platform/window/Shell.h"

#include <algorithm>
#include <cstddef>

// The picture's JPEG bytes, compiled in from resources/about.jpg.
extern const unsigned char AboutPictureJpeg[];
extern const std::size_t AboutPictureJpeg_SIZE;

TfrmAbout* frmAbout = nullptr;

void OpenAddress(TWinControl* Parent, const std::string& Address)
{
    ShellExecute(Parent != nullptr ? Parent->Handle() : nullptr, "open", Address, "", "", SW_HIDE);
}

TfrmAbout::TfrmAbout(TComponent* AOwner) : TForm(AOwner)
{
    SetName("frmAbout");
    SetCaption("Quorvel");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetBounds(0, 0, 300, 330);

    Panel1 = MakeControl<TPanel>(this, this, "Panel1");
    Panel1->SetBounds(8, 8, 278, 248);
    Panel1->SetBevelOuter(bvRaised);
    Panel1->SetBevelInner(bvLowered);

    Image1 = MakeControl<TImage>(this, Panel1, "Image1");
    Image1->SetBounds(32, 10, 213, 100);
    TBitmap picture;
    LoadJpegFromMemory(AboutPictureJpeg, AboutPictureJpeg_SIZE, &picture);
    Image1->Picture()->Assign(&picture);

    // Each label takes the size of its text, so that no text is cut whatever the font;
    // the box grows when a text is wider than the picture's column.
    auto label = [&](const char* Name, const std::string& Caption, int Top, TColor Color) {
        auto* text = MakeControl<TLabel>(this, Panel1, Name);
        text->SetCaption(Caption);
        text->SetLeft(12);
        text->SetTop(Top);
        text->Font()->SetColor(Color);
        return text;
    };
    ProductName = label("ProductName", "Quorvel", 116, clTeal);
    ProductName->Font()->SetSize(16);
    ProductName->Font()->SetStyle(TFontStyles(fsBold));
    Version = label("Version", "Version 0.9.6", 146, clGray);
    Notice = label("Notice", "An editor for PHP scripts and the pages around them.", 166, clBlack);

    Label1 = label("Label1", AboutLinks::ProductPage, 190, clNavy);
    Label2 = label("Label2", std::string("URL: ") + AboutLinks::MakerSite, 208, clNavy);
    Label3 = label("Label3", std::string("Email: ") + AboutLinks::MakerMail, 226, clNavy);
    Label1->OnClick = TNotifyEvent(this, &TfrmAbout::Label1Click);
    Label2->OnClick = TNotifyEvent(this, &TfrmAbout::Label2Click);
    Label3->OnClick = TNotifyEvent(this, &TfrmAbout::Label3Click);
    for (TLabel* link : {Label1, Label2, Label3})
        link->SetCursor(crHandPoint);

    int widest = 254;
    for (const TLabel* text : {ProductName, Version, Notice, Label1, Label2, Label3})
        widest = std::max(widest, text->Width());
    Panel1->SetWidth(widest + 24);
    Image1->SetLeft((Panel1->Width() - Image1->Width()) / 2);
    SetWidth(Panel1->Width() + 22);

    OKButton = MakeControl<TButton>(this, this, "OKButton");
    OKButton->SetCaption("OK");
    OKButton->SetBounds((Width() - 80) / 2, 266, 80, 25);
    OKButton->SetDefault(true);
    // The box's only button: Escape closes it too, as it closes every other box.
    OKButton->SetCancel(true);
    OKButton->SetModalResult(mrOk);
}

TfrmAbout::~TfrmAbout()
{
    if (frmAbout == this)
        frmAbout = nullptr;
}

void TfrmAbout::Label1Click(TObject*)
{
    OpenAddress(this, AboutLinks::ProductPage);
}

void TfrmAbout::Label2Click(TObject*)
{
    OpenAddress(this, AboutLinks::MakerSite);
}

void TfrmAbout::Label3Click(TObject*)
{
    OpenAddress(this, std::string("mailto:") + AboutLinks::MakerMail);
}
