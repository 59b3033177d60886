#pragma once

#include <string>
#include <string_view>
#include <vector>

// Diagnostics sink: one UTF-8 line per event, silent unless NORVANE_TRACE is set
// ("1" writes to stderr, any other value names a file the lines are appended to).
namespace norvane::platform::diag {

// True when a line given to Trace would go anywhere; callers skip formatting otherwise.
bool Enabled();

// Writes one line. Embedded line breaks are written as spaces so each event stays one line.
void Trace(std::string_view line);

// Re-reads NORVANE_TRACE; the first Trace or Enabled call does this once by itself.
void ConfigureFromEnvironment();

// Collects every traced line while alive, in addition to the configured output.
// Captures do not nest: the innermost one receives the lines.
class ScopedCapture {
public:
    ScopedCapture();
    ~ScopedCapture();
    ScopedCapture(const ScopedCapture&) = delete;
    ScopedCapture& operator=(const ScopedCapture&) = delete;

    std::vector<std::string> Lines() const;

private:
    ScopedCapture* previous_ = nullptr;
};

}  // namespace norvane::platform::diag
