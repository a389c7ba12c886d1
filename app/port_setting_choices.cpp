#include "port_setting_choices.h"

#include "cl_serial_library_names.h"

#include <cstdlib>

namespace clser::app {

const std::vector<BoxItem>& baudRateItems()
{
    static const std::vector<BoxItem> items = [] {
        std::vector<BoxItem> rates;
        for (const LineRate& r : kLineRates)
            rates.push_back({std::string(r.text), r.clBaudCode});
        return rates;
    }();
    return items;
}

const std::vector<BoxItem>& parityItems()
{
    static const std::vector<BoxItem> items = {{"n", static_cast<intptr_t>(Parity::none)},
                                               {"e", static_cast<intptr_t>(Parity::even)},
                                               {"o", static_cast<intptr_t>(Parity::odd)}};
    return items;
}

const std::vector<BoxItem>& stopBitsItems()
{
    static const std::vector<BoxItem> items = {{"1", static_cast<intptr_t>(StopBits::one)},
                                               {"1.5", static_cast<intptr_t>(StopBits::onePointFive)},
                                               {"2", static_cast<intptr_t>(StopBits::two)}};
    return items;
}

const std::vector<BoxItem>& dataBitsItems()
{
    static const std::vector<BoxItem> items = {{"5", 0}, {"6", 0}, {"7", 0}, {"8", 0}, {"9", 0}};
    return items;
}

int parityBoxPosition(Parity parity)
{
    switch (parity) {
    case Parity::odd:
        return 2;
    case Parity::even:
        return 1;
    default:
        return 0;
    }
}

int clBaudBoxPosition(int32_t clBaudCode)
{
    const auto& items = baudRateItems();
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].data == clBaudCode)
            return static_cast<int>(i);
    return -1;
}

std::vector<std::string> comPortBoxItems(const std::vector<VirtualPair>& portEntries, bool showPhysicalPorts)
{
    std::vector<std::string> items;
    for (const auto& entry : portEntries) {
        if (!entry.pairId.empty())
            items.push_back(entry.portName + "-" + entry.partnerName);
        else if (showPhysicalPorts)
            items.push_back(entry.portName);
    }
    return items;
}

std::string comPortSelectionPrefix(const ConnectionSettings& settings)
{
    if (settings.userPortName.empty())
        return {};
    return settings.userPortName + "-" + settings.bridgePortName;
}

bool baudRatesDiffer(const PortSettingSelection& selection) { return selection.comBaudText != selection.clBaudText; }

bool isPhysicalPortItem(std::string_view comPortText) { return comPortText.find("TARVCOM") == std::string_view::npos; }

ConnectionSettings confirmedSettings(const PortSettingSelection& selection, const ConnectionSettings& before)
{
    ConnectionSettings after = before;
    const auto dash = selection.comPortText.find('-');
    after.userPortName = selection.comPortText.substr(0, dash);
    after.bridgePortName = dash == std::string::npos ? std::string() : selection.comPortText.substr(dash + 1);
    after.clPortIndex = selection.clPortIndex;
    after.clLibrary = selection.clLibrary;
    after.line.dataBits = static_cast<uint32_t>(std::atoi(selection.dataBitsText.c_str()));
    after.line.stopBits = static_cast<StopBits>(selection.stopBitsData);
    after.clBaudCode = static_cast<int32_t>(selection.clBaudData);
    after.line.baudRate = static_cast<uint32_t>(std::strtoul(selection.comBaudText.c_str(), nullptr, 10));
    after.line.parity = static_cast<Parity>(selection.parityData);
    after.lowLatency = selection.lowLatency;
    return after;
}

bool portsChanged(const ConnectionSettings& before, const ConnectionSettings& after)
{
    return before.userPortName != after.userPortName || before.clPortIndex != after.clPortIndex ||
           !sameClSerialLibrary(before.clLibrary, after.clLibrary);
}

} // namespace clser::app
