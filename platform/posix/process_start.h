// What the Linux entry does before anything else, so that a start behaves as it would on
// Windows whatever state the starter left the process in.
#pragma once

namespace platform::posix {

// Descriptors 0-2 that the starter closed are opened on `nullDevice` (a pipe whose other end
// is closed where that cannot be opened), so that no file opened later takes the place of a
// standard stream and receives what is written there.
void ReopenClosedStandardStreams(const char* nullDevice = "/dev/null");

// A write to a pipe nobody reads fails with EPIPE, as on Windows, instead of ending the
// process. Ignored signals stay ignored in programs started from here.
void IgnoreBrokenPipes();

}  // namespace platform::posix
