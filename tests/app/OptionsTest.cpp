// Loading and saving the three options through the real dialog: odd values
// put into the registry by hand, and the options surviving a restart.
#include "tests/app/DialogRunner.h"
#include "tests/app/RegistryFixture.h"

#include <string>

using namespace dlgtest;

namespace
{
class OptionsTest : public regtest::CleanKeyTest
{
protected:
    // Starts the dialog on whatever the registry holds and closes it with Enter.
    CTestMainDlg::InitState StartAndClose()
    {
        CTestMainDlg dlg;
        std::vector<Step> steps = {[](CTestMainDlg& d)
                                   {
                                       PressKey(d.m_hWnd, VK_RETURN);
                                       return true;
                                   }};
        EXPECT_EQ(IDOK, RunDialog(dlg, steps));
        EXPECT_TRUE(dlg.init.captured);
        return dlg.init;
    }
};

struct TextCase
{
    const char* name;
    DWORD type;
    std::string data; // stored as is, terminator included when wanted
    int index;
    const char* written;
};
} // namespace

TEST_F(OptionsTest, WindowOnTopStoredOddly)
{
    {
        SCOPED_TRACE("REG_DWORD 1 reads as on");
        regtest::SetDword("window on top", 1);
        CTestMainDlg::InitState init = StartAndClose();
        EXPECT_TRUE(init.keepOnTopChecked);
        EXPECT_TRUE(TopmostAtStart(init));
        regtest::RawValue raw = regtest::GetRaw("window on top");
        EXPECT_EQ(DWORD(REG_BINARY), raw.type);
        EXPECT_EQ(1u, raw.Int());
    }
    {
        SCOPED_TRACE("2 reads as on and is written back as 1");
        regtest::DeleteKey();
        regtest::SetBinaryInt("window on top", 2);
        CTestMainDlg::InitState init = StartAndClose();
        EXPECT_TRUE(init.keepOnTopChecked);
        EXPECT_TRUE(TopmostAtStart(init));
        EXPECT_EQ(1u, regtest::GetRaw("window on top").Int());
    }
    {
        SCOPED_TRACE("8 bytes of REG_BINARY read as the default off");
        regtest::DeleteKey();
        const BYTE eight[8] = {1, 1, 1, 1, 1, 1, 1, 1};
        regtest::SetRaw("window on top", REG_BINARY, eight, sizeof(eight));
        CTestMainDlg::InitState init = StartAndClose();
        EXPECT_FALSE(init.keepOnTopChecked);
        EXPECT_EQ("", DescribeZOrder(init.zOrderRequests));
        EXPECT_FALSE(init.topmost);
        regtest::RawValue raw = regtest::GetRaw("window on top");
        EXPECT_EQ(4u, raw.data.size());
        EXPECT_EQ(0u, raw.Int());
    }
    {
        SCOPED_TRACE("2 bytes read as the default off");
        regtest::DeleteKey();
        const BYTE two[2] = {1, 0};
        regtest::SetRaw("window on top", REG_BINARY, two, sizeof(two));
        CTestMainDlg::InitState init = StartAndClose();
        EXPECT_FALSE(init.keepOnTopChecked);
        EXPECT_EQ(0u, regtest::GetRaw("window on top").Int());
    }
}

TEST_F(OptionsTest, ProcessSubfoldersStoredOddly)
{
    {
        SCOPED_TRACE("the key exists but the value is missing: on");
        regtest::SetText("date to change", "c");
        CTestMainDlg::InitState init = StartAndClose();
        EXPECT_TRUE(init.subfoldersChecked);
        EXPECT_EQ(1, init.subfoldersOption);
        EXPECT_EQ(1, init.dateSelection);
        EXPECT_EQ(1u, regtest::GetRaw("process subfolders").Int());
    }
    {
        SCOPED_TRACE("0 reads as off");
        regtest::DeleteKey();
        regtest::SetBinaryInt("process subfolders", 0);
        CTestMainDlg::InitState init = StartAndClose();
        EXPECT_FALSE(init.subfoldersChecked);
        EXPECT_EQ(0, init.subfoldersOption);
        EXPECT_EQ(0u, regtest::GetRaw("process subfolders").Int());
    }
    {
        SCOPED_TRACE("-1 as a REG_DWORD reads as on and is written back as 1");
        regtest::DeleteKey();
        regtest::SetDword("process subfolders", 0xFFFFFFFF);
        CTestMainDlg::InitState init = StartAndClose();
        EXPECT_TRUE(init.subfoldersChecked);
        EXPECT_NE(0, init.subfoldersOption);
        regtest::RawValue raw = regtest::GetRaw("process subfolders");
        EXPECT_EQ(DWORD(REG_BINARY), raw.type);
        EXPECT_EQ(1u, raw.Int());
    }
}

TEST_F(OptionsTest, DateToChangeTexts)
{
    const TextCase cases[] = {
        {"m", REG_SZ, std::string("m", 2), 0, "m"},
        {"c", REG_SZ, std::string("c", 2), 1, "c"},
        {"mc", REG_SZ, std::string("mc", 3), 2, "mc"},
        {"mc as REG_EXPAND_SZ", REG_EXPAND_SZ, std::string("mc", 3), 2, "mc"},
        {"upper-case MC", REG_SZ, std::string("MC", 3), 0, "m"},
        {"leading blank", REG_SZ, std::string(" mc", 4), 0, "m"},
        {"trailing blank", REG_SZ, std::string("c ", 3), 0, "m"},
        {"x", REG_SZ, std::string("x", 2), 0, "m"},
        {"empty", REG_SZ, std::string("", 1), 0, "m"},
        {"REG_BINARY holding mc", REG_BINARY, std::string("mc", 3), 0, "m"},
        {"REG_BINARY holding c", REG_BINARY, std::string("c", 2), 0, "m"},
        {"300 characters", REG_SZ, std::string(300, 'c') + '\0', 0, "m"},
    };
    for (const TextCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        regtest::DeleteKey();
        regtest::SetRaw("date to change", c.type, c.data.data(), static_cast<DWORD>(c.data.size()));
        CTestMainDlg::InitState init = StartAndClose();
        EXPECT_EQ(c.index, init.dateSelection);
        regtest::RawValue raw = regtest::GetRaw("date to change");
        EXPECT_EQ(DWORD(REG_SZ), raw.type);
        EXPECT_EQ(std::string(c.written) + '\0', raw.Text());
    }
}

TEST_F(OptionsTest, NoSelectionIsSavedAsDateModified)
{
    CTestMainDlg dlg;
    std::vector<Step> steps = {[](CTestMainDlg& d)
                               {
                                   ::SendDlgItemMessageA(d.m_hWnd, IDC_DATE_TO_CHANGE, CB_SETCURSEL,
                                                         static_cast<WPARAM>(-1), 0);
                                   PressKey(d.m_hWnd, VK_ESCAPE);
                                   return true;
                               }};
    regtest::SetText("date to change", "mc");
    EXPECT_EQ(IDCANCEL, RunDialog(dlg, steps));
    EXPECT_EQ(2, dlg.init.dateSelection);
    EXPECT_EQ(std::string("m", 2), regtest::GetRaw("date to change").Text());
}

TEST_F(OptionsTest, OptionsSurviveARestart)
{
    {
        CTestMainDlg first;
        std::vector<Step> steps = {[](CTestMainDlg& d)
                                   {
                                       Click(d.m_hWnd, IDC_KEEP_ON_TOP);
                                       Click(d.m_hWnd, IDC_PROCESS_SUBFOLDERS);
                                       ::SendDlgItemMessageA(d.m_hWnd, IDC_DATE_TO_CHANGE, CB_SETCURSEL, 2,
                                                             0);
                                       PressKey(d.m_hWnd, VK_ESCAPE);
                                       return true;
                                   }};
        EXPECT_EQ(IDCANCEL, RunDialog(first, steps));
        EXPECT_EQ(0, first.m_bProcessSubfolders);
    }
    CTestMainDlg::InitState second = StartAndClose();
    EXPECT_TRUE(second.keepOnTopChecked);
    EXPECT_TRUE(TopmostAtStart(second));
    EXPECT_FALSE(second.subfoldersChecked);
    EXPECT_EQ(0, second.subfoldersOption);
    EXPECT_EQ(2, second.dateSelection);

    // And back to the defaults through a third run.
    {
        CTestMainDlg third;
        std::vector<Step> steps = {[](CTestMainDlg& d)
                                   {
                                       Click(d.m_hWnd, IDC_KEEP_ON_TOP);
                                       Click(d.m_hWnd, IDC_PROCESS_SUBFOLDERS);
                                       ::SendDlgItemMessageA(d.m_hWnd, IDC_DATE_TO_CHANGE, CB_SETCURSEL, 0,
                                                             0);
                                       PressKey(d.m_hWnd, VK_RETURN);
                                       return true;
                                   }};
        RunDialog(third, steps);
    }
    CTestMainDlg::InitState fourth = StartAndClose();
    EXPECT_FALSE(fourth.keepOnTopChecked);
    EXPECT_EQ("", DescribeZOrder(fourth.zOrderRequests));
    EXPECT_FALSE(fourth.topmost);
    EXPECT_TRUE(fourth.subfoldersChecked);
    EXPECT_EQ(1, fourth.subfoldersOption);
    EXPECT_EQ(0, fourth.dateSelection);
}
