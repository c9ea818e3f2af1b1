// Family names as the program shows and inserts them: when two foundries make the same
// family, Qt lists "Family [Foundry]" once per foundry; the screen's font list and the
// font dialog's choice give the plain family name, once.
#include <gtest/gtest.h>

#include "platform/forms/CommonDialogs.h"
#include "platform/graphics/FontResolve.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontDialog>
#include <QTimer>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const char* const Family = "DejaVu Serif";
const char* const FontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf";

std::uint32_t BigEndian32(const std::string& bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// The font's bytes with another maker's code in its OS/2 table, so that the family has a
// second foundry; empty when the font has no such table.
std::string WithVendor(std::string bytes, const char (&vendor)[5])
{
    if (bytes.size() < 12)
        return {};
    const std::size_t tables = static_cast<unsigned char>(bytes[4]) << 8 | static_cast<unsigned char>(bytes[5]);
    for (std::size_t i = 0; i < tables && 12 + 16 * i + 16 <= bytes.size(); ++i) {
        const std::size_t entry = 12 + 16 * i;
        if (bytes.compare(entry, 4, "OS/2") != 0)
            continue;
        const std::size_t vendorAt = BigEndian32(bytes, entry + 8) + 58;
        if (vendorAt + 4 > bytes.size())
            return {};
        bytes.replace(vendorAt, 4, vendor, 4);
        return bytes;
    }
    return {};
}

class FontFamilyNames : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::ifstream in(FontFile, std::ios::binary);
        const std::string original{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        const std::string copy = WithVendor(original, "QVTS");
        if (copy.empty())
            GTEST_SKIP() << FontFile << " is missing or has no OS/2 table";
        id_ = QFontDatabase::addApplicationFontFromData(QByteArray(copy.data(), static_cast<qsizetype>(copy.size())));
        ASSERT_GE(id_, 0);
        tagged_ = QString(Family) + " [QVTS]";
        // Qt lists the family once per foundry now, as with the fonts of a desktop.
        ASSERT_TRUE(QFontDatabase::families().contains(tagged_)) << QFontDatabase::families().join(", ").toStdString();
    }
    void TearDown() override
    {
        if (id_ >= 0)
            QFontDatabase::removeApplicationFont(id_);
    }

    int id_ = -1;
    QString tagged_;
};

TEST_F(FontFamilyNames, TheScreensListHasEachFamilyOnceWithoutItsFoundry)
{
    const std::vector<std::string> names = ScreenFontNames();
    EXPECT_EQ(std::count(names.begin(), names.end(), Family), 1);
    for (const std::string& name : names)
        EXPECT_EQ(name.find('['), std::string::npos) << name;
}

TEST_F(FontFamilyNames, TheFontDialogGivesThePlainFamily)
{
    TFontDialog dialog(nullptr);
    QTimer::singleShot(0, [this] {
        auto* shown = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(shown, nullptr);
        shown->setCurrentFont(QFont(tagged_, 12));
        QMetaObject::invokeMethod(shown, "accept");
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.Font()->GetName(), Family);
}

}  // namespace
