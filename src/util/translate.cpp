#include "util/translate.h"

namespace {
Translator current = nullptr;
}  // namespace

void SetTranslator(Translator translator) {
  current = translator;
}

std::string Tr(const char* context, const char* english, std::initializer_list<std::string> args) {
  const std::string text = current ? current(context, english) : std::string(english);
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const size_t n = i + 1 < text.size() ? static_cast<size_t>(text[i + 1] - '1') : args.size();
    if (text[i] == '%' && n < args.size() && n < 9) {
      out += *(args.begin() + n);
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}
