// The fields of the catalogue's records, in declaration order: dumped, not hashed (the state
// hash takes only the number of races).
#pragma once

#include <tuple>

#include "game/catalogue.h"
#include "util/fields.h"

inline const auto kKadriFields = std::tuple{
    FieldOf{"TextureIndex", &TKadri::TextureIndex, kDumped},
    FieldOf{"Frames", &TKadri::Frames, kDumped},
};
inline const auto kEnergiaFields = std::tuple{
    FieldOf{"Name", &TEnergia::Name, kDumped},
    FieldOf{"Value", &TEnergia::Value, kDumped},
    FieldOf{"Param3", &TEnergia::Param3, kDumped},
};
inline const auto kUdarFields = std::tuple{
    FieldOf{"Name", &TUdar::Name, kDumped},         FieldOf{"Param2", &TUdar::Param2, kDumped},
    FieldOf{"Strength", &TUdar::Strength, kDumped}, FieldOf{"Param4", &TUdar::Param4, kDumped},
    FieldOf{"Param5", &TUdar::Param5, kDumped},
};
inline const auto kDobichaFields = std::tuple{
    FieldOf{"Name", &TDobicha::Name, kDumped},
    FieldOf{"Capacity", &TDobicha::Capacity, kDumped},
    FieldOf{"Param3", &TDobicha::Param3, kDumped},
};
inline const auto kCenaFields = std::tuple{
    FieldOf{"Name", &TCena::Name, kDumped},
    FieldOf{"Amount", &TCena::Amount, kDumped},
    FieldOf{"Param3", &TCena::Param3, kDumped},
};
inline const auto kKolvoFields = std::tuple{
    FieldOf{"Name", &TKolvo::Name, kDumped},
    FieldOf{"Count", &TKolvo::Count, kDumped},
};
inline const auto kUpgradeFields = std::tuple{
    FieldOf{"Name", &TUpgrade::Name, kDumped},
    FieldOf{"Resources", &TUpgrade::Resources, kDumped},
    FieldOf{"ObjectCounts", &TUpgrade::ObjectCounts, kDumped},
};
inline const auto kOpisanFields = std::tuple{
    FieldOf{"Name", &TOpisan::Name, kDumped},
    FieldOf{"SecondName", &TOpisan::SecondName, kDumped},
    FieldOf{"Textures", &TOpisan::Textures, kDumped},
    FieldOf{"Animations", &TOpisan::Animations, kDumped},
    FieldOf{"Radius", &TOpisan::Radius, kDumped},
    FieldOf{"SheetWidth", &TOpisan::SheetWidth, kDumped},
    FieldOf{"SheetHeight", &TOpisan::SheetHeight, kDumped},
    FieldOf{"FrameWidth", &TOpisan::FrameWidth, kDumped},
    FieldOf{"FrameHeight", &TOpisan::FrameHeight, kDumped},
    FieldOf{"Energies", &TOpisan::Energies, kDumped},
    FieldOf{"Speeds", &TOpisan::Speeds, kDumped},
    FieldOf{"Attacks", &TOpisan::Attacks, kDumped},
    FieldOf{"Buildables", &TOpisan::Buildables, kDumped},
    FieldOf{"Repairs", &TOpisan::Repairs, kDumped},
    FieldOf{"Mining", &TOpisan::Mining, kDumped},
    FieldOf{"Upgrades", &TOpisan::Upgrades, kDumped},
    FieldOf{"PriceResources", &TOpisan::PriceResources, kDumped},
    FieldOf{"PriceObjects", &TOpisan::PriceObjects, kDumped},
    FieldOf{"IsResource", &TOpisan::IsResource, kDumped},
    FieldOf{"ResourceAmount", &TOpisan::ResourceAmount, kDumped},
    // Only the fog of war reads it: the rules do not.
    FieldOf{"Sight", &TOpisan::Sight, 0},
};
inline const auto kRassaFields = std::tuple{
    FieldOf{"Types", &TRassa::Types, kDumped},
};

inline const auto& FieldsOf(const TKadri&) {
  return kKadriFields;
}
inline const auto& FieldsOf(const TEnergia&) {
  return kEnergiaFields;
}
inline const auto& FieldsOf(const TUdar&) {
  return kUdarFields;
}
inline const auto& FieldsOf(const TDobicha&) {
  return kDobichaFields;
}
inline const auto& FieldsOf(const TCena&) {
  return kCenaFields;
}
inline const auto& FieldsOf(const TKolvo&) {
  return kKolvoFields;
}
inline const auto& FieldsOf(const TUpgrade&) {
  return kUpgradeFields;
}
inline const auto& FieldsOf(const TOpisan&) {
  return kOpisanFields;
}
inline const auto& FieldsOf(const TRassa&) {
  return kRassaFields;
}
