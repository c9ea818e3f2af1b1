// The main window's handlers that the application's part two builds (dialogs, insertion
// commands, code pages, bookmarks, character sets, printing, preview, completion choice,
// help). Until a handler is built there, it raises "... is not built yet" when called.
// The two that the file commands and the first showing call on their way,
// mnuBookmarksClearClick and ComboBox1Select, do nothing yet instead, so that opening a
// file and starting the program work meanwhile.
#include "app/MainForm.h"

#include "platform/runtime/Exceptions.h"

namespace {

[[noreturn]] void NotBuilt(const char* Handler)
{
    throw Exception(std::string("TfrmEdit::") + Handler + " is not built yet");
}

}  // namespace

void TfrmEdit::mnuEditFindClick(TObject*) { NotBuilt("mnuEditFindClick"); }
void TfrmEdit::mnuEditReplaceClick(TObject*) { NotBuilt("mnuEditReplaceClick"); }
void TfrmEdit::mnuEditGoToClick(TObject*) { NotBuilt("mnuEditGoToClick"); }
void TfrmEdit::FragmentButtonClick(TObject*) { NotBuilt("FragmentButtonClick"); }
void TfrmEdit::SpeedButton71Click(TObject*) { NotBuilt("SpeedButton71Click"); }
void TfrmEdit::HTMLTagsItemsDblClick(TObject*) { NotBuilt("HTMLTagsItemsDblClick"); }
void TfrmEdit::HTMLAttriItemsDblClick(TObject*) { NotBuilt("HTMLAttriItemsDblClick"); }
void TfrmEdit::ColorBox1Select(TObject*) { NotBuilt("ColorBox1Select"); }
void TfrmEdit::mnuInsertColorClick(TObject*) { NotBuilt("mnuInsertColorClick"); }
void TfrmEdit::mnuInsertFontClick(TObject*) { NotBuilt("mnuInsertFontClick"); }
void TfrmEdit::mnuInsertDateAndTimeClick(TObject*) { NotBuilt("mnuInsertDateAndTimeClick"); }
void TfrmEdit::EncodingWinKoi(TObject*) { NotBuilt("EncodingWinKoi"); }
void TfrmEdit::EncodingWinDos(TObject*) { NotBuilt("EncodingWinDos"); }
void TfrmEdit::EncodingWinIso(TObject*) { NotBuilt("EncodingWinIso"); }
void TfrmEdit::EncodingKoiWin(TObject*) { NotBuilt("EncodingKoiWin"); }
void TfrmEdit::EncodingDosWin(TObject*) { NotBuilt("EncodingDosWin"); }
void TfrmEdit::EncodingIsoWin(TObject*) { NotBuilt("EncodingIsoWin"); }
void TfrmEdit::BookmarkGoClick(TObject*) { NotBuilt("BookmarkGoClick"); }
void TfrmEdit::BookmarkSetClick(TObject*) { NotBuilt("BookmarkSetClick"); }
void TfrmEdit::BookmarkClearClick(TObject*) { NotBuilt("BookmarkClearClick"); }
void TfrmEdit::mnuBookmarksClearClick(TObject*) {}
void TfrmEdit::cCharsetSelect(TObject*) { NotBuilt("cCharsetSelect"); }
void TfrmEdit::CharsetItemClick(TObject*) { NotBuilt("CharsetItemClick"); }
void TfrmEdit::mnuFilePrintClick(TObject*) { NotBuilt("mnuFilePrintClick"); }
void TfrmEdit::mnuFilePrinterSettingsClick(TObject*) { NotBuilt("mnuFilePrinterSettingsClick"); }
void TfrmEdit::mnuFilePrinterParamLineNumbersClick(TObject*) { NotBuilt("mnuFilePrinterParamLineNumbersClick"); }
void TfrmEdit::mnuFilePreviewClick(TObject*) { NotBuilt("mnuFilePreviewClick"); }
void TfrmEdit::ComboBox1Select(TObject*) {}
void TfrmEdit::CSSMaker1Click(TObject*) { NotBuilt("CSSMaker1Click"); }
void TfrmEdit::mnuHelpHomePageClick(TObject*) { NotBuilt("mnuHelpHomePageClick"); }
void TfrmEdit::N99Click(TObject*) { NotBuilt("N99Click"); }
void TfrmEdit::mnuHelpMakerSiteClick(TObject*) { NotBuilt("mnuHelpMakerSiteClick"); }
void TfrmEdit::N100Click(TObject*) { NotBuilt("N100Click"); }
void TfrmEdit::mnuHelpAboutClick(TObject*) { NotBuilt("mnuHelpAboutClick"); }
