#pragma once
// Logic speaks UTF-8 std::string, windows speak QString.
#include <QString>

#include <string>

namespace velmora::ui {

inline QString qs(const std::string& s) { return QString::fromStdString(s); }
inline std::string ss(const QString& s) { return s.toStdString(); }

} // namespace velmora::ui
