// Building picker requests.
#include "vimo_ui/picker.h"

namespace vimo_ui {

PickRequest PickRequest::open(std::string title, std::string accept_label) {
  PickRequest r;
  r.kind = Kind::Open;
  r.title = std::move(title);
  r.accept_label = std::move(accept_label);
  return r;
}

PickRequest PickRequest::save(std::string title, std::string accept_label, std::string suggested_name) {
  PickRequest r;
  r.kind = Kind::Save;
  r.title = std::move(title);
  r.accept_label = std::move(accept_label);
  r.suggested_name = std::move(suggested_name);
  return r;
}

PickRequest&& PickRequest::with_thread_name(std::string name) && {
  thread_name = std::move(name);
  return std::move(*this);
}

PickRequest&& PickRequest::filter(FileFilter f) && {
  filters.push_back(std::move(f));
  return std::move(*this);
}

PickRequest&& PickRequest::with_all_files() && {
  all_files = true;
  return std::move(*this);
}

OneshotReceiver<PickAnswer> PickRequest::send(Portal& portal) && { return portal.pick(std::move(*this)); }

}  // namespace vimo_ui
