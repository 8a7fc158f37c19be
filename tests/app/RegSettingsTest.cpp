// CRegSettings against Wine's real registry. Each test starts without the
// program's key; RegistryFixture.h reads back the raw values independently.
#include "app/RegSettings.h"
#include "tests/app/RegistryFixture.h"

#include <string>

using regtest::CleanKeyTest;
using regtest::GetRaw;
using regtest::kKeyPath;

namespace
{
class RegSettingsTest : public CleanKeyTest
{
protected:
    // An accessor already bound to the program's key, which now exists.
    CRegSettings Bound()
    {
        CRegSettings reg;
        EXPECT_TRUE(reg.SetRootKey(HKEY_CURRENT_USER));
        EXPECT_TRUE(reg.SetKey(kKeyPath, true));
        return reg;
    }
};

const char kOtherPath[] = "Software\\Freeware\\Chronoshift\\Other";
} // namespace

TEST_F(RegSettingsTest, RootKeyAcceptsOnlyTheFourPredefinedHives)
{
    CRegSettings reg;
    EXPECT_TRUE(reg.SetRootKey(HKEY_CLASSES_ROOT));
    EXPECT_TRUE(reg.SetRootKey(HKEY_USERS));
    EXPECT_TRUE(reg.SetRootKey(HKEY_LOCAL_MACHINE));
    // Under HKEY_LOCAL_MACHINE "Software" exists but the program's key does not.
    EXPECT_TRUE(reg.SetKey("Software", false));
    regtest::CreateKey();
    EXPECT_FALSE(reg.SetKey(kKeyPath, false));

    EXPECT_TRUE(reg.SetRootKey(HKEY_CURRENT_USER));
    EXPECT_TRUE(reg.SetKey(kKeyPath, false));

    // Refused handles leave the current root in place.
    EXPECT_FALSE(reg.SetRootKey(HKEY_CURRENT_CONFIG));
    EXPECT_FALSE(reg.SetRootKey(HKEY_PERFORMANCE_DATA));
    EXPECT_FALSE(reg.SetRootKey(nullptr));
    EXPECT_FALSE(reg.SetRootKey(reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x1234))));
    EXPECT_TRUE(reg.SetKey(kKeyPath, false));
}

TEST_F(RegSettingsTest, FreshAccessorWorksOnTheCurrentUserRoot)
{
    const char kName[] = "chronoshift regsettings probe";
    CRegSettings reg;
    ASSERT_TRUE(reg.WriteIntValue(kName, 77));
    EXPECT_EQ(77, reg.ReadIntValue(kName, 0));
    regtest::RawValue raw = GetRaw(kName, "");
    HKEY hRoot = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, nullptr, 0, KEY_WRITE, &hRoot));
    RegDeleteValueA(hRoot, kName);
    RegCloseKey(hRoot);
    EXPECT_TRUE(raw.present);
    EXPECT_EQ(77u, raw.Int());
}

TEST_F(RegSettingsTest, SetKeyOpensCreatesOrClears)
{
    CRegSettings reg;
    // Without the create flag a missing key fails and nothing is made.
    EXPECT_FALSE(reg.SetKey(kKeyPath, false));
    EXPECT_FALSE(regtest::KeyExists());

    // An empty path succeeds without touching the registry.
    EXPECT_TRUE(reg.SetKey("", true));
    EXPECT_TRUE(reg.SetKey(nullptr, false));
    EXPECT_FALSE(regtest::KeyExists());

    EXPECT_TRUE(reg.SetKey(kKeyPath, true));
    EXPECT_TRUE(regtest::KeyExists());
    EXPECT_TRUE(reg.SetKey(kKeyPath, false));
    EXPECT_TRUE(reg.SetKey(kKeyPath, true));
}

TEST_F(RegSettingsTest, FailedSetKeyKeepsThePreviousPathAndEmptyPathClearsIt)
{
    regtest::SetBinaryInt("window on top", 5);
    CRegSettings reg;
    ASSERT_TRUE(reg.SetKey(kKeyPath, false));
    EXPECT_FALSE(reg.SetKey(kOtherPath, false));
    EXPECT_FALSE(regtest::KeyExists(kOtherPath));
    EXPECT_EQ(5, reg.ReadIntValue("window on top", -1));

    // With the path cleared the value is looked for in the root itself.
    ASSERT_TRUE(reg.SetKey("", false));
    EXPECT_EQ(-1, reg.ReadIntValue("window on top", -1));
}

TEST_F(RegSettingsTest, ValueOperationsNeverCreateTheKey)
{
    CRegSettings reg = Bound();
    regtest::DeleteKey();

    EXPECT_FALSE(reg.WriteIntValue("window on top", 1));
    EXPECT_FALSE(reg.WriteStringValue("date to change", "c"));
    EXPECT_EQ(3, reg.ReadIntValue("window on top", 3));
    EXPECT_STREQ("dflt", reg.ReadStringValue("date to change", "dflt"));
    EXPECT_FALSE(regtest::KeyExists());
}

TEST_F(RegSettingsTest, WriteIntValueStoresFourLittleEndianBytesOfBinary)
{
    CRegSettings reg = Bound();
    const int values[] = {0, 1, -2, 0x12345678};
    for (int value : values)
    {
        ASSERT_TRUE(reg.WriteIntValue("n", value));
        regtest::RawValue raw = GetRaw("n");
        ASSERT_TRUE(raw.present);
        EXPECT_EQ(DWORD(REG_BINARY), raw.type);
        ASSERT_EQ(4u, raw.data.size());
        EXPECT_EQ(BYTE(value), raw.data[0]);
        EXPECT_EQ(BYTE(value >> 24), raw.data[3]);
        EXPECT_EQ(static_cast<DWORD>(value), raw.Int());
        EXPECT_EQ(value, reg.ReadIntValue("n", 99));
    }
}

TEST_F(RegSettingsTest, ReadIntValueTakesExactlyFourBytesOfAnyType)
{
    CRegSettings reg = Bound();
    regtest::SetDword("dword", 1);
    EXPECT_EQ(1, reg.ReadIntValue("dword", 0));
    regtest::SetDword("dword", 0xFFFFFFFF);
    EXPECT_EQ(-1, reg.ReadIntValue("dword", 0));

    // The type is not looked at: four bytes of text are an integer too.
    regtest::SetText("text", "abc");
    EXPECT_EQ(0x00636261, reg.ReadIntValue("text", 0));

    const BYTE eight[8] = {1, 0, 0, 0, 0, 0, 0, 0};
    regtest::SetRaw("long", REG_BINARY, eight, sizeof(eight));
    EXPECT_EQ(7, reg.ReadIntValue("long", 7));
    EXPECT_EQ(0, reg.ReadIntValue("long", 0));

    // Shorter data would fill only the low bytes: the default is taken.
    const BYTE two[2] = {1, 0};
    regtest::SetRaw("short", REG_BINARY, two, sizeof(two));
    EXPECT_EQ(7, reg.ReadIntValue("short", 7));
    regtest::SetRaw("empty", REG_BINARY, two, 0);
    EXPECT_EQ(7, reg.ReadIntValue("empty", 7));

    EXPECT_EQ(-8, reg.ReadIntValue("missing", -8));
}

TEST_F(RegSettingsTest, WriteStringValueStoresTextWithTerminatorUpTo254Bytes)
{
    CRegSettings reg = Bound();
    ASSERT_TRUE(reg.WriteStringValue("s", "mc"));
    regtest::RawValue raw = GetRaw("s");
    EXPECT_EQ(DWORD(REG_SZ), raw.type);
    EXPECT_EQ(std::string("mc", 3), raw.Text());

    ASSERT_TRUE(reg.WriteStringValue("s", ""));
    EXPECT_EQ(std::string(1, '\0'), GetRaw("s").Text());

    const std::string longest(254, 'q');
    ASSERT_TRUE(reg.WriteStringValue("s", longest.c_str()));
    EXPECT_EQ(longest + '\0', GetRaw("s").Text());
    EXPECT_EQ(longest, std::string(reg.ReadStringValue("s", "d")));

    // One byte more is refused and the stored value stays.
    const std::string tooLong(255, 'z');
    EXPECT_FALSE(reg.WriteStringValue("s", tooLong.c_str()));
    EXPECT_EQ(longest + '\0', GetRaw("s").Text());
    EXPECT_FALSE(reg.WriteStringValue("fresh", tooLong.c_str()));
    EXPECT_FALSE(GetRaw("fresh").present);
}

TEST_F(RegSettingsTest, ReadStringValueAcceptsOnlyTextTypes)
{
    CRegSettings reg = Bound();
    regtest::SetText("sz", "c");
    EXPECT_STREQ("c", reg.ReadStringValue("sz", "m"));

    // Expandable text comes back as stored, references unexpanded.
    regtest::SetText("expand", "%TEMP%\\mc", REG_EXPAND_SZ);
    EXPECT_STREQ("%TEMP%\\mc", reg.ReadStringValue("expand", "m"));

    regtest::SetRaw("binary", REG_BINARY, "mc", 3);
    EXPECT_STREQ("m", reg.ReadStringValue("binary", "m"));
    regtest::SetDword("dword", 0x636d);
    EXPECT_STREQ("m", reg.ReadStringValue("dword", "m"));
    regtest::SetRaw("multi", REG_MULTI_SZ, "mc\0\0", 4);
    EXPECT_STREQ("m", reg.ReadStringValue("multi", "m"));

    EXPECT_STREQ("default text", reg.ReadStringValue("missing", "default text"));
}

TEST_F(RegSettingsTest, ReadStringValueLengthLimits)
{
    CRegSettings reg = Bound();
    const std::string fits(254, 'a');
    regtest::SetText("fits", fits);
    EXPECT_EQ(fits, std::string(reg.ReadStringValue("fits", "m")));

    regtest::SetText("over", std::string(255, 'b'));
    EXPECT_STREQ("m", reg.ReadStringValue("over", "m"));
    regtest::SetText("hand", std::string(300, 'c'));
    EXPECT_STREQ("m", reg.ReadStringValue("hand", "m"));

    // The text ends at its first zero byte.
    regtest::SetRaw("inner", REG_SZ, "ab\0cd", 6);
    EXPECT_STREQ("ab", reg.ReadStringValue("inner", "m"));

    // A full-length value stored without its terminator still ends where
    // its data end, with nothing from beyond the buffer.
    // The byte after the data is not zero, else the registry counts it in.
    const std::string bare(256, 'd');
    regtest::SetRaw("bare", REG_SZ, bare.data(), 255);
    ASSERT_EQ(255u, GetRaw("bare").data.size());
    EXPECT_EQ(bare.substr(0, 255), std::string(reg.ReadStringValue("bare", "m")));
}
