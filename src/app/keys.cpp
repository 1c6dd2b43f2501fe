#include "app/keys.h"

#include "util/translate.h"

std::string KeysSummary() {
  std::string s = Tr("keys", "Keys and mouse in the window:") + "\n";
  for (const KeyHelp& k : kKeyHelp) {
    std::string key = Tr("keys", k.Key);
    // Columns, not bytes: a translated key name may hold Cyrillic letters.
    size_t columns = 0;
    for (unsigned char c : key) columns += (c & 0xC0) != 0x80;
    if (columns < 21) key.append(21 - columns, ' ');
    s += "  " + key + Tr("keys", k.English) + "\n";
  }
  return s;
}
