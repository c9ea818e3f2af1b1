// Face names resolve the same under every locale. fontconfig's rules may depend on the
// language of the locale; the child run here gets a rule, for Russian only, that puts a
// serif face first for "Arial", and the Russian language. The names must still resolve
// to the Arial-like face, and a list box in a real window must draw with it.
#include "XServer.h"

#include "platform/controls/StdCtrls.h"
#include "platform/forms/Forms.h"
#include "platform/graphics/FontResolve.h"
#include "platform/window/ControlsQt.h"

#include <QApplication>
#include <QFontInfo>
#include <QListWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr const char* MarkerVariable = "QV_FONT_RULE_FOR_RUSSIAN";

class FontsUnderARussianRule : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QvTest::OnXServer() || std::getenv(MarkerVariable) == nullptr)
            GTEST_SKIP() << "runs only inside FontResolve.NamesResolveAlikeUnderEveryLocale";
        if (ResolveFaceName("Liberation Sans") != "Liberation Sans")
            GTEST_SKIP() << "the Liberation faces are not installed";
    }
};

TEST_F(FontsUnderARussianRule, NamesKeepTheirFaceAndAListBoxDrawsWithIt)
{
    // The rule is in force: a plain Qt font asked for "Arial" gets the serif face.
    ASSERT_EQ(QFontInfo(QFont("Arial")).family(), "DejaVu Serif");

    EXPECT_EQ(ResolveFaceName("Arial"), "Liberation Sans");
    EXPECT_EQ(ResolveFaceName("MS Sans Serif"), "Liberation Sans");
    EXPECT_EQ(ResolveFaceName("Courier New", true), "Liberation Mono");
    EXPECT_EQ(ResolveFaceName("No Such Face Anywhere"), "Liberation Sans");
    EXPECT_EQ(ResolveFaceName("No Such Face Anywhere", true), "Liberation Mono");
    EXPECT_EQ(ResolveFaceName("dejavu serif"), "dejavu serif") << "an installed family stays itself";

    TForm form(nullptr);
    form.SetBounds(50, 50, 300, 200);
    auto* list = new TListBox(&form);
    list->SetParent(&form);
    list->SetBounds(10, 10, 200, 150);
    list->Font()->SetName("Arial");
    list->Font()->SetHeight(-12);
    list->Items()->Add("<b>..</b>");
    form.Show();
    QApplication::processEvents();
    auto* widget = qobject_cast<QListWidget*>(list->Window()->Hosted());
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(QFontInfo(widget->font()).family(), "Liberation Sans");
}

TEST(FontResolve, NamesResolveAlikeUnderEveryLocale)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "qv-font-rule";
    std::filesystem::create_directories(folder);
    const std::filesystem::path config = folder / "fonts.conf";
    std::ofstream(config) << R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>
  <match target="pattern">
    <test name="lang" compare="contains"><string>ru</string></test>
    <test name="family"><string>Arial</string></test>
    <edit name="family" mode="prepend" binding="strong"><string>DejaVu Serif</string></edit>
  </match>
</fontconfig>
)";
    setenv("FONTCONFIG_FILE", config.c_str(), 1);
    setenv("FC_LANG", "ru", 1);
    setenv(MarkerVariable, "1", 1);
    QvTest::ExpectPassOnXServer("FontsUnderARussianRule.*", 120);
    unsetenv(MarkerVariable);
    unsetenv("FC_LANG");
    unsetenv("FONTCONFIG_FILE");
    std::filesystem::remove_all(folder);
}

}  // namespace
