// The font text round trip, the faces it cuts and the texts it refuses; Tahoma drawn in the
// Korean font at the asked pixel height.
#include "widgets/autofont.h"
#include "widgets/zufont.h"

#include <QFontInfo>
#include <gtest/gtest.h>

TEST(AutoFont, Defaults)
{
    const CAutoFont font;
    EXPECT_EQ(font.ContractFont(), CString(L"12,0,0,0,400,0,0,0,0,0,0,0,18,0,0,0,Tahoma"));
    const CAutoFont named(L"굴림");
    EXPECT_EQ(named.ContractFont(), CString(L"16,0,0,0,400,0,0,0,0,0,0,0,18,0,0,0,굴림"));
}

TEST(AutoFont, RoundTrip)
{
    struct Row {
        const char* name;
        const wchar_t* text;
        bool ok;
        const wchar_t* after;  // what ContractFont gives after ExtractFont(text)
    };
    const wchar_t* base = L"12,0,0,0,400,0,0,0,0,0,0,0,18,0,0,0,Tahoma";
    const Row rows[] = {
        {"default", L"12,0,0,0,400,0,0,0,0,0,0,0,18,0,0,0,Tahoma", true, nullptr},
        {"bold italic coloured", L"-14,0,0,0,700,1,0,0,129,0,0,4,34,0,0,60,Tahoma", true, nullptr},
        {"Korean face", L"13,0,0,0,400,0,1,1,129,0,0,3,18,255,128,0,돋움체", true, nullptr},
        {"face with commas", L"12,0,0,0,400,0,0,0,0,0,0,0,18,0,0,0,A,B", true, nullptr},
        {"empty face", L"12,0,0,0,400,0,0,0,0,0,0,0,18,0,0,0,", true, nullptr},
        {"long face cut to 31", L"12,0,0,0,400,0,0,0,0,0,0,0,18,0,0,0,ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", true,
         L"12,0,0,0,400,0,0,0,0,0,0,0,18,0,0,0,ABCDEFGHIJKLMNOPQRSTUVWXYZ01234"},
        {"empty", L"", false, base},
        {"short", L"12,0,0", false, base},
        {"fifteen commas", L"12,0,0,0,400,0,0,0,0,0,0,0,18,0,0,0", false, base},
        {"letters", L"12,0,0,0,bold,0,0,0,0,0,0,0,18,0,0,0,Tahoma", false, base},
        {"empty field", L"12,,0,0,400,0,0,0,0,0,0,0,18,0,0,0,Tahoma", false, base},
        {"byte out of range", L"12,0,0,0,400,256,0,0,0,0,0,0,18,0,0,0,Tahoma", false, base},
        {"negative colour", L"12,0,0,0,400,0,0,0,0,0,0,0,18,-1,0,0,Tahoma", false, base},
        {"height too large", L"99999999999,0,0,0,400,0,0,0,0,0,0,0,18,0,0,0,Tahoma", false, base},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CAutoFont font;
        EXPECT_EQ(font.ExtractFont(row.text), row.ok ? TRUE : FALSE);
        EXPECT_EQ(font.ContractFont(), CString(row.after ? row.after : row.text));
    }

    CAutoFont font;
    ASSERT_TRUE(font.ExtractFont(L"-14,0,0,0,700,1,0,0,129,0,0,4,34,0,0,60,Tahoma"));
    EXPECT_TRUE(font.GetBold());
    EXPECT_TRUE(font.GetItalic());
    EXPECT_EQ(font.GetColour(), RGB(0, 0, 60));
    EXPECT_EQ(font.GetBlueValue(), 60);
    EXPECT_EQ(font.GetHeight(), -14);
    const QFont q = font.GetFont();
    EXPECT_EQ(q.pixelSize(), 14);
    EXPECT_EQ(q.weight(), QFont::Bold);
    EXPECT_TRUE(q.italic());
}

TEST(AutoFont, SettersCutTheFace)
{
    CAutoFont font;
    font.SetFaceName(L"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    EXPECT_EQ(font.GetFaceName(), CString(L"ABCDEFGHIJKLMNOPQRSTUVWXYZ01234"));
    font.SetBold(TRUE);
    font.SetUnderline(TRUE);
    font.SetNonAntialiasQuality();
    EXPECT_EQ(font.GetWeight(), 700);
    EXPECT_EQ(font.GetQuality(), NONANTIALIASED_QUALITY);
    EXPECT_EQ(font.GetFont().styleStrategy() & QFont::NoAntialias, QFont::NoAntialias);
}

TEST(ZuFont, TahomaIsTheKoreanFontAtPixelHeight)
{
    for (const wchar_t* face : {L"Tahoma", L"tahoma", L"", L"굴림"}) {
        for (int height : {12, 13, 14, -16}) {
            const QFont font = ZuFont(face, height, FW_BOLD);
            const QFontInfo info(font);
            SCOPED_TRACE(QString::fromWCharArray(face).toStdString() + " " + std::to_string(height));
            EXPECT_TRUE(info.family().startsWith(QLatin1String("Nanum"))) << info.family().toStdString();
            EXPECT_EQ(info.pixelSize(), std::abs(height));
            EXPECT_EQ(info.weight(), QFont::Bold);
        }
    }
    EXPECT_EQ(ZuFontFamily(QStringLiteral("DejaVu Sans")), QStringLiteral("DejaVu Sans"));
}
