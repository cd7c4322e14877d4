#pragma once
// Include files found as the scan finds them: beside the including file, then in the
// include directories in order. What was found is remembered, so a file that many sources
// include is looked for once; one finder serves several threads.
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace ut {

class TIncludeFinder {
  public:
    explicit TIncludeFinder(std::shared_ptr<const std::vector<std::string>> dirs = nullptr)
        : FDirs(std::move(dirs)) {}

    /// The full path of the include file `name` named in the file `including`; empty when
    /// there is none.
    std::string Find(const std::string& including, const std::string& name);

  private:
    std::shared_ptr<const std::vector<std::string>> FDirs;
    std::mutex FLock;
    std::unordered_map<std::string, std::string> FFound; ///< directory '\0' name -> path
};

} // namespace ut
