#pragma once

namespace pinora {
// Start-up, message loop and shutdown of Pinora.exe; returns the exit code.
int RunPinora() noexcept;
}
