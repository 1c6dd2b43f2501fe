// Unit sheets: a posable figure of ellipsoids and capsules, rendered for five headings and
// four animations (walk, strike, dying, loaded walk) of kUnitFrames frames each.
#include <algorithm>

#include "art.h"
#include "palette.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kTilt = 42.0f;

// Direction of a limb pitched from hanging straight down (0) through forward (90) to up (180).
V3 Limb(float pitch) {
  return {std::sin(pitch * kDeg), 0, -std::cos(pitch * kDeg)};
}

struct Pose {
  float legL = 0, legR = 0;    // leg swing, degrees forward
  float kneeL = 0, kneeR = 0;  // knee bend, degrees
  float armL = 8, armR = 8;    // arm pitch
  float elbowL = 12, elbowR = 12;
  float bob = 0;     // body lift, world units
  float lean = 0;    // forward lean of the upper body, degrees
  float swing = -1;  // >= 0: tool arc angle (pitch of the striking arm)
  float fall = 0;    // 0..90: falling over backwards
  bool cargo = false;
  bool dropped = false;  // the tool lies on the ground
  float blood = 0;       // radius of the pool under a corpse
};

struct Body {
  float hipZ = 12, torsoZ = 17.5f, shoulderZ = 21.5f, headZ = 26.2f, headR = 4.3f;
  float torsoFwd = 3.6f, torsoSide = 5.0f, torsoUp = 6.0f, shoulderY = 5.6f;
  float limbR = 1.6f, legR = 2.0f, hipY = 2.4f, headFwd = 0.4f;
  float upperArm = 4.8f, foreArm = 4.6f;
};

struct Unit {
  Race race;
  Role role;
  Palette pal;
  Body body;
};

Body MakeBody(Race race, Role role) {
  Body b;
  if (race == Race::Orc) {
    b.torsoSide = 5.8f;
    b.torsoFwd = 4.2f;
    b.shoulderY = 6.4f;
    b.headZ = 25.2f;
    b.headFwd = 1.8f;
    b.headR = 4.4f;
    b.limbR = 1.9f;
    b.legR = 2.2f;
    b.upperArm = 5.2f;
  }
  if (role == Role::Soldier) {
    b.torsoSide += 0.4f;
    b.torsoFwd += 0.3f;
    b.limbR += 0.2f;
  }
  return b;
}

// Tool in a hand: handle from the grip along dir, its head at the far end.
void Tool(Scene& s, const Unit& u, V3 grip, V3 dir, V3 side) {
  const Palette& p = u.pal;
  V3 perp = Norm(Cross(side, dir));
  int keep = s.part;
  s.part = 7;
  if (u.role == Role::Worker) {
    // Pickaxe: wooden handle, curved iron head.
    s.Capsule(grip - dir * 2.5f, grip + dir * 11.0f, 0.8f, p.wood);
    V3 head = grip + dir * 10.5f;
    s.Capsule(head, head + perp * 4.5f - dir * 1.2f, 0.9f, p.steel);
    s.Capsule(head, head - perp * 4.0f - dir * 1.0f, 0.8f, p.steel);
  } else if (u.race == Race::Human) {
    // Sword: hilt, cross guard, blade.
    s.Capsule(grip - dir * 1.8f, grip + dir * 1.2f, 0.7f, p.leather);
    s.Capsule(grip + dir * 1.4f + side * 2.2f, grip + dir * 1.4f - side * 2.2f, 0.7f, p.cloth2);
    s.Capsule(grip + dir * 2.0f, grip + dir * 13.0f, 0.9f, p.steel);
  } else {
    // Axe: long haft, broad blade.
    s.Capsule(grip - dir * 3.0f, grip + dir * 12.0f, 0.9f, p.wood);
    V3 head = grip + dir * 10.0f;
    s.Capsule(head, head + perp * 3.2f, 1.0f, p.steel);
    s.Capsule(head + perp * 3.4f - dir * 2.2f, head + perp * 3.4f + dir * 2.2f, 1.1f, p.steel);
    s.Capsule(head - perp * 1.4f, head - perp * 2.6f + dir * 1.0f, 0.6f, p.bone);
  }
  s.part = keep;
}

void Arm(Scene& s, const Unit& u, V3 shoulder, V3 hand, float out, int mat) {
  V3 mid = (shoulder + hand) * 0.5f + V3{0, out, -0.8f};
  s.Capsule(shoulder, mid, u.body.limbR, mat);
  s.Capsule(mid, hand, u.body.limbR * 0.9f, mat);
  s.Sphere(hand, u.body.limbR * 1.05f, u.pal.skin);
}

void Figure(Scene& s, const Unit& u, const Pose& q) {
  const Palette& p = u.pal;
  const Body& b = u.body;
  const bool human = u.race == Race::Human;
  const bool soldier = u.role == Role::Soldier;
  const float scale = human ? 1.0f : 1.06f;

  // Root: falling backwards about the feet, sliding forward so a corpse lies centred.
  Xf root = Move({q.fall / 90.0f * 14.0f, 0, q.bob}).Then(RotY(-q.fall));
  Xf scaleXf;
  scaleXf.X = {scale, 0, 0};
  scaleXf.Y = {0, scale, 0};
  scaleXf.Z = {0, 0, scale};
  root = root.Then(scaleXf);

  // Legs and boots.
  s.xf = root;
  for (int side = -1; side <= 1; side += 2) {
    const bool left = side > 0;
    float swing = left ? q.legL : q.legR, bend = left ? q.kneeL : q.kneeR;
    V3 hip{0, side * b.hipY, b.hipZ};
    V3 knee = hip + Limb(swing) * (b.hipZ * 0.5f);
    V3 foot = knee + Limb(swing - bend) * (b.hipZ * 0.5f - 1.0f);
    s.part = left ? 1 : 2;
    int legMat = human ? p.leather : (soldier ? p.leather : p.skin);
    s.Capsule(hip, knee, b.legR, legMat);
    s.Capsule(knee, foot, b.legR * 0.92f, human || soldier ? p.boots : p.skin);
    s.Ellipsoid(foot + V3{1.2f, 0, -0.4f}, {2.6f, 1.7f, 1.3f}, p.boots);
  }

  // Upper body leans forward about the hips.
  Xf upper = root.Then(Move({0, 0, b.hipZ})).Then(RotY(q.lean)).Then(Move({0, 0, -b.hipZ}));
  s.xf = upper;
  s.part = 3;
  int torsoMat = soldier ? (human ? p.steel : p.leather) : (human ? p.cloth : p.leather);
  s.Ellipsoid({0, 0, b.torsoZ}, {b.torsoFwd, b.torsoSide, b.torsoUp}, torsoMat);
  // Belt and skirt.
  s.Ellipsoid({0, 0, b.hipZ + 1.2f}, {b.torsoFwd * 0.95f, b.torsoSide * 0.92f, 2.6f},
              human ? (soldier ? p.cloth : p.leather) : p.cloth);
  if (human && !soldier)
    s.Ellipsoid({0, 0, b.hipZ + 2.2f}, {b.torsoFwd + 0.25f, b.torsoSide * 0.8f, 0.8f}, p.leather);
  if (soldier && human)
    s.Ellipsoid({b.torsoFwd * 0.55f, 0, b.torsoZ - 0.5f}, {1.8f, 3.2f, 4.8f}, p.cloth);
  if (!human) {
    // Shoulder pads (soldier) or bare shoulders.
    for (int side = -1; side <= 1; side += 2) {
      V3 sh{0, side * b.shoulderY, b.shoulderZ};
      if (soldier) {
        s.Ellipsoid(sh + V3{0, 0, 0.8f}, {2.8f, 2.6f, 1.9f}, p.leather);
        s.Capsule(sh + V3{0, side * 0.8f, 1.8f}, sh + V3{-0.6f, side * 1.8f, 4.4f}, 0.55f, p.bone);
      }
    }
  }

  // Head.
  s.part = 4;
  V3 head{b.headFwd, 0, b.headZ};
  s.Sphere(head, b.headR, p.skin);
  s.Ellipsoid(head + V3{b.headR * 0.82f, 1.5f, 0.4f}, {0.7f, 0.6f, 0.8f}, p.eye);
  s.Ellipsoid(head + V3{b.headR * 0.82f, -1.5f, 0.4f}, {0.7f, 0.6f, 0.8f}, p.eye);
  if (human) {
    s.Ellipsoid(head + V3{-0.9f, 0, 0.2f}, {3.9f, 4.3f, 4.0f}, p.hair);
    if (soldier) {
      s.Ellipsoid(head + V3{-0.2f, 0, 1.2f}, {4.7f, 4.7f, 3.8f}, p.steel);
      s.Ellipsoid(head + V3{-0.8f, 0, 4.6f}, {3.6f, 0.9f, 1.6f}, p.cloth);
    } else {
      // Felt cap with a brim.
      s.Ellipsoid(head + V3{-0.4f, 0, 2.3f}, {4.1f, 4.3f, 2.6f}, p.cloth2);
      s.Ellipsoid(head + V3{0.4f, 0, 1.5f}, {4.9f, 4.9f, 0.7f}, p.cloth2);
    }
  } else {
    for (int side = -1; side <= 1; side += 2) {
      s.Ellipsoid(head + V3{-0.8f, side * 4.4f, 1.0f}, {1.0f, 2.2f, 0.8f}, p.skin,
                  RotX(static_cast<float>(side) * -25.0f));
      s.Capsule(head + V3{3.4f, side * 1.6f, -2.2f}, head + V3{4.3f, side * 1.7f, -0.6f}, 0.45f,
                p.bone);
    }
    if (soldier) {
      s.Ellipsoid(head + V3{-0.4f, 0, 2.2f}, {3.6f, 2.0f, 2.6f}, p.hair);
    } else {
      s.Ellipsoid(head + V3{-0.2f, 0, 1.5f}, {4.5f, 4.6f, 3.0f}, p.cloth);
      s.Capsule(head + V3{-4.0f, 0, 1.2f}, head + V3{-6.2f, 0.8f, -1.2f}, 0.7f, p.cloth);
    }
  }

  // Cargo: an ore sack on the back.
  if (q.cargo) {
    s.part = 5;
    V3 sack{-b.torsoFwd - 3.0f, 0, b.torsoZ + 3.2f};
    s.Ellipsoid(sack, {3.6f, 4.8f, 5.6f}, p.sack);
    s.Sphere(sack + V3{0.6f, 1.6f, 5.6f}, 2.0f, p.ore);
    s.Sphere(sack + V3{-0.6f, -1.8f, 5.4f}, 1.8f, p.ore);
    s.Sphere(sack + V3{0.8f, -0.4f, 6.4f}, 1.6f, p.ore);
    s.Capsule(V3{b.torsoFwd * 0.7f, b.shoulderY - 1.0f, b.shoulderZ},
              V3{b.torsoFwd * 0.9f, -b.shoulderY + 1.5f, b.torsoZ - 4.0f}, 0.55f, p.leather);
  }

  // Arms and the tool.
  const int armMat = human ? p.cloth : p.skin;
  V3 shL{0, b.shoulderY, b.shoulderZ}, shR{0, -b.shoulderY, b.shoulderZ};
  if (q.swing >= 0 && u.role == Role::Worker) {
    // Two-handed strike: both hands on the handle.
    V3 centre{0, 0, b.shoulderZ};
    V3 dir = Limb(q.swing);
    V3 grip = centre + dir * 8.5f + V3{0, -0.8f, 0};
    s.part = 6;
    Arm(s, u, shL, grip + V3{0, 0.9f, 0}, 2.0f, armMat);
    Arm(s, u, shR, grip - V3{0, 0.9f, 0}, -2.0f, armMat);
    Tool(s, u, grip, dir, {0, 1, 0});
  } else {
    float pitchR = q.swing >= 0 ? q.swing : q.armR;
    V3 handR = shR + Limb(pitchR) * b.upperArm + Limb(pitchR + q.elbowR) * b.foreArm;
    V3 handL = shL + Limb(q.armL) * b.upperArm + Limb(q.armL + q.elbowL) * b.foreArm;
    if (q.cargo) handL = shL + V3{b.torsoFwd + 1.0f, -1.5f, -3.0f};
    s.part = 6;
    Arm(s, u, shL, handL + V3{0, 0.6f, 0}, 1.4f, armMat);
    s.part = 8;
    Arm(s, u, shR, handR - V3{0, 0.6f, 0}, -1.4f, armMat);
    if (soldier && human) {
      // Shield on the left forearm.
      s.part = 9;
      V3 c = handL + V3{1.6f, 1.4f, 1.5f};
      s.Ellipsoid(c, {0.9f, 4.6f, 5.4f}, p.cloth, RotZ(18));
      s.Ellipsoid(c + V3{0.6f, 0.2f, 0}, {0.7f, 1.4f, 1.4f}, p.steel);
    }
    if (!q.dropped) {
      V3 dir;
      if (q.swing >= 0)
        dir = Limb(q.swing + 25);
      else if (u.role == Role::Worker && !q.cargo)
        dir = Norm({-0.55f, 0, 1.0f});  // carried over the shoulder
      else if (u.role == Role::Worker)
        dir = Norm({0.9f, 0, -0.55f});
      else
        dir = Norm({0.7f, 0, 0.75f});
      Tool(s, u, handR, dir, {0, 1, 0});
    }
  }

  // A dropped tool lies beside the body; blood pools under a corpse.
  s.xf = Xf{};
  s.part = 10;
  if (q.dropped) Tool(s, u, {6.0f, -9.0f, 1.0f}, Norm({-0.3f, 1.0f, 0.0f}), {0, 0, 1});
  if (q.blood > 0) {
    s.Ellipsoid({-3.0f, 0, 0}, {q.blood * 1.2f, q.blood * 1.4f, 0.35f}, p.blood);
    s.prims.back().shadow = false;
  }
}

Pose WalkPose(int k, bool loaded) {
  Pose q;
  float th = 2 * kPi * k / kUnitFrames;
  float phi = 30.0f * std::sin(th);
  q.legL = phi;
  q.legR = -phi;
  q.kneeL = 28.0f * std::max(0.0f, std::sin(th + 1.2f));
  q.kneeR = 28.0f * std::max(0.0f, -std::sin(th + 1.2f));
  q.armL = -phi * 0.9f + 4;
  q.armR = loaded ? 10 : phi * 0.9f + 4;
  q.elbowL = 18;
  q.elbowR = 18;
  q.bob = std::fabs(std::sin(th)) < 0.5f ? 1.4f : 0.0f;
  q.cargo = loaded;
  q.lean = loaded ? 10 : 3;
  return q;
}

Pose StrikePose(int k, Role role) {
  static const float workerArc[kUnitFrames] = {100, 158, 196, 124, 44, 68};
  static const float soldierArc[kUnitFrames] = {70, 140, 182, 110, 30, 50};
  static const float lean[kUnitFrames] = {0, -6, -9, 6, 16, 8};
  Pose q;
  q.legL = 16;
  q.legR = -14;
  q.kneeR = 10;
  q.swing = role == Role::Worker ? workerArc[k] : soldierArc[k];
  q.lean = lean[k];
  q.armL = 50;
  q.elbowL = 30;
  return q;
}

Pose DyingPose(int k) {
  static const float fall[kUnitFrames] = {14, 36, 62, 84, 90, 90};
  Pose q;
  q.fall = fall[k];
  q.legL = 8 + k * 3;
  q.legR = -4;
  q.kneeR = 20;
  q.armL = 60 + k * 18;
  q.armR = 50 + k * 22;
  q.elbowL = 30;
  q.elbowR = 20;
  q.dropped = k >= 2;
  q.blood = k >= 4 ? (k == 4 ? 4.4f : 5.6f) : 0;
  return q;
}

}  // namespace

Picture UnitSheet(Race race, Role role) {
  const float headings[5] = {90, 45, 0, -45, -90};
  Picture sheet(256, 1024);
  for (int anim = 0; anim < 4; ++anim)
    for (int k = 0; k < kUnitFrames; ++k) {
      Pose q = anim == 0   ? WalkPose(k, false)
               : anim == 1 ? StrikePose(k, role)
               : anim == 2 ? DyingPose(k)
                           : WalkPose(k, role == Role::Worker);
      for (int col = 0; col < 5; ++col) {
        Scene s;
        Unit u{race, role, AddPalette(s, race), MakeBody(race, role)};
        Figure(s, u, q);
        std::vector<Spark> sparks;
        if (anim == 1 && k == 4) {
          // Sparks where the tool meets its target.
          float reach = role == Role::Worker ? 19.0f : 17.0f;
          sparks.push_back({{reach, -1.0f, 3.0f}, 2});
        }
        View v;
        v.heading = headings[col];
        v.tilt = kTilt;
        v.ox = kUnitCell / 2.0f;
        // A corpse lies centred on the object's position, a standing figure stands on it.
        v.oy = kUnitCell - 10.0f - q.fall / 90.0f * 9.0f;
        Picture cell = RenderCell(s, v, kUnitCell, kUnitCell, sparks);
        sheet.Blit(cell, col * kUnitCell, (anim * kUnitFrames + k) * kUnitCell);
      }
    }
  return sheet;
}
