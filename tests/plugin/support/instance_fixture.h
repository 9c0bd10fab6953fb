// A fixture for tests that link the plug-in's sources and look at instances from inside: the
// page's window classes are registered, the test host's table is the plug-in's HostFuncs, and
// instances are made as NPP_New makes them. At the end no instance may be left in the
// plug-in's list.
#pragma once

#include "instance/plugin_instance.h"

#include "support/page_windows.h"
#include "support/plugin_fixture.h"
#include "support/test_host.h"

#include <memory>

namespace plugin_test {

class InstanceFixture : public HostFixture {
  protected:
    void SetUp() override;
    void TearDown() override;

    // A new instance with New called as NPP_New would, in host memory, for m_npp. The
    // instance belongs to the returned pointer, so it is freed however the test ends.
    template <typename Instance>
    std::unique_ptr<Instance> make_instance(const Attributes& attributes = {},
                                            uint16 mode = NP_EMBED) {
        std::unique_ptr<Instance> instance(new Instance);
        EXPECT_NE(instance, nullptr);
        if (!instance) return nullptr;
        AttributeArrays arrays(attributes);
        char type[] = "video/quicktime";
        EXPECT_EQ(instance->New(type, &m_npp, mode, arrays.count(), arrays.names(), arrays.values(),
                                nullptr),
                  NPERR_NO_ERROR);
        return instance;
    }

    NPP_t m_npp{};

  private:
    NPNetscapeFuncs m_table{};
};

} // namespace plugin_test
