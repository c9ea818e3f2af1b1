// The window system's own texts follow the language the program chose: the buttons of a
// real message box and of the common dialogs, in real windows on a virtual X server.
#include "ModalWindow.h"
#include "XServer.h"

#include "platform/forms/CommonDialogs.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Forms.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;

class ToolkitLanguageOnX : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QvTest::OnXServer())
            GTEST_SKIP() << "runs only inside ToolkitLanguage.OnAnXServer";
    }
    void TearDown() override { Application->SetLanguage("English"); }

    static std::vector<std::string> BoxButtons()
    {
        return ButtonsOfModalWindow([] { MessageBox("Save file?", "Quorvel", MB_YESNOCANCEL); });
    }
};

TEST_F(ToolkitLanguageOnX, MessageBoxButtonsSpeakTheChosenLanguageAndBackAgain)
{
    EXPECT_THAT(BoxButtons(), ElementsAre("&Yes", "&No", "Cancel"));
    Application->SetLanguage("Russian");
    EXPECT_THAT(BoxButtons(), ElementsAre("&Да", "&Нет", "Отмена"));
    Application->SetLanguage("english");
    EXPECT_THAT(BoxButtons(), ElementsAre("&Yes", "&No", "Cancel"));
    // A name that is no language, or one without translations, leaves the own English.
    Application->SetLanguage("Russian");
    Application->SetLanguage("Klingonish");
    EXPECT_THAT(BoxButtons(), ElementsAre("&Yes", "&No", "Cancel"));
}

TEST_F(ToolkitLanguageOnX, CommonDialogsSpeakTheChosenLanguage)
{
    Application->SetLanguage("Russian");
    TOpenDialog open(nullptr);
    const std::vector<std::string> openButtons = ButtonsOfModalWindow([&] { open.Execute(); });
    EXPECT_THAT(openButtons, Contains("Отмена"));
    EXPECT_THAT(openButtons, Not(Contains("Cancel")));
    TColorDialog colour(nullptr);
    const std::vector<std::string> colourButtons = ButtonsOfModalWindow([&] { colour.Execute(); });
    EXPECT_THAT(colourButtons, Contains("Отмена"));
    EXPECT_THAT(colourButtons, Not(Contains("Cancel")));
}

TEST(ToolkitLanguage, OnAnXServer)
{
    QvTest::ExpectPassOnXServer("ToolkitLanguageOnX.*", 120);
}

}  // namespace
