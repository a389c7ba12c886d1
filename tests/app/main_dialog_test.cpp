// The main dialog, run in this process against the setupc emulator, the simulated camera
// and the SDK stand-ins: start-up choices, status display, tray, menus, echo, exit.
#include "app_test_support.h"
#include "user_port.h"
#include "cl_serial_api.h"
#include "dialog_harness.h"
#include "dunmere_main_dlg.h"
#include "resource.h"

#include "TarvVirtualComPort.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <functional>

using namespace clser::test;
using clser::app::applicationTitle;
using clser::app::CDunmereMainDlg;

namespace {

using MainDlg = Instrumented<CDunmereMainDlg>;

// The dialog as the program starts it with these arguments.
clser::profile::ArgumentsParse startOf(const std::vector<std::string>& arguments)
{
    return clser::profile::parseArguments(arguments, "C:\\Dunmere\\bin");
}

class MainDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        configureSdkBoards("");
        _putenv_s("TARVDIR5", makeCom0comRoot(runDirectory("app") + "\\main-dialog").c_str());
        number_ = freePortNumber(20);
        ASSERT_TRUE(installEmulatedPair(number_));
        port_ = "COM" + std::to_string(number_);
    }
    void TearDown() override
    {
        TarvVComClose();
        removeEmulatedPair(number_);
    }

    // Panes of the running dialog.
    std::string pane(MainDlg& dlg, int i) { return statusPane(dlg.statusBar(), i); }
    bool menuEnabled(MainDlg& dlg, UINT id) { return menuItemEnabled(GetMenu(dlg.hwnd()), id); }

    void command(HWND dialog, int id) { PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

    // Nothing but the dialog itself is shown by this process for a while.
    bool noBoxFor(unsigned ms, HWND dialog)
    {
        return !waitUntil(
            [&] {
                for (HWND w : dialogWindowsOfProcess(GetCurrentProcessId()))
                    if (w != dialog && IsWindowVisible(w))
                        return true;
                return false;
            },
            std::chrono::milliseconds(ms));
    }

    int number_ = 0;
    std::string port_;
};

TEST_F(MainDialog, StartedAsTheLauncherStartsItConnectsHidesAndShowsTheStatus)
{
    MainDlg dlg(startOf({port_, "0", "9600,N,8,1", "Autorun"}));
    ModalRun<CDunmereMainDlg> run(dlg);
    ASSERT_TRUE(run.waitInitialised());
    ASSERT_TRUE(run.waitHiddenInTray()) << "hidden into the tray";
    EXPECT_TRUE(dlg.controller().connected());
    EXPECT_EQ(pane(dlg, 0), "Connected");
    EXPECT_EQ(pane(dlg, 1), port_ + "<->0. SimBoard_Port0");
    EXPECT_EQ(pane(dlg, 2), "9600 n 8 1");
    EXPECT_EQ(pane(dlg, 3), "Echo off");
    EXPECT_EQ(dlg.tray().tooltipText(), "Connected\n" + port_ + "<->0. SimBoard_Port0\n9600 n 8 1\\9600");
    EXPECT_TRUE(dlg.tray().connected());
    EXPECT_EQ(dlg.tray().iconResource(), static_cast<UINT>(IDI_CONNECTED));
    EXPECT_FALSE(menuEnabled(dlg, ID_CONNECT));
    EXPECT_TRUE(menuEnabled(dlg, ID_DISCONNECT));
    EXPECT_TRUE(noBoxFor(300, dlg.hwnd()));

    clser::test::UserPort terminal;
    ASSERT_TRUE(terminal.open(port_));
    ASSERT_TRUE(terminal.write("id?\r"));
    EXPECT_EQ(terminal.read(28, 10000), "SIMCAM-CL simulated camera\r\n");
    terminal.close();

    command(dlg.hwnd(), ID_TRAY_EXIT);
    auto ask = waitForBox(GetCurrentProcessId(), applicationTitle(), 15000);
    ASSERT_TRUE(ask);
    EXPECT_EQ(ask->text, "Do you really want to exit Dunmere?");
    answer(ask->window, IDCANCEL);
    EXPECT_FALSE(run.waitDone(500)) << "Cancel keeps the program";
    EXPECT_TRUE(dlg.controller().connected());

    command(dlg.hwnd(), ID_EXIT);
    ask = waitForBox(GetCurrentProcessId(), applicationTitle(), 15000);
    ASSERT_TRUE(ask);
    answer(ask->window, IDOK);
    ASSERT_TRUE(run.waitDone(10000));
    EXPECT_FALSE(dlg.controller().connected());
    EXPECT_TRUE(dlg.tray().removed()) << "the icon leaves with the window";
}

TEST_F(MainDialog, QuietFailedFirstAttemptHidesWithoutAMessageAndLeavesConnectEnabled)
{
    // The camera's second port is held by someone else: the bridge cannot open it.
    void* held = nullptr;
    ASSERT_EQ(clSerialInit(1, &held), 0);
    {
        MainDlg dlg(startOf({port_, "1", "9600,N,8,1", "Autorun"}));
        ModalRun<CDunmereMainDlg> run(dlg);
        ASSERT_TRUE(run.waitInitialised());
        ASSERT_TRUE(run.waitHiddenInTray());
        EXPECT_TRUE(noBoxFor(500, dlg.hwnd()));
        EXPECT_FALSE(dlg.controller().connected());
        EXPECT_EQ(pane(dlg, 0), "Not connected");
        EXPECT_TRUE(menuEnabled(dlg, ID_CONNECT));
        EXPECT_FALSE(menuEnabled(dlg, ID_DISCONNECT));
        EXPECT_EQ(dlg.tray().iconResource(), 0u) << "the not-connected icon of the start stays";

        // The next attempt is no longer quiet.
        command(dlg.hwnd(), ID_CONNECT);
        auto box = waitForBox(GetCurrentProcessId(), applicationTitle(), 15000);
        ASSERT_TRUE(box);
        EXPECT_EQ(box->text.rfind("Connecting to CamaraLink port failed\nError code: -", 0), 0u) << box->text;
        answer(box->window, IDOK);
    }
    clSerialClose(held);
}

TEST_F(MainDialog, StartPortThatIsNoPairAttemptsNothingAndClearsTheNames)
{
    const std::string plain = "COM" + std::to_string(freePortNumber(number_ + 1));
    MainDlg dlg(startOf({plain, "0"}));
    ModalRun<CDunmereMainDlg> run(dlg);
    ASSERT_TRUE(run.waitInitialised());
    EXPECT_TRUE(noBoxFor(500, dlg.hwnd()));
    EXPECT_TRUE(run.waitVisible()) << "stays visible";
    EXPECT_FALSE(inTray(dlg.hwnd()));
    EXPECT_FALSE(dlg.controller().connected());
    EXPECT_FALSE(dlg.controller().hasConnection());
    EXPECT_EQ(dlg.settings().userPortName, "");
    EXPECT_EQ(dlg.settings().bridgePortName, "");
    EXPECT_EQ(dlg.settings().clPortIndex, -1);
    EXPECT_EQ(pane(dlg, 1), "<->");
    EXPECT_TRUE(menuEnabled(dlg, ID_CONNECT));
    EXPECT_FALSE(menuEnabled(dlg, ID_DISCONNECT));
}

TEST_F(MainDialog, IndexBeyondTheCameraLinkPortsIsTreatedLikeNoPair)
{
    MainDlg dlg(startOf({port_, "2", "9600,N,8,1", "Autorun"}));
    ModalRun<CDunmereMainDlg> run(dlg);
    ASSERT_TRUE(run.waitInitialised());
    EXPECT_TRUE(run.waitVisible());
    EXPECT_EQ(dlg.settings().clPortIndex, -1);
    EXPECT_EQ(pane(dlg, 1), "<->");
}

int portPaneRightEdge(HWND statusBar)
{
    int edges[4] = {};
    SendMessageA(statusBar, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges));
    return edges[1];
}

// A good network word makes the connection a network one, whose port pane (wider) and
// tooltip name the endpoint; a bad word is said in the trace list and the pair stays.
TEST_F(MainDialog, NetworkWordNamesTheEndpointABadOneIsTracedAndThePairStays)
{
    using clser::network::NetworkSettings;
    {
        MainDlg dlg(startOf({port_, "0", "9600,N,8,1", "Autorun", "NETWORK=RAW:127.0.0.1:47001:10.0.0.5"}));
        ModalRun<CDunmereMainDlg> run(dlg);
        ASSERT_TRUE(run.waitInitialised());
        ASSERT_TRUE(dlg.settings().network.has_value());
        EXPECT_EQ(*dlg.settings().network, (NetworkSettings{47001, clser::network::kLoopbackAddress,
                                                            clser::network::NetProtocol::Raw, {0x0A000005}}));
        const std::string endpoint = "raw TCP 127.0.0.1:47001, no client";
        EXPECT_TRUE(waitUntil([&] { return pane(dlg, 1) == endpoint; }, 10000ms)) << pane(dlg, 1);
        EXPECT_TRUE(waitUntil(
            [&] { return dlg.tray().tooltipText().find("\n" + endpoint + "\n9600 n 8 1\\9600") != std::string::npos; },
            10000ms))
            << dlg.tray().tooltipText();
        EXPECT_EQ(portPaneRightEdge(dlg.statusBar()), 85 + 340);
        EXPECT_TRUE(listBoxLines(GetDlgItem(dlg.hwnd(), IDC_TRACE_LIST)).empty());
    }
    {
        MainDlg dlg(startOf({port_, "0", "9600,N,8,1", "Autorun", "NETWORK=RAW:127.0.0.1:70000"}));
        ModalRun<CDunmereMainDlg> run(dlg);
        ASSERT_TRUE(run.waitInitialised());
        EXPECT_FALSE(dlg.settings().network.has_value());
        HWND list = GetDlgItem(dlg.hwnd(), IDC_TRACE_LIST);
        ASSERT_TRUE(waitUntil([&] { return !listBoxLines(list).empty(); }, 10000ms));
        EXPECT_EQ(listBoxLines(list).front(),
                  "The network word is not valid, the connection uses its virtual pair: network word: \"70000\" is "
                  "not a TCP port (1 to 65535)");
        ASSERT_TRUE(waitUntil([&] { return dlg.controller().connected(); }, 15000ms));
        EXPECT_EQ(pane(dlg, 1), port_ + "<->0. SimBoard_Port0");
        EXPECT_EQ(portPaneRightEdge(dlg.statusBar()), 85 + 250);
    }
}

TEST_F(MainDialog, WithoutStartValuesTheFirstPairIsSelectedAndNothingConnects)
{
    MainDlg dlg(startOf({}));
    ModalRun<CDunmereMainDlg> run(dlg);
    ASSERT_TRUE(run.waitInitialised());
    EXPECT_TRUE(run.waitVisible());
    std::string firstPair;
    for (const auto& e : dlg.ports().portEntries())
        if (e.pairId.size() >= 2 && firstPair.empty())
            firstPair = e.portName;
    EXPECT_EQ(dlg.settings().userPortName, firstPair);
    EXPECT_EQ(dlg.settings().clPortIndex, 0);
    EXPECT_EQ(pane(dlg, 0), "Not connected");
    EXPECT_EQ(pane(dlg, 1), firstPair + "<->0. SimBoard_Port0");
    EXPECT_EQ(dlg.tray().tooltipText().rfind("Not connected\n", 0), 0u);
    EXPECT_EQ(dlg.tray().iconId(), static_cast<UINT>(IDR_TRAY_MENU));

    char about[64] = {};
    GetMenuStringA(GetSystemMenu(dlg.hwnd(), FALSE), IDM_ABOUTBOX, about, sizeof about, MF_BYCOMMAND);
    EXPECT_STREQ(about, "&About ClserDunmere2...");
}

TEST_F(MainDialog, EchoFillsTheTraceListAndClearEchoEmptiesIt)
{
    MainDlg dlg(startOf({port_, "0", "9600,N,8,1", "Autorun"}));
    ModalRun<CDunmereMainDlg> run(dlg);
    ASSERT_TRUE(waitUntil([&] { return dlg.controller().connected(); }, 15000ms));
    HWND list = GetDlgItem(dlg.hwnd(), IDC_TRACE_LIST);

    command(dlg.hwnd(), ID_ECHO);
    ASSERT_TRUE(waitUntil([&] { return dlg.tray().echo(); }, 10000ms));
    EXPECT_EQ(pane(dlg, 3), "Echo on");
    EXPECT_TRUE(menuItemChecked(GetMenu(dlg.hwnd()), ID_ECHO));

    clser::test::UserPort terminal;
    ASSERT_TRUE(terminal.open(port_));
    ASSERT_TRUE(terminal.write("ver?\r"));
    EXPECT_EQ(terminal.read(7, 10000), "1.0.0\r\n");
    ASSERT_TRUE(waitUntil([&] { return listBoxLines(list).size() >= 2; }, 10000ms));
    const auto lines = listBoxLines(list);
    bool toCamera = false;
    for (const auto& line : lines)
        toCamera = toCamera || line.find("To ClSer:") != std::string::npos;
    EXPECT_TRUE(toCamera) << "first line: " << lines.front();

    command(dlg.hwnd(), ID_TRAY_CLEAR_ECHO);
    EXPECT_TRUE(waitUntil([&] { return listBoxLines(list).empty(); }, 10000ms));

    command(dlg.hwnd(), ID_TRAY_ECHO);
    ASSERT_TRUE(waitUntil([&] { return !dlg.tray().echo(); }, 10000ms));
    EXPECT_EQ(pane(dlg, 3), "Echo off");
    EXPECT_FALSE(menuItemChecked(GetMenu(dlg.hwnd()), ID_ECHO));
    ASSERT_TRUE(terminal.write("ver?\r"));
    EXPECT_EQ(terminal.read(7, 10000), "1.0.0\r\n");
    Sleep(300);
    EXPECT_TRUE(listBoxLines(list).empty()) << "no lines with echo off";
}

// Opens the tray's popup menu and reads its items' states, then closes it.
struct TrayMenuState {
    bool shown = false;
    bool connectEnabled = false;
    bool disconnectEnabled = false;
    bool echoChecked = false;
    UINT defaultItem = 0;
};

TrayMenuState openTrayMenu(HWND dialog)
{
    TrayMenuState state;
    PostMessageA(dialog, WM_TRAY_NOTIFY, IDR_TRAY_MENU, WM_RBUTTONUP);
    HWND menuWindow = nullptr;
    waitUntil(
        [&] {
            for (HWND w : windowsOfProcess(GetCurrentProcessId(), "#32768"))
                if (IsWindowVisible(w))
                    menuWindow = w;
            return menuWindow != nullptr;
        },
        5000ms);
    if (!menuWindow)
        return state;
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
    state.shown = menu != nullptr;
    state.connectEnabled = menuItemEnabled(menu, ID_TRAY_CONNECT);
    state.disconnectEnabled = menuItemEnabled(menu, ID_TRAY_DISCONNECT);
    state.echoChecked = menuItemChecked(menu, ID_TRAY_ECHO);
    state.defaultItem = GetMenuDefaultItem(menu, FALSE, 0);
    PostMessageA(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageA(dialog, WM_CANCELMODE, 0, 0);
    waitUntil([&] { return !IsWindowVisible(menuWindow); }, 10000ms);
    return state;
}

TEST_F(MainDialog, TrayMenuEnablesConnectOrDisconnectAndChecksEcho)
{
    MainDlg dlg(startOf({}));
    ModalRun<CDunmereMainDlg> run(dlg);
    ASSERT_TRUE(run.waitInitialised());

    TrayMenuState idle = openTrayMenu(dlg.hwnd());
    ASSERT_TRUE(idle.shown);
    EXPECT_TRUE(idle.connectEnabled);
    EXPECT_FALSE(idle.disconnectEnabled);
    EXPECT_FALSE(idle.echoChecked);
    EXPECT_EQ(idle.defaultItem, static_cast<UINT>(ID_TRAY_SHOW));

    dlg.onUiThread([&] {
        auto& s = dlg.controller().settings();
        s.userPortName = port_;
        s.bridgePortName = "TARV" + port_;
        s.clPortIndex = 0;
    });
    command(dlg.hwnd(), ID_TRAY_CONNECT);
    ASSERT_TRUE(waitUntil([&] { return dlg.controller().connected(); }, 15000ms));
    command(dlg.hwnd(), ID_TRAY_ECHO);
    ASSERT_TRUE(waitUntil([&] { return dlg.tray().echo(); }, 10000ms));

    TrayMenuState busy = openTrayMenu(dlg.hwnd());
    ASSERT_TRUE(busy.shown);
    EXPECT_FALSE(busy.connectEnabled);
    EXPECT_TRUE(busy.disconnectEnabled);
    EXPECT_TRUE(busy.echoChecked);

    command(dlg.hwnd(), ID_TRAY_DISCONNECT);
    ASSERT_TRUE(waitUntil([&] { return !dlg.controller().connected(); }, 15000ms));
    // The menus are the disconnect's last step. A call made on the user-interface thread is
    // no barrier: the tray's notification can let it in before the disconnect is done.
    EXPECT_TRUE(waitUntil([&] { return menuEnabled(dlg, ID_CONNECT); }, 10000ms));
    EXPECT_EQ(dlg.tray().iconResource(), static_cast<UINT>(IDI_NOT_CONNECTED));
    EXPECT_EQ(pane(dlg, 0), "Not connected");
}

TEST_F(MainDialog, CloseBoxHidesWhileConnectedAndShowOrDoubleClickBringsItBack)
{
    MainDlg dlg(startOf({}));
    ModalRun<CDunmereMainDlg> run(dlg);
    ASSERT_TRUE(run.waitInitialised());
    dlg.onUiThread([&] {
        auto& s = dlg.controller().settings();
        s.userPortName = port_;
        s.bridgePortName = "TARV" + port_;
        s.clPortIndex = 0;
    });
    command(dlg.hwnd(), ID_CONNECT);
    ASSERT_TRUE(waitUntil([&] { return dlg.controller().connected(); }, 15000ms));

    ASSERT_TRUE(run.waitVisible());
    PostMessageA(dlg.hwnd(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(run.waitHiddenInTray());
    EXPECT_FALSE(run.done());
    EXPECT_TRUE(dlg.controller().connected()) << "the bridge keeps running";
    EXPECT_FALSE(dlg.tray().removed());

    command(dlg.hwnd(), ID_TRAY_SHOW);
    ASSERT_TRUE(waitUntil([&] { return IsWindowVisible(dlg.hwnd()) != FALSE; }, 10000ms));

    PostMessageA(dlg.hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(run.waitHiddenInTray());
    PostMessageA(dlg.hwnd(), WM_TRAY_NOTIFY, IDR_TRAY_MENU, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(waitUntil([&] { return IsWindowVisible(dlg.hwnd()) && !IsIconic(dlg.hwnd()); }, 10000ms));
}

TEST_F(MainDialog, EnterAndEscapeDoNotEndTheDialog)
{
    MainDlg dlg(startOf({}));
    ModalRun<CDunmereMainDlg> run(dlg);
    ASSERT_TRUE(run.waitInitialised());
    HWND list = GetDlgItem(dlg.hwnd(), IDC_TRACE_LIST);
    for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
        PostMessageA(list, WM_KEYDOWN, key, 0);
        PostMessageA(dlg.hwnd(), WM_KEYDOWN, key, 0);
        PostMessageA(dlg.hwnd(), WM_COMMAND, key == VK_RETURN ? IDOK : IDCANCEL, 0);
    }
    EXPECT_FALSE(run.waitDone(500));
    EXPECT_TRUE(run.waitVisible());
}

TEST_F(MainDialog, ResizingKeepsTheStatusBarAtTheBottom)
{
    MainDlg dlg(startOf({}));
    ModalRun<CDunmereMainDlg> run(dlg);
    ASSERT_TRUE(run.waitInitialised());
    SetWindowPos(dlg.hwnd(), nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER);
    RECT client{}, bar{}, list{};
    GetClientRect(dlg.hwnd(), &client);
    GetWindowRect(dlg.statusBar(), &bar);
    GetWindowRect(GetDlgItem(dlg.hwnd(), IDC_TRACE_LIST), &list);
    MapWindowPoints(nullptr, dlg.hwnd(), reinterpret_cast<POINT*>(&bar), 2);
    MapWindowPoints(nullptr, dlg.hwnd(), reinterpret_cast<POINT*>(&list), 2);
    EXPECT_EQ(bar.bottom, client.bottom);
    EXPECT_EQ(bar.right - bar.left, client.right);
    EXPECT_EQ(list.top, 0);
    EXPECT_EQ(list.right - list.left, client.right);
    EXPECT_EQ(list.bottom, bar.top);
}

TEST_F(MainDialog, WithoutCameraLinkPortsItSaysSoAndStaysUsable)
{
    configureSdkBoards("boardcount = 0\n");
    // The folder's only library does not load: its line, and no port of any library.
    const std::string folder = runDirectory("app") + "\\library-that-does-not-load";
    makeDirectories(folder);
    writeTextFile(folder + "\\clsertxt.dll", "This is a text file.\n");
    MainDlg dlg(startOf({port_, "0", "9600,N,8,1", "Autorun"}));
    dlg.setClLibraryFolder(folder);
    ModalRun<CDunmereMainDlg> run(dlg);
    auto box = waitForBox(GetCurrentProcessId(), applicationTitle(), 5000, {dlg.hwnd()});
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, "Cannot find any CameraLink boards, please check the system configuration.");
    answer(box->window, IDOK);
    ASSERT_TRUE(run.waitInitialised(15000));
    const std::string line = "The Camera Link serial library " + folder + "\\clsertxt.dll is left out: it cannot";
    ASSERT_TRUE(waitUntil([&] { return listBoxLines(GetDlgItem(dlg.hwnd(), IDC_TRACE_LIST)).size() == 1; }, 10000ms));
    EXPECT_EQ(listBoxLines(GetDlgItem(dlg.hwnd(), IDC_TRACE_LIST))[0].substr(0, line.size()), line);
    EXPECT_TRUE(run.waitVisible());
    EXPECT_EQ(pane(dlg, 0), "");
    EXPECT_FALSE(dlg.controller().connected());
    EXPECT_TRUE(menuEnabled(dlg, ID_CONNECT));
    EXPECT_FALSE(menuEnabled(dlg, ID_DISCONNECT)) << "nothing to disconnect";
    configureSdkBoards("");
}

TEST_F(MainDialog, SystemMenuAndInfoMenuShowTheAboutDialog)
{
    MainDlg dlg(startOf({}));
    ModalRun<CDunmereMainDlg> run(dlg);
    ASSERT_TRUE(run.waitInitialised());
    for (bool fromSystemMenu : {true, false}) {
        if (fromSystemMenu)
            PostMessageA(dlg.hwnd(), WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
        else
            command(dlg.hwnd(), ID_ABOUT);
        auto about = waitForBox(GetCurrentProcessId(), "About ClserDunmere", 15000);
        ASSERT_TRUE(about) << (fromSystemMenu ? "system menu" : "Info menu");
        EXPECT_EQ(controlText(about->window, IDC_ABOUT_DESCRIPTION), "ClserDunmere2");
        answer(about->window, IDOK);
        EXPECT_TRUE(waitUntil([&] { return !IsWindow(about->window); }, 10000ms));
    }
}

// Opens the port settings dialog from the main dialog, lets `change` pick in it, confirms.
void confirmPortSettings(HWND mainDialog, const std::function<void(HWND)>& change)
{
    PostMessageA(mainDialog, WM_COMMAND, ID_PORT_SETTINGS, 0);
    auto settings = waitForBox(GetCurrentProcessId(), "Port Settings", 10000);
    ASSERT_TRUE(settings);
    ASSERT_TRUE(
        waitUntil([&] { return comboSelectedIndex(GetDlgItem(settings->window, IDC_DATA_BITS)) >= 0; }, 10000ms));
    change(settings->window);
    PostMessageA(settings->window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(settings->window); }, 15000ms));
}

void chooseDataBits(HWND portSettings, const char* bits)
{
    HWND box = GetDlgItem(portSettings, IDC_DATA_BITS);
    const auto items = comboItems(box);
    SendMessageA(box, CB_SETCURSEL, std::find(items.begin(), items.end(), bits) - items.begin(), 0);
}

TEST_F(MainDialog, ReconfigureAsksToReconnectOnlyWhenSomethingButEchoChanged)
{
    MainDlg dlg(startOf({port_, "0", "9600,N,8,1", "Autorun"}));
    dlg.portSettingDlg().setConfigPath(runDirectory("app") + "\\reconfigure.ini");
    ModalRun<CDunmereMainDlg> run(dlg);
    ASSERT_TRUE(waitUntil([&] { return dlg.controller().connected(); }, 15000ms));
    const DWORD self = GetCurrentProcessId();

    confirmPortSettings(dlg.hwnd(), [](HWND) {});
    EXPECT_FALSE(waitForBox(self, "Port Configuration", 500)) << "nothing changed: no question";

    command(dlg.hwnd(), ID_ECHO);
    ASSERT_TRUE(waitUntil([&] { return dlg.settings().echo; }, 10000ms));
    confirmPortSettings(dlg.hwnd(), [](HWND) {});
    EXPECT_FALSE(waitForBox(self, "Port Configuration", 500)) << "echo alone: no question";
    EXPECT_TRUE(dlg.settings().echo) << "the dialog keeps echo";

    auto runningLowLatency = [&] {
        clser::BridgeConnection* c = dlg.controller().connection();
        return c && c->lowLatency();
    };
    EXPECT_FALSE(runningLowLatency()) << "the default mode unless asked";
    confirmPortSettings(dlg.hwnd(), [](HWND w) { CheckDlgButton(w, IDC_LOW_LATENCY, BST_CHECKED); });
    EXPECT_FALSE(waitForBox(self, "Port Configuration", 500)) << "the transfer mode alone: no question";
    EXPECT_TRUE(waitUntil(runningLowLatency, 10000ms))
        << "the running connection takes the mode at once";
    EXPECT_TRUE(dlg.controller().connected());

    confirmPortSettings(dlg.hwnd(), [](HWND w) { chooseDataBits(w, "7"); });
    auto ask = waitForBox(self, "Port Configuration", 15000);
    ASSERT_TRUE(ask);
    EXPECT_EQ(ask->text,
              "You changed the settings, do you want to reconnect now to perform the change?\nAttention: Reconnection "
              "may lead to data lost, please ensure that there is no data transmission performing.");
    answer(ask->window, IDNO);
    auto later = waitForBox(self, "Port Configuration", 5000, {ask->window});
    ASSERT_TRUE(later);
    EXPECT_EQ(later->text, "The parameter was set but still not performed, please reconnect later to perform it.");
    answer(later->window, IDOK);
    ASSERT_TRUE(waitUntil([&] { return pane(dlg, 2) == "9600 n 7 1"; }, 10000ms));
    EXPECT_TRUE(dlg.controller().connected()) << "the running bridge keeps its old settings";

    confirmPortSettings(dlg.hwnd(), [](HWND w) { chooseDataBits(w, "8"); });
    ask = waitForBox(self, "Port Configuration", 15000);
    ASSERT_TRUE(ask);
    answer(ask->window, IDYES);
    ASSERT_TRUE(waitUntil([&] { return pane(dlg, 2) == "9600 n 8 1"; }, 15000ms));
    EXPECT_TRUE(waitUntil([&] { return dlg.controller().connected(); }, 15000ms)) << "reconnected";
    EXPECT_EQ(pane(dlg, 0), "Connected");
    EXPECT_TRUE(runningLowLatency()) << "a reconnect keeps the mode";
}

TEST_F(MainDialog, RemovingTheSelectedPairClearsTheSelection)
{
    MainDlg dlg(startOf({}));
    ModalRun<CDunmereMainDlg> run(dlg);
    ASSERT_TRUE(run.waitInitialised());
    dlg.onUiThread([&] {
        auto& s = dlg.controller().settings();
        s.userPortName = port_;
        s.bridgePortName = "TARV" + port_;
        s.clPortIndex = 0;
        dlg.updateStatus();
    });
    ASSERT_EQ(pane(dlg, 1), port_ + "<->0. SimBoard_Port0");

    // The pair disappears while the virtual port dialog is open.
    command(dlg.hwnd(), ID_VIRTUAL_COM_PORTS);
    auto vcom = waitForBox(GetCurrentProcessId(), "Virtual COM Port", 20000);
    ASSERT_TRUE(vcom);
    removeEmulatedPair(number_);
    answer(vcom->window, IDCANCEL);
    ASSERT_TRUE(waitUntil([&] { return pane(dlg, 1) == "<->0. SimBoard_Port0"; }, 20000ms)) << pane(dlg, 1);

    command(dlg.hwnd(), ID_CONNECT);
    auto box = waitForBox(GetCurrentProcessId(), "Port Configuration", 15000);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, "Port not configured, cannot create connection.");
    answer(box->window, IDOK);
}

} // namespace
