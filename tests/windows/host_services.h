// The browser side of the plug-in interface: the host's function table that NP_Initialize
// receives, with services that record what the plug-in asked of the browser. Host memory is
// counted block by block, so a case can tell whether the plug-in gave back all it took.
#pragma once

#include <windows.h>

#include <npapi.h>
#include <npfunctions.h>

#include <string>
#include <vector>

namespace winhost {

// One NPN_GetURL or NPN_GetURLNotify the plug-in made.
struct UrlRequest {
    std::string url;
    std::string target;
};

// What the plug-in asked of the host since the last reset_host_record().
struct HostRecord {
    std::vector<UrlRequest> url_requests;
    std::vector<std::string> status_texts;
    int user_agent_calls = 0;
    // Calls of services a movie plug-in has no business with (posting, plug-in streams...).
    int unexpected_calls = 0;
    // NPN_MemFree of a block the host never handed out, or handed out and freed already.
    int bad_frees = 0;
};

// A full host table of this interface version, size sizeof(NPNetscapeFuncs).
NPNetscapeFuncs make_host_table();

// The window the host answers for NPNVnetscapeWindow.
void set_host_window(HWND window);

const HostRecord& host_record();
void reset_host_record();

// Host memory handed out through NPN_MemAlloc and not yet given back.
int outstanding_blocks();
unsigned long outstanding_bytes();
// Whether `block` is a live block of host memory of at least `size` bytes.
bool is_host_block(const void* block, unsigned long size);

// Frees a block as the browser does with memory the plug-in handed over (saved data).
void host_free(void* block);

} // namespace winhost
