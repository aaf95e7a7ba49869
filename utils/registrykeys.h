// registrykeys.h - where the suite keeps its settings: the registry keys under HKEY_CURRENT_USER
// and the values more than one program reads.
#pragma once

namespace ZuReg {
// The suite's key and its subkeys.
inline constexpr const wchar_t* Pims = L"Software\\Tandemoor\\Pims";
inline constexpr const wchar_t* General = L"Software\\Tandemoor\\Pims\\General";
inline constexpr const wchar_t* Calendar = L"Software\\Tandemoor\\Pims\\Calendar";
inline constexpr const wchar_t* Contact = L"Software\\Tandemoor\\Pims\\Contact";
inline constexpr const wchar_t* Task = L"Software\\Tandemoor\\Pims\\Task";
inline constexpr const wchar_t* Memo = L"Software\\Tandemoor\\Pims\\Memo";
// The identity of this store in the UIDs the export writes.
inline constexpr const wchar_t* Export = L"Software\\Tandemoor\\Pims\\Export";

// Values under Pims.
inline constexpr const wchar_t* InstallDir = L"InstallDir";  // the folder of the programs
} // namespace ZuReg
