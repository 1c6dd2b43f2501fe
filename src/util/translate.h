// Our own texts (not the ones the rules fix) are written in English and shown through the
// front end's translator, which the window sets from the user's locale.
#pragma once

#include <initializer_list>
#include <string>

// Gives the text for the context and the English source, in UTF-8.
using Translator = std::string (*)(const char* context, const char* english);

// Set once at start-up, before any other thread runs; none: the English text.
void SetTranslator(Translator translator);

// The translated text; the arguments replace %1, %2, ... in it.
std::string Tr(const char* context, const char* english,
               std::initializer_list<std::string> args = {});
