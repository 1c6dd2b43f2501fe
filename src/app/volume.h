// The sound's switch and loudness as the keys M, Shift+M and Ctrl+M set them; the sound player
// is one.
#pragma once

class Volume {
 public:
  virtual ~Volume() = default;
  virtual void ToggleMute() = 0;
  virtual void Louder() = 0;
  virtual void Softer() = 0;
  virtual bool muted() const = 0;
  virtual float volume() const = 0;  // 0..1
};
