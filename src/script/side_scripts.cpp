#include "script/side_scripts.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "script/ai_api.h"
#include "util/bmp.h"

namespace fs = std::filesystem;

std::string FindAiFile(const std::string& name) {
  std::error_code ec;
  if (fs::is_regular_file(name, ec)) return name;
  const std::string shipped = NativePath("ai/" + name);
  if (fs::is_regular_file(shipped, ec)) return shipped;
  return name;
}

std::vector<std::string> ShippedAiScripts() {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(NativePath("ai"), ec))
    if (e.path().extension() == ".lua") names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string AiFileName(const std::string& shown) {
  std::error_code ec;
  if (shown.rfind("ai/", 0) == 0 && !fs::is_regular_file(shown, ec)) return shown.substr(3);
  return shown;
}

std::optional<AiFile> ReadAiFile(const std::string& name, std::string& problem) {
  const std::string path = FindAiFile(name);
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  if (!in || !(text << in.rdbuf())) {
    // An empty file reads as nothing: it is a script that does nothing, not an error.
    if (in && in.peek() == std::ifstream::traits_type::eof())
      return AiFile{path == name ? name : "ai/" + name, "", AiHash("")};
    problem = name + ": error: cannot read the AI script";
    return std::nullopt;
  }
  // A shipped script is named as the data folder has it.
  AiFile file{path == name ? name : "ai/" + name, text.str(), 0};
  file.Hash = AiHash(file.Text);
  return file;
}

SideScripts::SideScripts(const SandboxLimits& limits, LuaSandbox::Sink sink)
    : limits_(limits),
      sink_(std::move(sink)),
      mission_(limits, [this](const std::string& line) { sink_(line); }) {
  if (!sink_) sink_ = [](const std::string& line) { std::cerr << line << "\n"; };
}

void SideScripts::Assign(int32_t side, AiFile file) {
  Use(side, std::make_shared<const AiFile>(std::move(file)));
}

void SideScripts::Use(int32_t side, std::shared_ptr<const AiFile> file) {
  Side& s = sides_[static_cast<size_t>(side)];
  s.File = std::move(file);
  // One sandbox for the side's whole life: its snapshots go back only into it. Nothing is
  // left of a script before.
  if (s.Box) {
    s.Box->Restore({});
  } else {
    s.Box = std::make_unique<LuaSandbox>(limits_, sink_);
  }
  s.Started = s.Fallen = false;
  s.Message.clear();
}

void SideScripts::Clear(int32_t side) {
  Side& s = sides_[static_cast<size_t>(side)];
  s.File.reset();
  if (s.Box) s.Box->Restore({});  // kept: a snapshot of a script before may come back
  s.Started = s.Fallen = false;
  s.Message.clear();
}

bool SideScripts::Has(int32_t side) const {
  return side >= 0 && side < kSides && sides_[static_cast<size_t>(side)].File != nullptr;
}

void SideScripts::Restart(uint64_t frame) {
  start_ = frame;
  mission_.Restart(frame);
  for (Side& s : sides_) {
    if (s.Box) s.Box->Restore({});
    s.Started = s.Fallen = false;
    s.Message.clear();
  }
}

bool SideScripts::Play(World& world, int32_t side, uint64_t frame) {
  if (!Has(side)) return false;
  Side& s = sides_[static_cast<size_t>(side)];
  if (s.Fallen) return false;
  AiTurn turn{&world, side, frame - start_};
  LuaSandbox& box = *s.Box;
  box.SetHost(&turn);
  box.SetRandom(&world.Rng);
  bool ok = true;
  if (!s.Started) {
    s.Started = true;
    ok = box.Open(s.File->Shown) && box.Do(OpenAiApi) && box.Run(s.File->Text);
  }
  if (ok) ok = box.Call("think");
  box.SetHost(nullptr);
  box.SetRandom(nullptr);
  if (!ok) Fall(s, side, box.Failure());
  return true;
}

void SideScripts::Fall(Side& s, int32_t index, const std::string& message) {
  s.Fallen = true;
  s.Message = message;
  s.Box->Restore({});  // its memory is of no more use
  sink_(message);
  sink_(s.File->Shown + ": note: side " + std::to_string(index) +
        " is played by the built-in opponent from the next frame");
}

const std::string& SideScripts::Stopped(int32_t side) const {
  static const std::string kNone;
  if (side < 0 || side >= kSides) return kNone;
  return sides_[static_cast<size_t>(side)].Message;
}

std::vector<std::pair<std::string, uint64_t>> SideScripts::Files() const {
  std::vector<std::pair<std::string, uint64_t>> files;
  for (const Side& s : sides_) {
    if (s.File) {
      files.emplace_back(s.File->Shown, s.File->Hash);
    } else {
      files.emplace_back();
    }
  }
  return files;
}

SideScripts::Saved SideScripts::Save() const {
  Saved saved;
  saved.Owner = this;
  saved.Start = start_;
  saved.Level = mission_.Save();
  for (size_t k = 0; k < sides_.size(); ++k) {
    const Side& s = sides_[k];
    Saved::Side& out = saved.Sides[k];
    out.Started = s.Started;
    out.Fallen = s.Fallen;
    out.Message = s.Message;
    out.File = s.File;
    if (s.Box && s.Started && !s.Fallen)
      out.State = std::make_shared<const std::string>(s.Box->Save());
  }
  return saved;
}

void SideScripts::Restore(const Saved& saved) {
  mission_.Restore(saved.Level);
  // The scripts as they were: an `ai` input may have changed them since.
  for (size_t k = 0; k < sides_.size(); ++k) {
    const std::shared_ptr<const AiFile>& was = saved.Sides[k].File;
    const std::shared_ptr<const AiFile>& now = sides_[k].File;
    if (was == now || (was && now && was->Hash == now->Hash && was->Shown == now->Shown)) continue;
    if (was) {
      Use(static_cast<int32_t>(k), was);
    } else {
      Clear(static_cast<int32_t>(k));
    }
  }
  if (saved.Owner != this) {
    Restart(saved.Start);
    return;
  }
  start_ = saved.Start;
  for (size_t k = 0; k < sides_.size(); ++k) {
    Side& s = sides_[k];
    const Saved::Side& in = saved.Sides[k];
    s.Started = in.Started;
    s.Fallen = in.Fallen;
    s.Message = in.Message;
    if (s.Box) s.Box->Restore(in.State ? *in.State : std::string());
    if (s.Started && !s.Fallen && !in.State) s.Started = false;
  }
}
