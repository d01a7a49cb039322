#pragma once
// Small file helpers of the tests: a file's bytes, and a command's output.
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

namespace velmora::test {

// The whole file, byte for byte ("" when it cannot be read).
inline std::string fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
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
