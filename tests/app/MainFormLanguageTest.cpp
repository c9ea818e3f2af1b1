// Retitling from language files: every key lands in its control, the pop-up menu and the
// tool bar's tooltips follow, a missing key or file, and the language menu.
#include "FailingFile.h"
#include "MainFormFixture.h"
#include "ShownText.h"

#include "app/LanguageFile.h"
#include "app/MainFormParts.h"
#include "platform/controls/ComCtrls.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/window/Menus.h"
#include "qvedit/editor/QvEdit.h"

#include <filesystem>

namespace {

using MainFormLanguageTest = TMainFormFixture;

// The controls of the main window that the MainForm section retitles, each by the key
// of the same name unless given.
const char* const retitledByOwnKey[] = {
    "lblCurrentHightliter", "mnuFile", "mnuFileNew", "mnuFileOpen", "mnuFileSave", "mnuFileSaveAs",
    "mnuFileClose", "mnuFilePrinterParam", "mnuFilePrinterParamLineNumbers", "mnuFilePrint",
    "mnuFilePrinterSettings", "mnuFilePreview", "mnuFileRecentFiles", "mnuFileExit", "mnuEdit",
    "mnuEditUndo", "mnuEditRedo", "mnuEditCut", "mnuEditCopy", "mnuEditPaste", "mnuEditFind",
    "mnuEditReplace", "mnuEditBigCase", "mnuEditSmallCase", "mnuEditGoTo", "mnuEditSelectAll",
    "mnuView", "mnuViewBlock", "mnuViewBlockNormal", "mnuViewBlockColumn", "mnuViewBlockLine",
    "mnuViewEncoding", "tCoding", "mnuViewCharset", "mnuViewTools", "mnuViewMenu", "mnuHightliter",
    "mnuHightliterLanguages", "mnuBookmarks", "mnuBookmarksGo", "mnuBookmarksAdd", "mnuBookmarksRemove",
    "mnuBookmarksClear", "mnuInsert", "mnuInsertColor", "mnuInsertFont", "mnuInsertDateAndTime", "mnuHelp",
    "mnuHelpAbout", "tFileManager", "gChars", "gTemplates"};

const std::pair<const char*, const char*> retitledByOtherKey[] = {
    {"mnuLanguage", "LangMenu"}, {"tInsert", "mnuInsert"}, {"gColor", "mnuInsertColor"},
    {"tCodingConverFromTo", "mnuViewEncoding"}, {"tCodingChangeCharset", "mnuViewCharset"},
    {"PopupUndo", "mnuEditUndo"}, {"PopupRedo", "mnuEditRedo"}, {"PopupCut", "mnuEditCut"},
    {"PopupCopy", "mnuEditCopy"}, {"PopupPaste", "mnuEditPaste"}, {"PopupSearch", "mnuEditFind"},
    {"PopupGoTo", "mnuEditGoTo"}, {"PopupSelAll", "mnuEditSelectAll"}, {"PopupInsert", "mnuInsert"},
    {"PopupInsertColor", "mnuInsertColor"}, {"PopupInsertFont", "mnuInsertFont"},
    {"PopupInsertTime", "mnuInsertDateAndTime"}};

const std::pair<const char*, const char*> hints[] = {
    {"bNew", "mnuFileNew"},       {"bOpen", "mnuFileOpen"},   {"bSave", "mnuFileSave"},
    {"bClose", "mnuFileClose"},   {"bPrint", "mnuFilePrint"}, {"bPrintSetup", "mnuFilePrinterSettings"},
    {"bPreview", "mnuFilePreview"}, {"bUndo", "mnuEditUndo"}, {"bRedo", "mnuEditRedo"},
    {"bCut", "mnuEditCut"},       {"bCopy", "mnuEditCopy"},   {"bPaste", "mnuEditPaste"},
    {"bFind", "mnuEditFind"}};

std::string CaptionNamed(TComponent* Owner, const std::string& Name)
{
    TComponent* control = Owner->FindComponent(Name);
    EXPECT_NE(control, nullptr) << Name;
    return control != nullptr ? CaptionOf(control) : std::string();
}

TEST_F(MainFormLanguageTest, EveryKeyLandsInItsControl)
{
    Start();
    PickEverySidePage();  // made after the language was loaded
    TfrmEdit& form = Form();
    for (const char* name : retitledByOwnKey)
        EXPECT_EQ(CaptionNamed(&form, name), std::string("~") + name);
    for (const auto& [name, key] : retitledByOtherKey)
        EXPECT_EQ(CaptionNamed(&form, name), std::string("~") + key) << name;
    for (const auto& [button, key] : hints) {
        auto* control = dynamic_cast<TControl*>(form.FindComponent(button));
        ASSERT_NE(control, nullptr) << button;
        EXPECT_EQ(control->Hint(), std::string("~") + key) << button;
    }
    EXPECT_EQ(frmSearch->Caption(), "~SearchForm.Caption");
    EXPECT_EQ(frmGoTo->Caption(), "~GoTo.Caption");

    // What is never retitled.
    EXPECT_EQ(form.Caption(), "Quorvel");
    EXPECT_EQ(form.HTML1->Caption(), "HTML");
    EXPECT_EQ(form.CSSMaker1->Caption(), "CSS Maker");
    EXPECT_EQ(form.TabSheet3->Caption(), "HTML");
    EXPECT_EQ(form.CurSyntax->Caption(), " HTML");
}

TEST_F(MainFormLanguageTest, AKeyTheFileLacksKeepsItsCaption)
{
    AddLanguage("Part_lang.dat", "[MainForm]\nmnuEdit=Bearbeiten\n");
    Start();
    Form().txtLang->SetText(Folder() + "languages/Part_lang.dat");
    Form().LoadLanguage();
    EXPECT_EQ(Form().mnuEdit->Caption(), "Bearbeiten");
    EXPECT_EQ(Form().mnuFile->Caption(), "~mnuFile");
    EXPECT_EQ(Form().bNew->Hint(), "~mnuFileNew");
}

TEST_F(MainFormLanguageTest, AMissingFileIsToldAndRetitlesNothing)
{
    Write("settings.ini", "[Settings]\nLanguage=" + Folder() + "languages/Gone_lang.dat\n");
    QueueBox(IDOK);
    Start();
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Error opening the " + Folder() +
                                                   "languages/Gone_lang.dat language file! No such file or "
                                                   "directory. The language stays as it was."});
    EXPECT_EQ(Form().mnuFile->Caption(), "Файл");  // the built-in caption stays
    EXPECT_EQ(Form().mnuLanguage->Caption(), "Язык");

    // The save prompt then falls back to its own text.
    Form().Editor->SetSelTextExternal("x");
    QueueBox(IDNO);
    Form().mnuFileCloseClick(nullptr);
    EXPECT_EQ(BoxTexts().back(), "Save file?");
}

TEST_F(MainFormLanguageTest, TheMenuListsTheProgramsLanguagesAndLoadsExactlyTheOneChosen)
{
    AddLanguage("Pt_BR_lang.dat", "[MainForm]\nmnuFile=Arquivo\n");
    AddLanguage("A&B_lang.dat", "[MainForm]\nmnuFile=Both\n");
    AddLanguage("readme.txt", "");
    // Another current folder with languages of its own is not listed.
    TTempFolder elsewhere;
    std::filesystem::create_directory(elsewhere.Path() + "languages");
    elsewhere.Write("languages/Other_lang.dat", "");
    const auto saved = std::filesystem::current_path();
    std::filesystem::current_path(elsewhere.Path());
    Start();
    std::filesystem::current_path(saved);

    TMenuItem* menu = Form().mnuLanguage;
    std::vector<std::string> captions;
    for (int i = 0; i < menu->Count(); ++i)
        captions.push_back(menu->Items(i)->Caption());
    EXPECT_EQ(captions, (std::vector<std::string>{"A&&B", "English", "Pt"}));

    menu->Items(2)->Click();
    EXPECT_EQ(Form().txtLang->Text(), Folder() + "languages/Pt_BR_lang.dat");
    EXPECT_EQ(Form().mnuFile->Caption(), "Arquivo");
    menu->Items(1)->Click();
    menu->Items(1)->Click();  // twice is the same as once
    EXPECT_EQ(Form().mnuFile->Caption(), "~mnuFile");
    EXPECT_EQ(Form().bSave->Hint(), "~mnuFileSave");
}

// The captions of every control the loader retitles, in reading order.
std::vector<std::string> RetitledCaptions(TfrmEdit& Main)
{
    std::vector<std::string> captions;
    for (const TLanguageRead& read : LanguageReads()) {
        const std::string section = read.Section;
        TForm* form = section == "SearchForm" ? static_cast<TForm*>(frmSearch)
                      : section == "GoTo"     ? static_cast<TForm*>(frmGoTo)
                                              : &Main;
        TComponent* control = form->Name() == read.Control ? form : form->FindComponent(read.Control);
        captions.push_back(control != nullptr ? CaptionOf(control) : "<missing " + section + "." + read.Control + ">");
    }
    return captions;
}

// The first control beside Control on its parent that it overlaps, or nullptr.
TControl* OverlappedSibling(TControl* Control)
{
    const TRect own = Control->BoundsRect();
    TWinControl* parent = Control->Parent();
    for (int i = 0; parent != nullptr && i < parent->ControlCount(); ++i) {
        TControl* other = parent->Controls(i);
        const TRect r = other->BoundsRect();
        if (other != Control && other->Visible() && r.Left < own.Right && own.Left < r.Right && r.Top < own.Bottom &&
            own.Top < r.Bottom)
            return other;
    }
    return nullptr;
}

// Russian words are longer than English ones: in Russian every label, button, check box
// and radio button of the find and go-to dialogs still shows its caption whole, and a
// label sized to its text reaches into no other control.
TEST_F(MainFormLanguageTest, TheDialogsShowEveryRussianCaptionWhole)
{
    AddLanguage("Russian_lang.dat", ReadFileBytes(std::string(QV_SOURCE_DIR) + "/languages/Russian_lang.dat"));
    Start();
    Form().txtLang->SetText(Folder() + "languages/Russian_lang.dat");
    Form().LoadLanguage();
    int checked = 0;
    for (const TLanguageRead& read : LanguageReads()) {
        const std::string section = read.Section;
        TForm* dialog = section == "SearchForm" ? static_cast<TForm*>(frmSearch)
                        : section == "GoTo"     ? static_cast<TForm*>(frmGoTo)
                                                : nullptr;
        auto* control = dialog != nullptr ? dynamic_cast<TControl*>(dialog->FindComponent(read.Control)) : nullptr;
        if (control == nullptr || ShownText(control) == "<no text>" || dynamic_cast<TGroupBox*>(control) != nullptr)
            continue;
        EXPECT_TRUE(ShowsTextWhole(control)) << section << "." << read.Control << " \"" << ShownText(control) << "\"";
        if (dynamic_cast<TLabel*>(control) != nullptr) {
            const TControl* other = OverlappedSibling(control);
            EXPECT_EQ(other, nullptr) << section << "." << read.Control << " reaches into " << other->Name();
        }
        ++checked;
    }
    EXPECT_EQ(checked, 12 + 3);  // the find dialog's labels, buttons and checks; the go-to dialog's
}

// Captions are UTF-8 whatever the ANSI code page (1252 here): Cyrillic reaches the
// controls and their widgets as it stands, and switching languages back and forth loses
// nothing.
TEST_F(MainFormLanguageTest, CyrillicCaptionsShowUnderAWesternCodePageAndSwitchingBackLosesNothing)
{
    ASSERT_EQ(GetACP(), 1252u);
    for (const char* name : {"English_lang.dat", "Russian_lang.dat"})
        AddLanguage(name, ReadFileBytes(std::string(QV_SOURCE_DIR) + "/languages/" + name));
    // Captions of the dialogs' controls of every kind, and a key left out.
    AddLanguage("Dialogs_lang.dat", "[SearchForm]\ntSearchAndReplace=Поиск и замена\nlblSearchFor=Искать:\n"
                                    "tSearchSettings=Параметры поиска\nbFind=Найти\nchReg=Учитывать регистр\n"
                                    "chBk=Назад\n");
    Start();
    PickEverySidePage();
    TfrmEdit& form = Form();
    auto load = [&](const char* Name) {
        form.txtLang->SetText(Folder() + "languages/" + Name);
        form.LoadLanguage();
    };
    load("English_lang.dat");
    const std::vector<std::string> english = RetitledCaptions(form);
    EXPECT_EQ(form.lblCurrentHightliter->Caption(), "Current highlighting:");  // ASCII as it stands
    EXPECT_EQ(ShownText(form.lblCurrentHightliter), "Current highlighting:");

    load("Russian_lang.dat");
    EXPECT_EQ(form.lblCurrentHightliter->Caption(), "Текущая подсветка:");
    EXPECT_EQ(ShownText(form.lblCurrentHightliter), "Текущая подсветка:");
    EXPECT_EQ(form.gChars->Caption(), "Символы");
    EXPECT_EQ(ShownText(form.gChars), "Символы");
    EXPECT_EQ(form.tFileManager->Caption(), "Файл менеджер");
    EXPECT_EQ(form.bNew->Hint(), "Новый");
    const std::vector<std::string> russian = RetitledCaptions(form);

    load("Dialogs_lang.dat");
    const std::pair<TControl*, const char*> dialog[] = {
        {frmSearch->lblSearchFor, "Искать:"},         // a label
        {frmSearch->bFind, "Найти"},                  // a button
        {frmSearch->chReg, "Учитывать регистр"},      // a check box
        {frmSearch->chBk, "Назад"},                   // a radio button
        {frmSearch->tSearchSettings, "Параметры поиска"}};  // a group box
    for (const auto& [control, caption] : dialog) {
        EXPECT_EQ(CaptionOf(control), caption);
        EXPECT_EQ(ShownText(control), caption);
    }
    EXPECT_EQ(frmSearch->tSearchAndReplace->Caption(), "Поиск и замена");
    EXPECT_EQ(frmSearch->bFindNext->Caption(), "Найти далее");  // a key the file lacks keeps its caption

    load("English_lang.dat");
    EXPECT_EQ(RetitledCaptions(form), english);
    load("Russian_lang.dat");
    EXPECT_EQ(RetitledCaptions(form), russian);
}

// What a language load may change: the caption of every control it retitles, the
// pop-up menu's copies, the tool bar's tooltips and the language file in use.
std::vector<std::string> LanguageState(TfrmEdit& Main)
{
    std::vector<std::string> state = RetitledCaptions(Main);
    for (const auto& [name, key] : retitledByOtherKey)
        state.push_back(CaptionOf(Main.FindComponent(name)));
    for (const auto& [button, key] : hints)
        state.push_back(dynamic_cast<TControl*>(Main.FindComponent(button))->Hint());
    state.push_back(Main.txtLang->Text());
    return state;
}

void Choose(TfrmEdit& Main, const std::string& Language)
{
    TMenuItem* menu = Main.mnuLanguage;
    for (int i = 0; i < menu->Count(); ++i)
        if (menu->Items(i)->Caption() == Language)
            menu->Items(i)->Click();
}

// The side pane's pages after the file manager are made when first shown, and take the
// titles the languages loaded before gave them: a window whose pages are made before its
// showing, after it, or after any of the loads of English, Russian and a file lacking
// most keys ends with the same captions, tooltips and pop-up copies.
TEST_F(MainFormLanguageTest, PagesMadeBeforeOrAfterEachLanguageLoadEndTitledAlike)
{
    for (const char* name : {"English_lang.dat", "Russian_lang.dat"})
        AddLanguage(name, ReadFileBytes(std::string(QV_SOURCE_DIR) + "/languages/" + name));
    AddLanguage("Part_lang.dat", "[MainForm]\nmnuFile=Datei\ngTemplates=Vorlagen\n");
    const char* const loads[] = {"Russian", "English", "Part"};
    // Step 0 makes the pages before the window is shown, step 1 after, step 2 + n after
    // the nth load; step 5 makes them before the loads and again after, which does nothing.
    auto finalState = [&](TfrmEdit& Window, int MakePagesAt) {
        auto makePages = [&](int Step) {
            if (Step != MakePagesAt && !(MakePagesAt == 5 && (Step == 0 || Step == 4)))
                return;
            for (TTabSheet* page : {Window.tInsert, Window.TabSheet3, Window.TabSheet1, Window.tCoding}) {
                Window.PageControl1->SetActivePage(page);
                Window.PageControl1->OnChange(Window.PageControl1);
            }
            Window.PageControl1->SetActivePage(Window.tFileManager);
        };
        makePages(0);
        Window.Show();
        makePages(1);
        for (int n = 0; n < 3; ++n) {
            Choose(Window, loads[n]);
            makePages(2 + n);
        }
        EXPECT_NE(Window.gChars, nullptr) << "pages made at step " << MakePagesAt;
        return LanguageState(Window);
    };
    const std::vector<std::string> reference = finalState(Form(), 5);
    EXPECT_EQ(CaptionOf(Form().gChars), "Characters");        // English kept where Part lacks the key
    EXPECT_EQ(CaptionOf(Form().gTemplates), "Vorlagen");
    EXPECT_EQ(CaptionOf(Form().gColor), "Color");             // copied from the menu item
    EXPECT_EQ(CaptionOf(Form().tCodingChangeCharset), "Character set");
    for (int step = 0; step < 5; ++step) {
        TfrmEdit window(nullptr);
        window.SetProgramFolder(Folder());
        EXPECT_EQ(finalState(window, step), reference) << "pages made at step " << step;
    }
}

// The find and go-to dialogs are made at their first opening, once, with the titles the
// languages loaded before gave them: the same as in dialogs that were there all along.
TEST_F(MainFormLanguageTest, TheDialogsMadeAtTheirFirstOpeningAreTitledAsIfMadeBefore)
{
    AddLanguage("Russian_lang.dat", ReadFileBytes(std::string(QV_SOURCE_DIR) + "/languages/Russian_lang.dat"));
    AddLanguage("Part_lang.dat", "[SearchForm]\nbFind=Suchen\nCaption=Suchen und ersetzen\n[GoTo]\nbGo=Los\n");
    TfrmEdit& form = Form();
    Start();
    Choose(form, "Russian");
    Choose(form, "Part");
    const std::vector<std::string> madeBefore = RetitledCaptions(form);
    EXPECT_EQ(frmSearch->bFind->Caption(), "Suchen");
    EXPECT_EQ(frmSearch->bFindNext->Caption(), "Найти далее");

    delete frmSearch;
    delete frmGoTo;
    frmSearch = nullptr;
    frmGoTo = nullptr;
    Choose(form, "English");  // the fixture's captions, "~" and the key, kept for no dialog
    Choose(form, "Russian");
    Choose(form, "Part");
    EXPECT_EQ(frmSearch, nullptr);
    EXPECT_EQ(frmGoTo, nullptr);

    const int forms = Application->ComponentCount();
    form.mnuEditFindClick(nullptr);
    ASSERT_NE(frmSearch, nullptr);
    EXPECT_TRUE(frmSearch->Visible());
    EXPECT_EQ(Application->ComponentCount(), forms + 1);
    TfrmSearch* search = frmSearch;
    frmSearch->bCancelClick(frmSearch->bCancel);
    form.mnuEditReplaceClick(nullptr);
    EXPECT_EQ(frmSearch, search);
    frmSearch->bCancelClick(frmSearch->bCancel);
    SetModalHook([](const TModalRequest&) { return mrCancel; });
    form.mnuEditGoToClick(nullptr);
    ASSERT_NE(frmGoTo, nullptr);
    EXPECT_EQ(Application->ComponentCount(), forms + 2);
    form.mnuEditGoToClick(nullptr);
    form.mnuEditFindClick(nullptr);
    frmSearch->bCancelClick(frmSearch->bCancel);
    EXPECT_EQ(Application->ComponentCount(), forms + 2);
    EXPECT_EQ(RetitledCaptions(form), madeBefore);
}

// Whether Message is the one failed load's: the program's words, the file, the reason
// and that the language stays.
void ExpectTheFailureOf(const std::string& Message, const std::string& Path, const std::string& Reason)
{
    EXPECT_EQ(Message.rfind("Error opening the " + Path + " language file! ", 0), 0u) << Message;
    EXPECT_NE(Message.find(Reason), std::string::npos) << Message;
    EXPECT_NE(Message.find("The language stays as it was."), std::string::npos) << Message;
}

// A language file whose status or read fails at any one of the calls a load makes on it
// leaves the window wholly in the language it had, says so once, and writes no file.
TEST_F(MainFormLanguageTest, AFileFailingAtAnyCallOfTheLoadLeavesTheWindowAsItWas)
{
    const std::string russian = ReadFileBytes(std::string(QV_SOURCE_DIR) + "/languages/Russian_lang.dat");
    AddLanguage("Russian_lang.dat", russian);
    const std::string path = Folder() + "languages/Russian_lang.dat";
    Write("settings.ini", "[Settings]\nShowTools=1\nLanguage=" + Folder() + "languages/English_lang.dat\n");
    const std::string settings = SettingsText();
    Start();
    TfrmEdit& form = Form();
    const std::vector<std::string> english = LanguageState(form);

    for (const auto call : {TFailingFile::TCall::Status, TFailingFile::TCall::Read}) {
        int calls = 0;
        {
            const TFailingFile counting(path, call, 0);
            Choose(form, "Russian");
            calls = counting.Calls();
        }
        ASSERT_NE(LanguageState(form), english);
        Choose(form, "English");
        ASSERT_EQ(LanguageState(form), english);
        ASSERT_GT(calls, 0);
        for (int n = 1; n <= calls; ++n) {
            const std::size_t shown = BoxTexts().size();
            QueueBox(IDOK);
            {
                const TFailingFile failing(path, call, n);
                Choose(form, "Russian");
            }
            EXPECT_EQ(LanguageState(form), english) << "call " << n;
            const std::vector<std::string> texts = BoxTexts();
            ASSERT_EQ(texts.size(), shown + 1) << "call " << n;
            ExpectTheFailureOf(texts.back(), path, "Input/output error");
        }
    }
    EXPECT_EQ(Contents(path), russian);
    EXPECT_EQ(SettingsText(), settings);
}

// The same at start-up, for the language remembered in the settings file: the window
// keeps its built-in captions, and neither the file nor the settings are written.
class MainFormStartLanguageTest : public TMainFormFixture {
protected:
    void StartFailingAt(TFailingFile::TCall Call, int FailAt)
    {
        const std::string russian = ReadFileBytes(std::string(QV_SOURCE_DIR) + "/languages/Russian_lang.dat");
        AddLanguage("Russian_lang.dat", russian);
        const std::string path = Folder() + "languages/Russian_lang.dat";
        Write("settings.ini", "[Settings]\nShowMenu=1\nLanguage=" + path + "\nRecentFile1=/a.txt\n");
        const std::string settings = SettingsText();
        const std::vector<std::string> builtIn = LanguageState(Form());
        QueueBox(IDOK);
        {
            const TFailingFile failing(path, Call, FailAt);
            Start();
        }
        std::vector<std::string> expected = builtIn;
        expected.back() = path;  // the remembered language is kept for the next start
        EXPECT_EQ(LanguageState(Form()), expected);
        ASSERT_EQ(BoxTexts().size(), 1u);
        ExpectTheFailureOf(BoxTexts()[0], path, "Input/output error");
        EXPECT_EQ(Contents(path), russian);
        EXPECT_EQ(SettingsText(), settings);
    }
};

TEST_F(MainFormStartLanguageTest, AStatusFailingPartWayKeepsTheBuiltInCaptions)
{
    StartFailingAt(TFailingFile::TCall::Status, 4);
}

TEST_F(MainFormStartLanguageTest, AReadFailingPartWayKeepsTheBuiltInCaptions)
{
    StartFailingAt(TFailingFile::TCall::Read, 3);
}

}  // namespace
