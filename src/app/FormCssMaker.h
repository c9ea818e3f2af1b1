// TfrmCssMaker, the CSS rule dialog: builds rules from a selector and a few property
// rows, collects them in its own editor, and inserts them into the main editor or saves
// them as a file. Made once at start-up after the main window and kept for the whole
// run, so that its rules, check marks and choices last between openings; shown modally.
#pragma once

#include "app/CssRule.h"
#include "platform/forms/Forms.h"

#include <array>

class TButton;
class TCheckBox;
class TColorBox;
class TComboBox;
class TEdit;
class TQvCssHighlighter;
class TQvEdit;
class TSaveDialog;
class TSpeedButton;

class TfrmCssMaker : public TForm {
public:
    explicit TfrmCssMaker(TComponent* AOwner);
    ~TfrmCssMaker() override;

    TComboBox* cSelector;
    // CheckBox1 to CheckBox8: font family, font size, colour, text decoration,
    // background colour, text alignment, border, border style.
    std::array<TCheckBox*, 8> CheckBoxes;
    TComboBox *cFontFamily, *cFontSize, *cFontType, *cTextDecoration, *cTextAlign, *cBorder, *cBStyle;
    TEdit *txtColor, *txtBgColor;
    TColorBox *ColorBox1, *ColorBox2;
    TButton* Button1;  // ADD
    TQvEdit* txtSource;
    TQvCssHighlighter* QvCssHighlighter1;
    TSpeedButton* SpeedButton1;  // Save As...
    TButton *CancelBtn, *OKBtn;
    TSaveDialog* SaveDialog1;

    void FormCreate(TObject* Sender);
    void Button1Click(TObject* Sender);
    void OKBtnClick(TObject* Sender);
    void SpeedButton1Click(TObject* Sender);
    void ColorBox1Select(TObject* Sender);
    void ColorBox2Select(TObject* Sender);

    // What the rows hold now: the texts of the checked rows, nothing for the others.
    TCssRuleChoices Choices() const;

private:
    void BuildRows();
    void BuildRuleEditor();
};

// The dialog, made at its first showing; nullptr until then and after it is freed.
extern TfrmCssMaker* frmCssMaker;
