// The library's state: the module object that TarvVComInit creates, the state checks
// that guard the exports, and the process-wide last-error text.
#pragma once

#include "virtual_pair.h"

#include <string>
#include <vector>

namespace clser::vcom {

struct VComModule {
    std::vector<VirtualPair> pairs; // from the last successful listing, in file order
    bool initialised = false;       // a listing succeeded once; never set back
    bool runningAsAdmin = false;
    std::string com0comDirectory;   // where setupc lives; empty when not found
    std::string setupcPath;
};

// The one module object of the process, or null before TarvVComInit and after TarvVComClose.
VComModule*& currentModule();

// The exports word their state-check failures in three ways.
enum class StateCheckWording {
    Plain,   // pair count, install, install-all
    Dotted,  // one pair, port check
    Remove,
};

// The failure text for the module's state, or null when the module may be used.
const char* stateCheckFailure(StateCheckWording wording, const VComModule* module);

// The last failure's text; replaced by every failure, cleared by nothing.
const std::string& lastErrorText();
void setLastErrorText(std::string text);

// TarvVComGetErrorDescription over a given text: with a null buffer the size the text
// needs (its length + 1) or -1 when it is empty; with a buffer, the text and its
// terminator copied and 0, or -1 and nothing written when the text is empty.
int describeError(const std::string& text, char* buffer);

// Size of each caller buffer for a pair text, terminator included.
inline constexpr std::size_t kPairTextBufferSize = 20;

// Copies a pair text into a caller's zero-filled 20-byte buffer. At most 19 characters
// go in, so a longer text is cut and the buffer keeps its terminator. A null buffer
// receives nothing.
void copyPairText(char* buffer, const std::string& text);

} // namespace clser::vcom
