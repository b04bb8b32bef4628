// The escapes of quoted texts in both of the game's forms, and the FNV-1a check values that
// recordings and generated files depend on.
#include <gtest/gtest.h>

#include <string>

#include "data/TwEscapes.h"
#include "data/TwHash.h"

using namespace std::string_literals;

TEST(Escapes, EveryTextComesBackInBothStyles) {
    const std::string text = "tab\tline\nquote\" back\\ nul\0 cr\r end"s;
    for (const TwEscapeStyle style : {TwEscapeStyle::kDefinition, TwEscapeStyle::kC}) {
        const std::string escaped = TwEscape(text, style);
        EXPECT_EQ(escaped.find('\n'), std::string::npos);
        EXPECT_EQ(TwUnescape(escaped, style), text);
        EXPECT_EQ(TwClosingQuote(escaped + "\" rest"), escaped.size());
    }
    // Each style escapes its own set: NUL only in the definition files, CR only in PO files.
    EXPECT_EQ(TwEscape("\0\r"s, TwEscapeStyle::kDefinition), "\\0\r");
    EXPECT_EQ(TwEscape("\0\r"s, TwEscapeStyle::kC), "\0\\r"s);
}

TEST(Escapes, DefinitionFilesKeepWhatIsNoEscapeAndPoFilesRefuseIt) {
    for (const char* odd : {"a\\qb", "ends\\", "bare\"quote"}) {
        EXPECT_EQ(TwUnescape(odd, TwEscapeStyle::kDefinition), odd);
        EXPECT_EQ(TwUnescape(odd, TwEscapeStyle::kC), std::nullopt) << odd;
    }
    EXPECT_EQ(TwUnescape("\\\\q", TwEscapeStyle::kDefinition), "\\q");
    EXPECT_EQ(TwUnescape("\\r", TwEscapeStyle::kDefinition), "\\r");
    EXPECT_EQ(TwUnescape("\\r", TwEscapeStyle::kC), "\r");
    EXPECT_EQ(TwClosingQuote("no end \\\""), std::string::npos);
}

TEST(Fnv1a, GivesTheStandardValuesHoweverTheBytesAreSplit) {
    TwFnv1a32 empty;
    EXPECT_EQ(empty.Value(), 0x811C9DC5u);
    TwFnv1a32 word32;
    word32.Add("foo");
    word32.Add(static_cast<std::uint8_t>('b'));
    word32.Add("ar");
    EXPECT_EQ(word32.Value(), 0xBF9CF968u);
    TwFnv1a64 word64;
    word64.Add("foobar");
    EXPECT_EQ(word64.Value(), 0x85944171F73967E8ull);
    // The check value is the 32-bit hash without its top bit: never negative.
    EXPECT_EQ(TwFnv1aCheck("foobar"), 0x3F9CF968);
    EXPECT_EQ(TwFnv1aCheck("a"), 0x640C292C);
}
