// Preferences: construction in host memory, and the record's way to and from the profile.
#include "prefs/preferences.h"

#include "prefs/preferences_dialog.h"

#include <cstdint>

namespace {

// The profile section that holds every key of the record.
const char Section[] = "Lanternix Plugin";

const char CacheDirectoryKey[] = "CacheDirectory";
const char HelperAppKey[] = "HelperApp";
const char LoopCountKey[] = "LoopCount";

// The option keys in the order they are read and written, with their bits and the value a
// missing key stands for.
struct OptionKey {
    const char* Name;
    DWORD Bit;
    int Default;
};

const OptionKey OptionKeys[] = {
    {"StopLooping", Preferences::StopLooping, 1},
    {"PauseInBackground", Preferences::PauseInBackground, 0},
    {"DontDeleteMovies", Preferences::DontDeleteMovies, 0},
    {"StartSooner", Preferences::StartSooner, 0},
    {"UseHelperApplication", Preferences::UseHelperApplication, 0},
};

const short DefaultLoopCount = 3;

// The helper program looked for in the Windows directory when the profile names none.
const char DefaultHelperName[] = "\\Play32.exe";

// Copies `text` into a field of Preferences::TextSize bytes: cut to 254 characters and
// always terminated. A null text gives the empty field.
void CopyText(char* field, const char* text) {
    field[0] = '\0';
    if (text) lstrcpynA(field, text, Preferences::TextSize);
}

// Appends `text` to a field of Preferences::TextSize bytes, cutting as CopyText does.
void AppendText(char* field, const char* text) {
    int length = lstrlenA(field);
    lstrcpynA(field + length, text, Preferences::TextSize - length);
}

// True when `path` names an existing directory.
bool IsDirectory(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

Preferences::Preferences() : Flags(0), LoopCount(DefaultLoopCount), CacheDirectory(), HelperApp() {
    // A directory that does not fit the buffer leaves it untouched, so the field stays
    // empty rather than holding part of a path.
    char directory[MAX_PATH] = "";
    DWORD length = GetTempPathA(sizeof directory, directory);
    if (length < sizeof directory) CopyText(CacheDirectory, directory);
    directory[0] = '\0';
    UINT windowsLength = GetWindowsDirectoryA(directory, sizeof directory);
    if (windowsLength < sizeof directory) CopyText(HelperApp, directory);
    AppendText(HelperApp, DefaultHelperName);
}

void* Preferences::operator new(size_t size) noexcept {
    if (size > UINT32_MAX) return nullptr;
    return NPN_MemAlloc(static_cast<uint32>(size));
}

void Preferences::operator delete(void* block) noexcept {
    NPN_MemFree(block);
}

void Preferences::Load() {
    // Without an application object there is no profile to read: the record stays as it is.
    CWinApp* app = AfxGetApp();
    if (!app) return;

    // A stored directory that has gone away, or that names a file, would make every cache
    // file fail; the current directory is kept instead, without a word. One too long for the
    // field is not cut short either: the shorter path could name another, existing folder.
    CString directory = app->GetProfileStringA(Section, CacheDirectoryKey, CacheDirectory);
    if (directory.GetLength() < TextSize && IsDirectory(directory))
        CopyText(CacheDirectory, directory);

    CopyText(HelperApp, app->GetProfileStringA(Section, HelperAppKey, HelperApp));

    Flags = 0;
    for (const OptionKey& option : OptionKeys) {
        if (app->GetProfileIntA(Section, option.Name, option.Default) != 0) Flags |= option.Bit;
    }

    // Only the low 16 bits of the stored number count, taken as a signed value.
    UINT loops = app->GetProfileIntA(Section, LoopCountKey, LoopCount);
    LoopCount = static_cast<short>(static_cast<WORD>(loops));
}

void Preferences::Save() {
    CWinApp* app = AfxGetApp();
    if (!app) return;
    app->WriteProfileStringA(Section, CacheDirectoryKey, CacheDirectory);
    app->WriteProfileStringA(Section, HelperAppKey, HelperApp);
    for (const OptionKey& option : OptionKeys)
        app->WriteProfileInt(Section, option.Name, (Flags & option.Bit) ? 1 : 0);
    app->WriteProfileInt(Section, LoopCountKey, LoopCount);
}

void Preferences::SetFlags(DWORD flags) {
    Flags = flags;
    Save();
}

void Preferences::SetLoopCount(short loopCount) {
    LoopCount = loopCount;
    Save();
}

void Preferences::SetCacheDirectory(const char* directory) {
    CopyText(CacheDirectory, directory);
    Save();
}

void Preferences::SetHelperApp(const char* path) {
    CopyText(HelperApp, path);
    Save();
}

void Preferences::ShowDialog() {
    // The dialog works on the library-wide record, which is this one.
    PreferencesDialog dialog;
    dialog.DoModal();
}
