#include "server/ClassBindings.h"

#include "server/DualVtables.h"

#include <velmarith/WinFile.h>
#include <velmarith/WinInput.h>
#include <velmarith/WinMagnge.h>
#include <velmarith/WinSearch.h>

namespace velmarith::server {
namespace {

using CollectionPointer = std::shared_ptr<Collection>;

template <class Class>
std::unique_ptr<QObject> make()
{
    return std::make_unique<Class>();
}

const ClassBinding kWinFile{
    &kWinFileVtable,
    make<WinFile>,
    [](QObject &object, const std::vector<QVariant> &) {
        static_cast<WinFile &>(object).FileAny();
        return QVariant();
    },
    [](QObject &object, EventSink sink) {
        QObject::connect(static_cast<WinFile *>(&object), &WinFile::FileSuccess, &object,
                         [sink](const QString &pattern, const QString &place, int16_t type, const QString &path,
                                const QString &names) {
                             sink({pattern, place, QVariant::fromValue(type), path, names});
                         });
    },
};

const ClassBinding kWinInput{
    &kWinInputVtable,
    make<WinInput>,
    [](QObject &object, const std::vector<QVariant> &arguments) {
        return QVariant(static_cast<WinInput &>(object).InputAny(arguments.at(0).toString(), arguments.at(1).toString(),
                                                                 arguments.at(2).toString(),
                                                                 arguments.at(3).value<CollectionPointer>()));
    },
    nullptr,
};

template <class Class>
void connectSelectSuccess(QObject &object, EventSink sink)
{
    QObject::connect(static_cast<Class *>(&object), &Class::SelectSuccess, &object,
                     [sink](const QString &text) { sink({text}); });
}

const ClassBinding kWinSearch{
    &kWinSearchVtable,
    make<WinSearch>,
    [](QObject &object, const std::vector<QVariant> &) {
        static_cast<WinSearch &>(object).SearchAny();
        return QVariant();
    },
    connectSelectSuccess<WinSearch>,
};

const ClassBinding kWinMagnge{
    &kWinMagngeVtable,
    make<WinMagnge>,
    [](QObject &object, const std::vector<QVariant> &arguments) {
        static_cast<WinMagnge &>(object).ManageTable(arguments.at(0).toString(), arguments.at(1).value<int16_t>());
        return QVariant();
    },
    connectSelectSuccess<WinMagnge>,
};

} // namespace

const ClassBinding *bindingFor(const QString &className)
{
    if (className == u"WinFile")
        return &kWinFile;
    if (className == u"WinInput")
        return &kWinInput;
    if (className == u"WinSearch")
        return &kWinSearch;
    if (className == u"WinMagnge")
        return &kWinMagnge;
    return nullptr;
}

} // namespace velmarith::server
