// The low-latency mode of the transfer: one thread per direction, neither ever waiting
// for the other. The transfer thread takes the bytes of the COM port the moment they
// arrive and writes them to the camera; a second thread polls the Camera Link port
// with reads that return at once, paced by a precise timer (quickly after traffic,
// less often while the line is quiet), and writes what the camera sent to the COM port.
#pragma once

#include "transfer_link.h"
#include "transfer_steps.h"

namespace clser {

// Runs the mode on the transfer thread until the mode is
// switched off, a stop is asked for, or a transfer fails. status receives the last
// status. False when a failure ended the transfer (its line and the connection-error
// flag are then set); the ports are left to the caller in every case.
bool runLowLatencyTransfer(TransferLink& link, TransferSteps& steps, int& status);

} // namespace clser
