// The viewer's test plug-in. It records every call the host makes, one line each, in the file
// named by LXTEST_PLUGIN_LOG, and does what its EMBED attributes ask:
//   NAME=n        the name its lines start with ("[n] ...")
//   COLOR=rrggbb  the colour it fills its window with; the bottom 8 rows show, in black, the
//                 part of the stream that has arrived
//   READY=n       what NPP_WriteReady answers (default: a large number)
//   TAKE=n        the most one NPP_Write consumes
//   FAILWRITE=n   NPP_Write returns -1 once n bytes have arrived
//   CANCEL=n      calls NPN_DestroyStream(NPRES_USER_BREAK) once n bytes have arrived
//   STATUS=text   calls NPN_Status with the text in NPP_New
//   GETURL=url, TARGET=t, GETURLON=done|click|new
//                 calls NPN_GetURL when its first stream ends, on a left click, or in NPP_New
//                 (TARGET=NULL passes a null target)
//   REFUSE=1      NPP_New fails with NPERR_GENERIC_ERROR
//   STYPE=n       the stream type NPP_NewStream asks for (NP_ASFILE 3, NP_ASFILEONLY 4)
//   MESSAGE=text  shows a message box with the text in NPP_New and records the answer
//   WRITEPUMP=n   once n bytes have arrived, runs the message loop from inside NPP_Write for
//                 a tenth of a second of desktop time, as a modal loop (a message box on
//                 screen) does
//   RESIZEPAGE=WxH
//                 resizes the page window to W x H pixels once it has its window, as a user
//                 who drags the window's frame does
// Instance data, status texts and the saved data it hands back come from the host's allocator.
#include <npfunctions.h>
#include <windows.h>
#include <winapi/desktop.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace {

NPNetscapeFuncs* g_host = nullptr;

struct Instance {
    char name[32];
    COLORREF color;
    int32 ready;
    int32 take;
    int64_t fail_write;
    int64_t cancel_at;
    int64_t box_at;
    char get_url[512];
    char target[64];
    char get_url_on[16];
    bool null_target;
    uint16 stype;
    int resize_width;
    int resize_height;
    HWND window;
    WNDPROC old_proc;
    uint32 received;
    uint32 end;
    int streams_ended;
    NPP npp;
};

void log_line(const Instance* instance, const char* format, ...) {
    const char* path = std::getenv("LXTEST_PLUGIN_LOG");
    if (!path) return;
    FILE* file = std::fopen(path, "a");
    if (!file) return;
    std::fprintf(file, "[%s] ", instance ? instance->name : "-");
    va_list args;
    va_start(args, format);
    std::vfprintf(file, format, args);
    va_end(args);
    std::fputc('\n', file);
    std::fclose(file);
}

Instance* of(NPP npp) {
    return npp ? static_cast<Instance*>(npp->pdata) : nullptr;
}

void read_attribute(Instance* self, const char* name, const char* value) {
    if (!strcasecmp(name, "NAME")) std::snprintf(self->name, sizeof self->name, "%s", value);
    if (!strcasecmp(name, "COLOR")) {
        unsigned long rgb = std::strtoul(value[0] == '#' ? value + 1 : value, nullptr, 16);
        self->color = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    }
    if (!strcasecmp(name, "READY")) self->ready = std::atoi(value);
    if (!strcasecmp(name, "TAKE")) self->take = std::atoi(value);
    if (!strcasecmp(name, "FAILWRITE")) self->fail_write = std::atoll(value);
    if (!strcasecmp(name, "CANCEL")) self->cancel_at = std::atoll(value);
    if (!strcasecmp(name, "WRITEPUMP")) self->box_at = std::atoll(value);
    if (!strcasecmp(name, "GETURL"))
        std::snprintf(self->get_url, sizeof self->get_url, "%s", value);
    if (!strcasecmp(name, "TARGET")) {
        std::snprintf(self->target, sizeof self->target, "%s", value);
        self->null_target = !strcmp(value, "NULL");
    }
    if (!strcasecmp(name, "STYPE")) self->stype = static_cast<uint16>(std::atoi(value));
    if (!strcasecmp(name, "RESIZEPAGE"))
        std::sscanf(value, "%dx%d", &self->resize_width, &self->resize_height);
    if (!strcasecmp(name, "GETURLON"))
        std::snprintf(self->get_url_on, sizeof self->get_url_on, "%s", value);
}

void follow_link(Instance* self, const char* when) {
    if (!self->get_url[0] || strcmp(self->get_url_on, when) != 0) return;
    NPError result =
        g_host->geturl(self->npp, self->get_url, self->null_target ? nullptr : self->target);
    log_line(self, "geturl %s %s -> %d", self->get_url, self->null_target ? "(null)" : self->target,
             result);
}

void paint(Instance* self) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(self->window, &ps);
    RECT rect;
    GetClientRect(self->window, &rect);
    HBRUSH brush = CreateSolidBrush(self->color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
    if (self->end > 0 && rect.bottom > 8) {
        LONG width =
            static_cast<LONG>(static_cast<uint64_t>(rect.right) * self->received / self->end);
        RECT bar{0, rect.bottom - 8, width, rect.bottom};
        FillRect(dc, &bar, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    EndPaint(self->window, &ps);
}

LRESULT CALLBACK window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = reinterpret_cast<Instance*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcA(hwnd, message, wparam, lparam);
    if (message == WM_PAINT) {
        paint(self);
        return 0;
    }
    if (message == WM_LBUTTONUP) {
        log_line(self, "click %d,%d", GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
        follow_link(self, "click");
        return 0;
    }
    return CallWindowProcA(self->old_proc, hwnd, message, wparam, lparam);
}

NPError test_new(NPMIMEType type, NPP npp, uint16 mode, int16 argc, char* argn[], char* argv[],
                 NPSavedData* saved) {
    auto* self = static_cast<Instance*>(g_host->memalloc(sizeof(Instance)));
    if (!self) return NPERR_OUT_OF_MEMORY_ERROR;
    std::memset(self, 0, sizeof *self);
    std::strcpy(self->name, "?");
    self->color = RGB(255, 0, 255);
    self->ready = 0x0FFFFFFF;
    self->take = 0x7FFFFFFF;
    self->fail_write = -1;
    self->cancel_at = -1;
    self->box_at = -1;
    self->npp = npp;
    npp->pdata = self;
    for (int i = 0; i < argc; ++i)
        read_attribute(self, argn[i], argv[i]);
    log_line(self, "new type=%s mode=%d argc=%d saved=%s agent=%s", type, mode, argc,
             saved ? "yes" : "no", g_host->uagent(npp));
    for (int i = 0; i < argc; ++i)
        log_line(self, "arg %s=%s", argn[i], argv[i]);
    for (int i = 0; i < argc; ++i) {
        if (!strcasecmp(argn[i], "STATUS")) g_host->status(npp, argv[i]);
        if (!strcasecmp(argn[i], "REFUSE")) return NPERR_GENERIC_ERROR;
        if (!strcasecmp(argn[i], "MESSAGE"))
            log_line(self, "messagebox -> %d", MessageBoxA(nullptr, argv[i], "Test", MB_OKCANCEL));
    }
    follow_link(self, "new");
    return NPERR_NO_ERROR;
}

NPError test_destroy(NPP npp, NPSavedData** save) {
    Instance* self = of(npp);
    if (!self) return NPERR_INVALID_INSTANCE_ERROR;
    log_line(self, "destroy");
    if (self->window && self->old_proc) {
        SetWindowLongPtrA(self->window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(self->old_proc));
        SetWindowLongPtrA(self->window, GWLP_USERDATA, 0);
    }
    // Saved data, as the interface allows: the host owns it from here.
    if (save) {
        auto* data = static_cast<NPSavedData*>(g_host->memalloc(sizeof(NPSavedData)));
        if (data) {
            data->len = 8;
            data->buf = g_host->memalloc(8);
            std::memcpy(data->buf, "lxsaved", 8);
        }
        *save = data;
    }
    npp->pdata = nullptr;
    g_host->memfree(self);
    return NPERR_NO_ERROR;
}

NPError test_set_window(NPP npp, NPWindow* window) {
    Instance* self = of(npp);
    if (!self) return NPERR_INVALID_INSTANCE_ERROR;
    log_line(self, "setwindow x=%u y=%u w=%u h=%u", window->x, window->y, window->width,
             window->height);
    HWND hwnd = static_cast<HWND>(window->window);
    if (hwnd && hwnd != self->window) {
        self->window = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->old_proc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(window_proc)));
        InvalidateRect(hwnd, nullptr, TRUE);
    }
    if (hwnd && self->resize_width > 0) {
        // Once only: the page's reflow tells this instance its new place again.
        int width = self->resize_width, height = self->resize_height;
        self->resize_width = 0;
        MoveWindow(GetParent(hwnd), 0, 0, width, height, TRUE);
    }
    return NPERR_NO_ERROR;
}

NPError test_new_stream(NPP npp, NPMIMEType type, NPStream* stream, NPBool seekable,
                        uint16* stype) {
    Instance* self = of(npp);
    if (!self) return NPERR_INVALID_INSTANCE_ERROR;
    log_line(self, "newstream url=%s end=%u type=%s seekable=%d t=%u", stream->url, stream->end,
             type, seekable, GetTickCount());
    self->end = stream->end;
    self->received = 0;
    *stype = self->stype ? self->stype : NP_NORMAL;
    return NPERR_NO_ERROR;
}

NPError test_destroy_stream(NPP npp, NPStream*, NPReason reason) {
    Instance* self = of(npp);
    if (!self) return NPERR_INVALID_INSTANCE_ERROR;
    log_line(self, "destroystream reason=%d bytes=%u t=%u", reason, self->received, GetTickCount());
    if (self->streams_ended++ == 0) follow_link(self, "done");
    return NPERR_NO_ERROR;
}

int32 test_write_ready(NPP npp, NPStream*) {
    Instance* self = of(npp);
    if (!self) return 0;
    return self->ready;
}

int32 test_write(NPP npp, NPStream* stream, int32 offset, int32 len, void* buffer) {
    Instance* self = of(npp);
    if (!self) return -1;
    int32 taken = len < self->take ? len : self->take;
    // The first byte of each block tells the tests that the bytes came in order.
    log_line(self, "write off=%d len=%d took=%d first=%d t=%u", offset, len, taken,
             len > 0 ? static_cast<unsigned char*>(buffer)[0] : -1, GetTickCount());
    if (self->fail_write >= 0 && self->received + taken >= self->fail_write) return -1;
    self->received += static_cast<uint32>(taken);
    if (self->box_at >= 0 && self->received >= self->box_at) {
        self->box_at = -1;
        log_line(self, "modal start");
        for (int step = 0; step < 10; ++step) {
            winapi::desktop::advance_clock(10);
            winapi::desktop::pump_messages();
        }
        log_line(self, "modal end");
    }
    if (self->window) InvalidateRect(self->window, nullptr, FALSE);
    if (self->cancel_at >= 0 && self->received >= self->cancel_at) {
        self->cancel_at = -1;
        NPError result = g_host->destroystream(npp, stream, NPRES_USER_BREAK);
        log_line(self, "cancel -> %d", result);
    }
    return taken;
}

// Records the file's name and what it holds: its size and its first byte.
void test_as_file(NPP npp, NPStream*, const char* name) {
    long size = -1;
    int first = -1;
    if (FILE* file = name ? std::fopen(name, "rb") : nullptr) {
        first = std::fgetc(file);
        std::fseek(file, 0, SEEK_END);
        size = std::ftell(file);
        std::fclose(file);
    }
    log_line(of(npp), "asfile path=%s size=%ld first=%d", name ? name : "(null)", size, first);
}

void test_print(NPP npp, NPPrint*) {
    log_line(of(npp), "print");
}

} // namespace

extern "C" {

NP_EXPORT_VISIBLE NPError NP_EXPORT_CALL NP_GetEntryPoints(NPPluginFuncs* funcs) {
    if (!funcs || funcs->size < NP_PLUGIN_TABLE_MIN_SIZE) return NPERR_INVALID_FUNCTABLE_ERROR;
    funcs->version = (NP_VERSION_MAJOR << 8) | NP_VERSION_MINOR;
    funcs->newp = test_new;
    funcs->destroy = test_destroy;
    funcs->setwindow = test_set_window;
    funcs->newstream = test_new_stream;
    funcs->destroystream = test_destroy_stream;
    funcs->asfile = test_as_file;
    funcs->writeready = test_write_ready;
    funcs->write = test_write;
    funcs->print = test_print;
    funcs->event = nullptr;
    return NPERR_NO_ERROR;
}

NP_EXPORT_VISIBLE NPError NP_EXPORT_CALL NP_Initialize(NPNetscapeFuncs* host) {
    if (!host || host->size < NP_HOST_TABLE_MIN_SIZE) return NPERR_INVALID_FUNCTABLE_ERROR;
    g_host = host;
    log_line(nullptr, "initialize size=%u version=%u", host->size, host->version);
    return NPERR_NO_ERROR;
}

NP_EXPORT_VISIBLE NPError NP_EXPORT_CALL NP_Shutdown(void) {
    log_line(nullptr, "shutdown");
    g_host = nullptr;
    return NPERR_NO_ERROR;
}

} // extern "C"
