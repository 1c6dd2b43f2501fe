#include "qt/translation.h"

#include <QCoreApplication>
#include <QTranslator>

#include "util/translate.h"

namespace {

std::string Translate(const char* context, const char* english) {
  return QCoreApplication::translate(context, english).toStdString();
}

}  // namespace

bool InstallTranslation(const QLocale& locale) {
  static QTranslator translator;
  QCoreApplication::removeTranslator(&translator);
  SetTranslator(nullptr);  // the texts as written
  if (!translator.load(locale, QStringLiteral("rtsdemo"), QStringLiteral("_"),
                       QStringLiteral(":/i18n")))
    return false;
  QCoreApplication::installTranslator(&translator);
  SetTranslator(Translate);
  return true;
}
