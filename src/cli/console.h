// The command line's standard streams.
#pragma once

namespace quorvane {

// Makes stdout and stderr binary, so that the tool writes the same bytes on
// every system (no LF to CR LF translation on Windows).
void UseBinaryStdio();

}  // namespace quorvane
