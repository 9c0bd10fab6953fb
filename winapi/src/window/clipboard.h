// The clipboard's contents, kept for the whole desktop.
#pragma once

namespace winapi::window {

// Closes the clipboard and frees everything on it (desktop reset).
void clipboard_reset();

} // namespace winapi::window
