// The stand-in's optional diagnostics. The Windows interface it imitates is silent, so nothing
// is written unless the host asks for it with MOXIMAGE2_LOG=1 in the environment; then each
// failure the stand-in would otherwise swallow (a file that does not load, a missing font
// family, a message from a library underneath) becomes one line on standard error.
#pragma once

namespace moxplat {

// True when MOXIMAGE2_LOG is set to something other than "" or "0". Read once.
bool DiagnosticsEnabled();

// Writes "MoxImage2: <formatted text>\n" to standard error as one write, when enabled.
void Diagnose(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace moxplat
