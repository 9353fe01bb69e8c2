#include "common/LibraryFile.h"

#include <velmarith/FileNames.h>

#include <QFileInfo>

#include <dlfcn.h>

namespace velmarith {

QString libraryFilePath()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void *>(&libraryFilePath), &info) == 0 || !info.dli_fname)
        return {};
    return QFileInfo(decodeFileName(info.dli_fname)).absoluteFilePath();
}

} // namespace velmarith
