#include "virtual_port_items.h"

#include <climits>

namespace clser::app {

intptr_t pairNumberOfId(const std::string& pairId)
{
    long long value = 0;
    for (size_t i = 3; i < pairId.size() && pairId[i] >= '0' && pairId[i] <= '9'; ++i) {
        value = value * 10 + (pairId[i] - '0');
        if (value > INT_MAX)
            return INT_MAX;
    }
    return static_cast<intptr_t>(value);
}

std::string pairIdOfNumber(intptr_t number) { return "CNC" + std::to_string(number); }

std::vector<VirtualPortItem> virtualPortItems(const std::vector<discovery::PortEntry>& pairs,
                                              const std::vector<std::string>& physicalPortNames)
{
    std::vector<VirtualPortItem> items;
    for (const auto& pair : pairs) {
        if (!pair.pairId.empty())
            items.push_back({pair.portName + "-" + pair.partnerName, pairNumberOfId(pair.pairId)});
        else
            items.push_back({pair.portName, 0});
    }
    for (const auto& name : physicalPortNames)
        items.push_back({name, 0});
    return items;
}

bool isPairItem(const std::string& text) { return text.find("TARVCOM") != std::string::npos; }

} // namespace clser::app
