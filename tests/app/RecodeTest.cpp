#include "IconvReference.h"

#include "app/Recode.h"
#include "platform/forms/Dialogs.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>

namespace {

struct TDirection {
    const char* from;
    const char* to;
    unsigned char (*convert)(unsigned char);
};

const TDirection directions[] = {
    {"CP1251", "KOI8-R", Recode::WinKoiChar}, {"KOI8-R", "CP1251", Recode::KoiWinChar},
    {"CP1251", "CP866", Recode::WinDosChar},  {"CP866", "CP1251", Recode::DosWinChar},
    {"CP1251", "ISO-8859-5", Recode::WinIsoChar}, {"ISO-8859-5", "CP1251", Recode::IsoWinChar},
};

std::string AllBytes()
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    return all;
}

TEST(RecodeTest, EveryByteFollowsTheCodeTablesAndTheRestPairUpInOrder)
{
    for (const TDirection& d : directions) {
        TIconvByteMap converted{};
        std::array<bool, 256> hit{};
        for (int b = 0; b < 256; ++b) {
            converted[b] = d.convert(static_cast<unsigned char>(b));
            hit[converted[b]] = true;
        }
        EXPECT_EQ(converted, IconvByteMap(d.from, d.to)) << d.from << " -> " << d.to;
        // One-to-one: every byte is the image of exactly one byte.
        EXPECT_EQ(std::count(hit.begin(), hit.end(), true), 256) << d.from << " -> " << d.to;
    }
}

TEST(RecodeTest, EachConversionAndItsReverseGiveEveryByteBackInEitherOrder)
{
    const std::string all = AllBytes();
    for (int kind : {Recode::ekKoi8R, Recode::ekDos, Recode::ekIso}) {
        const std::optional<std::string> coded = Recode::CodeString(kind, all);
        const std::optional<std::string> encoded = Recode::EncodeString(kind, all);
        ASSERT_TRUE(coded && encoded);
        EXPECT_EQ(Recode::EncodeString(kind, *coded), all) << "kind " << kind;
        EXPECT_EQ(Recode::CodeString(kind, *encoded), all) << "kind " << kind;
    }
}

TEST(RecodeTest, CyrillicLettersAndYoSurviveARoundTripThroughEachEncoding)
{
    // All 64 letters А..я plus Ё (168) and ё (184), which all four pages hold.
    std::string letters;
    for (int b = 192; b < 256; ++b)
        letters += static_cast<char>(b);
    letters += "\xA8\xB8";
    for (int kind : {Recode::ekKoi8R, Recode::ekDos, Recode::ekIso}) {
        const std::optional<std::string> coded = Recode::CodeString(kind, letters);
        ASSERT_TRUE(coded);
        EXPECT_NE(*coded, letters);
        EXPECT_EQ(Recode::EncodeString(kind, *coded), letters) << "kind " << kind;
    }
}

TEST(RecodeTest, YoAndNumeroSignLandOnTheirOwnCodesNotOnAsciiLetters)
{
    EXPECT_EQ(Recode::WinKoiChar(0xA8), 0xB3);  // Ё
    EXPECT_EQ(Recode::WinKoiChar(0xB8), 0xA3);  // ё
    EXPECT_EQ(Recode::WinDosChar(0xA8), 0xF0);
    EXPECT_EQ(Recode::WinDosChar(0xB8), 0xF1);
    EXPECT_EQ(Recode::WinDosChar(0xB9), 0xFC);  // №
    EXPECT_EQ(Recode::WinIsoChar(0xA8), 0xA1);
    EXPECT_EQ(Recode::WinIsoChar(0xB8), 0xF1);
    EXPECT_EQ(Recode::WinIsoChar(0xB9), 0xF0);
    // KOI8-R has no №: it takes a byte no letter or sign of 1251 needs, and comes back.
    EXPECT_GE(Recode::WinKoiChar(0xB9), 128);
    EXPECT_EQ(Recode::KoiWinChar(Recode::WinKoiChar(0xB9)), 0xB9);
    EXPECT_EQ(Recode::CodeString(Recode::ekKoi8R, "\xCF\xF0\xE8\xE2\xE5\xF2"),
              std::string("\xF0\xD2\xC9\xD7\xC5\xD4"));  // Привет
}

TEST(RecodeTest, HighBytesOfDosAndIsoKeepTheTextWholeAndNeverBecomeNul)
{
    // 866 and ISO-8859-5 bytes 240..255 used to wrap round to 0..15, and a 0 cut the text.
    std::string text = "a";
    for (int b = 240; b < 256; ++b)
        text += static_cast<char>(b);
    text += "z\r\n";
    for (int kind : {Recode::ekDos, Recode::ekIso}) {
        const std::optional<std::string> back = Recode::EncodeString(kind, text);
        ASSERT_TRUE(back);
        ASSERT_EQ(back->size(), text.size());
        EXPECT_EQ(back->find('\0'), std::string::npos);
        EXPECT_EQ(back->substr(back->size() - 3), "z\r\n");
    }
    EXPECT_EQ(Recode::EncodeString(Recode::ekIso, "\xF0\xA1\xF1"), std::string("\xB9\xA8\xB8"));
}

TEST(RecodeTest, WholeTextsKeepLengthAndAsciiIncludingEmbeddedNul)
{
    const std::string all = AllBytes();
    for (int kind : {Recode::ekNone, Recode::ekKoi8R, Recode::ekDos, Recode::ekIso}) {
        for (const auto& result : {Recode::CodeString(kind, all), Recode::EncodeString(kind, all)}) {
            ASSERT_TRUE(result);
            ASSERT_EQ(result->size(), 256u);
            EXPECT_EQ(result->substr(0, 128), all.substr(0, 128));
        }
    }
    EXPECT_EQ(Recode::CodeString(Recode::ekNone, all), all);
}

TEST(RecodeTest, AnInvalidKindShowsItsMessageAndGivesNoResult)
{
    std::string shown;
    TModalHook previous = SetModalHook([&](const TModalRequest& r) {
        shown = r.Text;
        return IDOK;
    });
    EXPECT_FALSE(Recode::CodeString(4, "abc"));
    EXPECT_EQ(shown, "CodeString: Неправильное значение вида кодировки");
    EXPECT_FALSE(Recode::EncodeString(-1, "abc"));
    EXPECT_EQ(shown, "EncodeString: Неправильное значение вида кодировки");
    shown.clear();
    EXPECT_EQ(Recode::CodeString(9, ""), std::string());
    EXPECT_EQ(shown, "");
    SetModalHook(previous);
}

}  // namespace
