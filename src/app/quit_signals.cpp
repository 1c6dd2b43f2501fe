#include "app/quit_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <csignal>

namespace {

int pipeEnds[2] = {-1, -1};  // the handler writes the signal's number, the loop reads it

void OnSignal(int number) {
  const auto byte = static_cast<unsigned char>(number);
  // Only async-signal-safe calls here; a full pipe drops a repeated signal.
  [[maybe_unused]] const ssize_t written = write(pipeEnds[1], &byte, 1);
}

}  // namespace

int QuitSignalPipe() {
  if (pipeEnds[0] >= 0 || pipe(pipeEnds) != 0) return -1;
  for (const int end : pipeEnds) fcntl(end, F_SETFL, fcntl(end, F_GETFL) | O_NONBLOCK);
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int number : {SIGTERM, SIGINT, SIGHUP}) sigaction(number, &action, nullptr);
  return pipeEnds[0];
}

std::optional<int> QuitStatus(int pipe) {
  unsigned char byte = 0;
  if (read(pipe, &byte, 1) != 1) return std::nullopt;
  return 128 + byte;
}
