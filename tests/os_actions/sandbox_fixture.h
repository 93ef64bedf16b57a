// A private print and scan stack for one test binary: started once before the
// first test, its environment given to this process, stopped at the end.
#pragma once

#include <string>

namespace os_actions::testing {

struct Sandbox {
  std::string dir;
  std::string printer_uri;  // the virtual printer itself
  std::string socket;       // the private cupsd's domain socket

  // Starts the stack and points libcups and libsane of this process at it.
  // Must run before any thread calls either library.
  static Sandbox& start();
  static Sandbox& get();
  void stop();

  int printer_pid() const;
  int cupsd_pid() const;
  // Runs a shell command with the sandbox's environment; answers its status.
  int shell(const std::string& command) const;
  std::string read_file(const std::string& relative) const;
};

}  // namespace os_actions::testing
