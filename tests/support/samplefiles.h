#pragma once

#include "document/outline.h"

#include <QString>

// The outlines tests start from.
namespace samplefiles {

// A trip outline with Japanese titles, in collection order:
//   C0 旅行 (root, body "金曜日に出発。")
//     C1 荷造り (body "カメラ" CR LF "傘")
//       C3 予定表 (body "①ｱｲｳ")
//     C2 切符 (checked, empty body)
//     C4 メモ (body "x")
Outline trip();
// The trip outline, written as a file.
bool writeTrip(const QString &path);

// Two complete records, then one whose parent is unknown: the read fails
// after the first two categories were added.
bool writeFailingPartWay(const QString &path);

} // namespace samplefiles
