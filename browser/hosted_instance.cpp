#include "hosted_instance.h"

#include "host_services.h"

#include <algorithm>
#include <set>

namespace browser {

namespace {

// The instances alive now: an NPP from a plug-in is trusted only when it is one of them.
std::set<const HostedInstance*>& live_instances() {
    static std::set<const HostedInstance*> instances;
    return instances;
}

} // namespace

HostedInstance::HostedInstance(PluginLibrary& library, std::string type, uint16 mode,
                               Attributes attributes, HWND window, std::string page_url,
                               int window_id)
    : m_library(library), m_type(std::move(type)), m_mode(mode),
      m_attributes(std::move(attributes)), m_window(window), m_page_url(std::move(page_url)),
      m_window_id(window_id) {
    m_npp.ndata = this;
    live_instances().insert(this);
}

HostedInstance::~HostedInstance() {
    destroy();
    live_instances().erase(this);
}

HostedInstance* HostedInstance::from(NPP npp) {
    if (!npp) return nullptr;
    auto* instance = static_cast<HostedInstance*>(npp->ndata);
    return live_instances().count(instance) && instance->npp() == npp ? instance : nullptr;
}

NPError HostedInstance::create() {
    const NPPluginFuncs& funcs = m_library.funcs();
    if (!funcs.newp) return NPERR_INVALID_FUNCTABLE_ERROR;
    std::vector<char*> names;
    std::vector<char*> values;
    for (auto& [name, value] : m_attributes) {
        names.push_back(name.data());
        values.push_back(value.data());
    }
    int16 count = static_cast<int16>(std::min<size_t>(names.size(), INT16_MAX));
    NPError result =
        funcs.newp(m_type.data(), &m_npp, m_mode, count, names.empty() ? nullptr : names.data(),
                   values.empty() ? nullptr : values.data(), nullptr);
    // An instance that failed to start still gets NPP_Destroy, so that whatever it set up
    // before failing is given back.
    m_created = true;
    return result;
}

NPError HostedInstance::set_window() {
    if (!m_window || !m_created || !m_library.funcs().setwindow) return NPERR_NO_ERROR;
    RECT rect{};
    GetClientRect(m_window, &rect);
    POINT origin{0, 0};
    ClientToScreen(m_window, &origin);
    HWND parent = GetParent(m_window);
    if (parent) ScreenToClient(parent, &origin);
    m_np_window.window = m_window;
    m_np_window.x = static_cast<uint32>(origin.x);
    m_np_window.y = static_cast<uint32>(origin.y);
    m_np_window.width = static_cast<uint32>(rect.right);
    m_np_window.height = static_cast<uint32>(rect.bottom);
    m_np_window.clipRect =
        NPRect{0, 0, static_cast<uint16>(rect.bottom), static_cast<uint16>(rect.right)};
    return m_library.funcs().setwindow(&m_npp, &m_np_window);
}

void HostedInstance::add_stream(const std::string& url, std::unique_ptr<StreamSource> source) {
    m_streams.push_back(
        std::make_unique<PluginStream>(&m_npp, m_library.funcs(), url, m_type, std::move(source)));
}

void HostedInstance::step_streams(RateLimiter& rate, uint64_t now_ms,
                                  std::vector<std::string>& errors) {
    // Streams may be added while one is written to (NPN_GetURL), so the loop counts.
    for (size_t i = 0; i < m_streams.size(); ++i)
        m_streams[i]->step(rate, now_ms);
    for (auto it = m_streams.begin(); it != m_streams.end();) {
        if ((*it)->phase() != PluginStream::Phase::Ended) {
            ++it;
            continue;
        }
        if (!(*it)->error().empty())
            errors.push_back("Cannot load " + (*it)->url() + ": " + (*it)->error());
        it = m_streams.erase(it);
    }
}

bool HostedInstance::cancel_stream(NPStream* stream, NPReason reason) {
    for (auto& candidate : m_streams) {
        if (candidate->is(stream)) {
            candidate->cancel(reason);
            return true;
        }
    }
    return false;
}

void HostedInstance::destroy() {
    if (!m_created) return;
    // Streams first: the plug-in hears that each one ended before the instance goes.
    std::vector<std::unique_ptr<PluginStream>> streams = std::move(m_streams);
    for (auto& stream : streams)
        stream->end(NPRES_USER_BREAK);
    streams.clear();
    m_created = false;
    NPSavedData* saved = nullptr;
    if (m_library.funcs().destroy) m_library.funcs().destroy(&m_npp, &saved);
    // The viewer does not return to pages, so saved data is given back at once.
    if (saved) {
        host_free(saved->buf);
        host_free(saved);
    }
}

} // namespace browser
