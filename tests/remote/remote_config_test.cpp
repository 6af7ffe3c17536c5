// Tests of the --remote argument: addresses, ports, off, and what is refused.
#include <gtest/gtest.h>

#include "remote/remote_config.h"

namespace {

TEST(RemoteSetting, AddressAndPortOrOff) {
    REMOTE_CONFIG c;
    EXPECT_TRUE(c.enabled);
    EXPECT_EQ(c.host, 0u);
    EXPECT_EQ(c.port, 9999);
    ASSERT_TRUE(parse_remote_setting("127.0.0.1:9999", c));
    EXPECT_EQ(c.host, 0x7f000001u);
    EXPECT_EQ(c.port, 9999);
    ASSERT_TRUE(parse_remote_setting("192.168.10.3:1", c));
    EXPECT_EQ(c.host, 0xc0a80a03u);
    EXPECT_EQ(c.port, 1);
    ASSERT_TRUE(parse_remote_setting("*:65535", c));
    EXPECT_EQ(c.host, 0u);
    EXPECT_EQ(c.port, 65535);
    ASSERT_TRUE(parse_remote_setting("off", c));
    EXPECT_FALSE(c.enabled);
    ASSERT_TRUE(parse_remote_setting("0.0.0.0:9999", c));
    EXPECT_TRUE(c.enabled);
    EXPECT_EQ(c.host, 0u);
}

TEST(RemoteSetting, BadSettingsLeaveTheConfigAsItWas) {
    REMOTE_CONFIG c;
    ASSERT_TRUE(parse_remote_setting("127.0.0.1:4000", c));
    for (const char* bad : {"", "9999", ":9999", "127.0.0.1", "127.0.0.1:", "127.0.0.1:0", "127.0.0.1:65536",
                            "127.0.0.1:99999999999", "127.0.0.1:+80", "127.0.0.1:80x", "127.0.0.1: 80",
                            "1.2.3:80", "256.0.0.1:80", "localhost:80", "OFF", "off:80", "::1:80"}) {
        EXPECT_FALSE(parse_remote_setting(bad, c)) << bad;
        EXPECT_TRUE(c.enabled);
        EXPECT_EQ(c.host, 0x7f000001u) << bad;
        EXPECT_EQ(c.port, 4000) << bad;
    }
    EXPECT_FALSE(parse_remote_setting(nullptr, c));
}

TEST(RemoteSetting, SetPrintsWhyAndKeepsTheGlobal) {
    const REMOTE_CONFIG saved = remote_config;
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(set_remote_config("nonsense"));
    std::fflush(stdout);
    const std::string said = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(said.find("--remote needs ADDR:PORT"), std::string::npos);
    EXPECT_NE(said.find("[nonsense]"), std::string::npos);
    EXPECT_EQ(remote_config.port, saved.port);
    EXPECT_TRUE(set_remote_config("127.0.0.1:5000"));
    EXPECT_EQ(remote_config.port, 5000);
    remote_config = saved;
}

} // namespace
