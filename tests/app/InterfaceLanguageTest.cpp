// The language chosen in the language menu reaches what the window system itself shows:
// a real message box of the main window says Да/Нет/Отмена once Russian is chosen, and
// Yes/No/Cancel again after English; at start-up the stored language does the same.
#include "FailingFile.h"
#include "ModalWindow.h"
#include "RealWindowFixture.h"

#include "platform/window/Menus.h"
#include "qvedit/editor/QvEdit.h"

#include <gmock/gmock.h>

namespace {

using ::testing::ElementsAre;

class InterfaceLanguageOnX : public TRealWindowFixture {
protected:
    void SetUp() override
    {
        TRealWindowFixture::SetUp();
        for (const char* name : {"English_lang.dat", "Russian_lang.dat"})
            AddLanguage(name, ReadFileBytes(std::string(QV_SOURCE_DIR) + "/languages/" + name));
    }

    // The buttons of the save prompt, shown for real (no script answers it).
    std::vector<std::string> SavePromptButtons()
    {
        const TModalHook script = SetModalHook(nullptr);
        const std::vector<std::string> buttons = ButtonsOfModalWindow([this] {
            Aborted([this] { Form().mnuFileCloseClick(nullptr); });
        });
        SetModalHook(script);
        return buttons;
    }

    void Choose(const std::string& Language)
    {
        TMenuItem* menu = Form().mnuLanguage;
        for (int i = 0; i < menu->Count(); ++i)
            if (menu->Items(i)->Caption() == Language)
                menu->Items(i)->Click();
    }
};

TEST_F(InterfaceLanguageOnX, TheSavePromptsButtonsFollowTheLanguageMenu)
{
    Start();
    Form().Editor->QvSetText("changed");
    Form().Editor->SetModified(true);
    EXPECT_THAT(SavePromptButtons(), ElementsAre("&Yes", "&No", "Cancel"));
    Choose("Russian");
    EXPECT_THAT(SavePromptButtons(), ElementsAre("&Да", "&Нет", "Отмена"));
    Choose("English");
    EXPECT_THAT(SavePromptButtons(), ElementsAre("&Yes", "&No", "Cancel"));
}

// A language file whose status fails part way through its load changes nothing, the
// window system's own buttons included.
TEST_F(InterfaceLanguageOnX, ALanguageThatFailsToLoadLeavesTheButtonsAsTheyWere)
{
    Start();
    Form().Editor->QvSetText("changed");
    Form().Editor->SetModified(true);
    QueueBox(IDOK);
    {
        const TFailingFile failing(Folder() + "languages/Russian_lang.dat", TFailingFile::TCall::Status, 2);
        try {
            Choose("Russian");
        } catch (const Exception& e) {
            ADD_FAILURE() << "the failure escaped the load: " << e.Message();
        }
    }
    EXPECT_EQ(BoxTexts().size(), 1u);
    EXPECT_THAT(SavePromptButtons(), ElementsAre("&Yes", "&No", "Cancel"));
}

TEST_F(InterfaceLanguageOnX, TheStoredLanguageSpeaksFromTheStart)
{
    Write("settings.ini", "[Settings]\nLanguage=" + Folder() + "languages/Russian_lang.dat\n");
    Start();
    Form().Editor->QvSetText("changed");
    Form().Editor->SetModified(true);
    EXPECT_THAT(SavePromptButtons(), ElementsAre("&Да", "&Нет", "Отмена"));
}

TEST(InterfaceLanguage, OnAnXServer)
{
    QvTest::ExpectPassOnXServer("InterfaceLanguageOnX.*", 120);
}

}  // namespace
