// The main window's menu bar and the editor's pop-up menu. Captions are the window's
// built-in Russian ones; the language file retitles most of them at start-up.
#include "app/MainForm.h"
#include "app/MainFormParts.h"

#include "platform/window/Menus.h"

namespace {

using TClick = void (TfrmEdit::*)(TObject*);

TShortCut Ctrl(char Key)
{
    return static_cast<TShortCut>(scCtrl | static_cast<unsigned char>(Key));
}

TShortCut CtrlShift(char Key)
{
    return static_cast<TShortCut>(scCtrl | scShift | static_cast<unsigned char>(Key));
}

const std::array<const char*, 18> charsetItemNames = {
    "Default1", "Ansi1",   "Arabic1", "Baltic1",   "Chinese1", "EastEurope1",
    "Gb23121",  "Greek1",  "Hangeul1", "Hebrew1",  "Johab1",   "Mac1",
    "Eom1",     "Russian1", "ShiftJis1", "Symbol1", "Thai1",    "Turkish1"};

const std::array<const char*, 18> charsetNames = {
    "Default", "Ansi",  "Arabic",  "Baltic", "Chinese", "EastEurope",
    "Gb2312",  "Greek", "Hangeul", "Hebrew", "Johab",   "Mac",
    "Eom",     "Russian", "ShiftJis", "Symbol", "Thai",  "Turkish"};

const std::array<unsigned char, 18> charsetValues = {1,   0,   178, 186, 136, 238, 134, 161, 129,
                                                     177, 130, 77,  255, 204, 128, 2,   222, 162};

}  // namespace

const std::array<const char*, 18>& CharsetNames()
{
    return charsetNames;
}

const std::array<unsigned char, 18>& CharsetValues()
{
    return charsetValues;
}

TMenuItem* TfrmEdit::AddMenuItem(TMenuItem* Parent, const std::string& Name, const std::string& Caption,
                                 TShortCut Key, void (TfrmEdit::*Click)(TObject*))
{
    auto* item = new TMenuItem(this);
    item->SetName(Name);
    item->SetCaption(Caption);
    item->SetShortCut(Key);
    if (Click != nullptr)
        item->OnClick = TNotifyEvent(this, Click);
    Parent->Add(item);
    return item;
}

void TfrmEdit::AddMenuLine(TMenuItem* Parent)
{
    AddMenuItem(Parent, "", "-", scNone, nullptr);
}

void TfrmEdit::BuildMainMenu()
{
    MainMenu1 = new TMainMenu(this);
    MainMenu1->SetName("MainMenu1");
    BuildFileMenu();
    BuildEditMenu();
    BuildViewMenu();
    BuildHighlighterMenu();
    BuildBookmarkMenu();
    BuildInsertAndHelpMenus();
    Language1 = AddMenuItem(MainMenu1->Items(), "Language1", "|", scNone, nullptr);
    mnuLanguage = AddMenuItem(MainMenu1->Items(), "mnuLanguage", "Язык", scNone, nullptr);
}

void TfrmEdit::BuildFileMenu()
{
    TMenuItem* root = MainMenu1->Items();
    mnuFile = AddMenuItem(root, "mnuFile", "Файл", scNone, nullptr);
    mnuFileNew = AddMenuItem(mnuFile, "mnuFileNew", "Новый", Ctrl('N'), &TfrmEdit::mnuFileNewClick);
    mnuFileOpen = AddMenuItem(mnuFile, "mnuFileOpen", "Открыть", Ctrl('O'), &TfrmEdit::mnuFileOpenClick);
    mnuFileSave = AddMenuItem(mnuFile, "mnuFileSave", "Сохранить", Ctrl('S'), &TfrmEdit::mnuFileSaveClick);
    mnuFileSaveAs = AddMenuItem(mnuFile, "mnuFileSaveAs", "Сохранить как...", CtrlShift('S'),
                                &TfrmEdit::mnuFileSaveAsClick);
    mnuFileClose = AddMenuItem(mnuFile, "mnuFileClose", "Закрыть", scNone, &TfrmEdit::mnuFileCloseClick);
    AddMenuLine(mnuFile);
    mnuFilePrinterParam = AddMenuItem(mnuFile, "mnuFilePrinterParam", "Параметры печати", scNone, nullptr);
    mnuFilePrinterParamLineNumbers =
        AddMenuItem(mnuFilePrinterParam, "mnuFilePrinterParamLineNumbers", "Нумерация строк", scNone,
                    &TfrmEdit::mnuFilePrinterParamLineNumbersClick);
    mnuFilePrint = AddMenuItem(mnuFile, "mnuFilePrint", "Печать", Ctrl('P'), &TfrmEdit::mnuFilePrintClick);
    mnuFilePrinterSettings = AddMenuItem(mnuFile, "mnuFilePrinterSettings", "Свойства принтера", scNone,
                                         &TfrmEdit::mnuFilePrinterSettingsClick);
    AddMenuLine(mnuFile);
    CSSMaker1 = AddMenuItem(mnuFile, "CSSMaker1", "CSS Maker", scNone, &TfrmEdit::CSSMaker1Click);
    AddMenuLine(mnuFile);
    mnuFilePreview = AddMenuItem(mnuFile, "mnuFilePreview", "Просмотр в броузере", VK_F12,
                                 &TfrmEdit::mnuFilePreviewClick);
    AddMenuLine(mnuFile);
    mnuFileRecentFiles = AddMenuItem(mnuFile, "mnuFileRecentFiles", "Последние файлы", scNone, nullptr);
    const TClick recentClicks[] = {&TfrmEdit::mnuFileRecentFiles1Click, &TfrmEdit::mnuFileRecentFiles2Click,
                                   &TfrmEdit::mnuFileRecentFiles3Click, &TfrmEdit::mnuFileRecentFiles4Click,
                                   &TfrmEdit::mnuFileRecentFiles5Click};
    for (int n = 0; n < 5; ++n)
        mnuFileRecentFilesN[n] = AddMenuItem(mnuFileRecentFiles, "mnuFileRecentFiles" + std::to_string(n + 1),
                                             "", scNone, recentClicks[n]);
    AddMenuLine(mnuFile);
    mnuFileExit = AddMenuItem(mnuFile, "mnuFileExit", "Выход", scNone, &TfrmEdit::mnuFileExitClick);
}

void TfrmEdit::BuildEditMenu()
{
    mnuEdit = AddMenuItem(MainMenu1->Items(), "mnuEdit", "Редактор", scNone, nullptr);
    mnuEditUndo = AddMenuItem(mnuEdit, "mnuEditUndo", "Отмена", Ctrl('Z'), &TfrmEdit::mnuEditUndoClick);
    mnuEditRedo = AddMenuItem(mnuEdit, "mnuEditRedo", "Повтор", Ctrl('Y'), &TfrmEdit::mnuEditRedoClick);
    AddMenuLine(mnuEdit);
    mnuEditCut = AddMenuItem(mnuEdit, "mnuEditCut", "Вырезать", Ctrl('X'), &TfrmEdit::mnuEditCutClick);
    mnuEditCopy = AddMenuItem(mnuEdit, "mnuEditCopy", "Копировать", Ctrl('C'), &TfrmEdit::mnuEditCopyClick);
    mnuEditPaste = AddMenuItem(mnuEdit, "mnuEditPaste", "Вставить", Ctrl('V'), &TfrmEdit::mnuEditPasteClick);
    AddMenuLine(mnuEdit);
    mnuEditFind = AddMenuItem(mnuEdit, "mnuEditFind", "Найти", Ctrl('F'), &TfrmEdit::mnuEditFindClick);
    mnuEditReplace = AddMenuItem(mnuEdit, "mnuEditReplace", "Замена", Ctrl('R'), &TfrmEdit::mnuEditReplaceClick);
    mnuEditGoTo = AddMenuItem(mnuEdit, "mnuEditGoTo", "Перейти...", Ctrl('G'), &TfrmEdit::mnuEditGoToClick);
    AddMenuLine(mnuEdit);
    mnuEditBigCase = AddMenuItem(mnuEdit, "mnuEditBigCase", "Преобразовать в верхний регистр", scNone,
                                 &TfrmEdit::mnuEditBigCaseClick);
    mnuEditSmallCase = AddMenuItem(mnuEdit, "mnuEditSmallCase", "Преобразовать в нижний регистр", scNone,
                                   &TfrmEdit::mnuEditSmallCaseClick);
    AddMenuLine(mnuEdit);
    mnuEditSelectAll = AddMenuItem(mnuEdit, "mnuEditSelectAll", "Выделить всё", Ctrl('A'),
                                   &TfrmEdit::mnuEditSelectAllClick);
}

void TfrmEdit::BuildViewMenu()
{
    mnuView = AddMenuItem(MainMenu1->Items(), "mnuView", "Вид", scNone, nullptr);
    mnuViewBlock = AddMenuItem(mnuView, "mnuViewBlock", "Тип блока", scNone, nullptr);
    mnuViewBlockNormal = AddMenuItem(mnuViewBlock, "mnuViewBlockNormal", "Обычный", scNone,
                                     &TfrmEdit::mnuViewBlockNormalClick);
    mnuViewBlockColumn = AddMenuItem(mnuViewBlock, "mnuViewBlockColumn", "Столбцы", scNone,
                                     &TfrmEdit::mnuViewBlockColumnClick);
    mnuViewBlockLine = AddMenuItem(mnuViewBlock, "mnuViewBlockLine", "Строки", scNone,
                                   &TfrmEdit::mnuViewBlockLineClick);
    mnuViewBlockNormal->SetChecked(true);
    mnuViewBlockNormal->SetDefault(true);

    mnuViewEncoding = AddMenuItem(mnuView, "mnuViewEncoding", "Преобразовать из/в", scNone, nullptr);
    WinKoi1 = AddMenuItem(mnuViewEncoding, "WinKoi1", "Win -> Koi8-R", scNone, &TfrmEdit::EncodingWinKoi);
    WinDOS1 = AddMenuItem(mnuViewEncoding, "WinDOS1", "Win -> Dos", scNone, &TfrmEdit::EncodingWinDos);
    WinIso1 = AddMenuItem(mnuViewEncoding, "WinIso1", "Win ->Iso", scNone, &TfrmEdit::EncodingWinIso);
    Koi8RWin1 = AddMenuItem(mnuViewEncoding, "Koi8RWin1", "Koi8-R -> Win", scNone, &TfrmEdit::EncodingKoiWin);
    DosWin1 = AddMenuItem(mnuViewEncoding, "DosWin1", "Dos -> Win", scNone, &TfrmEdit::EncodingDosWin);
    IsoWin1 = AddMenuItem(mnuViewEncoding, "IsoWin1", "Iso -> Win", scNone, &TfrmEdit::EncodingIsoWin);

    mnuViewCharset = AddMenuItem(mnuView, "mnuViewCharset", "Включить кодировку", scNone, nullptr);
    for (std::size_t i = 0; i < CharsetItems.size(); ++i) {
        CharsetItems[i] = AddMenuItem(mnuViewCharset, charsetItemNames[i], charsetNames[i], scNone,
                                      &TfrmEdit::CharsetItemClick);
        CharsetItems[i]->SetTag(static_cast<long>(i));
        if (i == 0)
            AddMenuLine(mnuViewCharset);
    }
    CharsetItems[0]->SetDefault(true);

    AddMenuLine(mnuView);
    mnuViewTools = AddMenuItem(mnuView, "mnuViewTools", "Панель инструментов", scNone, &TfrmEdit::mnuViewToolsClick);
    mnuViewTools->SetChecked(true);
    mnuViewMenu = AddMenuItem(mnuView, "mnuViewMenu", "Меню", scNone, &TfrmEdit::mnuViewMenuClick);
    mnuViewMenu->SetChecked(true);
}

void TfrmEdit::BuildHighlighterMenu()
{
    mnuHightliter = AddMenuItem(MainMenu1->Items(), "mnuHightliter", "Подсветка", scNone, nullptr);
    mnuHightliterLanguages = AddMenuItem(mnuHightliter, "mnuHightliterLanguages", "Языки", scNone, nullptr);
    TMenuItem* languages = mnuHightliterLanguages;
    HTML1 = AddMenuItem(languages, "HTML1", "HTML", scNone, &TfrmEdit::HTML1Click);
    PHP1 = AddMenuItem(languages, "PHP1", "PHP", scNone, &TfrmEdit::PHP1Click);
    Perl1 = AddMenuItem(languages, "Perl1", "Perl", scNone, &TfrmEdit::Perl1Click);
    XHTML1 = AddMenuItem(languages, "XHTML1", "XML", scNone, &TfrmEdit::XHTML1Click);
    CSS1 = AddMenuItem(languages, "CSS1", "CSS", scNone, &TfrmEdit::CSS1Click);
    JavaScript1 = AddMenuItem(languages, "JavaScript1", "JavaScript", scNone, &TfrmEdit::JavaScript1Click);
    VBScript1 = AddMenuItem(languages, "VBScript1", "VBScript", scNone, &TfrmEdit::VBScript1Click);
    SQL1 = AddMenuItem(languages, "SQL1", "SQL", scNone, &TfrmEdit::SQL1Click);
    AddMenuLine(languages);
    C1 = AddMenuItem(languages, "C1", "C++", scNone, &TfrmEdit::C1Click);
    DfmFiles1 = AddMenuItem(languages, "DfmFiles1", "Dfm form files", scNone, &TfrmEdit::DfmFiles1Click);
    HTML1->SetDefault(true);
}

void TfrmEdit::BuildBookmarkMenu()
{
    mnuBookmarks = AddMenuItem(MainMenu1->Items(), "mnuBookmarks", "Закладки", scNone, nullptr);
    mnuBookmarksGo = AddMenuItem(mnuBookmarks, "mnuBookmarksGo", "Перейти", scNone, nullptr);
    mnuBookmarksAdd = AddMenuItem(mnuBookmarks, "mnuBookmarksAdd", "Поставить", scNone, nullptr);
    mnuBookmarksRemove = AddMenuItem(mnuBookmarks, "mnuBookmarksRemove", "Удалить", scNone, nullptr);
    for (int n = 0; n < 10; ++n) {
        const std::string digit = std::to_string(n);
        const char key = static_cast<char>('0' + n);
        p[n] = AddMenuItem(mnuBookmarksGo, "p" + digit, " ", Ctrl(key), &TfrmEdit::BookmarkGoClick);
        p[n]->SetVisible(false);
        s[n] = AddMenuItem(mnuBookmarksAdd, "s" + digit, " ", CtrlShift(key), &TfrmEdit::BookmarkSetClick);
        d[n] = AddMenuItem(mnuBookmarksRemove, "d" + digit, " ", scNone, &TfrmEdit::BookmarkClearClick);
        d[n]->SetVisible(false);
        for (TMenuItem* item : {p[n], s[n], d[n]})
            item->SetTag(n);
    }
    AddMenuLine(mnuBookmarks);
    mnuBookmarksClear = AddMenuItem(mnuBookmarks, "mnuBookmarksClear", "Стереть все закладки", scNone,
                                    &TfrmEdit::mnuBookmarksClearClick);
}

void TfrmEdit::BuildInsertAndHelpMenus()
{
    mnuInsert = AddMenuItem(MainMenu1->Items(), "mnuInsert", "Вставка", scNone, nullptr);
    mnuInsertColor = AddMenuItem(mnuInsert, "mnuInsertColor", "Цвет", scNone, &TfrmEdit::mnuInsertColorClick);
    mnuInsertFont = AddMenuItem(mnuInsert, "mnuInsertFont", "Шрифт...", scNone, &TfrmEdit::mnuInsertFontClick);
    mnuInsertDateAndTime = AddMenuItem(mnuInsert, "mnuInsertDateAndTime", "Время и дата", VK_F5,
                                       &TfrmEdit::mnuInsertDateAndTimeClick);

    mnuHelp = AddMenuItem(MainMenu1->Items(), "mnuHelp", "Помощь", scNone, nullptr);
    mnuHelpUsefullLinks = AddMenuItem(mnuHelp, "mnuHelpUsefullLinks", "Links", scNone, nullptr);
    mnuHelpHomePage = AddMenuItem(mnuHelpUsefullLinks, "mnuHelpHomePage", "Quorvel - Home page", scNone,
                                  &TfrmEdit::mnuHelpHomePageClick);
    AddMenuLine(mnuHelpUsefullLinks);
    N99 = AddMenuItem(mnuHelpUsefullLinks, "N99", "Scripts", scNone, &TfrmEdit::N99Click);
    mnuHelpMakerSite = AddMenuItem(mnuHelpUsefullLinks, "mnuHelpMakerSite", "Quorvel - Maker's site", scNone,
                                   &TfrmEdit::mnuHelpMakerSiteClick);
    N100 = AddMenuItem(mnuHelpUsefullLinks, "N100", "Jobs", scNone, &TfrmEdit::N100Click);
    AddMenuLine(mnuHelp);
    mnuHelpAbout = AddMenuItem(mnuHelp, "mnuHelpAbout", "О Программе", scNone, &TfrmEdit::mnuHelpAboutClick);
}

void TfrmEdit::BuildPopupMenu()
{
    PopupMenu1 = new TPopupMenu(this);
    PopupMenu1->SetName("PopupMenu1");
    TMenuItem* root = PopupMenu1->Items();
    PopupUndo = AddMenuItem(root, "PopupUndo", "Отмена", Ctrl('Z'), &TfrmEdit::mnuEditUndoClick);
    PopupRedo = AddMenuItem(root, "PopupRedo", "Повтор", Ctrl('Y'), &TfrmEdit::mnuEditRedoClick);
    AddMenuLine(root);
    PopupCut = AddMenuItem(root, "PopupCut", "Вырезать", Ctrl('X'), &TfrmEdit::mnuEditCutClick);
    PopupCopy = AddMenuItem(root, "PopupCopy", "Копировать", Ctrl('C'), &TfrmEdit::mnuEditCopyClick);
    PopupPaste = AddMenuItem(root, "PopupPaste", "Вставить", Ctrl('V'), &TfrmEdit::mnuEditPasteClick);
    AddMenuLine(root);
    PopupSearch = AddMenuItem(root, "PopupSearch", "Поиск", Ctrl('F'), &TfrmEdit::mnuEditFindClick);
    PopupGoTo = AddMenuItem(root, "PopupGoTo", "Переход", Ctrl('G'), &TfrmEdit::mnuEditGoToClick);
    AddMenuLine(root);
    PopupSelAll = AddMenuItem(root, "PopupSelAll", "Выделить всё", Ctrl('A'), &TfrmEdit::mnuEditSelectAllClick);
    AddMenuLine(root);
    PopupInsert = AddMenuItem(root, "PopupInsert", "Вставить", scNone, nullptr);
    PopupInsertColor = AddMenuItem(PopupInsert, "PopupInsertColor", "Вставить цвет", scNone,
                                   &TfrmEdit::mnuInsertColorClick);
    PopupInsertFont = AddMenuItem(PopupInsert, "PopupInsertFont", "Ставить шрифт", scNone,
                                  &TfrmEdit::mnuInsertFontClick);
    AddMenuLine(PopupInsert);
    PopupInsertTime = AddMenuItem(PopupInsert, "PopupInsertTime", "Вставить время и дату", VK_F5,
                                  &TfrmEdit::mnuInsertDateAndTimeClick);
}
