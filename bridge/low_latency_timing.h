// The low-latency transfer mode: its time-outs and the decisions that use them.
// In this mode the COM read returns once bytes have come and the line has gone quiet,
// and the camera's answer is collected with short Camera Link reads that hand the
// first bytes on as soon as they come. Plain functions over numbers, so that each
// rule can be checked without a port.
#pragma once

#include <cstdint>

namespace clser {

struct LowLatencyTimings {
    // The COM read returns once bytes have come and no further byte followed within
    // this many milliseconds (the port's read interval time-out).
    uint32_t comReadIntervalMs = 2;
    // Total time-out of the COM read while no answer is awaited. With the 1 ms Camera
    // Link read that follows, an idle pass lasts as long as in the default mode
    // (100 ms COM read and 10 ms Camera Link read), so idling costs the same.
    uint32_t comReadIdleTimeoutMs = 109;
    // Total time-out of the COM read while an answer is awaited, so that a camera that
    // answers later than the collection below is still heard within about this long.
    uint32_t comReadAwaitTimeoutMs = 10;
    // How long after the last block went to the camera its answer is awaited.
    uint32_t answerAwaitMs = 500;
    // Every Camera Link read of the mode.
    uint32_t clReadTimeoutMs = 1;
    // After a block went to the camera: how long the short reads wait for the first
    // bytes of the answer within the same pass.
    uint32_t answerWindowMs = 10;
    // Once bytes have come: how long the camera may stay quiet before the pass goes
    // back to the COM port.
    uint32_t answerGapMs = 2;
};

constexpr uint32_t kNoBlockWrittenYet = UINT32_MAX;

// Total time-out of a low-latency pass's COM read, from the milliseconds since the
// last block was written to the camera (kNoBlockWrittenYet when none was).
uint32_t lowLatencyComReadTimeout(const LowLatencyTimings& t, uint32_t sinceLastClWriteMs);

// Whether a low-latency pass reads the Camera Link port again after a read that
// delivered nothing. blockWritten: this pass wrote a block to the camera;
// bytesCame: a read of this pass delivered bytes; sinceStepStartMs: since the first
// Camera Link read of the pass began; sinceLastBytesMs: since the last read that
// delivered bytes ended.
bool keepCollectingAnswer(const LowLatencyTimings& t, bool blockWritten, bool bytesCame, uint32_t sinceStepStartMs,
                          uint32_t sinceLastBytesMs);

} // namespace clser
