// One stream from the viewer to a plug-in instance: NPP_NewStream once the source answers,
// then blocks of at most what NPP_WriteReady allows (and what the rate limit leaves), then
// NPP_DestroyStream with the reason it ended. A plug-in that asks for the data as a file
// (NP_ASFILE, NP_ASFILEONLY) gets NPP_StreamAsFile before the end: the file itself for a
// local address, else a temporary copy that is deleted once the stream has ended.
#pragma once

#include "stream_source.h"

#include <npfunctions.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace browser {

// The viewer's limit on the bytes delivered per second, shared by all streams as a
// network link would be, measured on the desktop clock. Unlimited when the rate is 0.
class RateLimiter {
  public:
    explicit RateLimiter(uint64_t bytes_per_second = 0) : m_rate(bytes_per_second) {}
    bool limited() const { return m_rate != 0; }
    // The bytes that may be delivered now.
    uint64_t allowance(uint64_t now_ms);
    void spend(uint64_t bytes);

  private:
    uint64_t m_rate;
    uint64_t m_last_ms = 0;
    bool m_started = false;
    uint64_t m_credit_milli = 0; // bytes x 1000, so slow rates keep their fractions
};

class PluginStream {
  public:
    enum class Phase {
        Waiting,   // the source has not answered; the plug-in knows nothing yet
        Streaming, // NPP_NewStream succeeded; blocks are being written
        Ended,     // NPP_DestroyStream was called, or the stream never started
    };

    // `instance` and `funcs` must outlive the stream (the instance ends its streams first).
    PluginStream(NPP instance, const NPPluginFuncs& funcs, std::string url, std::string type,
                 std::unique_ptr<StreamSource> source);
    ~PluginStream();

    // Moves the stream on: starts it, writes what the plug-in and the rate allow, ends it.
    void step(RateLimiter& rate, uint64_t now_ms);

    // Ends a running stream now (NPP_DestroyStream with `reason`); a stream that has not
    // started simply ends.
    void end(NPReason reason);

    // The plug-in asked to end it (NPN_DestroyStream); it ends on the next step.
    void cancel(NPReason reason);

    Phase phase() const { return m_phase; }
    bool is(const NPStream* stream) const { return stream == &m_stream; }
    const std::string& url() const { return m_url; }
    // Why the stream never started, or why it failed; empty otherwise.
    const std::string& error() const { return m_error; }

  private:
    void start();
    bool write_block(RateLimiter& rate, uint64_t now_ms);
    bool wants_file() const { return m_stype == NP_ASFILE || m_stype == NP_ASFILEONLY; }
    bool open_copy();
    void keep(const char* data, size_t count);
    void hand_over_file(NPReason reason);

    NPP m_instance;
    const NPPluginFuncs& m_funcs;
    std::string m_url;
    std::string m_type;
    std::unique_ptr<StreamSource> m_source;
    NPStream m_stream{};
    Phase m_phase = Phase::Waiting;
    uint32_t m_offset = 0;
    bool m_cancelled = false;
    NPReason m_cancel_reason = NPRES_USER_BREAK;
    std::string m_error;
    std::vector<char> m_block;
    uint16 m_stype = NP_NORMAL;
    std::string m_file_path;     // the file NPP_StreamAsFile names
    std::FILE* m_copy = nullptr; // the temporary copy being written, if any
    bool m_copy_failed = false;
};

} // namespace browser
