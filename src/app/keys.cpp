#include "app/keys.h"

#include "util/translate.h"

namespace {

bool Holds(KeyWhen when, bool replaying, bool network) {
  return when == KeyWhen::Always || (when == KeyWhen::Replay && replaying) ||
         (when == KeyWhen::Network && network);
}

std::string HtmlEscaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '&':
        out += "&amp;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace

const KeyRow* FindKey(int32_t code, uint8_t mods, bool replaying, bool network) {
  if (code == kNoKey) return nullptr;
  // The viewer's and the network's own rows come before the rows that always hold.
  for (bool always : {false, true}) {
    for (const KeyRow& row : kKeyRows) {
      if (row.Code != code || (row.When == KeyWhen::Always) != always) continue;
      if (row.Mods != kAnyMods && row.Mods != mods) continue;
      if (Holds(row.When, replaying, network)) return &row;
    }
  }
  return nullptr;
}

bool IsArrowKey(int32_t code) {
  return code == kKeyLeft || code == kKeyRight || code == kKeyUp || code == kKeyDown;
}

int DigitOfKey(int32_t code, uint32_t scanCode, bool shift) {
  if (code >= '1' && code <= '9') return code - '0';
  if (shift && scanCode >= 10 && scanCode <= 18) return static_cast<int>(scanCode) - 9;
  return 0;
}

std::vector<KeyHelp> KeyHelpLines() {
  std::vector<KeyHelp> lines;
  for (const KeyRow& row : kKeyRows) {
    if (lines.empty() || lines.back().English != row.English) {
      lines.push_back({row.Key, row.English});
    } else if (lines.back().Key != row.Key) {
      lines.back().Key += std::string(", ") + row.Key;
    }
  }
  return lines;
}

std::string KeyHelpTable() {
  std::string table = "<table>";
  for (const KeyHelp& k : KeyHelpLines()) {
    table += "<tr><td><b>" + HtmlEscaped(Tr("keys", k.Key.c_str())) + "</b></td><td>&nbsp;&nbsp;" +
             HtmlEscaped(Tr("keys", k.English.c_str())) + "</td></tr>";
  }
  return table + "</table>";
}

std::string KeysSummary() {
  std::string s = Tr("keys", "Keys and mouse in the window:") + "\n";
  for (const KeyHelp& k : KeyHelpLines()) {
    std::string key = Tr("keys", k.Key.c_str());
    // Columns, not bytes: a translated key name may hold Cyrillic letters.
    size_t columns = 0;
    for (unsigned char c : key) columns += (c & 0xC0) != 0x80;
    if (columns < 21) key.append(21 - columns, ' ');
    s += "  " + key + Tr("keys", k.English.c_str()) + "\n";
  }
  return s;
}
