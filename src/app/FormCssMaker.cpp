#include "app/FormCssMaker.h"

#include "app/Global.h"
#include "app/MainForm.h"
#include "app/MainFormParts.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/forms/CommonDialogs.h"
#include "qvedit/core/QvEditTextBuffer.h"
#include "qvedit/editor/QvEdit.h"
#include "qvedit/highlighters/QvHighlighterCss.h"

#include <span>

TfrmCssMaker* frmCssMaker = nullptr;

namespace {

constexpr int RowHeight = 26;
constexpr int ValueLeft = 150;

// The text of a row whose check box is on.
std::optional<std::string> IfChecked(const TCheckBox* Box, const std::string& Text)
{
    return Box->Checked() ? std::optional<std::string>(Text) : std::nullopt;
}

}  // namespace

TfrmCssMaker::TfrmCssMaker(TComponent* AOwner) : TForm(AOwner)
{
    SetName("frmCssMaker");
    SetCaption("CSS Maker");
    SetBorderStyle(bsDialog);
    // Over the window it works on, not over its menus at the screen's corner.
    SetPosition(poMainFormCenter);
    SetBounds(0, 0, 460, 560);
    BuildRows();
    BuildRuleEditor();
    OnCreate = TNotifyEvent(this, &TfrmCssMaker::FormCreate);
}

TfrmCssMaker::~TfrmCssMaker()
{
    if (frmCssMaker == this)
        frmCssMaker = nullptr;
}

void TfrmCssMaker::BuildRows()
{
    auto combo = [&](const char* Name, std::span<const char* const> Items, int Top, int Left, int Width) {
        auto* box = MakeControl<TComboBox>(this, this, Name);
        box->SetStyle(csDropDown);
        box->SetBounds(Left, Top, Width, 22);
        for (const char* item : Items)
            box->Items()->Add(item);
        if (!Items.empty())
            box->SetText(Items.front());
        return box;
    };
    auto* selectorLabel = MakeControl<TLabel>(this, this, "Label1");
    selectorLabel->SetCaption("Selector:");
    selectorLabel->SetBounds(12, 12, 120, 18);
    cSelector = combo("cSelector", CssSelectorItems(), 8, ValueLeft, 160);

    static constexpr const char* captions[8] = {"Font-family", "Font-size",       "Color",
                                                "Text-decoration", "Background-color", "Text-align",
                                                "Border",      "Border-style"};
    // Rows from top to bottom; CheckBox5 (background colour) stands in the fourth row.
    static constexpr int rowOf[8] = {0, 1, 2, 4, 3, 5, 6, 7};
    for (int i = 0; i < 8; ++i) {
        CheckBoxes[i] = MakeControl<TCheckBox>(this, this, "CheckBox" + std::to_string(i + 1));
        CheckBoxes[i]->SetCaption(captions[i]);
        CheckBoxes[i]->SetBounds(12, 38 + rowOf[i] * RowHeight, 136, 20);
    }
    auto top = [](int Row) { return 36 + Row * RowHeight; };
    cFontFamily = MakeControl<TComboBox>(this, this, "cFontFamily");
    cFontFamily->SetStyle(csDropDown);
    cFontFamily->SetBounds(ValueLeft, top(0), 200, 22);
    cFontSize = combo("cFontSize", CssFontSizeItems(), top(1), ValueLeft, 60);
    cFontSize->SetText("10");
    cFontType = combo("cFontType", CssFontUnitItems(), top(1), ValueLeft + 70, 60);
    cFontType->SetText("pt");

    auto colorRow = [&](const char* Edit, const char* Box, int Row, TEdit*& Text, TColorBox*& Colors) {
        Text = MakeControl<TEdit>(this, this, Edit);
        Text->SetBounds(ValueLeft, top(Row), 80, 22);
        Text->SetText(CssInitialColor);
        Colors = MakeControl<TColorBox>(this, this, Box);
        Colors->SetBounds(ValueLeft + 90, top(Row), 150, 22);
    };
    colorRow("txtColor", "ColorBox1", 2, txtColor, ColorBox1);
    colorRow("txtBgColor", "ColorBox2", 3, txtBgColor, ColorBox2);
    ColorBox1->OnSelect = TNotifyEvent(this, &TfrmCssMaker::ColorBox1Select);
    ColorBox2->OnSelect = TNotifyEvent(this, &TfrmCssMaker::ColorBox2Select);

    cTextDecoration = combo("cTextDecoration", CssTextDecorationItems(), top(4), ValueLeft, 120);
    cTextDecoration->SetText("none");
    cTextAlign = combo("cTextAlign", CssTextAlignItems(), top(5), ValueLeft, 120);
    cBorder = combo("cBorder", CssBorderItems(), top(6), ValueLeft, 60);
    cBorder->SetText("3");
    cBStyle = combo("cBStyle", CssBorderStyleItems(), top(7), ValueLeft, 120);
}

void TfrmCssMaker::BuildRuleEditor()
{
    Button1 = MakeControl<TButton>(this, this, "Button1");
    Button1->SetCaption("ADD");
    Button1->SetBounds(12, 250, 80, 25);
    Button1->OnClick = TNotifyEvent(this, &TfrmCssMaker::Button1Click);

    QvCssHighlighter1 = new TQvCssHighlighter(this);
    QvCssHighlighter1->SetName("QvCssHighlighter1");
    txtSource = MakeControl<TQvEdit>(this, this, "txtSource");
    txtSource->SetBounds(12, 282, 430, 200);
    txtSource->SetHighlighter(QvCssHighlighter1);
    txtSource->SetMaxLineWidth(100000);
    txtSource->GetGutter()->SetShowLineNumbers(true);

    SpeedButton1 = MakeControl<TSpeedButton>(this, this, "SpeedButton1");
    SpeedButton1->SetCaption("Save As...");
    SpeedButton1->SetHint("Save file");
    SpeedButton1->SetShowHint(true);
    SpeedButton1->SetBounds(12, 492, 90, 25);
    SpeedButton1->OnClick = TNotifyEvent(this, &TfrmCssMaker::SpeedButton1Click);
    CancelBtn = MakeControl<TButton>(this, this, "CancelBtn");
    CancelBtn->SetCaption("Cancel");
    CancelBtn->SetBounds(272, 492, 80, 25);
    CancelBtn->SetCancel(true);
    CancelBtn->SetModalResult(mrCancel);
    OKBtn = MakeControl<TButton>(this, this, "OKBtn");
    OKBtn->SetCaption("Insert");
    OKBtn->SetBounds(362, 492, 80, 25);
    OKBtn->SetDefault(true);
    OKBtn->SetModalResult(mrOk);
    OKBtn->OnClick = TNotifyEvent(this, &TfrmCssMaker::OKBtnClick);

    SaveDialog1 = new TSaveDialog(this);
    SaveDialog1->SetName("SaveDialog1");
    SaveDialog1->SetDefaultExt(CssSaveDefaultExt);
    SaveDialog1->SetFilter(CssSaveFilter);
    SaveDialog1->SetOptions(SaveDialog1->GetOptions() | ofOverwritePrompt);
}

void TfrmCssMaker::FormCreate(TObject*)
{
    cFontFamily->Items()->Assign(Screen->Fonts());
}

TCssRuleChoices TfrmCssMaker::Choices() const
{
    TCssRuleChoices choices;
    choices.Selector = cSelector->Text();
    choices.FontFamily = IfChecked(CheckBoxes[0], cFontFamily->Text());
    if (CheckBoxes[1]->Checked())
        choices.FontSize = TCssFontSize{cFontSize->Text(), cFontType->Text()};
    choices.Color = IfChecked(CheckBoxes[2], txtColor->Text());
    choices.TextDecoration = IfChecked(CheckBoxes[3], cTextDecoration->Text());
    choices.BackgroundColor = IfChecked(CheckBoxes[4], txtBgColor->Text());
    choices.TextAlign = IfChecked(CheckBoxes[5], cTextAlign->Text());
    choices.Border = IfChecked(CheckBoxes[6], cBorder->Text());
    choices.BorderStyle = IfChecked(CheckBoxes[7], cBStyle->Text());
    return choices;
}

void TfrmCssMaker::Button1Click(TObject*)
{
    txtSource->QvSetText(txtSource->QvGetText() + BuildCssRule(Choices()));
}

void TfrmCssMaker::OKBtnClick(TObject*)
{
    frmEdit->Editor->SetSelTextExternal(txtSource->QvGetText());
}

void TfrmCssMaker::SpeedButton1Click(TObject*)
{
    if (SaveDialog1->Execute() && !SaveDialog1->GetFileName().empty())
        txtSource->GetLines()->SaveToFile(SaveDialog1->GetFileName());
}

void TfrmCssMaker::ColorBox1Select(TObject*)
{
    txtColor->SetText(HtmlColorText(ColorBox1->Selected()));
    if (txtColor->CanFocus())
        txtColor->SetFocus();
}

void TfrmCssMaker::ColorBox2Select(TObject*)
{
    txtBgColor->SetText(HtmlColorText(ColorBox2->Selected()));
    if (txtBgColor->CanFocus())
        txtBgColor->SetFocus();
}
