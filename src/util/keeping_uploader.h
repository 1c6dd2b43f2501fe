// A texture uploader that hands each picture on and keeps a copy of it: the window's command
// card shows the pictures its textures were made of.
#pragma once

#include <cstdint>
#include <map>

#include "util/bmp.h"

class KeepingUploader : public TextureUploader {
 public:
  explicit KeepingUploader(TextureUploader& inner) : inner_(inner) {}
  uint32_t Upload(const Image& image) override {
    const uint32_t id = inner_.Upload(image);
    kept_[id] = image;
    return id;
  }
  // The picture of a texture, or null.
  const Image* Picture(uint32_t texture) const {
    const auto it = kept_.find(texture);
    return it == kept_.end() ? nullptr : &it->second;
  }

 private:
  TextureUploader& inner_;
  std::map<uint32_t, Image> kept_;
};
