#include "app/recorder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>

#include "app/state_hash.h"

Recorder::Recorder(const std::string& path) : path_(path) {
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  struct stat st {};
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) {
    error_ = std::strerror(errno);
    return;
  }
  device_ = st.st_dev;
  inode_ = st.st_ino;
}

Recorder::~Recorder() {
  if (fd_ >= 0) ::close(fd_);
}

bool Recorder::CanWrite(const std::string& path, std::string& reason) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) {
    reason = std::strerror(errno);
    return false;
  }
  ::close(fd);
  return true;
}

std::string Recorder::StopText() const {
  return "cannot write " + path_ + ": " + error_ + "; the recording stops at frame " +
         std::to_string(framesWritten_);
}

void Recorder::Stop(const std::string& reason) {
  error_ = reason;
  if (onStop) onStop();
}

bool Recorder::Write(const std::string& line) {
  lines_.push_back(line);
  if (fd_ < 0 || !ok()) return ok();
  const std::string text = line + '\n';
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd_, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      Stop(n < 0 ? std::strerror(errno) : "nothing written");
      return false;
    }
    done += static_cast<size_t>(n);
  }
  // Writing on into a removed file would lose the rest without an error.
  struct stat st {};
  if (::stat(path_.c_str(), &st) != 0) {
    Stop(std::strerror(errno));
    return false;
  }
  if (st.st_dev != device_ || st.st_ino != inode_) {
    Stop("the file was replaced");
    return false;
  }
  return true;
}

void Recorder::FlushTicks() {
  if (pendingTicks_ == 0) return;
  if (Write("tick " + std::to_string(pendingTicks_))) framesWritten_ += pendingTicks_;
  pendingTicks_ = 0;
}

// "scroll N" steps while the view can scroll, as N "scroll" lines in a row do.
void Recorder::FlushScrolls() {
  if (pendingScrolls_ == 0) return;
  const int64_t n = pendingScrolls_;
  pendingScrolls_ = 0;
  Write(WriteCommand(n == 1 ? MakeCommand(CommandKind::Scroll, {})
                            : MakeCommand(CommandKind::Scroll, {n})));
}

void Recorder::Input(const Command& input) {
  if (closed_) return;
  const std::string command = WriteCommand(input);
  if (!started_) {
    early_.push_back(command);
    return;
  }
  FlushTicks();
  if (input.Kind == CommandKind::Scroll) {
    const int64_t n = input.Has(0) ? input.Int(0) : 1;
    if (pendingScrolls_ > std::numeric_limits<int32_t>::max() - n) FlushScrolls();
    pendingScrolls_ += n;
    return;
  }
  FlushScrolls();
  Write(command);
}

void Recorder::Comment(const std::string& text) {
  if (closed_) return;
  std::string line = "# " + text;
  for (char& c : line)
    if (c == '\n' || c == '\r') c = ' ';
  if (!started_) {
    early_.push_back(line);
    return;
  }
  FlushTicks();
  FlushScrolls();
  Write(line);
}

void Recorder::FrameDone(Frontend& frontend, const std::vector<uint32_t>& usedSeeds) {
  if (closed_) return;
  if (!started_) {
    // Creation and first frame each took a seed; inputs before the first frame replay
    // after the seeds are set, in their order, before the first tick.
    uint32_t a = usedSeeds.size() > 0 ? usedSeeds[0] : 0;
    uint32_t b = usedSeeds.size() > 1 ? usedSeeds[1] : a;
    Write("seed " + std::to_string(a) + " " + std::to_string(b));
    started_ = true;
    for (const std::string& line : early_) Write(line);
    early_.clear();
  }
  FlushScrolls();
  ++pendingTicks_;
  if (frontend.state().Frames % kHashEvery == 0) {
    FlushTicks();
    Write("hash " + HashText(StateHash(frontend)));
  }
}

void Recorder::Close(Frontend& frontend) {
  if (closed_) return;
  closed_ = true;
  if (!started_) return;
  FlushScrolls();
  FlushTicks();
  Write("hash " + HashText(StateHash(frontend)));
}

void Recorder::Begin(const std::string& lines) {
  started_ = true;
  early_.clear();
  size_t at = 0;
  while (at < lines.size()) {
    size_t end = lines.find('\n', at);
    if (end == std::string::npos) end = lines.size();
    if (end > at) Write(lines.substr(at, end - at));
    at = end + 1;
  }
}

std::string Recorder::Text(Frontend& frontend) const {
  std::string text;
  for (const std::string& line : lines_) text += line + '\n';
  for (const std::string& line : early_) text += line + '\n';
  if (started_ && !closed_) {
    if (pendingScrolls_ == 1) text += "scroll\n";
    if (pendingScrolls_ > 1) text += "scroll " + std::to_string(pendingScrolls_) + '\n';
    if (pendingTicks_ > 0) text += "tick " + std::to_string(pendingTicks_) + '\n';
    text += "hash " + HashText(StateHash(frontend)) + '\n';
  }
  return text;
}
