#include "QtTranslation.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace shell {

QLocale QtTranslation::localeOf(const QString &language)
{
    if (language == QLatin1String("ESP"))
        return QLocale(QLocale::Spanish, QLocale::Spain);
    if (language == QLatin1String("ING"))
        return QLocale(QLocale::English, QLocale::UnitedStates);
    return QLocale(QLocale::Portuguese, QLocale::Brazil);
}

bool QtTranslation::install(const QString &language, QString *error, const QString &folder)
{
    const QLocale locale = localeOf(language);
    QLocale::setDefault(locale);
    const QString where = folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    // qtbase holds every text of the widgets the manager shows.
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), where)) {
        delete translator;
        if (error)
            *error = QDir(where).filePath(QStringLiteral("qtbase_%1.qm").arg(locale.name()));
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

} // namespace shell
