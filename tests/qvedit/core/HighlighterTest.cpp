#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>

#include "platform/files/IniFiles.h"
#include "platform/files/Registry.h"
#include "qvedit/core/QvEditHighlighter.h"

namespace {

// A highlighter with three attributes, created out of name order; the whole line is one
// token.
class TTestHighlighter : public TQvCustomHighlighter {
public:
    explicit TTestHighlighter(TComponent* AOwner) : TQvCustomHighlighter(AOwner)
    {
        key = new TQvHighlighterAttributes("Reserved Word");
        key->SetStyle(fsBold);
        AddAttribute(key);
        comment = new TQvHighlighterAttributes("comment");
        comment->SetForeground(clGreen);
        AddAttribute(comment);
        ident = new TQvHighlighterAttributes("Identifier");
        AddAttribute(ident);
        SetAttributesOnChange(TNotifyEvent(this, &TTestHighlighter::DefHighlightChange));
    }

    static std::string LanguageName() { return "Test"; }
    static TQvHighlighterCapabilities Capabilities() { return {hcUserSettings}; }
    TQvHighlighterClass ClassType() const override { return HighlighterClassOf<TTestHighlighter>(); }

    TQvHighlighterAttributes* GetDefaultAttribute(Integer Index) const override
    {
        return Index == QV_ATTRIB_COMMENT ? comment : nullptr;
    }
    void Next() override { pos_ = length_ + 1; }
    bool GetEol() const override { return pos_ > length_ || length_ == 0; }
    std::string GetToken() const override { return std::string(line_); }
    TQvHighlighterAttributes* GetTokenAttribute() const override { return ident; }
    Integer GetTokenKind() const override { return 0; }
    Integer GetTokenPos() const override { return 0; }
    std::string GetSampleSource() const override { return sample_; }
    void SetSampleSource(const std::string& Value) override { sample_ = Value; }

    void AddAnother(const std::string& name) { AddAttribute(new TQvHighlighterAttributes(name)); }

    TQvHighlighterAttributes* key;
    TQvHighlighterAttributes* comment;
    TQvHighlighterAttributes* ident;

protected:
    void DoSetLine(std::string_view NewValue, Integer) override
    {
        line_ = NewValue;
        length_ = static_cast<Integer>(NewValue.size());
        pos_ = 0;
    }

private:
    std::string_view line_;
    Integer length_ = 0;
    Integer pos_ = 0;
    std::string sample_;
};

class TDerivedHighlighter : public TTestHighlighter {
public:
    using TTestHighlighter::TTestHighlighter;
    static std::string LanguageName() { return "Derived"; }
    TQvHighlighterClass ClassType() const override { return HighlighterClassOf<TDerivedHighlighter>(); }
};

class TListener : public TObject {
public:
    void Changed(TObject* Sender)
    {
        ++count;
        lastSender = Sender;
    }
    int count = 0;
    TObject* lastSender = nullptr;
};

class TempFolder {
public:
    TempFolder()
    {
        char pattern[] = "/tmp/qv-highlighter-XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

void WriteText(const std::string& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary) << text;
}

// SetLine reads the line in place, so it must refuse every argument that dies at the end
// of the call: a temporary string, a const temporary, a text that would be converted.
template <class T>
concept SetLineAccepts = requires(TQvCustomHighlighter& h, T&& line) {
    h.SetLine(std::forward<T>(line), 0);
};
static_assert(SetLineAccepts<std::string&>);
static_assert(SetLineAccepts<const std::string&>);
static_assert(!SetLineAccepts<std::string>);
static_assert(!SetLineAccepts<const std::string>);
static_assert(!SetLineAccepts<const char*>);

}  // namespace

TEST(HighlighterAttributes, ListedInCaseInsensitiveNameOrder)
{
    TTestHighlighter h(nullptr);
    ASSERT_EQ(h.GetAttribCount(), 3);
    EXPECT_EQ(h.GetAttribute(0), h.comment);
    EXPECT_EQ(h.GetAttribute(1), h.ident);
    EXPECT_EQ(h.GetAttribute(2), h.key);
    EXPECT_EQ(h.GetAttribute(3), nullptr);
    EXPECT_EQ(h.GetAttribute(-1), nullptr);
    EXPECT_THROW(h.AddAnother("COMMENT"), Exception);
    EXPECT_EQ(h.GetAttribCount(), 3);
}

TEST(HighlighterAttributes, ConstructorValuesAreTheDefaults)
{
    TTestHighlighter h(nullptr);
    EXPECT_EQ(h.comment->GetForegroundDefault(), clGreen);
    EXPECT_EQ(h.comment->GetBackground(), clNone);
    EXPECT_FALSE(h.comment->IsForegroundStored());
    EXPECT_TRUE(h.key->GetStyleDefault() == TFontStyles(fsBold));
    h.comment->SetForeground(clRed);
    EXPECT_TRUE(h.comment->IsForegroundStored());
    EXPECT_FALSE(h.comment->IsStyleStored());
}

TEST(HighlighterAttributes, StyleIntegerForm)
{
    TQvHighlighterAttributes a("x");
    a.SetStyleFromInt(5);
    EXPECT_TRUE(a.GetStyle() == (fsBold | fsUnderline));
    EXPECT_EQ(a.GetStyleFromInt(), 5);
    a.SetStyleFromInt(16);
    EXPECT_TRUE(a.GetStyle().Empty());
    a.SetStyleFromInt(0x1A);  // higher bits ignored
    EXPECT_TRUE(a.GetStyle() == (fsItalic | fsStrikeOut));
}

TEST(HighlighterChanges, NoticesOnlyForEffectiveChanges)
{
    TTestHighlighter h(nullptr);
    TListener listener;
    h.HookAttrChangeEvent(TNotifyEvent(&listener, &TListener::Changed));

    h.key->SetForeground(clRed);
    EXPECT_EQ(listener.count, 1);
    EXPECT_EQ(listener.lastSender, h.key);
    h.key->SetForeground(clRed);
    h.key->SetStyle(fsBold);
    EXPECT_EQ(listener.count, 1);
    h.key->SetBackground(clBlue);
    EXPECT_EQ(listener.count, 2);

    h.BeginUpdate();
    h.BeginUpdate();
    h.key->SetForeground(clLime);
    h.comment->SetStyle(fsItalic);
    h.EndUpdate();
    EXPECT_EQ(listener.count, 2);
    h.EndUpdate();
    EXPECT_EQ(listener.count, 3);
    EXPECT_EQ(listener.lastSender, nullptr);
    h.EndUpdate();  // unbalanced: nothing happens
    h.BeginUpdate();
    h.EndUpdate();  // nothing changed inside: no notice
    EXPECT_EQ(listener.count, 3);

    h.SetEnabled(false);
    h.SetEnabled(false);
    EXPECT_EQ(listener.count, 4);

    TQvHighlighterAttributes same("other");
    same.Assign(h.key);
    EXPECT_EQ(same.GetName(), "Reserved Word");
    h.key->AssignColorAndStyle(&same);
    EXPECT_EQ(listener.count, 4);

    h.UnhookAttrChangeEvent(TNotifyEvent(&listener, &TListener::Changed));
    h.key->SetForeground(clBlack);
    EXPECT_EQ(listener.count, 4);
}

TEST(HighlighterChanges, SilentWhileLoadingThenOneNotice)
{
    TTestHighlighter h(nullptr);
    TListener listener;
    h.HookAttrChangeEvent(TNotifyEvent(&listener, &TListener::Changed));
    h.BeginLoading();
    h.key->SetForeground(clRed);
    h.SetEnabled(false);
    EXPECT_EQ(listener.count, 0);
    h.EndLoading();
    EXPECT_EQ(listener.count, 1);
}

TEST(HighlighterAssign, CopiesMatchingAttributesAndSettings)
{
    TTestHighlighter source(nullptr);
    source.key->SetForeground(clRed);
    source.comment->SetForeground(clBlue);
    source.SetDefaultFilter("Test (*.t)|*.t");
    source.SetEnabled(false);
    source.SetSampleSource("sample");

    TDerivedHighlighter derived(nullptr);
    derived.Assign(&source);
    EXPECT_EQ(derived.key->GetForeground(), clRed);
    EXPECT_EQ(derived.comment->GetForeground(), clBlue);
    EXPECT_EQ(derived.GetDefaultFilter(), "Test (*.t)|*.t");
    EXPECT_FALSE(derived.GetEnabled());
    // The source is not a derived highlighter, so its sample stays behind.
    EXPECT_EQ(derived.GetSampleSource(), "");

    TTestHighlighter base(nullptr);
    base.Assign(&derived);
    EXPECT_EQ(base.GetSampleSource(), "");
    derived.SetSampleSource("derived sample");
    base.Assign(&derived);
    EXPECT_EQ(base.GetSampleSource(), "derived sample");

    TQvHighlighterAttributes notAHighlighter("x");
    EXPECT_THROW(base.Assign(&notAHighlighter), Exception);
}

TEST(HighlighterIni, RoundTripAndPartialSections)
{
    TempFolder folder;
    const std::string file = folder.File("colours.ini");
    TTestHighlighter saved(nullptr);
    saved.key->SetForeground(clRed);
    saved.key->SetBackground(clWindow);
    saved.comment->SetStyle(fsItalic | fsStrikeOut);
    ASSERT_TRUE(saved.SaveToFile(file));

    TTestHighlighter loaded(nullptr);
    ASSERT_TRUE(loaded.LoadFromFile(file));
    for (Integer i = 0; i < loaded.GetAttribCount(); ++i) {
        EXPECT_EQ(loaded.GetAttribute(i)->GetForeground(), saved.GetAttribute(i)->GetForeground());
        EXPECT_EQ(loaded.GetAttribute(i)->GetBackground(), saved.GetAttribute(i)->GetBackground());
        EXPECT_TRUE(loaded.GetAttribute(i)->GetStyle() == saved.GetAttribute(i)->GetStyle());
    }

    const std::string partial = folder.File("partial.ini");
    WriteText(partial, "[comment]\n[Reserved Word]\nStyle=6\n");
    TTestHighlighter h(nullptr);
    EXPECT_FALSE(h.LoadFromFile(partial));
    EXPECT_EQ(h.comment->GetForeground(), clGreen);  // empty section: unchanged
    EXPECT_TRUE(h.key->GetStyle() == (fsItalic | fsUnderline));
    EXPECT_EQ(h.key->GetForeground(), clNone);  // only the style was there
}

TEST(HighlighterRegistry, SaveAndLoadKeepTheOpenKey)
{
    TempFolder folder;
    SetRegistryFileForTests(folder.File("registry.ini"));
    TTestHighlighter saved(nullptr);
    saved.key->SetForeground(clRed);
    saved.ident->SetStyle(fsUnderline);
    ASSERT_TRUE(saved.SaveToRegistry(HKEY_CURRENT_USER, "Software\\Quorvel\\Test"));

    TTestHighlighter loaded(nullptr);
    ASSERT_TRUE(loaded.LoadFromRegistry(HKEY_CURRENT_USER, "Software\\Quorvel\\Test"));
    EXPECT_EQ(loaded.key->GetForeground(), clRed);
    EXPECT_TRUE(loaded.ident->GetStyle() == TFontStyles(fsUnderline));
    EXPECT_FALSE(loaded.LoadFromRegistry(HKEY_CURRENT_USER, "Software\\Quorvel\\Missing"));

    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Quorvel\\Test", false));
    EXPECT_FALSE(TQvHighlighterAttributes("No Such").LoadFromRegistry(&reg));
    EXPECT_TRUE(loaded.comment->LoadFromRegistry(&reg));
    EXPECT_EQ(reg.CurrentPath(), "Software\\Quorvel\\Test");
    SetRegistryFileForTests("");
}

// The stored layout, read without the attributes' own loading code: one INI section or
// registry subkey per attribute name, holding "Background", "Foreground" and "Style" as
// integers (style 1 bold + 2 italic + 4 underline + 8 strikeout).
TEST(HighlighterStorage, OneSectionOrSubkeyPerAttributeWithIntegers)
{
    TempFolder folder;
    TTestHighlighter h(nullptr);
    h.key->SetForeground(clRed);
    h.key->SetBackground(clWindow);
    h.key->SetStyle(fsBold | fsUnderline);

    const std::string file = folder.File("layout.ini");
    ASSERT_TRUE(h.SaveToFile(file));
    TIniFile ini(file);
    TStringList sections;
    ini.ReadSections(&sections);
    EXPECT_EQ(sections.Count(), 3);
    EXPECT_EQ(ini.ReadString("Reserved Word", "Foreground", ""), std::to_string(clRed));
    EXPECT_EQ(ini.ReadInteger("Reserved Word", "Background", 0), clWindow);
    EXPECT_EQ(ini.ReadInteger("Reserved Word", "Style", 0), 5);
    EXPECT_EQ(ini.ReadInteger("comment", "Foreground", 0), clGreen);
    EXPECT_EQ(ini.ReadInteger("Identifier", "Background", 0), clNone);
    EXPECT_EQ(ini.ReadInteger("Identifier", "Style", -1), 0);

    SetRegistryFileForTests(folder.File("registry.ini"));
    ASSERT_TRUE(h.SaveToRegistry(HKEY_CURRENT_USER, "Software\\Quorvel\\Layout"));
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly("Software\\Quorvel\\Layout"));
    TStringList keys;
    reg.GetKeyNames(&keys);
    EXPECT_EQ(keys.Count(), 3);
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Quorvel\\Layout\\Reserved Word"));
    EXPECT_EQ(reg.ReadInteger("Foreground"), clRed);
    EXPECT_EQ(reg.ReadInteger("Background"), clWindow);
    EXPECT_EQ(reg.ReadInteger("Style"), 5);
    SetRegistryFileForTests("");
}

TEST(HighlighterRegistry, ImportsIdeColourSettings)
{
    TempFolder folder;
    SetRegistryFileForTests(folder.File("registry.ini"));
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("\\Ide\\Old", true));
        reg.WriteString("Default", "x,y,BI,1,1,3,4");
        reg.WriteString("Palette", "x,y,U,0,0,9,12");
        reg.WriteString("BadIndex", "x,y,,0,0,16,1");
        ASSERT_TRUE(reg.OpenKey("\\Ide\\New\\Comment", true));
        reg.WriteInteger("Foreground Color", 9);
        reg.WriteString("Background Color New", "clYellow");
        reg.WriteString("Bold", "True");
        reg.WriteString("Italic", "false");
        reg.WriteString("Underline", "0");
        reg.WriteString("Default Foreground", "FALSE");
        reg.WriteString("Default Background", "0");
        ASSERT_TRUE(reg.OpenKey("\\Ide\\New\\Incomplete", true));
        reg.WriteInteger("Foreground Color", 1);
        reg.WriteInteger("Background Color", 2);
    }
    TQvHighlighterAttributes a("a");
    ASSERT_TRUE(a.LoadFromIdeRegistry(HKEY_CURRENT_USER, "Ide\\Old", "Default", true));
    EXPECT_EQ(a.GetForeground(), clWindowText);
    EXPECT_EQ(a.GetBackground(), clWindow);
    EXPECT_TRUE(a.GetStyle() == (fsBold | fsItalic));

    ASSERT_TRUE(a.LoadFromIdeRegistry(HKEY_CURRENT_USER, "Ide\\Old", "Palette", true));
    EXPECT_EQ(a.GetForeground(), clRed);
    EXPECT_EQ(a.GetBackground(), clBlue);
    EXPECT_TRUE(a.GetStyle() == TFontStyles(fsUnderline));

    EXPECT_FALSE(a.LoadFromIdeRegistry(HKEY_CURRENT_USER, "Ide\\Old", "BadIndex", true));
    EXPECT_EQ(a.GetForeground(), clRed);  // a failed import changes nothing
    EXPECT_FALSE(a.LoadFromIdeRegistry(HKEY_CURRENT_USER, "Ide\\Old", "Missing", true));

    ASSERT_TRUE(a.LoadFromIdeRegistry(HKEY_CURRENT_USER, "Ide\\New", "Comment", false));
    EXPECT_EQ(a.GetForeground(), clRed);
    EXPECT_EQ(a.GetBackground(), clYellow);
    EXPECT_TRUE(a.GetStyle() == TFontStyles(fsBold));
    EXPECT_FALSE(a.LoadFromIdeRegistry(HKEY_CURRENT_USER, "Ide\\New", "Incomplete", false));
    EXPECT_FALSE(a.LoadFromIdeRegistry(HKEY_CURRENT_USER, "Ide\\New", "Missing", false));
    SetRegistryFileForTests("");
}

TEST(HighlighterList, FindsClassesAndListsEachOnce)
{
    TQvHighlighterList list;
    list.Add(HighlighterClassOf<TTestHighlighter>());
    list.Add(HighlighterClassOf<TDerivedHighlighter>());
    list.Add(HighlighterClassOf<TTestHighlighter>());
    EXPECT_EQ(list.Count(), 2);

    TDerivedHighlighter derived(nullptr);
    EXPECT_EQ(list.FindByClass(&derived), 0);  // an instance of the base class too
    EXPECT_EQ(list.FindByName("Derived"), 1);
    EXPECT_EQ(list.FindByName("derived"), -1);
    EXPECT_EQ(derived.GetLanguageName(), "Derived");
    EXPECT_TRUE(derived.GetCapabilities() == TQvHighlighterCapabilities{hcUserSettings});
    std::unique_ptr<TQvCustomHighlighter> made(list.Items(1)->Create(nullptr));
    EXPECT_EQ(made->ClassType(), HighlighterClassOf<TDerivedHighlighter>());
}
