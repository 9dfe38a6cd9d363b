// Undo and redo as a property: over two hundred seeded sequences of the
// actions a person takes (commit with and without pile-ups, delete one,
// delete all, resize, rebuild, the crossing check, selection changes),
// undoing every step gives back the starting canvas and redoing every step
// the final one, record by record and mesh by mesh.
#include "stroke/history.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>

#include "stroke/build.h"
#include "stroke/collisions.h"
#include "tests/support/console.h"
#include "tests/support/fingerprint.h"

namespace {

// Every field a person could see or a later action could read: what a
// build writes, the painted nodes and the particles.
std::string Print(const Stroke& stroke) {
  Fingerprint f;
  f.StrokeData(stroke);
  for (const StrokeNode& node : stroke.nodes) f.Vec(node.position);
  for (const Vec4& p : stroke.particles.positions) f.Vec(p);
  for (float size : stroke.particles.sizes) f.Float(size);
  return Hex(f.hash);
}

// What a session's canvas shows, as one line: the count, the selection, the
// stroke being painted and the slots a session of a few dozen actions can
// reach. The last painted point follows the pointer while painting, which
// is no step of its own; it is left out.
std::string CanvasPrint(const Canvas& canvas, int selection) {
  std::string print = std::to_string(canvas.count) + " " + std::to_string(selection);
  print += " current " + Print(canvas.current) + ", slots";
  for (int i = 0; i < 64; ++i) print += " " + Print(canvas.strokes[i]);
  return print;
}

// One person's session on a canvas, every action recorded as a step the
// way the painter's action layer records them.
class Session {
 public:
  explicit Session(unsigned seed) : dice_(seed) {}

  void RandomAction() {
    switch (Roll(8)) {
      case 0:
      case 1:
        Commit(false);
        break;
      case 2:
        Commit(true);
        break;
      case 3:
        Step([&] {
          if (selection_ == 0) return;
          history.KeepStroke(canvas, selection_ - 1);
          canvas.DeleteStroke(selection_ - 1);
        });
        break;
      case 4:
        if (Roll(3) == 0)
          Step([&] {
            history.KeepCurrent(canvas);
            history.KeepAllStrokes(canvas);
            canvas.DeleteAll();
          });
        break;
      case 5:
      case 6:
        Step([&] {
          if (Stroke* stroke = Selected()) {
            history.KeepStroke(canvas, selection_ - 1);
            if (Roll(2)) {
              settings_.widthStart += 0.01f;
              ResizeStroke(*stroke, settings_, random_);
            } else {
              settings_.pathLod = 1 + Roll(6);
              UpdateStroke(*stroke, Context());
            }
          }
        });
        break;
      default:
        // Selections are not steps, but steps restore them.
        selection_ = Roll(canvas.count + 1);
        break;
    }
  }

  Canvas canvas;
  CanvasHistory history;
  int& selection() { return selection_; }
  // The canvas and selection just before the first step: the selection
  // changes before it are no step to undo.
  std::optional<std::string> start;

 private:
  int Roll(int sides) { return std::uniform_int_distribution<int>(0, sides - 1)(dice_); }
  float Place() { return std::uniform_real_distribution<float>(-0.9f, 0.9f)(dice_); }
  BuildContext Context() { return BuildContext{settings_, random_, hooks_}; }
  Stroke* Selected() { return canvas.count > 0 ? canvas.StrokeNumber(selection_) : nullptr; }

  void MarkStart() {
    if (!start) start = CanvasPrint(canvas, selection_);
  }

  template <typename Action>
  void Step(Action action) {
    MarkStart();
    history.Begin(canvas, selection_);
    action();
    history.End(canvas, selection_);
    // A step that changed nothing was not kept: the start is still to come.
    if (history.UndoSteps() == 0) start.reset();
  }

  // A commit is one step with the painting before it: undone, the painted
  // stroke is gone, not back under the brush.
  void Commit(bool collide) {
    MarkStart();
    settings_.subdivisionLevels = Roll(2);
    settings_.showParticles = Roll(2);
    settings_.randomSize = Roll(2);
    const int nodes = Roll(7);
    const float x = Place(), y = Place(), dx = 0.3f * Place(), dy = 0.3f * Place();
    for (int i = 0; i < nodes; ++i) canvas.AddPoint(x + dx * i, y + dy * i * (i % 2 ? 1 : -1));
    Step([&] {
      if (canvas.count < kStrokeCountLimit) history.KeepStroke(canvas, canvas.count);
      Quietly([&] { canvas.CommitStroke(Context()); });
      if (collide)
        Quietly([&] {
          CheckCollisions(canvas, factors_, settings_.subdivisionLevels,
                          [&](int slot) { history.KeepStroke(canvas, slot); });
        });
    });
  }

  std::mt19937 dice_;
  int selection_ = 0;
  StrokeSettings settings_;
  CollisionFactors factors_;
  RandomGenerator random_;
  BuildHooks hooks_;
};

TEST(CanvasHistory, UndoingEverythingGivesTheStartRedoingEverythingTheEnd) {
  for (unsigned seed = 1; seed <= 200; ++seed) {
    SCOPED_TRACE(seed);
    Session session(seed);
    std::mt19937 length(seed);
    // A canvas already painted on before the steps start.
    for (int i = 0; i < 3; ++i) session.RandomAction();
    session.history.Clear();
    session.start.reset();
    const int actions = 4 + static_cast<int>(length() % 12);
    for (int i = 0; i < actions; ++i) session.RandomAction();
    const std::string end = CanvasPrint(session.canvas, session.selection());

    while (session.history.Undo(session.canvas, session.selection())) {
    }
    if (session.start) {
      EXPECT_EQ(CanvasPrint(session.canvas, session.selection()), *session.start);
    }
    while (session.history.Redo(session.canvas, session.selection())) {
    }
    EXPECT_EQ(CanvasPrint(session.canvas, session.selection()), end);
    if (HasFailure()) return;
  }
}

TEST(CanvasHistory, ANewStepDropsRedoAndLimitsHoldButKeepTheNewestStep) {
  Canvas canvas;
  int selection = 0;
  CanvasHistory history(HistoryLimits{3, 1u << 30});
  StrokeSettings settings;
  RandomGenerator random;
  BuildHooks hooks;
  auto paint = [&](float y) {
    for (int i = 0; i < 4; ++i) canvas.AddPoint(0.1f * i, y);
    history.Begin(canvas, selection);
    history.KeepStroke(canvas, canvas.count);
    Quietly([&] { canvas.CommitStroke(BuildContext{settings, random, hooks}); });
    history.End(canvas, selection);
  };
  for (int i = 0; i < 5; ++i) paint(0.1f * i);
  EXPECT_EQ(history.UndoSteps(), 3u) << "held to three steps";
  ASSERT_TRUE(history.Undo(canvas, selection));
  EXPECT_EQ(canvas.count, 4);
  EXPECT_EQ(history.UndoSlots(), std::vector<int>{3});
  paint(0.9f);
  EXPECT_EQ(history.RedoSteps(), 0u) << "a new step drops what could be redone";

  history.Begin(canvas, selection);
  history.End(canvas, selection);
  EXPECT_EQ(history.UndoSteps(), 3u) << "a step that changed nothing is not kept";

  CanvasHistory tiny(HistoryLimits{100, 1});
  tiny.Begin(canvas, selection);
  tiny.KeepAllStrokes(canvas);
  canvas.DeleteAll();
  tiny.End(canvas, selection);
  EXPECT_EQ(tiny.UndoSteps(), 1u) << "the newest step stays, however large";
  ASSERT_TRUE(tiny.Undo(canvas, selection));
  EXPECT_EQ(canvas.count, 5);
}

}  // namespace
