#pragma once
// libcups, loaded the first time a job goes to a printer or the printers are
// listed. Linked in, it and the libraries it pulls in (TLS, Kerberos, DNS-SD)
// were loaded and relocated at every start, which printing into a PDF file
// never needs.

#include <QString>

#include <cups/cups.h>

namespace cups {

struct TLibrary
{
    decltype(&::cupsPrintFile2) PrintFile2 = nullptr;
    decltype(&::cupsLastErrorString) LastErrorString = nullptr;
    decltype(&::cupsGetDests2) GetDests2 = nullptr;
    decltype(&::cupsGetOption) GetOption = nullptr;
    decltype(&::cupsFreeDests) FreeDests = nullptr;
};

// The library's functions, loaded once; nullptr (and the reason in *error)
// when libcups or one of the functions cannot be found.
const TLibrary *Library(QString *error = nullptr);

}  // namespace cups
