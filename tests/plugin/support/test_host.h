// The test host: a browser's function table for the plug-in, with every service a browser
// offers. It records the services a plug-in uses to talk to the page (NPN_GetURL, NPN_Status
// and the other calls that are not about memory) in the order they come, counts every block
// of host memory, and can refuse the n-th allocation. Services a browser without that feature
// would refuse are refused the same way (NPERR_GENERIC_ERROR and the like) and recorded too.
//
// The table's entries are plain functions, so there is one host per process; reset() gives
// the next test a clean one.
#pragma once

#include <npfunctions.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace plugin_test {

// One call of a host service other than the memory services.
struct HostCall {
    std::string service; // "NPN_GetURL", "NPN_Status", ...
    NPP instance = nullptr;
    std::string text;   // the URL or the status text (empty when null)
    std::string target; // the target window of NPN_GetURL/NPN_PostURL
    bool text_null = false;
    bool target_null = false;
};

class TestHost {
  public:
    // The interface version the test host reports: major 0, a minor of its era.
    static constexpr uint16 kVersion = (NP_VERSION_MAJOR << 8) | NP_VERSION_MINOR;

    // A complete host table (size = the whole record). Tests may shorten or alter a copy;
    // every copy calls the same host.
    NPNetscapeFuncs table() const;

    // Forgets calls, counts and planned failures. Blocks still live are not freed: a plug-in
    // may still point at them, and the test that leaked them has already been failed.
    void reset();

    // ---- Service calls ----
    const std::vector<HostCall>& calls() const { return m_calls; }
    void clear_calls() { m_calls.clear(); }

    // ---- Memory ----
    size_t allocations() const { return m_allocations; }   // successful NPN_MemAlloc calls
    size_t failed_allocations() const { return m_failed; } // refused ones
    size_t frees() const { return m_frees; }
    size_t live_blocks() const { return m_live.size(); }
    size_t live_bytes() const;
    bool owns(const void* block) const { return m_live.count(block) != 0; }
    size_t block_size(const void* block) const;
    // The n-th NPN_MemAlloc from now returns null (1: the next one). Several may be planned.
    void fail_allocation(int nth);
    // Frees of blocks the host never gave out, or gave out and already got back.
    const std::vector<std::string>& misuse() const { return m_misuse; }

    // ---- Services (the table's entries call these) ----
    void* allocate(uint32 size);
    // NPN_MemFree; tests call it too when the host itself frees a block it was handed
    // (saved data belongs to the host).
    void free_block(void* block);
    void record(HostCall call) { m_calls.push_back(std::move(call)); }

  private:
    std::vector<HostCall> m_calls;
    std::map<const void*, size_t> m_live;
    std::vector<int> m_planned_failures; // countdowns to refused allocations
    std::vector<std::string> m_misuse;
    size_t m_allocations = 0;
    size_t m_failed = 0;
    size_t m_frees = 0;
};

// The one test host of the process.
TestHost& host();

// A fixture that starts each test with a clean desktop and host, and fails a test that ends
// with host memory outstanding or that freed memory the host did not give out.
class HostFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
};

} // namespace plugin_test
