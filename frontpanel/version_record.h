// The program's version record, read from the built-in resource and queried
// by path as a Windows version resource is: "\VarFileInfo\Translation" gives
// the language and code page, "\StringFileInfo\080904B0\ProductName" a value.
#pragma once

#include <QHash>
#include <QString>
#include <optional>

constexpr const char* BUILTIN_VERSION_RECORD = ":/version/version_record.txt";

class VersionRecord {
 public:
  static VersionRecord Load(const QString& path = QLatin1String(BUILTIN_VERSION_RECORD));
  static VersionRecord Parse(const QString& text);
  bool isEmpty() const { return values_.isEmpty(); }
  // The value at a path; none when it is missing or empty.
  std::optional<QString> query(const QString& path) const;
  // "\StringFileInfo\080904B0\" from the first translation; none without one.
  std::optional<QString> stringPrefix() const;

 private:
  QHash<QString, QString> values_;
};
