// The viewer's side of the plug-in interface: the host table handed to every plug-in and
// the host memory it allocates from. The entries that need the viewer's windows and
// streams are passed on to a HostDelegate; the rest answer as a browser that lacks the
// feature does.
#pragma once

#include <npfunctions.h>

#include <cstddef>

namespace browser {

// What the host table needs from the viewer. Called on the user-interface thread, from
// inside a plug-in's call; nothing here may destroy the calling instance at once.
class HostDelegate {
  public:
    virtual ~HostDelegate() = default;
    virtual void status(NPP instance, const char* message) = 0;
    virtual NPError get_url(NPP instance, const char* url, const char* target) = 0;
    virtual NPError destroy_stream(NPP instance, NPStream* stream, NPReason reason) = 0;
    virtual void invalidate(NPP instance, const NPRect* rect) = 0;
    virtual void force_redraw(NPP instance) = 0;
    virtual void* page_window(NPP instance) = 0;
};

// The delegate the table reaches; null makes those entries fail as for a bad instance.
void set_host_delegate(HostDelegate* delegate);

// The one host table, filled with every entry the interface defines.
NPNetscapeFuncs* host_table();

// "Lanternix-View/1.0": NPN_UserAgent and the HTTP User-Agent.
const char* user_agent();

// Host memory: NPN_MemAlloc and NPN_MemFree, also used by the viewer for what it frees on
// the plug-in's behalf (saved data). Blocks are counted, so that a run can tell whether
// everything handed out came back.
void* host_alloc(uint32 size);
void host_free(void* block);
size_t host_blocks_outstanding();

} // namespace browser
