// One plug-in instance as the viewer holds it: the NPP record the plug-in sees, the child
// window it draws into (none for a hidden embed), its attributes and its streams.
#pragma once

#include "plugin_registry.h"
#include "plugin_stream.h"

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace browser {

class HostedInstance {
  public:
    using Attributes = std::vector<std::pair<std::string, std::string>>;

    // `window` (the instance's child window, may be null) is owned by the caller's page
    // window and destroyed after the instance. `page_url` is where the instance lives.
    HostedInstance(PluginLibrary& library, std::string type, uint16 mode, Attributes attributes,
                   HWND window, std::string page_url, int window_id);
    ~HostedInstance();
    HostedInstance(const HostedInstance&) = delete;
    HostedInstance& operator=(const HostedInstance&) = delete;

    // NPP_New with every attribute in order. The result is the plug-in's.
    NPError create();
    bool created() const { return m_created; }

    // NPP_SetWindow with the window's current size; nothing for a hidden instance.
    NPError set_window();

    // Adds a stream of `url` (absolute) from `source`.
    void add_stream(const std::string& url, std::unique_ptr<StreamSource> source);

    // Moves every stream on; ended streams are dropped, their errors given to `errors`.
    void step_streams(RateLimiter& rate, uint64_t now_ms, std::vector<std::string>& errors);
    bool has_streams() const { return !m_streams.empty(); }

    // NPN_DestroyStream from the plug-in: false when the stream is not one of ours.
    bool cancel_stream(NPStream* stream, NPReason reason);

    // Ends the streams (NPRES_USER_BREAK), calls NPP_Destroy and frees the saved data the
    // plug-in hands back. Safe to call twice.
    void destroy();

    NPP npp() { return &m_npp; }
    HWND window() const { return m_window; }
    const std::string& type() const { return m_type; }
    const std::string& page_url() const { return m_page_url; }
    int window_id() const { return m_window_id; }

    // The instance behind an NPP the viewer handed out; null for anything else.
    static HostedInstance* from(NPP npp);

  private:
    PluginLibrary& m_library;
    std::string m_type;
    uint16 m_mode;
    Attributes m_attributes;
    HWND m_window;
    std::string m_page_url;
    int m_window_id;
    NPP_t m_npp{};
    NPWindow m_np_window{};
    bool m_created = false;
    std::vector<std::unique_ptr<PluginStream>> m_streams;
};

} // namespace browser
