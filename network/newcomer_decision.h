// What the endpoint does with a client that has just connected, given the one it serves.
// Plain logic: the endpoint looks at the sockets, this decides.
#pragma once

#include <cstdint>

namespace clser::network {

// With takeover, a client is served this long before a new one may take its place, so
// that two clients that reconnect on their own cannot swap the port without end.
inline constexpr uint64_t kServedBeforeTakeoverMs = 1000;

// The client served, as a newcomer finds it.
enum class ServedClient {
    None,
    Serving,
    // It ended its sending side: it has closed, or it only waits for the rest of an
    // answer, and the newcomer is most likely the next run of the same user's program.
    EndedSending,
    // Its connection failed (reset, keepalive time-out) and nobody has read it since.
    Failed,
};

enum class NewcomerOutcome {
    Served,
    // Served in place of the client served, which is dropped first.
    ServedInPlace,
    Refused,
};

struct NewcomerDecision {
    NewcomerOutcome outcome;
    // Why a refused newcomer was refused, as its trace line says it.
    const char* refusal = nullptr;
};

NewcomerDecision decideNewcomer(ServedClient served, uint64_t servedForMs, bool takeover, bool allowed);

} // namespace clser::network
