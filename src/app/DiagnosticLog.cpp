#include "app/DiagnosticLog.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace velmora::app {

namespace {

DiagnosticLog* installed = nullptr;

const char* levelName(LogLevel level) {
    switch (level) {
    case LogLevel::Error: return "HIBA";
    case LogLevel::Warning: return "FIGYELEM";
    case LogLevel::Info: return "INFO";
    }
    return "";
}

// A line of its own: the message's line breaks would split the entry.
std::string oneLine(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += " / ";
        else if (c != '\r') out += c;
    }
    return out;
}

std::string rotated(const std::string& file, int generation) { return file + "." + std::to_string(generation); }

std::vector<std::string> linesOf(const std::string& file) {
    std::vector<std::string> lines;
    std::ifstream in(file, std::ios::binary);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

} // namespace

DiagnosticLog::DiagnosticLog(std::string file, std::uintmax_t limit) : file_(std::move(file)), limit_(limit) {}

void DiagnosticLog::rotateFor(std::uintmax_t adding) noexcept {
    struct stat st {};
    if (::stat(file_.c_str(), &st) != 0) return;
    if (static_cast<std::uintmax_t>(st.st_size) + adding <= limit_ || st.st_size == 0) return;
    for (int g = kLogGenerations; g > 1; --g) std::rename(rotated(file_, g - 1).c_str(), rotated(file_, g).c_str());
    std::rename(file_.c_str(), rotated(file_, 1).c_str());
}

void DiagnosticLog::write(LogLevel level, const std::string& text, const std::string& cause) noexcept {
    if (file_.empty()) return;
    try {
        const std::string line = logLine(level, text, cause, std::time(nullptr)) + "\n";
        rotateFor(line.size());
        // Appends are whole lines even when two processes write at once.
        const int fd = ::open(file_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) return;
        const ssize_t written = ::write(fd, line.data(), line.size());
        (void)written;  // a line that did not fit is lost; the program goes on
        ::close(fd);
    } catch (...) {
        // Diagnostic only: nothing here may stop what is being logged.
    }
}

void DiagnosticLog::write(const Failure& failure) noexcept {
    try {
        write(LogLevel::Error, failure.text, failure.detail());
    } catch (...) {
    }
}

std::string logFileIn(const std::string& dir) { return (fs::path(dir.empty() ? "." : dir) / kLogName).string(); }

std::string logDirOfData(const std::string& dataDir) {
    fs::path dir = fs::path(dataDir).lexically_normal();
    if (!dir.has_filename()) dir = dir.parent_path();  // a trailing separator
    std::string name = dir.filename().string();
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (name == "DATA") {
        const fs::path parent = dir.parent_path();
        return parent.empty() ? "." : parent.string();
    }
    return dir.string();
}

std::string logLine(LogLevel level, const std::string& text, const std::string& cause, std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    std::string line = std::string(stamp) + " " + levelName(level) + " " + oneLine(text);
    if (!cause.empty()) line += " | " + oneLine(cause);
    return line;
}

std::vector<std::string> lastLogLines(const std::string& file, size_t count) {
    std::vector<std::string> lines = linesOf(file);
    for (int g = 1; g <= kLogGenerations && lines.size() < count; ++g) {
        std::vector<std::string> older = linesOf(rotated(file, g));
        older.insert(older.end(), lines.begin(), lines.end());
        lines = std::move(older);
    }
    if (lines.size() > count) lines.erase(lines.begin(), lines.end() - static_cast<std::ptrdiff_t>(count));
    return lines;
}

InstalledLog::InstalledLog(DiagnosticLog& log) : previous_(installed) { installed = &log; }

InstalledLog::~InstalledLog() { installed = previous_; }

void logEvent(LogLevel level, const std::string& text, const std::string& cause) noexcept {
    if (installed) installed->write(level, text, cause);
}

void logEvent(const Failure& failure) noexcept {
    if (installed) installed->write(failure);
}

} // namespace velmora::app
