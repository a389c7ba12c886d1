#include "newcomer_decision.h"

namespace clser::network {

NewcomerDecision decideNewcomer(ServedClient served, uint64_t servedForMs, bool takeover, bool allowed)
{
    // Only a client that still sends holds the port; a failed one or one that ended its
    // sending gives way.
    const bool held = served == ServedClient::Serving;
    if (held && !takeover)
        return {NewcomerOutcome::Refused, "another client is connected"};
    if (held && servedForMs < kServedBeforeTakeoverMs)
        return {NewcomerOutcome::Refused, "the client served came less than 1 s ago"};
    if (!allowed)
        return {NewcomerOutcome::Refused, "not on the allow list"};
    return {served == ServedClient::None ? NewcomerOutcome::Served : NewcomerOutcome::ServedInPlace};
}

} // namespace clser::network
