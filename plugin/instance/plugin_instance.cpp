// PluginInstance: construction and destruction in host memory, and the base versions of the
// host-facing operations.
#include "instance/plugin_instance.h"

#include <cstdint>
#include <cstring>

namespace {

// The content of every saved-data record: a fixed marker, 23 characters and a zero. No state
// of the instance is saved in it.
const char SavedDataMarker[] = "aSavedInstanceDataBlock";

// The base WriteReady: the instance takes any amount.
const int32 AnyAmount = 0x0FFFFFFF;

// The poster: bitmap resource 4000, the only one of the library.
const short PosterPictureId = 4000;

// A saved-data record in host memory holding the marker; null when the record cannot be
// allocated, and a record of length 0 without a buffer when only the buffer cannot.
NPSavedData* NewSavedDataRecord() {
    NPSavedData* record = static_cast<NPSavedData*>(NPN_MemAlloc(sizeof(NPSavedData)));
    if (!record) return nullptr;
    record->len = 0;
    record->buf = NPN_MemAlloc(sizeof SavedDataMarker);
    if (record->buf) {
        memcpy(record->buf, SavedDataMarker, sizeof SavedDataMarker);
        record->len = sizeof SavedDataMarker;
    }
    return record;
}

} // namespace

PluginInstance::PluginInstance()
    : WindowRecord(nullptr), Mode(NP_EMBED), HostHandle(nullptr), WindowHandle(nullptr),
      PrevWindowProc(nullptr), SavedData(nullptr), Next(nullptr), Failed(FALSE), IsMap(FALSE),
      Href(nullptr), HrefTarget(nullptr), StreamURL(nullptr), FileName(), StreamLength(0),
      PictureAllowed(TRUE), StatusAllowed(FALSE), Picture(), PictureRect(), StatusRect(),
      PictureFirstId(-1), PictureLastId(-1), StatusText(nullptr), ForeColor{0x4040, 0x4040, 0x4040},
      BackColorGiven(FALSE), BackColor{0xFFFF, 0xFFFF, 0xFFFF} {}

PluginInstance::~PluginInstance() {
    NPN_MemFree(StatusText);
    StatusText = nullptr;
    if (Picture.GetSafeHandle()) Picture.DeleteObject();
    NPN_MemFree(Href);
    Href = nullptr;
    NPN_MemFree(HrefTarget);
    HrefTarget = nullptr;
    NPN_MemFree(StreamURL);
    StreamURL = nullptr;
    // The window gets its own procedure back before the instance leaves the list, so no
    // message can reach InstanceWindowProc for a window without an instance.
    if (WindowHandle) RestoreWindowProc(WindowHandle);
    UnlinkFromInstanceList();
}

void* PluginInstance::operator new(size_t size) noexcept {
    if (size > UINT32_MAX) return nullptr;
    return NPN_MemAlloc(static_cast<uint32>(size));
}

void PluginInstance::operator delete(void* block) noexcept {
    NPN_MemFree(block);
}

NPError PluginInstance::New(NPMIMEType, NPP instance, unsigned short mode, short argc, char* argn[],
                            char* argv[], NPSavedData*) {
    Mode = mode;
    HostHandle = instance;
    if (argc > 0 && argv && argv[0]) TakeFileName(argv[0]);
    ReadAttributes(argc, argn, argv);
    // With no window yet this only records the range that SetWindow will place.
    ShowPicture(PosterPictureId, PosterPictureId, TRUE);
    return NPERR_NO_ERROR;
}

NPError PluginInstance::Destroy(NPSavedData** save) {
    // With nowhere to put it, a new record would belong to nobody: make none.
    if (!save) return NPERR_NO_ERROR;
    if (!SavedData) SavedData = NewSavedDataRecord();
    *save = SavedData;
    return NPERR_NO_ERROR;
}

NPError PluginInstance::SetWindow(NPWindow* window) {
    HWND hwnd = window ? static_cast<HWND>(window->window) : nullptr;
    if (window == WindowRecord && WindowHandle && WindowHandle == hwnd) return NPERR_NO_ERROR;
    WindowRecord = window;
    // WindowHandle is set only while this instance has that window subclassed.
    BOOL alreadySubclassed = WindowHandle && WindowHandle == hwnd;
    if (WindowHandle && WindowHandle != hwnd) {
        RestoreWindowProc(WindowHandle);
        WindowHandle = hwnd;
    }
    if (hwnd && !alreadySubclassed) SubclassWindow(hwnd);
    InvalidateAll();
    ShowPicture(PictureFirstId, PictureLastId, TRUE);
    return NPERR_NO_ERROR;
}

void PluginInstance::SubclassWindow(HWND hwnd) {
    SetLastError(ERROR_SUCCESS);
    LONG_PTR previous =
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(InstanceWindowProc));
    if (!previous && GetLastError() != ERROR_SUCCESS) {
        // The host's handle names no window: there is nothing to subclass or to give back.
        WindowHandle = nullptr;
        return;
    }
    PrevWindowProc = reinterpret_cast<WNDPROC>(previous);
    AddInstance(hwnd, this);
}

NPError PluginInstance::NewStream(NPMIMEType, NPStream* stream, NPBool, unsigned short* stype) {
    if (Failed) return NPERR_NO_ERROR;
    if (stype) *stype = NP_NORMAL;
    if (!stream) return NPERR_NO_ERROR;
    // A later stream replaces the address of an earlier one.
    NPN_MemFree(StreamURL);
    StreamURL = CopyToHostMemory(stream->url);
    // An embedded instance keeps the name its first attribute gave it.
    if (Mode != NP_EMBED && stream->url) TakeFileName(stream->url);
    return NPERR_NO_ERROR;
}

int32 PluginInstance::WriteReady(NPStream*) {
    return AnyAmount;
}

int32 PluginInstance::Write(NPStream*, int32, int32, void*) {
    return 0;
}

NPError PluginInstance::DestroyStream(NPStream*, NPError) {
    return NPERR_NO_ERROR;
}

void PluginInstance::StreamAsFile(NPStream*, const char*) {}

void PluginInstance::Print(NPPrint*) {}

void PluginInstance::TakeFileName(const char* address) {
    const char* name = strrchr(address, '/');
    if (!name) name = strrchr(address, ':');
    name = name ? name + 1 : address;
    strncpy(FileName, name, sizeof FileName - 1);
    FileName[sizeof FileName - 1] = '\0';
}

void PluginInstance::RestoreWindowProc(HWND hwnd) {
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PrevWindowProc));
}
