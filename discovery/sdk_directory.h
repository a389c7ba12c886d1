// Finds the frame-grabber SDK installation at run time.
#pragma once

namespace clser::discovery {

// The SDK root directory without a trailing backslash, or null when none can be found.
// Found from the program's own path (the parent of a bin, dll, Hardware Applets, lib or
// lib64 directory it lies below) or else from TARVDIR5_32, then TARVDIR5. Once found, the
// text is cached for the life of the process and the same pointer is returned; a miss is
// not cached. Safe to call from any thread.
const char* locateSdkDirectory();

} // namespace clser::discovery
