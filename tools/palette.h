// Material palettes of the two races and the shared materials (ore, stone, wood).
#pragma once

#include "art.h"

struct Palette {
  int skin, cloth, cloth2, leather, boots, hair, steel, wood, ore, sack, blood, bone, eye, stone,
      dark, fire, smoke, plaster, roof, hide, dirt, rock, glass;
};

// Adds every material of the race to the scene and returns their indices.
inline Palette AddPalette(Scene& s, Race race) {
  auto m = [&](Rgb mid, Pat pat = Pat::Plain, float shine = 0, int bias = 0) {
    Material mat;
    mat.ramp = MakeRamp(mid);
    mat.pattern = pat;
    mat.shine = shine;
    mat.bias = bias;
    return s.AddMat(mat);
  };
  const bool h = race == Race::Human;
  Palette p{};
  p.skin = h ? m({232, 176, 136}) : m({104, 156, 62});
  p.cloth = h ? m({56, 96, 186}) : m({184, 48, 40});
  p.cloth2 = h ? m({226, 196, 84}) : m({60, 50, 44});
  p.leather = h ? m({122, 84, 52}) : m({132, 92, 54}, Pat::Rough);
  p.boots = m({76, 56, 44});
  p.hair = h ? m({120, 76, 40}) : m({40, 36, 34});
  p.steel = h ? m({160, 170, 186}, Pat::Plain, 24) : m({132, 132, 140}, Pat::Plain, 18);
  p.wood = m({146, 100, 56}, Pat::Planks);
  p.ore = m({246, 196, 58}, Pat::Plain, 10);
  p.sack = m({184, 156, 104}, Pat::Rough);
  p.blood = m({150, 22, 24});
  p.bone = m({228, 216, 182});
  p.eye = m({30, 24, 30}, Pat::Plain, 0, -2);
  p.stone = m({140, 136, 128}, Pat::Stone);
  p.dark = m({58, 42, 38}, Pat::Plain, 0, -1);
  Material fire;
  fire.ramp = {Rgb{150, 36, 20}, Rgb{214, 80, 24}, Rgb{244, 146, 40}, Rgb{252, 206, 80},
               Rgb{255, 244, 176}};
  fire.glow = true;
  p.fire = s.AddMat(fire);
  p.smoke = m({150, 146, 150});
  p.plaster = m({222, 208, 176});
  p.roof = h ? m({66, 96, 170}, Pat::Tiles) : m({150, 62, 44}, Pat::Tiles);
  p.hide = m({168, 128, 84}, Pat::Thatch);
  p.dirt = m({120, 96, 66}, Pat::Rough);
  p.rock = m({112, 106, 102}, Pat::Rough);
  p.glass = m({52, 64, 96}, Pat::Plain, 0, -1);
  return p;
}
