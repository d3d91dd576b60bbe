// Version record lookup: plain "path=value" lines, '#' starts a comment.
#include "frontpanel/version_record.h"

#include <QFile>
#include <QStringList>

#include "frontpanel/builtin_resources.h"

VersionRecord VersionRecord::Load(const QString& path) {
  EnsureBuiltinResources();
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return Parse(QString::fromUtf8(file.readAll()));
}

VersionRecord VersionRecord::Parse(const QString& text) {
  VersionRecord record;
  for (const QString& line : text.split(QLatin1Char('\n'))) {
    const QString trimmed = line.trimmed();
    const qsizetype equals = trimmed.indexOf(QLatin1Char('='));
    if (trimmed.startsWith(QLatin1Char('#')) || equals <= 0) continue;
    record.values_.insert(trimmed.left(equals), trimmed.mid(equals + 1));
  }
  return record;
}

std::optional<QString> VersionRecord::query(const QString& path) const {
  const auto found = values_.constFind(path);
  if (found == values_.constEnd() || found->isEmpty()) return std::nullopt;
  return *found;
}

// The translation holds the language id, then the code page, in hexadecimal.
std::optional<QString> VersionRecord::stringPrefix() const {
  const std::optional<QString> translation = query(QStringLiteral("\\VarFileInfo\\Translation"));
  if (!translation) return std::nullopt;
  const QStringList parts = translation->split(QLatin1Char(' '), Qt::SkipEmptyParts);
  bool languageOk = false, codePageOk = false;
  if (parts.size() < 2) return std::nullopt;
  const uint language = parts[0].toUInt(&languageOk, 16);
  const uint codePage = parts[1].toUInt(&codePageOk, 16);
  if (!languageOk || !codePageOk) return std::nullopt;
  const QString code = QStringLiteral("%1%2")
                           .arg(language, 4, 16, QLatin1Char('0'))
                           .arg(codePage, 4, 16, QLatin1Char('0'))
                           .toUpper();
  return QStringLiteral("\\StringFileInfo\\") + code + QLatin1Char('\\');
}
