// A minimal browser for benchmarks: loads NPLant32 with the recording engine installed, hands
// it a host table whose memory comes from malloc, and keeps cache files and the profile in a
// folder of the run's own, removed at the end.
#pragma once

#include <npfunctions.h>
#include <windows.h>

#include <string>
#include <vector>

namespace bench {

class BenchHost {
  public:
    // Makes the scratch folder and points the library's folders and engine search at it.
    BenchHost();
    // Shuts the library down and removes the scratch folder.
    ~BenchHost();
    BenchHost(const BenchHost&) = delete;
    BenchHost& operator=(const BenchHost&) = delete;

    // Loads the library and runs NP_GetEntryPoints and NP_Initialize; false on any failure.
    bool start();
    // NPP_New of a "video/quicktime" embed with the attribute pairs.
    bool new_instance(NPP npp, const std::vector<std::pair<std::string, std::string>>& attributes);
    void destroy_instance(NPP npp);
    // The folder cache files go to.
    std::string temp_folder() const { return m_root + "/temp"; }

    NPPluginFuncs funcs{};

  private:
    std::string m_root;
    HMODULE m_module = nullptr;
    NPNetscapeFuncs m_host{};
    bool m_started = false;
};

} // namespace bench
