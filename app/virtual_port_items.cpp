#include "virtual_port_items.h"

#include "digit_text.h"

namespace clser::app {

intptr_t pairNumberOfId(const std::string& pairId)
{
    if (pairId.size() <= 3)
        return 0;
    return saturatedDecimalValue(leadingDigits(std::string_view(pairId).substr(3)));
}

std::string pairIdOfNumber(intptr_t number) { return "CNC" + std::to_string(number); }

std::vector<VirtualPortItem> virtualPortItems(const std::vector<VirtualPair>& pairs,
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
