// Outlook's object model on Windows: the interfaces of outlook.h bound late through IDispatch,
// by Outlook's documented member names, so any Outlook version (and the stand-in) answers.
//
// Every call raises brv::EbrvObject when it fails, carrying the server's code and the
// description of its COM error object (or of the EXCEPINFO of DISP_E_EXCEPTION). Member ids
// are looked up once per kind of object and application. Nothing needs more than IDispatch:
// where Outlook's own interfaces do not cross into the caller's apartment (its type library
// registration damaged), mail items are told from other items by their Class.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include "host/outlook.h"

namespace outlook {

// Outlook's interface and class ids.
inline constexpr IID IID__Application = {0x00063001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID__MailItem = {0x00063034, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr CLSID CLSID_OutlookApplication = {
    0x0006F03A, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Outlook's application object (an _Application, or any IDispatch answering its members) as
// an _Application; adds its own reference. Null gives null.
Ref<_Application> WrapApplication(IDispatch* Application);

// The IDispatch behind a folder of this adapter (borrowed), or null for another implementation's.
IDispatch* DispatchOf(MAPIFolder& Folder);

}  // namespace outlook
