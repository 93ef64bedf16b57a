// Message channels between worker threads and the user-interface thread:
// an unbounded multi-producer channel and a one-shot channel. A send wakes
// the toolkit's event loop so the root widget gets to drain it.
#pragma once

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>

#include "vimo_ui/wake.h"

namespace vimo_ui {

// What a non-blocking take found.
enum class TakeStatus { Value, Empty, Disconnected };

template <class T>
struct Take {
  TakeStatus status = TakeStatus::Empty;
  std::optional<T> value;
  bool has_value() const { return status == TakeStatus::Value; }
  // "Every sender is gone and nothing is left."
  bool disconnected() const { return status == TakeStatus::Disconnected; }
};

namespace detail {

template <class T>
struct ChannelState {
  std::mutex mutex;
  std::deque<T> queue;
  std::size_t senders = 1;
  bool receiver_alive = true;
};

}  // namespace detail

template <class T>
class Sender {
 public:
  Sender() = default;
  explicit Sender(std::shared_ptr<detail::ChannelState<T>> state) : state_(std::move(state)) {}
  Sender(const Sender& other) : state_(other.state_) { acquire(); }
  Sender(Sender&& other) noexcept : state_(std::move(other.state_)) {}
  Sender& operator=(Sender other) noexcept {
    std::swap(state_, other.state_);
    return *this;
  }
  ~Sender() { release(); }

  // False when the receiving end is gone (the value is dropped).
  bool send(T value) const {
    if (!state_) return false;
    {
      std::lock_guard lock(state_->mutex);
      if (!state_->receiver_alive) return false;
      state_->queue.push_back(std::move(value));
    }
    wake_event_loop();
    return true;
  }

  bool valid() const { return state_ != nullptr; }

 private:
  void acquire() {
    if (!state_) return;
    std::lock_guard lock(state_->mutex);
    ++state_->senders;
  }
  void release() {
    if (!state_) return;
    bool last = false;
    {
      std::lock_guard lock(state_->mutex);
      last = --state_->senders == 0;
    }
    // The receiver learns of the disconnect on its next poll.
    if (last) wake_event_loop();
    state_.reset();
  }
  std::shared_ptr<detail::ChannelState<T>> state_;
};

template <class T>
class Receiver {
 public:
  Receiver() = default;
  explicit Receiver(std::shared_ptr<detail::ChannelState<T>> state) : state_(std::move(state)) {}
  Receiver(const Receiver&) = delete;
  Receiver& operator=(const Receiver&) = delete;
  Receiver(Receiver&&) noexcept = default;
  Receiver& operator=(Receiver&& other) noexcept {
    if (this != &other) {
      close();
      state_ = std::move(other.state_);
    }
    return *this;
  }
  ~Receiver() { close(); }

  // Never blocks.
  Take<T> try_take() {
    Take<T> out;
    if (!state_) {
      out.status = TakeStatus::Disconnected;
      return out;
    }
    std::lock_guard lock(state_->mutex);
    if (!state_->queue.empty()) {
      out.status = TakeStatus::Value;
      out.value.emplace(std::move(state_->queue.front()));
      state_->queue.pop_front();
    } else {
      out.status = state_->senders == 0 ? TakeStatus::Disconnected : TakeStatus::Empty;
    }
    return out;
  }

 private:
  void close() {
    if (!state_) return;
    std::lock_guard lock(state_->mutex);
    state_->receiver_alive = false;
    state_->queue.clear();
  }
  std::shared_ptr<detail::ChannelState<T>> state_;
};

// Unbounded, multi-producer, single consumer; order per sender is kept, and
// sends from one thread arrive in the order sent.
template <class T>
std::pair<Sender<T>, Receiver<T>> channel() {
  auto state = std::make_shared<detail::ChannelState<T>>();
  return {Sender<T>(state), Receiver<T>(state)};
}

// One value, once. The sender is consumed by its send; dropping it unsent
// tells the receiver that nothing will come.
template <class T>
class OneshotSender {
 public:
  explicit OneshotSender(Sender<T> inner) : inner_(std::move(inner)) {}
  OneshotSender(OneshotSender&&) noexcept = default;
  OneshotSender& operator=(OneshotSender&&) noexcept = default;
  OneshotSender(const OneshotSender&) = delete;
  OneshotSender& operator=(const OneshotSender&) = delete;

  bool send(T value) && {
    Sender<T> inner = std::move(inner_);
    return inner.send(std::move(value));
  }

 private:
  Sender<T> inner_;
};

template <class T>
using OneshotReceiver = Receiver<T>;

template <class T>
std::pair<OneshotSender<T>, OneshotReceiver<T>> oneshot() {
  auto [tx, rx] = channel<T>();
  return {OneshotSender<T>(std::move(tx)), std::move(rx)};
}

}  // namespace vimo_ui
