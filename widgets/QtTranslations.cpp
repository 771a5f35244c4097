#include "widgets/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

bool installQtTranslations(QCoreApplication& app) {
    auto translator = std::make_unique<QTranslator>();
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(QStringLiteral("qtbase_zh_CN"), folder)) {
        return false;
    }
    // The application owns it from here and keeps it for the whole run.
    translator->setParent(&app);
    return QCoreApplication::installTranslator(translator.release());
}
