#pragma once

#include <QString>

class Console;
class Outline;

// The outline as OPML 2.0, UTF-8: one outline element per category with its
// title in "text", its body in "_note" (line ends as LF, left out when the
// body is empty) and _status="checked" on a checked one. `documentTitle`
// goes into the head's title. Written as the XML writer produces it.
void writeAsOpml(const Outline &outline, const QString &documentTitle, Console &console);
