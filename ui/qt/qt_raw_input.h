#pragma once

namespace norvane::ui::qt {

// Hands every key and mouse button event of the application to the raw input listener
// (ui/raw_input.h). Once per process, after the QApplication exists.
void InstallRawInputFilter();

}  // namespace norvane::ui::qt
