#include "game/orders.h"

void ExecuteOrders(World&) {}
void SteerTowards(World&, int32_t, float, float) {}
