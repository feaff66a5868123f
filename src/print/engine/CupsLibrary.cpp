#include "print/engine/CupsLibrary.h"

#include <QLibrary>

namespace cups {

namespace {

struct TLoaded
{
    TLibrary Functions;
    QString Error;
    bool Complete = false;

    TLoaded()
    {
        // The library's ABI version 2, as the headers describe it.
        QLibrary library(QStringLiteral("cups"), 2);
        if (!library.load()) {
            Error = library.errorString();
            return;
        }
        auto resolve = [&](auto &function, const char *name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(library.resolve(name));
            if (!function && Error.isEmpty())
                Error = QStringLiteral("libcups has no %1").arg(QLatin1String(name));
        };
        resolve(Functions.PrintFile2, "cupsPrintFile2");
        resolve(Functions.LastErrorString, "cupsLastErrorString");
        resolve(Functions.GetDests2, "cupsGetDests2");
        resolve(Functions.GetOption, "cupsGetOption");
        resolve(Functions.FreeDests, "cupsFreeDests");
        Complete = Error.isEmpty();
    }
};

}  // namespace

const TLibrary *Library(QString *error)
{
    // Never unloaded: QLibrary leaves the library loaded when it goes.
    static const TLoaded loaded;
    if (!loaded.Complete && error)
        *error = loaded.Error;
    return loaded.Complete ? &loaded.Functions : nullptr;
}

}  // namespace cups
