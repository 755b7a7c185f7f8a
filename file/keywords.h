#pragma once

#include <QString>

// The words that frame each record of an outline file.
namespace keywords {
inline const QString Key = QStringLiteral("SORVEKA_KEY");
inline const QString Parent = QStringLiteral("SORVEKA_PARENT");
inline const QString Title = QStringLiteral("SORVEKA_TITLE");
inline const QString Checked = QStringLiteral("SORVEKA_CHECKED");
inline const QString BodyStart = QStringLiteral("SORVEKA_DATA_CHECK_MARK");
inline const QString BodyEnd = QStringLiteral("SORVEKA_END_CHECK_MARK");
} // namespace keywords
