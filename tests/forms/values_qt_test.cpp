// Qt only: units, colours and the bytes-to-screen text boundary as Qt values.
#include <gtest/gtest.h>

#include <string>

#include "forms/qt/qt_values.h"
#include "forms/units.h"
#include "platform/qt/text_codec.h"

namespace tw::forms {
namespace {

TEST(Units, TwipsRoundToNearestPixelBothWaysWithoutOverflow) {
    struct Row { int twips; int pixels; };
    for (const Row& row : {Row{7, 0}, Row{8, 1}, Row{22, 1}, Row{23, 2}, Row{195, 13}, Row{7485, 499},
                           Row{-7, 0}, Row{-8, -1}, Row{-30, -2}})
        EXPECT_EQ(twipsToPixels(row.twips), row.pixels) << row.twips;
    EXPECT_EQ(pixelsToTwips(-2), -30);
    EXPECT_GT(twipsToPixels(INT32_MAX), 0);
    EXPECT_LT(twipsToPixels(INT32_MIN), 0);
    EXPECT_EQ(pixelsToTwips(INT32_MAX), INT32_MAX);
}

TEST(Values, ColoursKeepRedInTheLowByteThroughQtAndFontsBecomePixelSizes) {
    EXPECT_EQ(rgb(0, 0, 255), 16711680u);
    EXPECT_EQ(toQColor(rgb(12, 34, 56)), QColor(12, 34, 56));
    EXPECT_EQ(fromQColor(QColor(12, 34, 56)), rgb(12, 34, 56));

    Font font;
    EXPECT_EQ(toQFont(font).pixelSize(), 11);  // 8.25 pt at 96 DPI
    font.size = 9.75;
    font.bold = true;
    font.underline = true;
    const QFont qt = toQFont(font);
    EXPECT_EQ(qt.pixelSize(), 13);
    EXPECT_TRUE(qt.bold() && qt.underline());
    font.size = -4;  // nonsense from a caller still gives a usable font
    EXPECT_GE(toQFont(font).pixelSize(), 1);
}

TEST(TextCodec, Utf8WhenValidElseWindows1252AndBackAsUtf8) {
    EXPECT_EQ(platform::toQString(std::string("D\xC3\xBAn Br\xC3\xAD")), QString::fromUtf8("Dún Brí"));
    // The same name written in Windows-1252.
    EXPECT_EQ(platform::toQString(std::string("D\xFAn Br\xED")), QString::fromUtf8("Dún Brí"));
    // 0x80..0x9F are the Windows-1252 punctuation, not C1 controls.
    EXPECT_EQ(platform::toQString(std::string("\x80 \x93q\x94 \x85")), QString::fromUtf8("€ “q” …"));
    // Invalid UTF-8 of every kind falls back to Windows-1252 for the whole text.
    EXPECT_EQ(platform::toQString(std::string("\xC0\xAF")), QString::fromUtf8("À¯"));         // overlong
    EXPECT_EQ(platform::toQString(std::string("\xED\xA0\x80")), QString::fromUtf8("í\u00A0€"));  // surrogate
    EXPECT_EQ(platform::toQString(std::string("ok \xE2\x82")), QString::fromUtf8("ok â‚"));   // truncated
    EXPECT_EQ(platform::toQString(std::string("\xF4\x90\x80\x80")).size(), 4);              // past U+10FFFF
    EXPECT_EQ(platform::toQString(std::string("a\0b", 3)).size(), 3) << "NUL bytes are kept, not cut at";

    EXPECT_EQ(platform::fromQString(QString::fromUtf8("Dún Brí")), "D\xC3\xBAn Br\xC3\xAD");
    EXPECT_EQ(platform::fromQString(platform::toQString(std::string("\xF0\x9F\x8F\xB0"))), "\xF0\x9F\x8F\xB0");
    EXPECT_EQ(platform::toDisplayLines("one\r\ntwo\rthree\nfour"), QStringLiteral("one\ntwo\nthree\nfour"));
}

}  // namespace
}  // namespace tw::forms
