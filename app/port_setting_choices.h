// What the port settings dialog lists, selects and takes back, as plain decisions: the
// dialog itself only moves these texts and numbers in and out of its boxes.
#pragma once

#include "connection_settings.h"
#include "virtual_pair.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace clser::app {

// An item of a box and the number it carries.
struct BoxItem {
    std::string text;
    intptr_t data = 0;
};

// "9600" ... "921600"; in the Camera Link baud box each carries its Camera Link code.
const std::vector<BoxItem>& baudRateItems();
// "n" (0), "e" (2), "o" (1), in this order.
const std::vector<BoxItem>& parityItems();
// "1" (0), "1.5" (1), "2" (2).
const std::vector<BoxItem>& stopBitsItems();
// "5" ... "9".
const std::vector<BoxItem>& dataBitsItems();

// Position of the parity box to select: 0 for none, 2 for odd, 1 for even.
int parityBoxPosition(Parity parity);
// Position of the Camera Link baud box whose code is clBaudCode; -1 for another code.
int clBaudBoxPosition(int32_t clBaudCode);

// The COM port box's items in list order (the box sorts them): "COM5-TARVCOM5" for a
// virtual pair, the bare name of a physical port only when those are shown.
std::vector<std::string> comPortBoxItems(const std::vector<VirtualPair>& portEntries,
                                         bool showPhysicalPorts);
// The text whose item is selected: "<user>-<bridge>", or empty to take the first item.
std::string comPortSelectionPrefix(const ConnectionSettings& settings);

// What the dialog's boxes hold when Confirm is pressed.
struct PortSettingSelection {
    std::string comPortText;
    int clPortIndex = -1;  // the Camera Link port box's item, mapped to its port's index
    std::string clLibrary; // ... and to its port's library (empty: this system's own)
    std::string dataBitsText;
    intptr_t stopBitsData = 0;
    intptr_t clBaudData = 1;
    std::string comBaudText;
    std::string clBaudText;
    intptr_t parityData = 0;
    bool lowLatency = false;  // the "Low latency" checkbox is ticked
};

enum class ConfirmRefusal {
    None,
    DifferentBaudRates, // to be asked; on No the dialog stays open
    PhysicalPort        // refused outright
};

// True when the two baud boxes show different texts.
bool baudRatesDiffer(const PortSettingSelection& selection);
// True when the COM port item is not a virtual pair (it lacks "TARVCOM").
bool isPhysicalPortItem(std::string_view comPortText);

// The confirmed settings: the pair split at its first "-", the Camera Link port and its
// library, the line settings and the transfer mode; echo is kept from before. A text
// that is no number gives 0.
ConnectionSettings confirmedSettings(const PortSettingSelection& selection, const ConnectionSettings& before);

// True when the confirmation changes the COM port or the Camera Link port (its index or
// its library), which the configuration file does not take.
bool portsChanged(const ConnectionSettings& before, const ConnectionSettings& after);

} // namespace clser::app
