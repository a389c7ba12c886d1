#include "network_user_side.h"

namespace clser {

NetworkUserSide::NetworkUserSide(const network::NetworkSettings& settings, const network::EndpointTimings& timings,
                                 HANDLE wake, RateRequest onRateRequest, std::function<void(std::string)> addLine)
    : addLine_(std::move(addLine)),
      endpoint_(settings,
                network::EndpointHooks{
                    std::move(onRateRequest),
                    nullptr,
                    [this](const std::string& client) { addLine_("Network client connected: " + client); },
                    [this](const std::string& client, const std::string& why) {
                        addLine_("Network client disconnected: " + client + (why.empty() ? "" : " (" + why + ")"));
                    },
                    [this](const std::string& client, const char* why) {
                        addLine_("Network client refused: " + client + " (" + why + ")");
                    },
                    [this](uint32_t count) { addLine_("(" + std::to_string(count) + " more clients refused)"); },
                    [this](const std::string& line) { addLine_(line); },
                    [this](uint32_t count) {
                        addLine_("(" + std::to_string(count) + " more Camera Link rate requests)");
                    }},
                wake, timings)
{
}

} // namespace clser
