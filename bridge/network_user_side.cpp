#include "network_user_side.h"

#include "baud_rate_choice.h"
#include "connection_settings.h"

#include <cstdio>

namespace clser {

NetworkUserSide::NetworkUserSide(const network::NetworkSettings& settings, const network::EndpointTimings& timings,
                                 HANDLE wake, ClSerialPort& clPort, int32_t clBaudCode,
                                 std::function<void(std::string)> addLine)
    : clPort_(clPort),
      addLine_(std::move(addLine)),
      rateInForce_(baudRateForClBaudCode(clBaudCode)),
      endpoint_(settings,
                network::EndpointHooks{
                    [this](uint32_t bps) { return onBaudRateRequested(bps); },
                    nullptr,
                    [this](const std::string& client) { addLine_("Network client connected: " + client); },
                    [this](const std::string& client, const std::string& why) {
                        addLine_("Network client disconnected: " + client + (why.empty() ? "" : " (" + why + ")"));
                    },
                    [this](const std::string& client, const char* why) {
                        addLine_("Network client refused: " + client + " (" + why + ")");
                    },
                    [this](uint32_t count) { addLine_("(" + std::to_string(count) + " more clients refused)"); }},
                wake, timings)
{
}

uint32_t NetworkUserSide::onBaudRateRequested(uint32_t bitsPerSecond)
{
    const uint32_t inForce = rateInForce_;
    const uint32_t rate = network::rateAfterRequest(bitsPerSecond, inForce);
    if (rate == inForce)
        return inForce;
    // The camera's line follows the client's choice; a rate the library refuses leaves
    // the one in force.
    const int status = clPort_.setBaudRate(network::cameraLinkBaudConstant(rate));
    char line[120];
    if (status < 0) {
        std::snprintf(line, sizeof line, "Camera Link rate %lu refused   error code: %d", static_cast<unsigned long>(rate),
                      status);
        addLine_(line);
        return inForce;
    }
    rateInForce_ = rate;
    std::snprintf(line, sizeof line, "Camera Link rate set to %lu by the network client",
                  static_cast<unsigned long>(rate));
    addLine_(line);
    return rate;
}

} // namespace clser
