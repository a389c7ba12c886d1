// The port settings dialog on its own, with port lists handed to it: what it lists and
// selects, its two refusals, the parity items, and the write-back in autorun mode.
#include "app_test_support.h"
#include "dialog_harness.h"
#include "port_setting_dlg.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace clser::test;
using clser::ConnectionSettings;
using clser::Parity;
using clser::StopBits;
using clser::app::CPortSettingDlg;
using clser::VirtualPair;

namespace {

using PortDlg = Instrumented<CPortSettingDlg>;

const std::vector<VirtualPair> kPorts = {
    {"", "COM1", ""}, {"CNC1", "COM6", "TARVCOM6"}, {"CNC0", "COM5", "TARVCOM5"}};
using Ports = std::vector<clser::discovery::CameraLinkPort>;
const Ports kNames = {
    {"0. SimBoard_Port0", "", 0}, {"1. SimBoard_Port1", "", 1}, {"Larkspur Imaging port 0", "clserlrk.dll", 0}};

ConnectionSettings com5()
{
    ConnectionSettings s;
    s.userPortName = "COM5";
    s.bridgePortName = "TARVCOM5";
    s.clPortIndex = 0;
    return s;
}

class PortSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        ini_ = runDirectory("app") + "\\port-settings-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini";
        DeleteFileA(ini_.c_str());
    }
    void TearDown() override { DeleteFileA(ini_.c_str()); }

    std::unique_ptr<PortDlg> dialog(bool autorun, const ConnectionSettings& settings,
                                    const Ports& names = kNames)
    {
        auto dlg = std::make_unique<PortDlg>(autorun);
        dlg->setConfigPath(ini_);
        dlg->setClPorts(names);
        dlg->setPortEntries(kPorts);
        dlg->setSettings(settings);
        return dlg;
    }

    HWND box(const PortDlg& dlg, int id) { return GetDlgItem(dlg.hwnd(), id); }

    // Selects the item with exactly this text.
    void choose(const PortDlg& dlg, int id, const std::string& text)
    {
        const auto items = comboItems(box(dlg, id));
        const auto at = std::find(items.begin(), items.end(), text);
        ASSERT_NE(at, items.end()) << text;
        SendMessageA(box(dlg, id), CB_SETCURSEL, at - items.begin(), 0);
    }

    void confirm(const PortDlg& dlg) { PostMessageA(dlg.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }

    bool noBoxFor(unsigned ms, const PortDlg& dlg)
    {
        return !waitUntil(
            [&] {
                for (HWND w : dialogWindowsOfProcess(GetCurrentProcessId()))
                    if (w != dlg.hwnd() && IsWindowVisible(w))
                        return true;
                return false;
            },
            std::chrono::milliseconds(ms));
    }

    std::string value(int section, const char* key)
    {
        char text[64] = {};
        GetPrivateProfileStringA(("connection" + std::to_string(section)).c_str(), key, "<none>", text, sizeof text,
                                 ini_.c_str());
        return text;
    }

    std::string ini_;
};

TEST_F(PortSettings, ShowsTheSettingsInItsBoxes)
{
    ConnectionSettings s;
    s.userPortName = "COM6";
    s.bridgePortName = "TARVCOM6";
    s.clPortIndex = 1;
    s.line.baudRate = 19200;
    s.clBaudCode = 2;
    s.line.parity = Parity::odd;
    s.line.dataBits = 7;
    s.line.stopBits = StopBits::onePointFive;
    s.lowLatency = true;
    auto dlg = dialog(false, s);
    ModalRun<CPortSettingDlg> run(*dlg);
    ASSERT_TRUE(run.waitInitialised());
    EXPECT_EQ(IsDlgButtonChecked(dlg->hwnd(), IDC_LOW_LATENCY), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(comboItems(box(*dlg, IDC_COM_PORT)), (std::vector<std::string>{"COM5-TARVCOM5", "COM6-TARVCOM6"}));
    EXPECT_EQ(comboSelection(box(*dlg, IDC_COM_PORT)), "COM6-TARVCOM6");
    EXPECT_EQ(IsDlgButtonChecked(dlg->hwnd(), IDC_SHOW_PHYSICAL_PORTS), static_cast<UINT>(BST_UNCHECKED));
    EXPECT_EQ(comboSelection(box(*dlg, IDC_CL_PORT)), "1. SimBoard_Port1");
    EXPECT_EQ(comboItems(box(*dlg, IDC_CL_BAUD_RATE)).size(), 8u);
    EXPECT_EQ(comboSelection(box(*dlg, IDC_CL_BAUD_RATE)), "19200");
    EXPECT_EQ(comboSelection(box(*dlg, IDC_COM_BAUD_RATE)), "19200");
    EXPECT_EQ(comboItems(box(*dlg, IDC_PARITY)), (std::vector<std::string>{"n", "e", "o"}));
    EXPECT_EQ(comboSelection(box(*dlg, IDC_PARITY)), "o");
    EXPECT_EQ(comboSelection(box(*dlg, IDC_DATA_BITS)), "7");
    EXPECT_EQ(comboSelection(box(*dlg, IDC_STOP_BITS)), "1.5");
    char caption[64] = {};
    GetWindowTextA(dlg->hwnd(), caption, sizeof caption);
    EXPECT_STREQ(caption, "Port Settings");

    // The low-latency checkbox fits the dialog and covers no other control.
    HWND tick = GetDlgItem(dlg->hwnd(), IDC_LOW_LATENCY);
    GetWindowTextA(tick, caption, sizeof caption);
    EXPECT_STREQ(caption, "Low latency");
    RECT client{};
    GetClientRect(dlg->hwnd(), &client);
    MapWindowPoints(dlg->hwnd(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    RECT tickRect{};
    GetWindowRect(tick, &tickRect);
    RECT inside{};
    IntersectRect(&inside, &tickRect, &client);
    EXPECT_TRUE(EqualRect(&inside, &tickRect)) << "inside the dialog";
    for (HWND other = GetWindow(dlg->hwnd(), GW_CHILD); other; other = GetWindow(other, GW_HWNDNEXT)) {
        if (other == tick)
            continue;
        RECT otherRect{}; // a drop-down box's window is only its closed field
        GetWindowRect(other, &otherRect);
        RECT overlap{};
        EXPECT_FALSE(IntersectRect(&overlap, &otherRect, &tickRect)) << "control " << GetDlgCtrlID(other);
    }

    PostMessageA(dlg->hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ASSERT_TRUE(run.waitDone(15000));
    EXPECT_EQ(run.result(), IDCANCEL);
}

TEST_F(PortSettings, PhysicalPortsAppearWhenTickedAndAreRefused)
{
    auto dlg = dialog(false, com5());
    ModalRun<CPortSettingDlg> run(*dlg);
    ASSERT_TRUE(run.waitInitialised());
    HWND tick = GetDlgItem(dlg->hwnd(), IDC_SHOW_PHYSICAL_PORTS);
    SendMessageA(tick, BM_SETCHECK, BST_CHECKED, 0);
    PostMessageA(dlg->hwnd(), WM_COMMAND, MAKEWPARAM(IDC_SHOW_PHYSICAL_PORTS, BN_CLICKED),
                 reinterpret_cast<LPARAM>(tick));
    ASSERT_TRUE(waitUntil([&] { return comboItems(box(*dlg, IDC_COM_PORT)).size() == 3; }, 10000ms));
    EXPECT_EQ(comboItems(box(*dlg, IDC_COM_PORT)),
              (std::vector<std::string>{"COM1", "COM5-TARVCOM5", "COM6-TARVCOM6"}));
    EXPECT_EQ(comboSelection(box(*dlg, IDC_COM_PORT)), "COM5-TARVCOM5") << "the selection is found anew";

    choose(*dlg, IDC_COM_PORT, "COM1");
    confirm(*dlg);
    auto refused = waitForBox(GetCurrentProcessId(), "Port configuration", 15000);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->text, "Cannot connect to a physical COM port, please choose a virtual COM port pair.");
    answer(refused->window, IDOK);
    EXPECT_FALSE(run.waitDone(500)) << "the dialog stays open";
    EXPECT_EQ(comboSelection(box(*dlg, IDC_COM_PORT)), "COM1") << "choices stay as they were";
    EXPECT_EQ(dlg->settings().userPortName, "COM5") << "nothing taken";

    choose(*dlg, IDC_COM_PORT, "COM6-TARVCOM6");
    confirm(*dlg);
    ASSERT_TRUE(run.waitDone(15000));
    EXPECT_EQ(run.result(), IDOK);
    EXPECT_EQ(dlg->settings().userPortName, "COM6");
    EXPECT_EQ(dlg->settings().bridgePortName, "TARVCOM6");
    EXPECT_TRUE(dlg->showPhysicalPorts()) << "kept for the next showing";
}

TEST_F(PortSettings, DifferentBaudRatesAreAskedAndNoKeepsTheDialogOpen)
{
    auto dlg = dialog(false, com5());
    ModalRun<CPortSettingDlg> run(*dlg);
    ASSERT_TRUE(run.waitInitialised());
    choose(*dlg, IDC_COM_BAUD_RATE, "115200");
    confirm(*dlg);
    auto ask = waitForBox(GetCurrentProcessId(), "Port configuration", 15000);
    ASSERT_TRUE(ask);
    EXPECT_EQ(ask->text,
              "The baud rate of COM-port and Clser-port are different, this may lead to data lost.\nAre you sure to "
              "confirm it?\n");
    answer(ask->window, IDNO);
    EXPECT_FALSE(run.waitDone(500));
    EXPECT_EQ(dlg->settings().line.baudRate, 9600u);

    confirm(*dlg);
    ask = waitForBox(GetCurrentProcessId(), "Port configuration", 15000);
    ASSERT_TRUE(ask);
    answer(ask->window, IDYES);
    ASSERT_TRUE(run.waitDone(15000));
    EXPECT_EQ(dlg->settings().line.baudRate, 115200u);
    EXPECT_EQ(dlg->settings().clBaudCode, 1);
}

TEST_F(PortSettings, ParityItemsMapToTheirCodesAndBack)
{
    const struct {
        const char* item;
        Parity parity;
    } rows[] = {{"e", Parity::even}, {"o", Parity::odd}, {"n", Parity::none}};
    ConnectionSettings s = com5();
    for (const auto& r : rows) {
        auto dlg = dialog(false, s);
        {
            ModalRun<CPortSettingDlg> run(*dlg);
            ASSERT_TRUE(run.waitInitialised());
            choose(*dlg, IDC_PARITY, r.item);
            confirm(*dlg);
            ASSERT_TRUE(run.waitDone(15000)) << r.item;
        }
        EXPECT_EQ(dlg->settings().line.parity, r.parity) << r.item;
        s = dlg->settings();
        auto again = dialog(false, s);
        ModalRun<CPortSettingDlg> reopened(*again);
        ASSERT_TRUE(reopened.waitInitialised());
        EXPECT_EQ(comboSelection(box(*again, IDC_PARITY)), r.item) << "reopened";
    }
}

TEST_F(PortSettings, AutorunWritesTheLineSettingsIntoTheSectionOfThePreviousPort)
{
    writeTextFile(ini_, "[connection1]\r\ncom=COM6\r\nclser=0\r\nbaudrate=9600\r\nparity=n\r\ndatabit=8\r\nstopbit=1\r\n"
                        "[connection2]\r\ncom=com5\r\nclser=0\r\nbaudrate=9600\r\nparity=n\r\ndatabit=8\r\nstopbit=1\r\n"
                        "run=1\r\nconnect=1\r\n[connection3]\r\ncom=COM6\r\nclser=0\r\ncllibrary=clserlrk.dll\r\n");
    auto dlg = dialog(true, com5());
    {
        ModalRun<CPortSettingDlg> run(*dlg);
        ASSERT_TRUE(run.waitInitialised());
        choose(*dlg, IDC_COM_BAUD_RATE, "115200");
        choose(*dlg, IDC_CL_BAUD_RATE, "115200");
        choose(*dlg, IDC_PARITY, "e");
        choose(*dlg, IDC_DATA_BITS, "7");
        choose(*dlg, IDC_STOP_BITS, "2");
        EXPECT_EQ(IsDlgButtonChecked(dlg->hwnd(), IDC_LOW_LATENCY), static_cast<UINT>(BST_UNCHECKED));
        CheckDlgButton(dlg->hwnd(), IDC_LOW_LATENCY, BST_CHECKED);
        confirm(*dlg);
        ASSERT_TRUE(run.waitDone(15000)) << "same ports: no message";
    }
    EXPECT_TRUE(dlg->settings().lowLatency);
    EXPECT_EQ(value(2, "lowlatency"), "1");
    EXPECT_EQ(value(1, "lowlatency"), "<none>");
    EXPECT_EQ(value(2, "baudrate"), "115200");
    EXPECT_EQ(value(2, "parity"), "e");
    EXPECT_EQ(value(2, "databit"), "7");
    EXPECT_EQ(value(2, "stopbit"), "2");
    EXPECT_EQ(value(2, "com"), "com5");
    EXPECT_EQ(value(2, "run"), "1");
    EXPECT_EQ(value(1, "baudrate"), "9600") << "another connection's section is untouched";

    // Another pair: said to be unsaved, and the line settings go to the previous port's section.
    {
        ModalRun<CPortSettingDlg> run(*dlg);
        ASSERT_TRUE(run.waitInitialised());
        choose(*dlg, IDC_COM_PORT, "COM6-TARVCOM6");
        choose(*dlg, IDC_STOP_BITS, "1");
        confirm(*dlg);
        auto note = waitForBox(GetCurrentProcessId(), "Port configuration", 15000);
        ASSERT_TRUE(note);
        EXPECT_EQ(note->text,
                  "You changed the COM port or ClSer Port, this change will be confirmed but not saved to config file.");
        answer(note->window, IDOK);
        ASSERT_TRUE(run.waitDone(15000));
    }
    EXPECT_EQ(value(2, "stopbit"), "1");
    EXPECT_EQ(value(2, "com"), "com5");
    EXPECT_EQ(value(1, "stopbit"), "1");
    EXPECT_EQ(value(1, "baudrate"), "9600");
    EXPECT_EQ(dlg->settings().userPortName, "COM6");

    // Another maker's port of the same index is another port: said to be unsaved. Shown
    // again it is selected, and the line goes to the section of that library's port.
    for (const bool choosing : {true, false}) {
        ModalRun<CPortSettingDlg> run(*dlg);
        ASSERT_TRUE(run.waitInitialised());
        if (choosing)
            choose(*dlg, IDC_CL_PORT, "Larkspur Imaging port 0");
        choose(*dlg, IDC_STOP_BITS, choosing ? "1.5" : "2");
        confirm(*dlg);
        if (choosing) {
            auto note = waitForBox(GetCurrentProcessId(), "Port configuration", 15000);
            ASSERT_TRUE(note) << "the library alone changed";
            answer(note->window, IDOK);
        }
        ASSERT_TRUE(run.waitDone(15000)) << choosing;
    }
    EXPECT_EQ(value(1, "stopbit"), "1.5");
    EXPECT_EQ(value(3, "stopbit"), "2");
}

TEST_F(PortSettings, WithoutAutorunTheFileIsNeverTouched)
{
    const std::string text = "[connection1]\r\ncom=COM5\r\nclser=0\r\nbaudrate=9600\r\n";
    writeTextFile(ini_, text);
    auto dlg = dialog(false, com5());
    ModalRun<CPortSettingDlg> run(*dlg);
    ASSERT_TRUE(run.waitInitialised());
    choose(*dlg, IDC_COM_BAUD_RATE, "19200");
    choose(*dlg, IDC_CL_BAUD_RATE, "19200");
    choose(*dlg, IDC_COM_PORT, "COM6-TARVCOM6");
    CheckDlgButton(dlg->hwnd(), IDC_LOW_LATENCY, BST_CHECKED);
    confirm(*dlg);
    ASSERT_TRUE(run.waitDone(15000));
    EXPECT_TRUE(noBoxFor(200, *dlg));
    EXPECT_EQ(readTextFile(ini_), text);
    EXPECT_EQ(dlg->settings().clBaudCode, 2);
    EXPECT_TRUE(dlg->settings().lowLatency) << "taken for the running process";
}

TEST_F(PortSettings, MoreThanTenCameraLinkPortsAndTwoLibrariesKeepPositionAndPortTogether)
{
    Ports names;
    for (int i = 0; i < 12; ++i)
        names.push_back({std::to_string(i) + ". Big_Port" + std::to_string(i), "", i});
    names.push_back({"Larkspur Imaging port 2", "clserlrk.dll", 2});
    ConnectionSettings s = com5();
    s.clPortIndex = 2;
    auto dlg = dialog(false, s, names);
    ModalRun<CPortSettingDlg> run(*dlg);
    ASSERT_TRUE(run.waitInitialised());
    EXPECT_EQ(comboItems(box(*dlg, IDC_CL_PORT))[2], "10. Big_Port10") << "the box sorts by text";
    EXPECT_EQ(comboSelection(box(*dlg, IDC_CL_PORT)), "2. Big_Port2");
    choose(*dlg, IDC_CL_PORT, "10. Big_Port10");
    confirm(*dlg);
    ASSERT_TRUE(run.waitDone(15000));
    EXPECT_EQ(dlg->settings().clPortIndex, 10);

    auto other = dialog(false, dlg->settings(), names);
    ModalRun<CPortSettingDlg> again(*other);
    ASSERT_TRUE(again.waitInitialised());
    choose(*other, IDC_CL_PORT, "Larkspur Imaging port 2");
    confirm(*other);
    ASSERT_TRUE(again.waitDone(15000));
    EXPECT_EQ(other->settings().clPortIndex, 2);
    EXPECT_EQ(other->settings().clLibrary, "clserlrk.dll");
}

} // namespace
