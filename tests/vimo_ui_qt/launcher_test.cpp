// The launcher's command line, run as the gallery program.
#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <nlohmann/json.hpp>

#include <functional>
#include <string>

namespace {

using nlohmann::json;

struct Outcome {
  int exit_code = -1;
  std::string out;
  std::string err;
};

Outcome run(const QStringList& args) {
  QProcess p;
  p.start(QStringLiteral(GALLERY_PROGRAM), args);
  Outcome r;
  if (!p.waitForFinished(30000)) {
    p.kill();
    p.waitForFinished();
    return r;
  }
  r.exit_code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  r.out = p.readAllStandardOutput().toStdString();
  r.err = p.readAllStandardError().toStdString();
  return r;
}

bool has_text(const json& node, const std::string& text) {
  if (node.contains("text") && node["text"] == text) return true;
  for (const auto& c : node["children"])
    if (has_text(c, text)) return true;
  return false;
}

TEST(Launcher, ScreenshotHasTheLaunchSize) {
  QTemporaryDir dir;
  struct Case {
    QStringList extra;
    QSize size;
  };
  for (const Case& c : {Case{{}, {1280, 800}}, Case{{"--fixture", "narrow"}, {520, 820}},
                        Case{{"--fixture", "Narrow"}, {1280, 800}}}) {
    const QString file = dir.filePath("shot.png");
    QFile::remove(file);
    const Outcome r = run(QStringList{"--screenshot", file} + c.extra);
    EXPECT_EQ(r.exit_code, 0) << r.err;
    const QImage image(file);
    EXPECT_EQ(image.size(), c.size) << c.extra.join(' ').toStdString();
  }
}

TEST(Launcher, DescribePrintsTheScreenAsJson) {
  const Outcome r = run({"--describe"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const json j = json::parse(r.out);
  EXPECT_EQ(j["kind"], "GalleryRoot");
  EXPECT_TRUE(has_text(j, "Pagora gallery"));
  EXPECT_TRUE(has_text(j, "Last event: none"));
}

TEST(Launcher, SettleWaitsForTheFirstAnswer) {
  // The "working" fixture answers from a worker after 400 ms.
  const Outcome first = run({"--describe", "--fixture", "working"});
  ASSERT_EQ(first.exit_code, 0) << first.err;
  EXPECT_TRUE(has_text(json::parse(first.out), "Last event: working"));

  const Outcome settled = run({"--describe", "--fixture", "working", "--settle", "5"});
  ASSERT_EQ(settled.exit_code, 0) << settled.err;
  EXPECT_TRUE(has_text(json::parse(settled.out), "Last event: worker.finished"));

  // At most SECONDS: a short limit captures before the answer.
  const Outcome cut = run({"--describe", "--fixture", "working", "--settle", "0.1"});
  ASSERT_EQ(cut.exit_code, 0) << cut.err;
  EXPECT_TRUE(has_text(json::parse(cut.out), "Last event: working"));
}

TEST(Launcher, HelpAndUsageErrors) {
  const Outcome help = run({"--help"});
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_NE(help.out.find("--screenshot"), std::string::npos);
  EXPECT_NE(help.out.find("--settle"), std::string::npos);

  struct Case {
    QStringList args;
  };
  for (const Case& c : {Case{{"--bogus"}}, Case{{"--fixture"}}, Case{{"--settle", "abc", "--describe"}},
                        Case{{"--settle", "-1", "--describe"}}, Case{{"--settle", "3"}},
                        Case{{"--describe", "--screenshot", "x.png"}}}) {
    const Outcome r = run(c.args);
    EXPECT_EQ(r.exit_code, 2) << c.args.join(' ').toStdString();
    EXPECT_FALSE(r.err.empty());
  }
}

TEST(Launcher, UnwritableScreenshotFails) {
  const Outcome r = run({"--screenshot", "/nonexistent-folder/shot.png"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("cannot write"), std::string::npos);
}

}  // namespace
