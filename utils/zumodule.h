// zumodule.h - the suite's libraries and programs as owners of resources.
//
// Each library shows its own strings and bitmaps: ZuLoadString(id, module) (stringtable.h) and
// ZuLoadBitmap(id, module) (bitmap.h) take the module whose resources to use. A module's
// bitmaps are Qt resources under ":/" + ZuModuleName(module) + "/" + id, for example
// ":/calendar/174".
#pragma once

enum class ZuModule { Utils, Common, CompLib, Options, Calendar, Contact };

// The module's folder and resource prefix: "utils", "common", "complib", "options", "calendar",
// "contact".
constexpr const char* ZuModuleName(ZuModule module)
{
    switch (module) {
    case ZuModule::Utils: return "utils";
    case ZuModule::Common: return "common";
    case ZuModule::CompLib: return "complib";
    case ZuModule::Options: return "options";
    case ZuModule::Calendar: return "calendar";
    case ZuModule::Contact: return "contact";
    }
    return "";
}
