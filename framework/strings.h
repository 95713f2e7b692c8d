#pragma once
// Texts cross between the units and Qt here. The units speak byte strings in the client's
// code page; each byte becomes one character (Latin-1) and back, so that every name the
// network holds survives the trip unchanged.
#include <QString>

#include <string>

namespace framework {

inline QString toQString(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string toAnsi(const QString& text) {
  const QByteArray bytes = text.toLatin1();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace framework
