#pragma once
// Small file helpers of the tests: a file's bytes, a folder's, and a command's
// output.
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>

namespace velmora::test {

// The whole file, byte for byte ("" when it cannot be read).
inline std::string fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every file below `dir` by its relative path, with its bytes; folders as "/".
// Two of them compare equal only when nothing was added, removed or changed.
inline std::map<std::string, std::string> treeBytes(const std::filesystem::path& dir) {
    std::map<std::string, std::string> out;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir))
        out[std::filesystem::relative(e.path(), dir).string()] = e.is_directory() ? "/" : fileBytes(e.path());
    return out;
}

// What a shell command writes to its standard output.
inline std::string runCommand(const std::string& command) {
    std::array<char, 4096> buf{};
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> p(popen(command.c_str(), "r"), pclose);
    if (!p) return out;
    while (size_t n = fread(buf.data(), 1, buf.size(), p.get())) out.append(buf.data(), n);
    return out;
}

} // namespace velmora::test
