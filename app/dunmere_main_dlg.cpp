#include "dunmere_main_dlg.h"

#include "about_dlg.h"
#include "cl_serial_library.h"
#include "app_version.h"
#include "initial_selection.h"
#include "virtual_pair.h"
#include "resource.h"

#include <commctrl.h>

#include <utility>

namespace clser::app {
namespace {

constexpr UINT_PTR kStatusTimerId = 1;
constexpr UINT kStatusTimerPeriodMs = 1000;
constexpr int kStatusBarId = 0xE801;
// Right edges of the first three panes (85, 250 and 85 pixels wide at 100% scale); the
// fourth takes the rest.
constexpr int kPaneEdges[4] = {85, 85 + 250, 85 + 250 + 85, -1};
// A network connection's port pane names an endpoint and a client: 340 pixels wide.
constexpr int kNetworkPaneEdges[4] = {85, 85 + 340, 85 + 340 + 85, -1};

// The scale of the window's monitor in dots per inch (96 is 100%): per monitor from
// Windows 10 1607 on, the system's scale before.
int windowDpi(HWND window)
{
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow)
        if (const UINT dpi = getDpiForWindow(window))
            return static_cast<int>(dpi);
    HDC dc = GetDC(window);
    const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSX) : 96;
    if (dc)
        ReleaseDC(window, dc);
    return dpi > 0 ? dpi : 96;
}

} // namespace

CDunmereMainDlg::CDunmereMainDlg(const profile::ArgumentsParse& start)
    : DialogBase(IDD_CLSERDUNMERE_DIALOG),
      traceSink_(WM_TRACE_LINE),
      icon_(LoadIconA(resourceInstance(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      ports_(pairLibrary_, *this),
      portSettingDlg_(start.autorun),
      controller_(*this, start.lineGiven ? std::optional<LineSettings>(start.profile.line) : std::nullopt),
      startPortName_(start.profile.userPortName),
      startProblems_(start.problems),
      clLibraryFolder_(cameraLinkLibraryFolder())
{
    ConnectionSettings& s = controller_.settings();
    static_cast<profile::ConnectionProfile&>(s) = start.profile;
    // The line given at start is taken at the first connect.
    s.line = LineSettings{};
    s.bridgePortName = partnerName(start.profile.userPortName);
    if (s.record)
        s.record->programVersion = "ClserDunmere2 " CLSER_VERSION_TEXT;
}

CDunmereMainDlg::~CDunmereMainDlg() { traceSink_.detach(); }

int CDunmereMainDlg::showMessage(const std::string& text, const std::string& caption, unsigned type)
{
    return messageBox(hwnd(), text, caption, type);
}

void CDunmereMainDlg::showLibraryError(const std::string& text)
{
    messageBox(hwnd(), text, "", MB_OK | MB_ICONEXCLAMATION);
}

BOOL CDunmereMainDlg::onInitDialog()
{
    if (HMENU systemMenu = GetSystemMenu(hwnd(), FALSE)) {
        const std::string about = loadResourceString(IDS_ABOUTBOX);
        if (!about.empty()) {
            AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
            AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, about.c_str());
        }
    }
    traceSink_.attach(hwnd());
    for (const std::string& problem : startProblems_)
        traceSink_.addLine(problem);
    // Nothing is connected yet, whichever way the initialisation ends.
    setConnectMenus(false);
    if (!createStatusBar())
        return TRUE;
    SendMessageA(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageA(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));

    tray_.create(resourceInstance(), hwnd(), WM_TRAY_NOTIFY, "Not connected",
                 LoadIconA(resourceInstance(), MAKEINTRESOURCEA(IDI_NOT_CONNECTED)), IDR_TRAY_MENU);
    tray_.setTargetWindow(hwnd());

    const bool anyPort = ports_.enumerateCameraLinkPorts(clLibraryFolder_);
    for (const std::string& skipped : ports_.skippedLibraries())
        traceSink_.addLine(skipped);
    if (!anyPort) {
        showMessage("Cannot find any CameraLink boards, please check the system configuration.", "", MB_OK);
        return TRUE;
    }
    portSettingDlg_.setClPorts(ports_.clPorts());
    ports_.refreshPortList();
    initialSelection();
    updateStatus();
    return TRUE;
}

bool CDunmereMainDlg::createStatusBar()
{
    statusBar_ = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | CCS_BOTTOM, 0, 0, 0, 0, hwnd(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusBarId)), resourceInstance(),
                                 nullptr);
    if (!statusBar_)
        return false;
    setStatusParts();
    layoutControls();
    return true;
}

void CDunmereMainDlg::setStatusParts()
{
    // The pane texts grow with the scale, so do the panes.
    const int* base = controller_.settings().network ? kNetworkPaneEdges : kPaneEdges;
    const int dpi = windowDpi(hwnd());
    int edges[4];
    for (int pane = 0; pane < 4; ++pane)
        edges[pane] = base[pane] < 0 ? -1 : MulDiv(base[pane], dpi, 96);
    SendMessageA(statusBar_, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(edges));
}

void CDunmereMainDlg::layoutControls()
{
    HWND list = item(IDC_TRACE_LIST);
    if (!statusBar_ || !list)
        return;
    RECT client{};
    GetClientRect(hwnd(), &client);
    RECT bar{};
    GetWindowRect(statusBar_, &bar);
    const int barHeight = bar.bottom - bar.top;
    MoveWindow(list, 0, 0, client.right, client.bottom - barHeight, TRUE);
    MoveWindow(statusBar_, 0, client.bottom - barHeight, client.right, barHeight, TRUE);
}

void CDunmereMainDlg::initialSelection()
{
    const auto& entries = ports_.portEntries();
    switch (chooseInitialSelection(startPortName_, controller_.settings(), entries, ports_.clPorts())) {
    case StartChoice::Connect: {
        if (const std::optional<LineSettings>& line = controller_.startLine())
            controller_.settings().setLine(*line);
        const int running = controller_.connectBridge();
        portSettingDlg_.setPortEntries(entries);
        PostMessageA(hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
        setConnectMenus(running == 1);
        break;
    }
    case StartChoice::NoStartPort:
    case StartChoice::StartPortUnusable:
        setConnectMenus(false);
        break;
    }
}

void CDunmereMainDlg::updateStatus()
{
    dropUnlistedPort(controller_.settings(), ports_.portEntries());
    const StatusTexts texts = statusTexts(controller_.connected(), controller_.settings(), ports_.clPorts(),
                                          controller_.networkClient());
    if (statusBar_)
        for (int pane = 0; pane < 4; ++pane)
            SendMessageA(statusBar_, SB_SETTEXTA, pane, reinterpret_cast<LPARAM>(texts.panes[pane].c_str()));
    tray_.setTooltipText(texts.tooltip);
}

void CDunmereMainDlg::setConnectMenus(bool connected)
{
    HMENU menu = GetMenu(hwnd());
    EnableMenuItem(menu, ID_CONNECT, MF_BYCOMMAND | (connected ? MF_GRAYED : MF_ENABLED));
    EnableMenuItem(menu, ID_DISCONNECT, MF_BYCOMMAND | (connected ? MF_ENABLED : MF_GRAYED));
}

void CDunmereMainDlg::setTrayConnected(bool connected)
{
    tray_.setConnected(connected);
    tray_.setIcon(connected ? IDI_CONNECTED : IDI_NOT_CONNECTED);
}

void CDunmereMainDlg::handSettingsToPortDialog(const ConnectionSettings& settings)
{
    portSettingDlg_.setSettings(settings);
}

void CDunmereMainDlg::startStatusTimer() { statusTimer_ = SetTimer(hwnd(), kStatusTimerId, kStatusTimerPeriodMs, nullptr); }

void CDunmereMainDlg::stopStatusTimer()
{
    if (statusTimer_)
        KillTimer(hwnd(), statusTimer_);
    statusTimer_ = 0;
}

bool CDunmereMainDlg::onCommand(int id, int, HWND)
{
    switch (id) {
    case ID_CONNECT:
    case ID_TRAY_CONNECT:
        controller_.connectBridge();
        return true;
    case ID_DISCONNECT:
    case ID_TRAY_DISCONNECT:
        controller_.disconnectBridge();
        return true;
    case ID_EXIT:
    case ID_TRAY_EXIT:
        exitCommand();
        return true;
    case ID_CLEAR_ECHO:
    case ID_TRAY_CLEAR_ECHO:
        clearEcho();
        return true;
    case ID_PORT_SETTINGS:
    case ID_TRAY_PORT_SETTINGS:
        portSettingsCommand();
        return true;
    case ID_VIRTUAL_COM_PORTS:
    case ID_TRAY_VIRTUAL_COM_PORTS:
        virtualPortCommand();
        return true;
    case ID_ECHO:
    case ID_TRAY_ECHO:
        echoCommand();
        return true;
    case ID_TRAY_SHOW:
        restoreFromTray(hwnd());
        return true;
    case ID_ABOUT:
        showAbout();
        return true;
    case IDOK:
    case IDCANCEL:
        return true; // Enter and Esc do not end the dialog
    default:
        return false;
    }
}

INT_PTR CDunmereMainDlg::onMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    handled = true;
    switch (message) {
    case WM_TRAY_NOTIFY:
        return tray_.onTrayNotification(wParam, lParam);
    case WM_TRACE_LINE:
        TraceListSink::showLine(item(IDC_TRACE_LIST), lParam);
        return TRUE;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
            showAbout();
            return TRUE;
        }
        if ((wParam & 0xFFF0) == SC_MINIMIZE)
            hideToTray(hwnd());
        else if ((wParam & 0xFFF0) == SC_RESTORE)
            restoreFromTray(hwnd());
        break;
    case WM_CLOSE:
        PostMessageA(hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
        return TRUE;
    case WM_SIZE:
        layoutControls();
        break;
    case WM_DPICHANGED:
        // Moved to a monitor of another scale: Windows resizes the window afterwards.
        if (statusBar_)
            setStatusParts();
        break;
    case WM_TIMER:
        controller_.onStatusTimer();
        break;
    case WM_PAINT:
        if (IsIconic(hwnd())) {
            paintMinimised();
            return TRUE;
        }
        break;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(icon_);
    case WM_QUERYENDSESSION:
        // The bridge never holds up a logoff or shutdown.
        SetWindowLongPtrA(hwnd(), DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_ENDSESSION:
        // Windows may end the process as soon as this returns: the connection and its
        // record end here, as at Exit.
        if (wParam)
            endProgram();
        return TRUE;
    default:
        break;
    }
    handled = false;
    return FALSE;
}

void CDunmereMainDlg::paintMinimised()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd(), &paint);
    RECT client{};
    GetClientRect(hwnd(), &client);
    const int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, icon_);
    EndPaint(hwnd(), &paint);
}

void CDunmereMainDlg::onDestroy()
{
    stopStatusTimer();
    traceSink_.detach();
    traceSink_.discardQueuedLines(hwnd());
    tray_.destroy();
}

void CDunmereMainDlg::portSettingsCommand()
{
    if (portSettingDlg_.windowExists()) {
        BringWindowToTop(portSettingDlg_.hwnd());
        SetForegroundWindow(portSettingDlg_.hwnd());
        return;
    }
    portSettingDlg_.setPortEntries(ports_.portEntries());
    portSettingDlg_.setSettings(controller_.settings());
    if (portSettingDlg_.runModal(hwnd()) != IDOK)
        return;
    ConnectionSettings confirmed = portSettingDlg_.settings();
    confirmed.echo = controller_.settings().echo;
    controller_.reconfigure(confirmed);
}

void CDunmereMainDlg::virtualPortCommand()
{
    ports_.refreshPortList();
    if (virtualPortDlg_.windowExists()) {
        BringWindowToTop(virtualPortDlg_.hwnd());
        SetForegroundWindow(virtualPortDlg_.hwnd());
    } else {
        virtualPortDlg_.setPortEntries(ports_.portEntries());
        virtualPortDlg_.runModal(hwnd());
    }
    ports_.refreshPortList();
    updateStatus();
}

void CDunmereMainDlg::echoCommand()
{
    controller_.toggleEcho();
    const bool echo = controller_.settings().echo;
    CheckMenuItem(GetMenu(hwnd()), ID_ECHO, MF_BYCOMMAND | (echo ? MF_CHECKED : MF_UNCHECKED));
    updateStatus();
    tray_.setEcho(echo);
}

void CDunmereMainDlg::clearEcho() { SendMessageA(item(IDC_TRACE_LIST), LB_RESETCONTENT, 0, 0); }

void CDunmereMainDlg::exitCommand()
{
    if (showMessage("Do you really want to exit Dunmere?", "", MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
        return;
    endProgram();
}

void CDunmereMainDlg::endProgram()
{
    pairLibrary_.close();
    controller_.disconnectBridge();
    controller_.endRecord();
    endDialog(IDCANCEL);
}

void CDunmereMainDlg::showAbout()
{
    CAboutDlg about;
    about.runModal(hwnd());
}

} // namespace clser::app
