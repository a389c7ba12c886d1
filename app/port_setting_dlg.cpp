#include "port_setting_dlg.h"

#include "camera_link_port_names.h"
#include "connection_config.h"
#include "dunmere_config.h"
#include "resource.h"

#include <vector>

namespace clser::app {
namespace {

constexpr char kCaption[] = "Port configuration";

void resetBox(HWND box) { SendMessageA(box, CB_RESETCONTENT, 0, 0); }

int addItem(HWND box, const std::string& text)
{
    return static_cast<int>(SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

void addItems(HWND box, const std::vector<BoxItem>& items, bool withData)
{
    for (const auto& item : items) {
        const int at = addItem(box, item.text);
        if (withData && at >= 0)
            SendMessageA(box, CB_SETITEMDATA, at, item.data);
    }
}

// The box's own prefix search (letter case ignored); -1 when nothing begins so.
int findPrefix(HWND box, const std::string& prefix)
{
    const LRESULT at = SendMessageA(box, CB_FINDSTRING, static_cast<WPARAM>(-1),
                                    reinterpret_cast<LPARAM>(prefix.c_str()));
    return at == CB_ERR ? -1 : static_cast<int>(at);
}

void select(HWND box, int position) { SendMessageA(box, CB_SETCURSEL, position, 0); }

int selectedPosition(HWND box)
{
    const LRESULT at = SendMessageA(box, CB_GETCURSEL, 0, 0);
    return at == CB_ERR ? -1 : static_cast<int>(at);
}

std::string itemText(HWND box, int position)
{
    if (position < 0)
        return {};
    const LRESULT length = SendMessageA(box, CB_GETLBTEXTLEN, position, 0);
    if (length == CB_ERR)
        return {};
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(box, CB_GETLBTEXT, position, reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

std::string selectedText(HWND box) { return itemText(box, selectedPosition(box)); }

// The selected item's number, or the given one when nothing is selected.
intptr_t selectedData(HWND box, intptr_t none)
{
    const int at = selectedPosition(box);
    return at < 0 ? none : static_cast<intptr_t>(SendMessageA(box, CB_GETITEMDATA, at, 0));
}

// The numbers the box's items carry, in the order it shows them.
std::vector<intptr_t> allItemData(HWND box)
{
    std::vector<intptr_t> data;
    const LRESULT count = SendMessageA(box, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; ++i)
        data.push_back(static_cast<intptr_t>(SendMessageA(box, CB_GETITEMDATA, i, 0)));
    return data;
}

} // namespace

CPortSettingDlg::CPortSettingDlg(bool autorun)
    : DialogBase(IDD_PORT_SETTINGS), autorun_(autorun), configPath_(config::configPathOfThisProgram())
{
    settings_.clPortIndex = 0;
}

BOOL CPortSettingDlg::onInitDialog()
{
    CheckDlgButton(hwnd(), IDC_SHOW_PHYSICAL_PORTS, showPhysicalPorts_ ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(hwnd(), IDC_LOW_LATENCY, settings_.lowLatency ? BST_CHECKED : BST_UNCHECKED);
    fillComPortBox();
    fillClPortBox();

    HWND clBaud = item(IDC_CL_BAUD_RATE);
    resetBox(clBaud);
    addItems(clBaud, baudRateItems(), true);
    if (const int at = clBaudBoxPosition(settings_.clBaudCode); at >= 0)
        select(clBaud, at);

    HWND comBaud = item(IDC_COM_BAUD_RATE);
    resetBox(comBaud);
    addItems(comBaud, baudRateItems(), false);
    select(comBaud, findPrefix(comBaud, std::to_string(settings_.line.baudRate)));

    HWND parity = item(IDC_PARITY);
    resetBox(parity);
    addItems(parity, parityItems(), true);
    select(parity, parityBoxPosition(settings_.line.parity));

    HWND stopBits = item(IDC_STOP_BITS);
    resetBox(stopBits);
    addItems(stopBits, stopBitsItems(), true);
    select(stopBits, static_cast<int>(settings_.line.stopBits));

    HWND dataBits = item(IDC_DATA_BITS);
    resetBox(dataBits);
    addItems(dataBits, dataBitsItems(), false);
    select(dataBits, findPrefix(dataBits, std::to_string(settings_.line.dataBits)));
    return TRUE;
}

void CPortSettingDlg::fillComPortBox()
{
    HWND box = item(IDC_COM_PORT);
    resetBox(box);
    if (portEntries_.empty())
        return;
    for (const std::string& text : comPortBoxItems(portEntries_, showPhysicalPorts_))
        addItem(box, text);
    const std::string prefix = comPortSelectionPrefix(settings_);
    const int found = prefix.empty() ? 0 : findPrefix(box, prefix);
    select(box, found < 0 ? 0 : found);
}

void CPortSettingDlg::fillClPortBox()
{
    HWND box = item(IDC_CL_PORT);
    resetBox(box);
    // The box sorts "10. ..." before "2. ..." and the makers' ports by name: each item
    // carries its port's position in the list.
    for (size_t port = 0; port < clPorts_.size(); ++port)
        if (const int at = addItem(box, clPorts_[port].name); at >= 0)
            SendMessageA(box, CB_SETITEMDATA, at, static_cast<LPARAM>(port));
    select(box, discovery::cameraLinkPortBoxPosition(allItemData(box), clPorts_, settings_.clLibrary,
                                                     settings_.clPortIndex));
}

PortSettingSelection CPortSettingDlg::readSelection() const
{
    PortSettingSelection s;
    s.comPortText = selectedText(item(IDC_COM_PORT));
    HWND clPort = item(IDC_CL_PORT);
    if (const discovery::CameraLinkPort* port =
            discovery::cameraLinkPortAtBoxPosition(allItemData(clPort), clPorts_, selectedPosition(clPort))) {
        s.clPortIndex = port->index;
        s.clLibrary = port->library;
    }
    s.dataBitsText = selectedText(item(IDC_DATA_BITS));
    s.stopBitsData = selectedData(item(IDC_STOP_BITS), 0);
    s.clBaudData = selectedData(item(IDC_CL_BAUD_RATE), 1);
    s.comBaudText = selectedText(item(IDC_COM_BAUD_RATE));
    s.clBaudText = selectedText(item(IDC_CL_BAUD_RATE));
    s.parityData = selectedData(item(IDC_PARITY), 0);
    s.lowLatency = IsDlgButtonChecked(hwnd(), IDC_LOW_LATENCY) == BST_CHECKED;
    return s;
}

void CPortSettingDlg::confirm()
{
    const ConnectionSettings previous = settings_;
    const PortSettingSelection selection = readSelection();
    if (baudRatesDiffer(selection) &&
        messageBox(hwnd(),
                   "The baud rate of COM-port and Clser-port are different, this may lead to data lost.\n"
                   "Are you sure to confirm it?\n",
                   kCaption, MB_YESNO | MB_ICONEXCLAMATION) == IDNO)
        return;
    if (isPhysicalPortItem(selection.comPortText)) {
        messageBox(hwnd(), "Cannot connect to a physical COM port, please choose a virtual COM port pair.", kCaption,
                   MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    settings_ = confirmedSettings(selection, previous);
    if (autorun_) {
        if (portsChanged(previous, settings_))
            messageBox(hwnd(),
                       "You changed the COM port or ClSer Port, this change will be confirmed but not saved to config "
                       "file.",
                       kCaption, MB_OK | MB_ICONEXCLAMATION);
        writeBackSettings(configPath_, previous.userPortName, previous.clPortIndex, static_cast<int>(clPorts_.size()),
                          settings_.line, settings_.lowLatency, previous.clLibrary);
    }
    endDialog(IDOK);
}

bool CPortSettingDlg::onCommand(int id, int notifyCode, HWND control)
{
    if (id == IDOK) {
        confirm();
        return true;
    }
    if (id == IDC_SHOW_PHYSICAL_PORTS && notifyCode == BN_CLICKED) {
        showPhysicalPorts_ = IsDlgButtonChecked(hwnd(), IDC_SHOW_PHYSICAL_PORTS) == BST_CHECKED;
        fillComPortBox();
        return true;
    }
    return DialogBase::onCommand(id, notifyCode, control);
}

} // namespace clser::app
