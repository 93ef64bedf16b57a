// Translations from the print service's attributes to the records.
#include "os_actions/ipp_records.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace os_actions::printing {
namespace {

using ipp::dedupe_found;
using ipp::lpoptions_with_default;
using ipp::safe_queue_name;

TEST(JobState, EveryIppStateAndOutsiders) {
  const std::pair<int, JobState> rows[] = {
      {3, JobState::Pending},  {4, JobState::Held},    {5, JobState::Processing},
      {6, JobState::Stopped},  {7, JobState::Canceled}, {8, JobState::Aborted},
      {9, JobState::Completed}, {0, JobState::Unknown}, {2, JobState::Unknown},
      {10, JobState::Unknown}, {-1, JobState::Unknown}};
  for (auto [ipp_state, expected] : rows) EXPECT_EQ(ipp::job_state(ipp_state), expected) << ipp_state;
}

TEST(Supplies, MarkersKeepOnlyRealPercentages) {
  const auto s = ipp::supplies_from_markers({"Black", "Cyan", "Magenta", "Yellow", "Waste"},
                                            {80, -1, -3, 101, 0}, {"#000000", "none", "#FF00FF#00FFFF", "#12"});
  ASSERT_TRUE(s);
  ASSERT_EQ(s->size(), 5u);
  EXPECT_EQ((*s)[0], (Supply{"Black", "#000000", 80}));
  EXPECT_EQ((*s)[1], (Supply{"Cyan", std::nullopt, std::nullopt}));    // -1 unknown
  EXPECT_EQ((*s)[2], (Supply{"Magenta", "#ff00ff", std::nullopt}));    // -3, first of two colours
  EXPECT_EQ((*s)[3], (Supply{"Yellow", std::nullopt, std::nullopt}));  // 101 is not wrapped
  EXPECT_EQ((*s)[4], (Supply{"Waste", std::nullopt, 0}));              // fewer colours than names
  EXPECT_FALSE(ipp::supplies_from_markers({}, {50}, {"#000000"}));
}

TEST(Supplies, PrinterSupplyEntries) {
  const auto s = ipp::supplies_from_printer_supply(
      {"index=1;class=receptacleThatIsFilled;type=wasteToner;unit=percent;maxcapacity=100;level=25;colorantname=unknown;",
       "index=2;class=supplyThatIsConsumed;type=toner;unit=percent;maxcapacity=100;level=75;colorantname=black;",
       "index=3;class=supplyThatIsConsumed;type=ink;maxcapacity=400;level=100;colorantname=cyan;",
       "index=4;class=supplyThatIsConsumed;type=ink;maxcapacity=100;level=-2;colorantname=magenta;"},
      {"Toner Waste Tank", "Black Toner", "", "Magenta Ink"});
  ASSERT_TRUE(s);
  ASSERT_EQ(s->size(), 3u);
  EXPECT_EQ((*s)[0], (Supply{"Black Toner", "#000000", 75}));
  EXPECT_EQ((*s)[1], (Supply{"ink", "#00ffff", 25}));  // level scaled by capacity; name from type
  EXPECT_EQ((*s)[2], (Supply{"Magenta Ink", "#ff00ff", std::nullopt}));
  EXPECT_FALSE(ipp::supplies_from_printer_supply({}, {}));
}

class LocalTime : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tz = std::getenv("TZ");
    saved_ = tz ? std::optional<std::string>(tz) : std::nullopt;
    setenv("TZ", "UTC", 1);
    tzset();
  }
  void TearDown() override {
    if (saved_) setenv("TZ", saved_->c_str(), 1);
    else unsetenv("TZ");
    tzset();
  }
  std::optional<std::string> saved_;
};

TEST_F(LocalTime, JobTimeText) {
  const std::time_t now = 1796991272;  // 2026-12-11 12:14:32 UTC
  const std::pair<std::time_t, const char*> rows[] = {
      {now, "today"},
      {now - 12 * 3600, "today"},                 // 00:14 the same day
      {now - 12 * 3600 - 15 * 60, "yesterday"},  // 23:59 the day before
      {now - 36 * 3600, "yesterday"},
      {now - 48 * 3600, "2026-12-09"},
      {now + 24 * 3600, "2026-12-12"},  // a clock ahead is not "today"
      {0, "1970-01-01"},
  };
  for (auto [created, expected] : rows) EXPECT_EQ(ipp::job_time_text(created, now), expected) << created;
}

TEST(QueueNameFromUri, LastSegmentDecoded) {
  EXPECT_EQ(ipp::queue_name_from_uri("ipp://localhost/printers/Office_Laser"), "Office_Laser");
  EXPECT_EQ(ipp::queue_name_from_uri("ipp://localhost:631/printers/B%C3%BCro-Drucker"), "Büro-Drucker");
  EXPECT_EQ(ipp::queue_name_from_uri("ipp://localhost/printers/Trailing/"), "Trailing");
  EXPECT_EQ(ipp::queue_name_from_uri("ipp://localhost/printers/Bad%zz"), "Bad%zz");
  EXPECT_EQ(ipp::queue_name_from_uri(""), "");
}

TEST(JobId, RoundTripAndRefusals) {
  EXPECT_EQ(ipp::parse_job_id(ipp::job_id_text("Büro-Drucker", 41)), 41);
  EXPECT_EQ(ipp::parse_job_id("7"), 7);
  for (const char* bad : {"", "Queue-", "Queue-0", "Queue-4x", "Queue-99999999999",
                          "Queue-2147483648", "Queue- 5", "Queue-+5"})
    EXPECT_FALSE(ipp::parse_job_id(bad)) << bad;
  EXPECT_EQ(ipp::parse_job_id("Queue-2147483647"), 2147483647);
}

TEST(SafeQueueName, DerivedFromShownNames) {
  const std::pair<const char*, const char*> rows[] = {
      {"Office Laser 3000", "Office_Laser_3000"},
      {"HP \"Color\" LaserJet's (Büro)", "HP_Color_LaserJet_s_B_ro"},
      {"already-hyphenated_name", "already-hyphenated_name"},
      {"  /../etc/passwd#? ", "etc_passwd"},
      {"Ünïcödé", "n_c_d"},
      {"東京", "Printer"},
      {"", "Printer"},
  };
  for (auto [shown, expected] : rows) EXPECT_EQ(safe_queue_name(shown, {}), expected) << shown;
  EXPECT_EQ(safe_queue_name(std::string(300, 'a'), {}).size(), 127u);
}

TEST(SafeQueueName, NeverTakesAnExistingQueue) {
  EXPECT_EQ(safe_queue_name("Office Laser", {"office_laser"}), "Office_Laser_2");
  EXPECT_EQ(safe_queue_name("Office Laser", {"Office_Laser", "Office_Laser_2"}), "Office_Laser_3");
  const std::string long_name(127, 'x');
  const auto next = safe_queue_name(long_name, {long_name});
  EXPECT_EQ(next.size(), 127u);
  EXPECT_TRUE(next.ends_with("_2"));
}

TEST(Discovery, OneEntryPerDevicePreferringIpps) {
  const std::vector<FoundPrinter> found = {
      {"ipp://printer-a.local:631/ipp/print", "Printer A", std::nullopt},
      {"ipps://printer-a.local.:443/ipp/print", "Printer A", "Upstairs"},
      {"dnssd://Printer%20B._ipp._tcp.local./?uuid=1", "Printer B", std::nullopt},
      {"dnssd://Printer%20B._ipps._tcp.local./?uuid=1", "Printer  B", std::nullopt},
      {"ipp://10.0.0.9/ipp/print", "Printer C", std::nullopt},
      {"", "No address", std::nullopt},
  };
  const auto out = dedupe_found(found, {});
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[0], (FoundPrinter{"ipps://printer-a.local.:443/ipp/print", "Printer A", "Upstairs"}));
  EXPECT_EQ(out[1].name, "Printer B");
  EXPECT_EQ(out[2].name, "Printer C");
}

TEST(Discovery, AlreadyAddedDevicesAreLeftOut) {
  const std::vector<FoundPrinter> found = {
      {"ipp://printer-a.local:631/ipp/print", "Printer A", std::nullopt},
      {"ipps://printer-a.local:443/ipp/print", "Printer A", std::nullopt},
      {"ipps://printer-b.local/ipp/print", "Printer B", std::nullopt},
  };
  // The queue was added through the ipps route; the ipp route is the same device.
  const auto out = dedupe_found(found, {"ipps://PRINTER-A.local:443/ipp/print/"});
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].name, "Printer B");
}

TEST(Discovery, PrintersSharingAHostStayApart) {
  const std::vector<FoundPrinter> found = {
      {"ipp://127.0.0.1:8631/ipp/print", "Front desk", std::nullopt},
      {"ipp://127.0.0.1:8632/ipp/print", "Back office", std::nullopt},
      {"ipp://127.0.0.1/ipp/print", "Plain", std::nullopt},
  };
  // The default port is the same device as no port.
  const auto out = dedupe_found(found, {"ipp://127.0.0.1:631/ipp/print"});
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0].name, "Front desk");
  EXPECT_EQ(out[1].name, "Back office");
}

TEST(Lpoptions, DefaultReplacedOptionsKept) {
  const std::pair<const char*, const char*> rows[] = {
      {"", "Default Office\n"},
      {"Default Home sides=one-sided\n", "Dest Home sides=one-sided\nDefault Office\n"},
      {"Dest Office media=a4\nDefault Home\n", "Default Office media=a4\nDest Home\n"},
      {"Dest Office/draft copies=2\n", "Dest Office/draft copies=2\nDefault Office\n"},
      {"Default Office\n", "Default Office\n"},
      {"Dest Office-2\n", "Dest Office-2\nDefault Office\n"},
  };
  for (auto [before, after] : rows) EXPECT_EQ(lpoptions_with_default(before, "Office"), after) << before;
}

TEST(Progress, FromWhatTheRecordCarries) {
  struct Row {
    const char* why;
    std::optional<std::uint32_t> done, total;
    JobState state;
    std::optional<std::uint32_t> expected;
  };
  const Row rows[] = {
      {"half", 3, 6, JobState::Processing, 50},
      {"rounds down", 1, 3, JobState::Processing, 33},
      {"restarts add up past the total", 12, 6, JobState::Processing, 100},
      {"total unknown", 3, std::nullopt, JobState::Processing, std::nullopt},
      {"total zero", 3, 0, JobState::Processing, std::nullopt},
      {"nothing done yet", std::nullopt, 4, JobState::Pending, std::nullopt},
      {"huge counts do not overflow", 4000000000u, 4000000000u, JobState::Processing, 100},
      {"completed without counts", std::nullopt, std::nullopt, JobState::Completed, 100},
      {"canceled keeps its counts", 1, 4, JobState::Canceled, 25},
  };
  for (const Row& r : rows) {
    PrintJob job;
    job.pages_done = r.done;
    job.pages_total = r.total;
    job.state = r.state;
    EXPECT_EQ(PrintJob::progress_percent(job), r.expected) << r.why;
  }
}

}  // namespace
}  // namespace os_actions::printing
