#include "tool/panel_server.h"

#include <httplib.h>
#include <sys/eventfd.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <future>

#include "tool/commands.h"

namespace tool::panel {

// --- the main thread's queue ----------------------------------------------------------

struct MainThreadQueue::Job {
  std::function<Reply()> work;
  std::promise<std::optional<Reply>> done;
};

MainThreadQueue::MainThreadQueue() {
  fd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (fd_ < 0)
    throw ToolError(std::string("cannot make an event descriptor: ") + std::strerror(errno));
}

MainThreadQueue::~MainThreadQueue() {
  stop();
  ::close(fd_);
}

std::optional<Reply> MainThreadQueue::call(std::function<Reply()> work) {
  auto job = std::make_shared<Job>();
  job->work = std::move(work);
  std::future<std::optional<Reply>> answer = job->done.get_future();
  {
    std::lock_guard lock(mutex_);
    if (stopped_) return std::nullopt;
    jobs_.push_back(job);
  }
  const uint64_t one = 1;
  if (::write(fd_, &one, sizeof one) < 0) {
    // The counter is already non-zero: the main thread wakes all the same.
  }
  return answer.get();
}

void MainThreadQueue::runWaiting() {
  uint64_t count = 0;
  if (::read(fd_, &count, sizeof count) < 0) {
    // Nothing was signalled; the queue is looked at all the same.
  }
  for (;;) {
    std::shared_ptr<Job> job;
    {
      std::lock_guard lock(mutex_);
      if (jobs_.empty()) return;
      job = std::move(jobs_.front());
      jobs_.pop_front();
    }
    try {
      job->done.set_value(job->work());
    } catch (const std::exception& e) {
      job->done.set_value(Reply{500, "text/plain", std::string("internal error: ") + e.what(), {}});
    }
  }
}

void MainThreadQueue::stop() {
  std::lock_guard lock(mutex_);
  stopped_ = true;
  for (auto& job : jobs_) job->done.set_value(std::nullopt);
  jobs_.clear();
}

// --- the event stream -----------------------------------------------------------------

void Broadcast::publish(const std::string& data) {
  {
    std::lock_guard lock(mutex_);
    ++number_;
    data_ = data;
  }
  changed_.notify_all();
}

std::optional<std::pair<uint64_t, std::string>> Broadcast::next(
    uint64_t seen, std::chrono::milliseconds patience) {
  std::unique_lock lock(mutex_);
  changed_.wait_for(lock, patience, [&] { return stopped_ || number_ != seen; });
  if (stopped_ || number_ == seen) return std::nullopt;
  return std::pair{number_, data_};
}

uint64_t Broadcast::latest() {
  std::lock_guard lock(mutex_);
  return number_;
}

void Broadcast::stop() {
  {
    std::lock_guard lock(mutex_);
    stopped_ = true;
  }
  changed_.notify_all();
}

bool Broadcast::stopped() {
  std::lock_guard lock(mutex_);
  return stopped_;
}

// --- the server -----------------------------------------------------------------------

namespace {

std::string randomToken() {
  unsigned char bytes[16];
  for (size_t at = 0; at < sizeof bytes;) {
    const ssize_t n = ::getrandom(bytes + at, sizeof bytes - at, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw ToolError(std::string("cannot make a random token: ") + std::strerror(errno));
    at += static_cast<size_t>(n);
  }
  static const char* digits = "0123456789abcdef";
  std::string token;
  for (unsigned char b : bytes) token += digits[b >> 4], token += digits[b & 15];
  return token;
}

// Compares in time independent of where the texts differ.
bool sameSecret(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  unsigned char diff = 0;
  for (size_t i = 0; i < a.size(); ++i) diff |= static_cast<unsigned char>(a[i] ^ b[i]);
  return diff == 0;
}

// The value of the named cookie in a Cookie header, or empty.
std::string cookieValue(const std::string& header, const std::string& name) {
  size_t at = 0;
  while (at < header.size()) {
    size_t end = header.find(';', at);
    if (end == std::string::npos) end = header.size();
    std::string part = header.substr(at, end - at);
    while (!part.empty() && part.front() == ' ') part.erase(0, 1);
    if (part.starts_with(name + "=")) return part.substr(name.size() + 1);
    at = end + 1;
  }
  return {};
}

void refuse(httplib::Response& res, int status, const std::string& why) {
  res.status = status;
  res.set_content(why + "\n", "text/plain; charset=utf-8");
}

void send(httplib::Response& res, const Reply& reply) {
  res.status = reply.status;
  for (const auto& [name, value] : reply.headers) res.set_header(name, value);
  res.set_header("Cache-Control", "no-store");
  res.set_content(reply.body, reply.contentType);
}

}  // namespace

struct Server::Impl {
  httplib::Server http;
  std::map<std::string, File> files;
  Handler handle;
  MainThreadQueue* queue = nullptr;
  Broadcast* events = nullptr;
};

Server::Server(uint16_t port, std::map<std::string, File> files, Handler handle,
               MainThreadQueue& queue, Broadcast& events)
    : impl_(std::make_unique<Impl>()), token_(randomToken()) {
  impl_->files = std::move(files);
  impl_->handle = std::move(handle);
  impl_->queue = &queue;
  impl_->events = &events;
  httplib::Server& http = impl_->http;
  http.set_payload_max_length(kMaxBodyBytes);
  // A connection holds a thread while it is kept alive, and each event stream holds one
  // for good: a browser opens several connections per page.
  http.new_task_queue = [] { return new httplib::ThreadPool(32); };
  if (port == 0) {
    const int bound = http.bind_to_any_port("127.0.0.1");
    if (bound <= 0) throw ToolError("cannot listen on 127.0.0.1: no free port");
    port_ = static_cast<uint16_t>(bound);
  } else {
    if (!http.bind_to_port("127.0.0.1", port))
      throw ToolError("cannot listen on 127.0.0.1:" + std::to_string(port) +
                      " (is it taken?); pass another --port, or --port 0 for any free one");
    port_ = port;
  }
  const std::string cookie = "lumora-panel-" + std::to_string(port_);
  const std::string hostA = "127.0.0.1:" + std::to_string(port_);
  const std::string hostB = "localhost:" + std::to_string(port_);

  // Every request is checked before it is routed: a page of another site may make the
  // browser send requests here, and a name of another site may resolve to 127.0.0.1.
  http.set_pre_routing_handler([=, this](const httplib::Request& req, httplib::Response& res) {
    using R = httplib::Server::HandlerResponse;
    const std::string host = req.get_header_value("Host");
    if (host != hostA && host != hostB) {
      refuse(res, 403, "refused: the Host header must be " + hostA + " or " + hostB);
      return R::Handled;
    }
    const std::string given = req.has_param("token")
                                  ? req.get_param_value("token")
                                  : cookieValue(req.get_header_value("Cookie"), cookie);
    if (!sameSecret(given, token_)) {
      refuse(res, 403,
             "refused: no valid token; open the address lumora panel printed, with its token");
      return R::Handled;
    }
    if (req.method != "GET" && req.method != "POST") {
      refuse(res, 405, "refused: only GET and POST are served");
      return R::Handled;
    }
    if (req.method == "POST") {
      const std::string origin = req.get_header_value("Origin");
      if (!origin.empty() && origin != "http://" + hostA && origin != "http://" + hostB) {
        refuse(res, 403, "refused: a change from another origin (" + origin + ")");
        return R::Handled;
      }
      if (req.get_header_value("Sec-Fetch-Site") == "cross-site") {
        refuse(res, 403, "refused: a change from another site");
        return R::Handled;
      }
    }
    // The first load brings the token in the address; later requests carry the cookie.
    if (req.has_param("token"))
      res.set_header("Set-Cookie", cookie + "=" + token_ + "; Path=/; HttpOnly; SameSite=Strict");
    return R::Unhandled;
  });

  auto toMainThread = [this](const httplib::Request& req, httplib::Response& res) {
    Request request{req.method, req.path, req.body, {}};
    for (const auto& [name, value] : req.params) request.params[name] = value;
    std::optional<Reply> reply =
        impl_->queue->call([this, request] { return impl_->handle(request); });
    if (!reply) return refuse(res, 503, "the panel is stopping");
    send(res, *reply);
  };

  http.Get("/api/events", [this](const httplib::Request&, httplib::Response& res) {
    res.set_header("Cache-Control", "no-store");
    auto seen = std::make_shared<uint64_t>(0);
    res.set_chunked_content_provider(
        "text/event-stream", [this, seen](size_t, httplib::DataSink& sink) {
          // The first call says the latest state at once (something is published before
          // the server starts); later ones wait for the next change, a comment now and
          // then keeping the stream open.
          Broadcast& events = *impl_->events;
          auto event = events.next(*seen, std::chrono::milliseconds(15000));
          if (events.stopped()) return false;
          if (!event) {
            static const char keepAlive[] = ": still here\n\n";
            return sink.write(keepAlive, sizeof keepAlive - 1);
          }
          *seen = event->first;
          const std::string text = "data: " + event->second + "\n\n";
          return sink.write(text.data(), text.size());
        });
  });
  http.Get(R"(/api/.*)", toMainThread);
  http.Post(R"(/api/.*)", toMainThread);
  http.Get(R"(/.*)", [this](const httplib::Request& req, httplib::Response& res) {
    auto it = impl_->files.find(req.path);
    if (it == impl_->files.end()) return refuse(res, 404, "no such page: " + req.path);
    res.set_header("Cache-Control", "no-store");
    res.set_content(it->second.bytes, it->second.contentType);
  });
  thread_ = std::thread([this] { impl_->http.listen_after_bind(); });
}

Server::~Server() {
  stop();
}

std::string Server::address() const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/?token=" + token_;
}

void Server::stop() {
  impl_->events->stop();
  impl_->queue->stop();
  impl_->http.stop();
  if (thread_.joinable()) thread_.join();
}

}  // namespace tool::panel
