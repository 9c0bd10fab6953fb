// The mark of a function or class that a shared library of this tree offers to others: the
// Win32-compatible layer's functions, the desktop and sound extensions, and the engine
// libraries' entries. Every library is built with hidden visibility (and on Windows exports
// nothing unmarked), so what lacks the mark stays inside its library.
//
// Plain C and C++ alike include this; it depends on nothing, so the engine and the plug-in can
// use it on Windows, where the Win32-compatible layer's headers are not on the include path.
#pragma once

#ifdef _WIN32
#define LX_EXPORT __declspec(dllexport)
#else
#define LX_EXPORT __attribute__((visibility("default")))
#endif
