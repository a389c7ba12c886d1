// The virtual COM port dialog against the real pair library and the setupc emulator.
#include "app_test_support.h"
#include "dialog_harness.h"
#include "resource.h"
#include "virtual_com_port_dlg.h"

#include "TarvVirtualComPort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

using namespace clser::test;
using clser::app::CVirtualCOMPortDlg;
using clser::VirtualPair;

namespace {

using VcomDlg = Instrumented<CVirtualCOMPortDlg>;
constexpr char kCaption[] = "Virtual COM Port Control";

std::string lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

class VirtualPortDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        _putenv_s("TARVDIR5", makeCom0comRoot(runDirectory("app") + "\\virtual-port-dialog").c_str());
        log_ = runDirectory("app") + "\\setupc-runs.log";
        DeleteFileA(log_.c_str());
        config_ = runDirectory("app") + "\\setupc-log.cfg";
        writeTextFile(config_, "log = " + log_ + "\n");
        _putenv_s("CLSER_SETUPC_CONFIG", config_.c_str());
        installed_ = freePortNumber(30);
        ASSERT_TRUE(installEmulatedPair(installed_));
    }
    void TearDown() override
    {
        TarvVComClose();
        removeEmulatedPair(installed_);
        if (added_)
            removeEmulatedPair(added_);
        _putenv_s("CLSER_SETUPC_CONFIG", "");
    }

    HWND portBox(const VcomDlg& dlg) { return GetDlgItem(dlg.hwnd(), IDC_VCOM_PORTS); }
    void click(const VcomDlg& dlg, int id) { PostMessageA(dlg.hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    void choose(const VcomDlg& dlg, const std::string& text)
    {
        const auto items = comboItems(portBox(dlg));
        const auto at = std::find(items.begin(), items.end(), text);
        ASSERT_NE(at, items.end()) << text;
        SendMessageA(portBox(dlg), CB_SETCURSEL, at - items.begin(), 0);
    }
    std::string pairItem(int n) { return "COM" + std::to_string(n) + "-TARVCOM" + std::to_string(n); }
    bool listed(const VcomDlg& dlg, const std::string& text)
    {
        const auto items = comboItems(portBox(dlg));
        return std::find(items.begin(), items.end(), text) != items.end();
    }

    std::string log_;
    std::string config_;
    int installed_ = 0;
    int added_ = 0;
};

TEST_F(VirtualPortDialog, OpensWithOneAndListsPairsAndPhysicalPortsSorted)
{
    VcomDlg dlg;
    dlg.setPortEntries({{"", "COM1", ""}, {"CNC9", "COM99", "TARVCOM99"}});
    EXPECT_EQ(dlg.physicalPortNames(), std::vector<std::string>{"COM1"});
    ModalRun<CVirtualCOMPortDlg> run(dlg);
    ASSERT_TRUE(run.waitInitialised());
    EXPECT_EQ(controlText(dlg.hwnd(), IDC_VCOM_NUMBER), "1");
    const auto items = comboItems(portBox(dlg));
    EXPECT_TRUE(listed(dlg, pairItem(installed_))) << "pairs come from the library";
    EXPECT_TRUE(listed(dlg, "COM1"));
    EXPECT_FALSE(listed(dlg, "COM99-TARVCOM99")) << "the pair list is read anew";
    std::vector<std::string> sorted = items;
    std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return lower(a) < lower(b); });
    EXPECT_EQ(items, sorted);
    EXPECT_EQ(comboSelectedIndex(portBox(dlg)), 0);
}

TEST_F(VirtualPortDialog, InstallRefusesAnOccupiedNumberAndInstallsAFreeOne)
{
    VcomDlg dlg;
    dlg.setPortEntries({});
    ModalRun<CVirtualCOMPortDlg> run(dlg);
    ASSERT_TRUE(run.waitInitialised());

    SetDlgItemTextA(dlg.hwnd(), IDC_VCOM_NUMBER, std::to_string(installed_).c_str());
    click(dlg, IDC_VCOM_INSTALL);
    auto occupied = waitForBox(GetCurrentProcessId(), kCaption, 10000);
    ASSERT_TRUE(occupied);
    EXPECT_EQ(occupied->text, "This port number is occupied, please input another number.");
    answer(occupied->window, IDOK);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(occupied->window); }, 10000ms));

    added_ = freePortNumber(installed_ + 1);
    SetDlgItemTextA(dlg.hwnd(), IDC_VCOM_NUMBER, std::to_string(added_).c_str());
    click(dlg, IDC_VCOM_INSTALL);
    auto done = waitForBox(GetCurrentProcessId(), kCaption, 120000);
    ASSERT_TRUE(done);
    EXPECT_EQ(done->text, "A new virtual COM port pair was installed successfully.");
    EXPECT_TRUE(emulatedPairInstalled(added_));
    EXPECT_TRUE(windowsOfProcess(GetCurrentProcessId(), "#32770").size() >= 2);
    answer(done->window, IDOK);
    EXPECT_TRUE(waitUntil([&] { return listed(dlg, pairItem(added_)); }, 10000ms)) << "the list is read again";
}

TEST_F(VirtualPortDialog, RemovesAPairByItsIdentifier)
{
    const int pairNumber = emulatedPairNumber(installed_);
    ASSERT_GE(pairNumber, 0);
    VcomDlg dlg;
    dlg.setPortEntries({});
    ModalRun<CVirtualCOMPortDlg> run(dlg);
    ASSERT_TRUE(run.waitInitialised());
    choose(dlg, pairItem(installed_));
    click(dlg, IDC_VCOM_REMOVE);
    auto ask = waitForBox(GetCurrentProcessId(), kCaption, 15000);
    ASSERT_TRUE(ask);
    EXPECT_EQ(ask->text, "Do you really want to remove this virtual COM port pair?");
    answer(ask->window, IDOK);
    auto done = waitForBox(GetCurrentProcessId(), kCaption, 60000, {ask->window});
    ASSERT_TRUE(done);
    EXPECT_EQ(done->text, "The virtual COM port pair was removed successfully.");
    answer(done->window, IDOK);
    EXPECT_FALSE(emulatedPairInstalled(installed_));
    EXPECT_FALSE(listed(dlg, pairItem(installed_)));
    // The library was given CNC<n>, which setupc gets as the pair's number.
    EXPECT_NE(readTextFile(log_).find("remove " + std::to_string(pairNumber)), std::string::npos)
        << readTextFile(log_);
}

TEST_F(VirtualPortDialog, RemoveOfAPhysicalPortIsRefusedAfterTheQuestion)
{
    VcomDlg dlg;
    dlg.setPortEntries({{"", "COM1", ""}});
    ModalRun<CVirtualCOMPortDlg> run(dlg);
    ASSERT_TRUE(run.waitInitialised());
    choose(dlg, "COM1");

    click(dlg, IDC_VCOM_REMOVE);
    auto ask = waitForBox(GetCurrentProcessId(), kCaption, 15000);
    ASSERT_TRUE(ask);
    answer(ask->window, IDCANCEL);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(ask->window); }, 10000ms));
    EXPECT_FALSE(waitForBox(GetCurrentProcessId(), kCaption, 500)) << "Cancel shows nothing more";

    click(dlg, IDC_VCOM_REMOVE);
    ask = waitForBox(GetCurrentProcessId(), kCaption, 15000);
    ASSERT_TRUE(ask);
    answer(ask->window, IDOK);
    auto refused = waitForBox(GetCurrentProcessId(), kCaption, 5000, {ask->window});
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->text, "Cannot remove a physical COM port.");
    answer(refused->window, IDOK);
    EXPECT_TRUE(emulatedPairInstalled(installed_));
}

} // namespace
