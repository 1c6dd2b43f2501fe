// Writes the manual page from its template, filling in the command line's forms and options,
// the keys and the script commands from the program's own tables; or, with "readme", prints
// the README's synopsis and option list.
// usage: make_manual TEMPLATE OUTPUT | make_manual readme
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "app/keys.h"
#include "app/options.h"
#include "app/script.h"

namespace {

// Text shown as it is: minus signs and backslashes escaped.
std::string Verbatim(const std::string& text) {
  std::string out = ".nf\n";
  for (char c : text) {
    if (c == '\\')
      out += "\\e";
    else if (c == '-')
      out += "\\-";
    else
      out += c;
  }
  return out + ".fi\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string(argv[1]) == "readme") {
    std::cout << ReadmeSynopsis() << "\n" << ReadmeOptions();
    return 0;
  }
  if (argc != 3) {
    std::cerr << "usage: make_manual TEMPLATE OUTPUT | make_manual readme\n";
    return 2;
  }
  std::ifstream in(argv[1]);
  if (!in) {
    std::cerr << "make_manual: cannot read " << argv[1] << "\n";
    return 1;
  }
  std::ostringstream page;
  std::string line;
  while (std::getline(in, line)) {
    if (line == "%SYNOPSIS%")
      page << ManualSynopsis();
    else if (line == "%OPTIONS%")
      page << ManualOptions();
    else if (line == "%KEYS%")
      page << Verbatim(KeysSummary());
    else if (line == "%SCRIPT%")
      page << Verbatim(ScriptSummary());
    else
      page << line << "\n";
  }
  std::ofstream out(argv[2]);
  out << page.str();
  if (!out.flush()) {
    std::cerr << "make_manual: cannot write " << argv[2] << "\n";
    return 1;
  }
  return 0;
}
