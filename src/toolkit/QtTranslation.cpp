#include "toolkit/QtTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace velmarith::toolkit {

void installQtChineseTranslation()
{
    [[maybe_unused]] static const bool installed = [] {
        // The host may have installed its own: then Qt already answers in Chinese.
        if (QCoreApplication::translate("QLineEdit", "&Undo") != QLatin1String("&Undo"))
            return false;
        auto translator = std::make_unique<QTranslator>();
        if (!translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            return false;
        translator->setParent(QCoreApplication::instance()); // lives as long as the application
        return QCoreApplication::installTranslator(translator.release());
    }();
}

} // namespace velmarith::toolkit
