// Our own texts in the user's language.
#pragma once

#include <QLocale>

// Installs the translation for the locale (Russian, or English as written) into the
// application and the toolkit-free code; false when there is none for it.
bool InstallTranslation(const QLocale& locale);
