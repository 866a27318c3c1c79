#pragma once
// File names go to the core in the system's own encoding, as the file system knows them.

#include <QString>
#include <string>

namespace vantrel {

inline std::string NativeName(const QString& text) { return text.toLocal8Bit().toStdString(); }

}  // namespace vantrel
