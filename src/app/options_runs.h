// The values of --batch and --ladder, read and checked once for ParseInvocation.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "app/options.h"

// From the options given (long name -> value) and every --ai value; false with the problem set.
bool ParseBatchValues(const std::map<std::string, std::string>& given,
                      const std::vector<std::string>& ais, BatchOptions& batch,
                      std::string& problem);

// From the options given and the AI scripts named; false with the problem set.
bool ParseLadderValues(const std::map<std::string, std::string>& given,
                       const std::vector<std::string>& scripts, LadderOptions& ladder,
                       std::string& problem);
