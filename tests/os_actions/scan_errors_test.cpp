// A scanner that reports a fault mid-page: SANE's test backend configured to
// answer every read with "jammed". libsane reads its configuration once per
// process, hence a binary of its own.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "os_actions/system_service.h"

namespace os_actions::printing {
namespace {

class JammedScanner : public ::testing::Environment {
 public:
  void SetUp() override {
    char tmpl[] = "/tmp/pagora-scan-errors.XXXXXX";
    ASSERT_TRUE(mkdtemp(tmpl));
    dir_ = tmpl;
    std::ofstream(dir_ + "/dll.conf") << "test\n";
    std::ifstream stock("/etc/sane.d/test.conf");
    std::stringstream conf;
    conf << stock.rdbuf();
    std::string text = std::regex_replace(conf.str(), std::regex("read-status-code [^\\n]*"),
                                          "read-status-code \"SANE_STATUS_JAMMED\"");
    std::ofstream(dir_ + "/test.conf") << text;
    setenv("SANE_CONFIG_DIR", dir_.c_str(), 1);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

 private:
  std::string dir_;
};

[[maybe_unused]] const auto* registered = ::testing::AddGlobalTestEnvironment(new JammedScanner);

TEST(ScanErrors, JamIsAFailureWithItsTextAndTheScannerStaysUsable) {
  auto svc = make_system_service();
  auto list = svc->scanners();
  ASSERT_TRUE(list) << list.error();
  ASSERT_FALSE(list->empty());
  for (int attempt = 0; attempt < 2; ++attempt) {  // a failed scan leaves the device closed and free
    auto page = svc->scan_page(list->front().id, ScanOptions{.resolution_dpi = 150, .colour_mode = 1, .source = 0});
    ASSERT_FALSE(page);
    EXPECT_NE(page.error().find("jammed"), std::string::npos) << page.error();
  }
}

}  // namespace
}  // namespace os_actions::printing
