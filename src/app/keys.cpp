#include "app/keys.h"

#include <string>

const char* KeysSummary() {
  static const std::string text = [] {
    std::string s = "Keys and mouse in the window:\n";
    for (const KeyHelp& k : kKeyHelp) {
      std::string key = k.Key;
      if (key.size() < 21) key.resize(21, ' ');
      s += "  " + key + k.English + "\n";
    }
    return s;
  }();
  return text.c_str();
}
