// TfrmAbout, the about box of the main window: the product's name, version and picture,
// and links to the product's page, the maker's site and a mail to the maker. Made once
// at start-up after the main window and kept for the whole run; shown modally.
#pragma once

#include "platform/forms/Forms.h"

class TButton;
class TImage;
class TLabel;
class TPanel;

// The addresses the about box and the Help menu's links open.
namespace AboutLinks {
inline constexpr const char* ProductPage = "https://quorvel.example.com/";
inline constexpr const char* MakerSite = "https://www.example.org/";
inline constexpr const char* MakerScripts = "https://scripts.example.org/";
inline constexpr const char* MakerJobs = "https://jobs.example.net/";
inline constexpr const char* MakerMail = "author@example.com";
}  // namespace AboutLinks

// Asks the desktop to open a web or mail address; a failure is not reported.
void OpenAddress(TWinControl* Parent, const std::string& Address);

class TfrmAbout : public TForm {
public:
    explicit TfrmAbout(TComponent* AOwner);
    ~TfrmAbout() override;

    TPanel* Panel1;
    TLabel *ProductName, *Version, *Notice;
    TLabel *Label1, *Label2, *Label3;
    TImage* Image1;
    TButton* OKButton;

    void Label1Click(TObject* Sender);  // the product's page
    void Label2Click(TObject* Sender);  // the maker's site
    void Label3Click(TObject* Sender);  // a mail to the maker
};

// The about box, made at its first showing; nullptr until then and after it is freed.
extern TfrmAbout* frmAbout;
