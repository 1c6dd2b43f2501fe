#include "game/contacts.h"

void ContactPass(World&) {}
void ContactPassPlain(World&) {}
bool SeparatePair(float&, float&, float&, float&, int32_t, float, float, int32_t) {
  return false;
}
void OnContact(World&, int32_t, int32_t) {}
void OnApart(World&, int32_t, int32_t) {}
int32_t NearestDepot(const World&, int32_t) {
  return -1;
}
