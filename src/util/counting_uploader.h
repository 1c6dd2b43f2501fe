// A texture uploader without OpenGL: hands out the ids 1, 2, 3, ... in upload order. For the
// headless front end, the data check, tests and benchmarks.
#pragma once

#include <cstdint>

#include "util/bmp.h"

class CountingUploader : public TextureUploader {
 public:
  uint32_t Upload(const Image&) override { return ++last_; }

 private:
  uint32_t last_ = 0;
};
