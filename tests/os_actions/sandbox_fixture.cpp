// Starts the private stack through the same script the demo uses.
#include "sandbox_fixture.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace os_actions::testing {
namespace {

std::unique_ptr<Sandbox> instance;

std::string shell_quoted(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

int read_pid(const std::string& file) {
  std::ifstream in(file);
  int pid = 0;
  in >> pid;
  return pid;
}

}  // namespace

Sandbox& Sandbox::start() {
  if (instance) return *instance;
  char tmpl[] = "/tmp/pagora-print-test.XXXXXX";
  if (!mkdtemp(tmpl)) throw std::runtime_error("cannot make a temporary folder");
  auto box = std::make_unique<Sandbox>();
  box->dir = tmpl;
  const std::string cmd = std::string(PAGORA_SANDBOX_SCRIPT) + " start " + shell_quoted(box->dir);
  FILE* out = popen(cmd.c_str(), "r");
  if (!out) throw std::runtime_error("cannot run the sandbox script");
  std::string text;
  char buf[512];
  while (std::fgets(buf, sizeof buf, out)) text += buf;
  if (pclose(out) != 0) throw std::runtime_error("the sandbox did not start:\n" + text);
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    const auto eq = line.find('=');
    if (line.starts_with("export") || eq == std::string::npos) continue;
    const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
    setenv(key.c_str(), value.c_str(), 1);
    if (key == "PAGORA_SANDBOX_PRINTER_URI") box->printer_uri = value;
    if (key == "CUPS_SERVER") box->socket = value;
  }
  instance = std::move(box);
  return *instance;
}

Sandbox& Sandbox::get() { return start(); }

void Sandbox::stop() {
  std::system((std::string(PAGORA_SANDBOX_SCRIPT) + " stop " + shell_quoted(dir)).c_str());
  std::system(("rm -rf " + shell_quoted(dir)).c_str());
}

int Sandbox::printer_pid() const { return read_pid(dir + "/printer.pid"); }
int Sandbox::cupsd_pid() const { return read_pid(dir + "/cupsd.pid"); }

int Sandbox::shell(const std::string& command) const { return std::system(command.c_str()); }

std::string Sandbox::read_file(const std::string& relative) const {
  std::ifstream in(dir + "/" + relative, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

namespace {

class Environment : public ::testing::Environment {
 public:
  void SetUp() override { Sandbox::start(); }
  void TearDown() override {
    if (instance) instance->stop();
  }
};

[[maybe_unused]] const auto* registered = ::testing::AddGlobalTestEnvironment(new Environment);

}  // namespace
}  // namespace os_actions::testing
