#include "plugin_stream.h"

#include "url.h"

#include <cstdlib>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace browser {

namespace {

// The largest block handed over in one NPP_Write, whatever the plug-in says it could take.
constexpr int32 kMaxBlock = 16 * 1024;
// The blocks one step may write, so one fast stream does not hold up the message loop.
constexpr int kBlocksPerStep = 64;
// The credit a quiet link may gather: a fifth of a second's worth.
constexpr uint64_t kBurstMs = 200;

} // namespace

uint64_t RateLimiter::allowance(uint64_t now_ms) {
    if (!m_rate) return UINT64_MAX;
    if (!m_started) {
        m_started = true;
        m_last_ms = now_ms;
    }
    if (now_ms > m_last_ms) {
        m_credit_milli += (now_ms - m_last_ms) * m_rate;
        // Room for two whole bytes at least, or a rate below ten bytes a second would lose
        // its fractions at the cap (and below five never deliver anything).
        m_credit_milli = std::min(m_credit_milli, std::max<uint64_t>(kBurstMs * m_rate, 2000));
        m_last_ms = now_ms;
    }
    return m_credit_milli / 1000;
}

void RateLimiter::spend(uint64_t bytes) {
    if (!m_rate) return;
    uint64_t milli = bytes * 1000;
    m_credit_milli = milli > m_credit_milli ? 0 : m_credit_milli - milli;
}

PluginStream::PluginStream(NPP instance, const NPPluginFuncs& funcs, std::string url,
                           std::string type, std::unique_ptr<StreamSource> source)
    : m_instance(instance), m_funcs(funcs), m_url(std::move(url)), m_type(std::move(type)),
      m_source(std::move(source)) {
    m_stream.ndata = this;
    m_stream.url = m_url.c_str();
}

PluginStream::~PluginStream() {
    end(NPRES_USER_BREAK);
}

void PluginStream::start() {
    if (m_source->state() == StreamSource::State::Waiting) return;
    if (m_source->failed_before_data()) {
        // Nothing arrived: the plug-in never hears of the stream, as with a missing file.
        m_error = m_source->error();
        m_phase = Phase::Ended;
        return;
    }
    m_stream.end = m_source->length();
    uint16 stype = NP_NORMAL;
    NPError result = m_funcs.newstream
                         ? m_funcs.newstream(m_instance, m_type.data(), &m_stream, 0, &stype)
                         : NPERR_GENERIC_ERROR;
    if (result != NPERR_NO_ERROR) {
        // A refused stream is dropped without NPP_DestroyStream.
        m_error = "the plug-in refused the stream (error " + std::to_string(result) + ")";
        m_phase = Phase::Ended;
        return;
    }
    m_phase = Phase::Streaming;
    m_stype = stype;
    if (wants_file() && !open_copy()) m_copy_failed = true;
}

// The file the plug-in will be given: a local address is its own file; anything else is
// copied as it arrives into a temporary file with the address's extension.
bool PluginStream::open_copy() {
    if (auto path = url_to_path(m_url)) {
        m_file_path = *path;
        return true;
    }
    const char* folder = std::getenv("TMPDIR");
    std::string extension = url_extension(m_url);
    std::string pattern = std::string(folder && *folder ? folder : "/tmp") + "/lxview-XXXXXX" +
                          (extension.empty() ? "" : "." + extension);
    int suffix = extension.empty() ? 0 : static_cast<int>(extension.size() + 1);
    int descriptor = mkstemps(pattern.data(), suffix);
    if (descriptor < 0) return false;
    m_copy = fdopen(descriptor, "wb");
    if (!m_copy) {
        close(descriptor);
        unlink(pattern.c_str());
        return false;
    }
    m_file_path = pattern;
    return true;
}

void PluginStream::keep(const char* data, size_t count) {
    if (m_copy && std::fwrite(data, 1, count, m_copy) != count) m_copy_failed = true;
}

void PluginStream::hand_over_file(NPReason reason) {
    bool copied = m_copy != nullptr;
    if (m_copy && std::fclose(m_copy) != 0) m_copy_failed = true;
    m_copy = nullptr;
    // A stream that did not arrive whole is named by a null file name.
    bool whole = reason == NPRES_DONE && !m_copy_failed;
    if (m_funcs.asfile)
        m_funcs.asfile(m_instance, &m_stream, whole ? m_file_path.c_str() : nullptr);
    if (copied) unlink(m_file_path.c_str());
}

// Writes one block. False when nothing more can be written in this step.
bool PluginStream::write_block(RateLimiter& rate, uint64_t now_ms) {
    std::string_view available = m_source->peek(kMaxBlock);
    if (available.empty()) {
        StreamSource::State state = m_source->state();
        if (state == StreamSource::State::Complete) end(NPRES_DONE);
        if (state == StreamSource::State::Failed) {
            m_error = m_source->error();
            end(NPRES_NETWORK_ERR);
        }
        return false;
    }
    if (m_stype == NP_ASFILEONLY) {
        // Only the file is wanted: the data goes to it without passing the plug-in.
        size_t count = std::min<uint64_t>(available.size(), rate.allowance(now_ms));
        keep(available.data(), count);
        m_source->consume(count);
        rate.spend(count);
        m_offset += static_cast<uint32_t>(count);
        return count > 0;
    }
    int32 ready = m_funcs.writeready ? m_funcs.writeready(m_instance, &m_stream) : 0;
    if (ready <= 0 || !m_funcs.write) return false;
    uint64_t count = std::min<uint64_t>(
        {available.size(), static_cast<uint64_t>(ready), rate.allowance(now_ms)});
    if (count == 0) return false;
    // The plug-in may write into the buffer it gets, so it gets a copy.
    m_block.assign(available.begin(), available.begin() + static_cast<long>(count));
    int32 written = m_funcs.write(m_instance, &m_stream, static_cast<int32>(m_offset),
                                  static_cast<int32>(count), m_block.data());
    if (written < 0) {
        end(NPRES_USER_BREAK);
        return false;
    }
    size_t taken = std::min<size_t>(static_cast<size_t>(written), count);
    keep(available.data(), taken);
    m_source->consume(taken);
    rate.spend(taken);
    m_offset += static_cast<uint32_t>(taken);
    return taken > 0;
}

void PluginStream::step(RateLimiter& rate, uint64_t now_ms) {
    if (m_phase == Phase::Waiting && m_cancelled) {
        end(m_cancel_reason);
        return;
    }
    if (m_phase == Phase::Waiting) start();
    for (int block = 0; block < kBlocksPerStep && m_phase == Phase::Streaming; ++block) {
        if (m_cancelled || !write_block(rate, now_ms)) break;
    }
    // A stream the plug-in cancelled, even from inside NPP_Write, gets no further block.
    if (m_cancelled && m_phase == Phase::Streaming) end(m_cancel_reason);
}

void PluginStream::end(NPReason reason) {
    Phase was = m_phase;
    m_phase = Phase::Ended;
    if (was == Phase::Streaming && wants_file()) hand_over_file(reason);
    if (was == Phase::Streaming && m_funcs.destroystream)
        m_funcs.destroystream(m_instance, &m_stream, reason);
    m_source.reset();
}

void PluginStream::cancel(NPReason reason) {
    m_cancelled = true;
    m_cancel_reason = reason;
}

} // namespace browser
