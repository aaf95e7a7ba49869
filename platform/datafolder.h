// datafolder.h - where the suite keeps its data.
//
// `$ZUPIMS_HOME` when set, otherwise `$XDG_DATA_HOME/zupims` (`~/.local/share/zupims` when that
// is unset). The folder is created with mode 0700, and an existing one that others may enter is
// made so; the files in it are created 0600.
#pragma once

#include <string>

// The data folder, created when missing (with its parents). It is checked when the environment
// names it, not again on each call while it names the same one. Empty when it cannot be created.
std::string ZuDataFolder();
// The values of the variables that name the data folder, as one text: while it stays the same,
// so does the folder.
std::string ZuDataFolderEnvironment();
// A file inside the data folder ("pim.db", "registry.db").
std::string ZuDataFile(const char* name);
// Makes a file readable and writable by its owner only (0600); true when it is so.
bool ZuRestrictFile(const std::string& path);
