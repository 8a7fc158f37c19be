#include <gtest/gtest.h>

#include "framework/CString.h"

#include <windows.h>

#include <cstring>
#include <string>

TEST(CStringTest, ConstructionAndConversion)
{
    CString empty;
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_STREQ("", static_cast<const char*>(empty)); // never a null pointer
    EXPECT_STREQ("", static_cast<const char*>(CString(static_cast<const char*>(nullptr))));

    CString part("abcdef", 3);
    EXPECT_EQ(3, part.GetLength());
    EXPECT_STREQ("abc", part);

    EXPECT_STREQ("xxxx", CString('x', 4));
    EXPECT_TRUE(CString('x', 0).IsEmpty());
    EXPECT_TRUE(CString('x', -5).IsEmpty());

    CString original("Keep");
    CString copy(original);
    copy.MakeLower(); // changes its own buffer in place
    EXPECT_STREQ("Keep", original);
    EXPECT_STREQ("keep", copy);

    CString moved(static_cast<CString&&>(copy));
    EXPECT_STREQ("keep", moved);
    EXPECT_TRUE(copy.IsEmpty());

    CString assigned;
    assigned = "text";
    assigned = assigned; // self-assignment keeps the text
    EXPECT_STREQ("text", assigned);
}

TEST(CStringTest, ElementAccessOutOfRangeIsHarmless)
{
    CString s("abc");
    EXPECT_EQ('b', s[1]);
    EXPECT_EQ('c', s.GetAt(2));
    EXPECT_EQ('\0', s.GetAt(3));
    EXPECT_EQ('\0', s.GetAt(-1));
}

TEST(CStringTest, ConcatenationIncludingItself)
{
    CString s("ab");
    s += s;
    EXPECT_STREQ("abab", s);
    s += static_cast<const char*>(s) + 1; // a tail of its own buffer
    EXPECT_STREQ("ababbab", s);
    s += '!';
    EXPECT_STREQ("ababbab!", s);

    EXPECT_STREQ("xy", CString("x") + CString("y"));
    EXPECT_STREQ("xy", CString("x") + "y");
    EXPECT_STREQ("xy", CString("x") + 'y');
    EXPECT_STREQ("xy", 'x' + CString("y"));

    // Many small appends: the text grows without limit or loss.
    CString big;
    std::string expected;
    for (int i = 0; i < 20000; ++i)
    {
        char ch = static_cast<char>('a' + i % 26);
        big += ch;
        expected += ch;
    }
    EXPECT_EQ(static_cast<int>(expected.size()), big.GetLength());
    EXPECT_EQ(expected, std::string(big));
}

TEST(CStringTest, ComparisonAndOrdering)
{
    CString abc("abc");
    EXPECT_TRUE(abc == "abc");
    EXPECT_TRUE("abc" == abc);
    EXPECT_TRUE(abc == CString("abc"));
    EXPECT_TRUE(abc != "abd");
    EXPECT_TRUE(abc < "abd");
    EXPECT_TRUE("abb" < abc);
    EXPECT_TRUE(CString("ab") < abc);
    EXPECT_FALSE(abc < abc);
    EXPECT_TRUE(abc <= "abc");
    EXPECT_TRUE(abc >= "abc");
    EXPECT_TRUE(CString("b") > abc);

    EXPECT_EQ(0, abc.Compare("abc"));
    EXPECT_LT(abc.Compare("abd"), 0);
    EXPECT_GT(abc.Compare("ab"), 0);
    EXPECT_GT(abc.Compare(nullptr), 0);
}

TEST(CStringTest, FindAndSlices)
{
    CString path("C:\\dir.x\\file.name.JPG");
    EXPECT_EQ(18, path.ReverseFind('.'));
    EXPECT_EQ(-1, CString().ReverseFind('.'));
    EXPECT_EQ(9, path.Find("file"));
    EXPECT_EQ(13, path.Find(".", 10));
    EXPECT_EQ(-1, path.Find("FILE"));
    EXPECT_EQ(4, path.Find("", 4));

    EXPECT_STREQ("C:", path.Left(2));
    EXPECT_STREQ(path, path.Left(1000));
    EXPECT_STREQ("", path.Left(-1));
    EXPECT_STREQ("file.name.JPG", path.Mid(9));
    EXPECT_STREQ("file", path.Mid(9, 4));
    EXPECT_STREQ("JPG", path.Mid(19, 100));
    EXPECT_STREQ("", path.Mid(100));
    EXPECT_STREQ("C:\\", path.Mid(-3, 3));
}

// The program runs in the UTF-8 code page (its manifest); capitals of every
// script change, as the system changes them.
TEST(CStringTest, CaseMappingCoversEveryScriptOfTheCodePage)
{
    ASSERT_EQ(static_cast<UINT>(CP_UTF8), GetACP());
    const struct
    {
        const char* upper;
        const char* lower;
    } cases[] = {
        {"C:\\PHOTOS\\ÉTÉ.JPG", "c:\\photos\\été.jpg"},
        {"ÉTÉ À ZÜRICH – ÆØÅ Ÿ.JPEG", "été à zürich – æøå ÿ.jpeg"},
        {"ФОТО МОСКВА ЁЖ.JPG", "фото москва ёж.jpg"},
        {"ΦΩΤΟΓΡΑΦΊΑ ΑΘΉΝΑ.JPG", "φωτογραφία αθήνα.jpg"},
        {"写真 😀 IMG_01.JPG", "写真 😀 img_01.jpg"},
    };
    for (const auto& c : cases)
    {
        CString text(c.upper);
        text.MakeLower();
        EXPECT_STREQ(c.lower, text);
    }
    // The whole length, a character after a zero byte included.
    CString zero("AB\0ÉC", 6);
    zero.MakeLower();
    EXPECT_EQ(std::string("ab\0éc", 6), std::string(zero, static_cast<size_t>(zero.GetLength())));
}

TEST(CStringTest, CaseMappingOfTextOutsideTheCodePageChangesOnlyAsciiLetters)
{
    // A stray byte, a cut sequence, an overlong form, a surrogate half: the
    // text cannot go through UTF-16 and back unchanged, so none of it is
    // touched but its ASCII letters.
    const struct
    {
        const char* text;
        const char* lower;
    } cases[] = {
        {"AbÉ\xFF.Jpg", "abÉ\xFF.jpg"},
        {"ÉTÉ\xC3", "ÉtÉ\xC3"},
        {"\xC0\xAFÉX", "\xC0\xAFÉx"},
        {"\xED\xA0\x80ÉY", "\xED\xA0\x80Éy"},
    };
    for (const auto& c : cases)
    {
        CString text(c.text);
        text.MakeLower();
        EXPECT_STREQ(c.lower, text) << c.text;
    }
}

TEST(CStringTest, Replace)
{
    CString s("a--b--c--");
    EXPECT_EQ(3, s.Replace("--", "+"));
    EXPECT_STREQ("a+b+c+", s);
    EXPECT_EQ(3, s.Replace("+", "<plus>"));
    EXPECT_STREQ("a<plus>b<plus>c<plus>", s);
    EXPECT_EQ(0, s.Replace("missing", "x"));
    EXPECT_EQ(0, s.Replace("", "x"));
    EXPECT_EQ(3, s.Replace("<plus>", ""));
    EXPECT_STREQ("abc", s);
}

TEST(CStringTest, FormatFollowsPrintfRules)
{
    CString s;
    s.Format("   File %6d ", 42);
    EXPECT_STREQ("   File     42 ", s);
    s.Format("not changed. Windows error code: %08x\t\t\t", 0x20u);
    EXPECT_STREQ("not changed. Windows error code: 00000020\t\t\t", s);
    s.Format("%04d/%02d/%02d %02d:%02d:%02d  --  ", 2008, 5, 17, 14, 3, 9);
    EXPECT_STREQ("2008/05/17 14:03:09  --  ", s);
    s.Format("%s|%-4s|%c|%lld|%.2f", "x", "ab", 'z', -1234567890123LL, 2.005);
    char expected[64];
    snprintf(expected, sizeof(expected), "%s|%-4s|%c|%lld|%.2f", "x", "ab", 'z', -1234567890123LL, 2.005);
    EXPECT_STREQ(expected, s);
    s.Format("%s", "");
    EXPECT_TRUE(s.IsEmpty());

    // Around the length where formatting needs a second pass.
    for (size_t length : {254u, 255u, 256u, 257u, 511u})
    {
        SCOPED_TRACE(length);
        std::string text(length, 'w');
        text[length / 2] = 'm';
        s.Format("%s", text.c_str());
        EXPECT_EQ(text, static_cast<const char*>(s));
        EXPECT_EQ(static_cast<int>(length), s.GetLength());
    }

    // Any length: far beyond any fixed buffer.
    std::string longText(100000, 'q');
    s.Format("<%s>", longText.c_str());
    EXPECT_EQ(100002, s.GetLength());
    EXPECT_EQ('>', s[100001]);

    // Its own text as an argument.
    s = "self";
    s.Format("%s+%s", static_cast<const char*>(s), static_cast<const char*>(s));
    EXPECT_STREQ("self+self", s);
}

TEST(CStringTest, BufferAccess)
{
    CString s("abc");
    char* p = s.GetBuffer(100);
    ASSERT_NE(nullptr, p);
    EXPECT_STREQ("abc", p);
    strcpy(p, "a longer text written in place");
    s.ReleaseBuffer();
    EXPECT_STREQ("a longer text written in place", s);
    EXPECT_EQ(30, s.GetLength());

    p = s.GetBuffer(0);
    s.ReleaseBuffer(8);
    EXPECT_STREQ("a longer", s);

    p = s.GetBufferSetLength(3);
    EXPECT_EQ(3, s.GetLength());
    EXPECT_STREQ("a l", p);
    p = s.GetBufferSetLength(6);
    EXPECT_EQ(6, s.GetLength());
    p[3] = 'x';
    p[4] = 'y';
    p[5] = 'z';
    EXPECT_STREQ("a lxyz", s);

    CString fresh;
    p = fresh.GetBuffer(10);
    ASSERT_NE(nullptr, p);
    EXPECT_STREQ("", p);
    fresh.ReleaseBuffer();
    EXPECT_TRUE(fresh.IsEmpty());
}
