// The transfer thread's work: copies bytes from the user's side to the camera and
// back, taking turns (or in the low-latency mode, one thread per direction), until it
// is told to stop or a transfer fails.
#pragma once

#include "transfer_link.h"

namespace clser {

// Returns the last status it got (0 after a stop request that followed successful
// transfers). The caller holds whatever keeps the ports open meanwhile.
DWORD runTransfer(TransferLink& link);

} // namespace clser
