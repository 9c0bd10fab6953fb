// Preferences: the user's settings for every movie instance of the library. There is one
// record, made and loaded by the library start-up, read directly by the instances, changed
// only through its setters (which write it back to the profile at once), and saved once more
// and freed by the library shutdown.
//
// The profile is the application object's profile (AfxGetApp), section "Lanternix Plugin":
// with no registry key set, that is NPLant32.INI in the Windows directory. The record lives in
// host memory, so it can exist only while the host's table is kept (HostFuncs).
#pragma once

#include <afxwin.h>

#include "host/host_interface.h"

class Preferences {
  public:
    // The option bits of Flags. Each has a profile key of the same name. The values are the
    // plug-in's own numbering, kept as they are: 0x04 was never given an option, and Flags is
    // only ever built from these five (from the profile or the dialog), so 0x04 and the bits
    // from 0x40 up are never set.
    static constexpr DWORD StopLooping = 0x01;          // stop a loop after LoopCount loops
    static constexpr DWORD DontDeleteMovies = 0x02;     // keep a copy in CacheDirectory
    static constexpr DWORD StartSooner = 0x08;          // play before the download completes
    static constexpr DWORD PauseInBackground = 0x10;    // pause while the window is behind
    static constexpr DWORD UseHelperApplication = 0x20; // show movies with HelperApp

    // The size of the two text fields, zero included: at most 254 characters.
    static constexpr int TextSize = 255;

    // The values of a record that has not read the profile: no options, 3 loops, the
    // temporary directory as the platform reports it (with its trailing separator), and
    // "Play32.exe" in the Windows directory. Reads nothing from the profile.
    Preferences();
    Preferences(const Preferences&) = delete;
    Preferences& operator=(const Preferences&) = delete;

    // Host memory for the record. operator new returns null when the host has no memory (a
    // new-expression then yields null and constructs nothing).
    static void* operator new(size_t size) noexcept;
    static void operator delete(void* block) noexcept;

    // Reads every key of the profile, with the record's current values as defaults for the
    // two texts and the loop count. A stored cache directory replaces CacheDirectory only when
    // it names an existing directory; the helper program is taken unchecked. Flags is built
    // afresh from the five option keys (StopLooping 1 when missing, the others 0): a non-zero
    // value sets the bit. LoopCount takes the low 16 bits of the stored number, signed.
    void Load();
    // Writes all eight keys: the two texts as they stand, each option as 1 or 0, and
    // LoopCount as a signed decimal number.
    void Save();

    // Each setter changes its one field and then saves the whole record, so the profile is
    // always current. They check nothing: validating a directory is the dialog's task. A
    // text is copied up to 254 characters and the field is always zero-terminated; a null
    // text is taken as the empty one.
    void SetFlags(DWORD flags);
    void SetLoopCount(short loopCount);
    void SetCacheDirectory(const char* directory);
    void SetHelperApp(const char* path);

    // Lets the user edit the record in the preferences dialog; returns when it closes.
    void ShowDialog();

    // ---- Fields, in declaration order; readers use them directly ----

    DWORD Flags;                   // the option bits above
    short LoopCount;               // loops before a movie stops, while StopLooping is set
    char CacheDirectory[TextSize]; // where cache files are made and kept copies stored
    char HelperApp[TextSize];      // full path of the external movie program
};
