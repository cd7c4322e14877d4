#pragma once
// The dynamic loader's configuration file (/etc/ld.so.conf): the library directories it
// lists, with its "include" files followed.
#include <string>
#include <vector>

namespace ut {

/// The directories that `fileName` lists, in order, with each "include PATTERN" replaced by
/// the directories of the files it matches ('*' and '?' in the last path component; files
/// in name order; a relative pattern is relative to the including file's directory).
/// Comments ('#'), "hwcap" lines and an old-style "=type" suffix are dropped. A missing
/// file lists nothing; includes nest at most 16 deep and a file is read at most once.
std::vector<std::string> ReadLdSoConf(const std::string& fileName);

} // namespace ut
