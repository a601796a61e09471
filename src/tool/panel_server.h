// The settings panel's web server: cpp-httplib on 127.0.0.1 only, every request checked
// before it is routed (the token, the Host header, the origin of a state change), the
// page's own files, and the work of every other request handed to the main thread,
// which alone owns the host. Changes reach the page as server-sent events.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace tool::panel {

// The largest request body taken; a larger one is refused with 413.
inline constexpr size_t kMaxBodyBytes = size_t{1} << 20;

// A request as the main thread sees it.
struct Request {
  std::string method, path, body;
  std::map<std::string, std::string> params;  // the query's
};

struct Reply {
  int status = 200;
  std::string contentType = "application/json";
  std::string body;
  std::map<std::string, std::string> headers;
};

// Work the server's threads hand to the main thread: a call waits until the main thread
// has run it (runWaiting, when fd() is readable) and answers its reply.
class MainThreadQueue {
 public:
  MainThreadQueue();
  ~MainThreadQueue();
  MainThreadQueue(const MainThreadQueue&) = delete;
  MainThreadQueue& operator=(const MainThreadQueue&) = delete;
  int fd() const { return fd_; }
  // Nothing once the queue is stopped.
  std::optional<Reply> call(std::function<Reply()> work);
  void runWaiting();
  // Answers every waiting call and every later one with nothing.
  void stop();

 private:
  struct Job;
  std::mutex mutex_;
  std::deque<std::shared_ptr<Job>> jobs_;
  bool stopped_ = false;
  int fd_ = -1;
};

// The latest state change, as the text of a server-sent event, for every open stream.
class Broadcast {
 public:
  void publish(const std::string& data);
  // Waits at most `patience` for an event after `seen`; the event and its number, or
  // nothing (a timeout, or stopped).
  std::optional<std::pair<uint64_t, std::string>> next(uint64_t seen,
                                                       std::chrono::milliseconds patience);
  uint64_t latest();
  void stop();
  bool stopped();

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  uint64_t number_ = 0;
  std::string data_;
  bool stopped_ = false;
};

// The server. Files are the page's own, by path ("/" is the page). Every other GET and
// POST under /api/ and /picture goes to `handle` on the main thread; /api/events is the
// event stream.
class Server {
 public:
  struct File {
    std::string contentType, bytes;
  };
  using Handler = std::function<Reply(const Request&)>;
  // Binds 127.0.0.1 at the port (0: any free one); a ToolError when it cannot.
  Server(uint16_t port, std::map<std::string, File> files, Handler handle, MainThreadQueue& queue,
         Broadcast& events);
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;
  uint16_t port() const { return port_; }
  // The address to open, with the token.
  std::string address() const;
  void stop();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  uint16_t port_ = 0;
  std::string token_;
  std::thread thread_;
};

}  // namespace tool::panel
