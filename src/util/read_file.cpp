#include "util/read_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

bool ReadFileBytes(const std::string& path, std::string& bytes, int& error, size_t limit,
                   uint64_t* size) {
  bytes.clear();
  error = 0;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = errno;
    return false;
  }
  struct stat info {};
  bool ok = ::fstat(fd, &info) == 0;
  if (!ok) error = errno;
  if (ok && !S_ISREG(info.st_mode)) {
    error = S_ISDIR(info.st_mode) ? EISDIR : ENODEV;
    ok = false;
  }
  if (ok) {
    const auto total = static_cast<uint64_t>(info.st_size);
    if (size != nullptr) *size = total;
    const uint64_t wanted = limit == 0 || limit > total ? total : limit;
    bytes.resize(static_cast<size_t>(wanted));
    size_t got = 0;
    while (got < bytes.size()) {
      const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        error = errno;
        ok = false;
        break;
      }
      if (n == 0) break;  // the file shrank while we read it
      got += static_cast<size_t>(n);
    }
    bytes.resize(got);
  }
  ::close(fd);
  if (!ok) bytes.clear();
  return ok;
}

std::string SystemReason(int error) {
  return std::generic_category().message(error);
}
