#include "support/instance_fixture.h"

#include "host/host_interface.h"

namespace plugin_test {

void InstanceFixture::SetUp() {
    HostFixture::SetUp();
    register_page_classes();
    m_table = host().table();
    HostFuncs = &m_table;
}

void InstanceFixture::TearDown() {
    EXPECT_EQ(InstanceList, nullptr) << "expected every instance to have left the list";
    HostFuncs = nullptr;
    HostFixture::TearDown();
}

} // namespace plugin_test
