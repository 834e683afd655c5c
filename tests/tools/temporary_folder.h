// A fresh folder for one test, removed with everything in it afterwards.
#pragma once

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace glimmer::tool {

class TemporaryFolder {
public:
    TemporaryFolder() {
        char name[] = "/tmp/glimmer-test-XXXXXX";
        folder_ = mkdtemp(name) != nullptr ? name : "/tmp";
    }
    ~TemporaryFolder() { std::system(("rm -rf '" + folder_ + "'").c_str()); }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    std::string path(const std::string& name) const { return folder_ + "/" + name; }

    // Names in the folder (or one below it), hidden ones included, sorted.
    std::vector<std::string> entries(const std::string& below = "") const {
        std::vector<std::string> names;
        if (DIR* dir = opendir((below.empty() ? folder_ : path(below)).c_str())) {
            while (dirent* e = readdir(dir))
                if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.push_back(e->d_name);
            closedir(dir);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::string folder_;
};

}  // namespace glimmer::tool
