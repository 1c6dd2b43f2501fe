// The whole state as JSON, strings in UTF-8.
#pragma once

#include <nlohmann/json.hpp>

#include "app/frontend.h"
#include "app/headless.h"

nlohmann::json DumpState(Frontend& frontend, const std::vector<ShownMessage>& messages);
