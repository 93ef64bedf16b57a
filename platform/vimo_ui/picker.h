// File picker requests: what to ask the desktop's picker, and its answer
// (picked, cancelled or failed) over a one-shot channel.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "vimo_ui/channel.h"

namespace vimo_ui {

struct FileFilter {
  std::string name;
  std::vector<std::string> mimetypes;

  static FileFilter named(std::string name) { return FileFilter{std::move(name), {}}; }
  FileFilter&& mimetype(std::string type) && {
    mimetypes.push_back(std::move(type));
    return std::move(*this);
  }
  friend bool operator==(const FileFilter&, const FileFilter&) = default;
};

struct PickAnswer {
  struct Picked {
    std::string path;
  };
  struct Cancelled {};
  struct Failed {
    std::string reason;  // for diagnostics; never shown
  };
  std::variant<Picked, Cancelled, Failed> value;
};

class Portal;

struct PickRequest {
  enum class Kind { Open, Save };
  Kind kind = Kind::Open;
  std::string title;
  std::string accept_label;
  std::optional<std::string> suggested_name;
  std::string thread_name;
  std::vector<FileFilter> filters;
  bool all_files = false;

  static PickRequest open(std::string title, std::string accept_label);
  static PickRequest save(std::string title, std::string accept_label, std::string suggested_name);
  PickRequest&& with_thread_name(std::string name) &&;
  PickRequest&& filter(FileFilter f) &&;
  PickRequest&& with_all_files() &&;
  // Hands the request to the portal; exactly one answer arrives (or the
  // channel closes, which counts as failed).
  OneshotReceiver<PickAnswer> send(Portal& portal) &&;
};

class Portal {
 public:
  virtual ~Portal() = default;
  virtual OneshotReceiver<PickAnswer> pick(PickRequest request) = 0;
};

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  virtual void copy(const std::string& text) = 0;
};

}  // namespace vimo_ui
