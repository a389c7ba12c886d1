#include "low_latency_timing.h"

namespace clser {

uint32_t lowLatencyComReadTimeout(const LowLatencyTimings& t, uint32_t sinceLastClWriteMs)
{
    return sinceLastClWriteMs < t.answerAwaitMs ? t.comReadAwaitTimeoutMs : t.comReadIdleTimeoutMs;
}

bool keepCollectingAnswer(const LowLatencyTimings& t, bool blockWritten, bool bytesCame, uint32_t sinceStepStartMs,
                          uint32_t sinceLastBytesMs)
{
    if (bytesCame)
        return sinceLastBytesMs < t.answerGapMs;
    if (blockWritten)
        return sinceStepStartMs < t.answerWindowMs;
    // An idle pass looks once and goes back to the COM port.
    return false;
}

} // namespace clser
