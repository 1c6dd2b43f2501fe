// Cost of drawing a frame of the battle (4 000 fighters) through OpenGL at x0.5 in a 600 x 600
// view: the ground, every object and, as chosen, every object selected and the minimap. Runs in
// a window (xvfb-run -a build/release/tests/render_benchmarks); each frame is swapped and
// finished by the server. Arguments: selected, minimap, one by one (the plain reference), and
// the fog of war of side 0. BM_Fog is the fog's own work in a frame: sight, filter, picture and
// its quad.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QOpenGLContext>
#include <QWindow>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "app/camera.h"
#include "app/fog.h"
#include "draw_reference.h"
#include "game/level.h"
#include "game/loader.h"
#include "game/sprites.h"
#include "render/render.h"
#include "util/platform.h"

namespace {

constexpr int kView = 600;
constexpr float kZoom = 0.5f;

// A shown window with a current context, the shipped data uploaded and the battle standing.
struct Scene {
  std::unique_ptr<QGuiApplication> app;
  std::unique_ptr<QWindow> window;  // made after the application
  std::unique_ptr<QOpenGLContext> context;
  World world;
  Fog fog;
  bool ready = false;

  Scene() {
    static int argc = 1;
    static char name[] = "render_benchmarks";
    static char* argv[] = {name, nullptr};
    if (std::getenv("DISPLAY") == nullptr) return;
    app = std::make_unique<QGuiApplication>(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QSurfaceFormat format;
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    format.setSwapInterval(0);
    window = std::make_unique<QWindow>();
    window->setSurfaceType(QSurface::OpenGLSurface);
    window->setFormat(format);
    window->resize(kView, kView);
    window->show();
    context = std::make_unique<QOpenGLContext>();
    context->setFormat(format);
    if (!context->create() || !context->makeCurrent(window.get())) return;
    for (int k = 0; k < 50 && !window->isExposed(); ++k) QGuiApplication::processEvents();
    InitGL();
    ready = Load();
  }

  bool Load() {
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(RTS_SOURCE_DIR "/data");
    SilentPlatform platform;
    GlTextureUploader uploader;
    LoadContext load{platform, uploader};
    DataProblems problems;
    bool ok = true;
    try {
      LoadGameData(world, load);
      Level level = ReadLevelFile(FindLevelFile("battle"), problems);
      ResolveLevel(world, level, problems);
      CreateLevel(world, level);
    } catch (...) {
      ok = false;
    }
    std::filesystem::current_path(previous);
    return ok && world.Objects.size() > 4000;
  }

  // Ground, objects and maybe the minimap, the world's middle in the middle of the view.
  void Frame(bool minimap, bool reference, bool fogged = false) {
    ResizeGL(kView, kView);
    const float camera = kView / 2 / kZoom;
    BeginFrameGL(camera, camera, kZoom);
    const std::vector<SpriteChoice> shown = AdvanceAnimations(world);
    if (reference) {
      DrawGroundReference(world);
      DrawObjectsReference(world, shown, false);
    } else if (fogged) {
      DrawGround(world);
      fog.Update(world, shown);
      DrawObjects(world, fog.Filter(world, shown), false);
      DrawFog(fog.Picture());
    } else {
      DrawGround(world);
      DrawObjects(world, shown, false);
    }
    if (minimap) {
      MinimapScene scene;
      scene.Layout = LayoutMinimap(world.Ground, kView, kView);
      const GroundRect g = GroundOf(world.Ground);
      scene.GroundX0 = g.X0;
      scene.GroundY0 = g.Y0;
      scene.GroundX1 = g.X1;
      scene.GroundY1 = g.Y1;
      scene.ViewX0 = scene.ViewY0 = -camera;
      scene.ViewX1 = scene.ViewY1 = kView / kZoom - camera;
      DrawMinimap(world, scene);
    }
    context->swapBuffers(window.get());
  }
};

Scene& TheScene() {
  static Scene scene;
  return scene;
}

void BM_BattleFrame(benchmark::State& state) {
  Scene& s = TheScene();
  if (!s.ready) {
    state.SkipWithError("needs a display (xvfb-run -a) and the shipped data");
    return;
  }
  const bool selected = state.range(0) != 0;
  const bool minimap = state.range(1) != 0;
  const bool reference = state.range(2) != 0;
  const bool fogged = state.range(3) != 0;
  for (TObyekt& o : s.world.Objects) o.Selected = selected;
  s.fog.Reset(fogged ? 0 : -1);
  s.Frame(minimap, reference, fogged);
  glFinish();
  for (auto _ : state) {
    s.Frame(minimap, reference, fogged);
    glFinish();
  }
  const ObjectDrawCounts n = LastObjectDrawCounts();
  if (!reference) {
    state.counters["batches"] = n.Batches;
    state.counters["switches"] = n.Switches;
    state.counters["calls"] = n.Calls;
  }
  state.counters["fps"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BattleFrame)
    ->ArgNames({"selected", "minimap", "reference", "fog"})
    ->Args({0, 0, 0, 0})
    ->Args({0, 0, 0, 1})
    ->Args({0, 1, 0, 0})
    ->Args({1, 0, 0, 0})
    ->Args({1, 1, 0, 0})
    ->Args({1, 1, 1, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

void BM_Fog(benchmark::State& state) {
  Scene& s = TheScene();
  if (!s.ready) {
    state.SkipWithError("needs a display (xvfb-run -a) and the shipped data");
    return;
  }
  ResizeGL(kView, kView);
  const float camera = kView / 2 / kZoom;
  BeginFrameGL(camera, camera, kZoom);
  const std::vector<SpriteChoice> shown = AdvanceAnimations(s.world);
  s.fog.Reset(0);
  for (auto _ : state) {
    s.fog.Update(s.world, shown);
    benchmark::DoNotOptimize(s.fog.Filter(s.world, shown));
    DrawFog(s.fog.Picture());
    glFinish();
  }
}
BENCHMARK(BM_Fog)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace
